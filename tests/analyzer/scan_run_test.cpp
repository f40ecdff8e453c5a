// Whole runs of TarvelloScan on tiny videos that ffmpeg makes in a temporary folder.
#include "capture_memory.h"
#include "frame_reader.h"
#include "number_text.h"
#include "rgb_flow.h"
#include "screenshot_plan.h"
#include "table_view.h"
#include "vh_record.h"

#include "platform/PathLock.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int code = -1;  // -1 when the run did not exit by itself
    bool signalled = false;
    long peakKiB = 0;  // the most memory the run held
    std::string out;
    std::string err;
};

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::set<std::string> FileNames(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

struct Records {
    std::string rgb;
    std::string hashes;
};

// The records of every frame of a video, decoded from its start until a read fails, for the given content.
Records RecordsOfEveryFrame(const fs::path& video, const cv::Rect& content)
{
    Records records;
    cv::VideoCapture capture(video.string(), cv::CAP_FFMPEG);
    cv::Mat frame;
    while (capture.read(frame)) {
        const cv::Mat copy = frame(content).clone();
        const RGBFlowRecord flow = ComputeRGBFlow(copy);
        records.rgb.append(flow.begin(), flow.end());
        VHRecord record{};
        FillVHRecord(copy, record);
        records.hashes.append(record.begin(), record.end());
    }
    return records;
}

// The frames of a video at the given indices, counted from its start as the main pass counts them.
std::vector<cv::Mat> FramesAt(const fs::path& video, const std::vector<int>& indices)
{
    std::vector<cv::Mat> frames(indices.size());
    cv::VideoCapture capture(video.string(), cv::CAP_FFMPEG);
    cv::Mat frame;
    for (int index = 0; capture.read(frame); ++index)
        for (std::size_t i = 0; i < indices.size(); ++i)
            if (indices[i] == index)
                frames[i] = frame.clone();
    return frames;
}

// Mean difference of two pictures of the same size, over their channels.
double MeanDifference(const cv::Mat& a, const cv::Mat& b)
{
    const cv::Scalar difference = cv::mean(cv::abs(a - b));
    return (difference[0] + difference[1] + difference[2]) / 3;
}

std::string ScreenshotName(int frame, double frameRate)
{
    return "ss_" + FormatFixed(frame / frameRate, 2) + "_" + std::to_string(frame) + ".jpg";
}

class ScanRun : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvello_scan_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::create_directory(dir_ / "shots");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A video of a lavfi source after the given filters, in the container that the name's extension says:
    // VP8 for WebM, else H.264.
    fs::path MakeVideo(const std::string& source, const std::string& filters = "null",
                       const std::string& options = "", const std::string& name = "video.mp4")
    {
        const fs::path video = dir_ / name;
        const std::string codec = video.extension() == ".webm" ? "-c:v libvpx" : "-c:v libx264 -pix_fmt yuv420p";
        const std::string command = "ffmpeg -v error -y -f lavfi -i " + Quote(source) + " -vf " + Quote(filters) +
                                    " " + codec + " " + options + " " + Quote(video.string());
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return video;
    }

    // Starts the program on the arguments, with its standard output and error going to files in the folder
    // (named after the tag, so that runs at the same time keep theirs apart).
    pid_t Start(const std::vector<std::string>& args, const std::string& tag = "")
    {
        std::vector<std::string> words{TARVELLO_SCAN};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string out = Path(tag + "stdout.txt");
        const std::string err = Path(tag + "stderr.txt");
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, TARVELLO_SCAN, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // Waits for a started run to end and collects what it left.
    RunResult Wait(pid_t pid, const std::string& tag = "")
    {
        int status = 0;
        rusage usage{};
        EXPECT_EQ(wait4(pid, &status, 0, &usage), pid);
        RunResult result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.signalled = WIFSIGNALED(status);
        result.peakKiB = usage.ru_maxrss;
        result.out = ReadFile(dir_ / (tag + "stdout.txt"));
        result.err = ReadFile(dir_ / (tag + "stderr.txt"));
        fs::remove(dir_ / (tag + "stdout.txt"));
        fs::remove(dir_ / (tag + "stderr.txt"));
        return result;
    }

    RunResult Run(const std::vector<std::string>& args, const std::string& tag = "")
    {
        return Wait(Start(args, tag), tag);
    }

    // The eight arguments for a video, with every output in the temporary folder.
    std::vector<std::string> Arguments(const fs::path& video, const std::string& ratio)
    {
        return {video.string(), ratio,           Path("data.rgb"),     Path("hashes.dat"),
                Path("shots"),  "ss",            Path("table.jpg"),    Path("info.dat")};
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // Waits until the started run has the file open; false when it does not within a minute.
    static bool WaitUntilOpened(pid_t pid, const fs::path& path)
    {
        const auto opened = [&] {
            std::error_code ignored;
            for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored))
                if (fs::read_symlink(entry.path(), ignored) == path)
                    return true;
            return false;
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!opened() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return opened();
    }

    fs::path dir_;
};

const char kUsage[] =
    "TarvelloScan Version 3.3 (2021-11-14) (Orvane Software)\n"
    "Usage: TarvelloScan.exe input_video display_ratio output_rgb_data hashes_data output_screenshots_directory "
    "screenshots_filename table_view_picture info_file\n"
    "Example: TarvelloScan.exe source.mp4 1 result.rgb result.hashes e:\\pictures \"My movie name\" table.jpg "
    "info.txt\n";

TEST_F(ScanRun, OtherArgumentCountsPrintTheUsageAndCreateNothing)
{
    std::vector<std::string> args = Arguments(dir_ / "missing.mp4", "1");
    const std::vector<std::string> seven(args.begin(), args.end() - 1);
    args.push_back(Path("extra"));
    for (const auto& arguments : {seven, args}) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.code, 0);
        EXPECT_EQ(result.out, kUsage);
        EXPECT_EQ(FileNames(dir_), std::set<std::string>{"shots"});
    }
}

TEST_F(ScanRun, OutputFileInAMissingFolderEndsWithCodeOne)
{
    std::vector<std::string> args = Arguments(dir_ / "missing.mp4", "1");
    const std::string missingRgb = Path("nowhere/data.rgb");
    args[2] = missingRgb;
    RunResult result = Run(args);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "Open file error " + missingRgb + "!\n");
    EXPECT_EQ(FileNames(dir_), std::set<std::string>{"shots"});

    args = Arguments(dir_ / "missing.mp4", "1");
    const std::string missingHashes = Path("nowhere/hashes.dat");
    args[3] = missingHashes;
    result = Run(args);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "Open hash file error " + missingHashes + "!\n");
    EXPECT_EQ(FileNames(dir_), (std::set<std::string>{"data.rgb", "shots"}));
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
}

TEST_F(ScanRun, VideoThatCannotBeOpenedLeavesTwoEmptyFiles)
{
    std::ofstream(dir_ / "not_a_video.mp4") << "plain text, no video";
    const RunResult result = Run(Arguments(dir_ / "not_a_video.mp4", "1.777778"));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "Input file not opened!\n");
    // FFmpeg alone tries the file: no other back-end of the video library reports a failure of its own.
    EXPECT_EQ(result.err.find("GStreamer"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("VIDEOIO"), std::string::npos) << result.err;
    EXPECT_EQ(FileNames(dir_), (std::set<std::string>{"data.rgb", "hashes.dat", "not_a_video.mp4", "shots"}));
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
    EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 0u);
}

TEST_F(ScanRun, LetterboxedVideoGivesAllOutputs)
{
    // 250 frames of 128 x 64 content between black bars of 16 rows.
    const fs::path video = MakeVideo("testsrc2=size=128x64:rate=25:duration=10", "pad=128:96:0:16:black");
    const RunResult result = Run(Arguments(video, "1.333333"));
    ASSERT_EQ(result.code, 0) << result.err;

    const std::vector<std::string> out = Lines(result.out);
    ASSERT_EQ(out.size(), 13u) << result.out;
    EXPECT_EQ(out[0], "128x96@25.000000 (250 frames)");
    EXPECT_EQ(out[1], "display_ratio=1.000000\tscaled_width=128\tscaled_height=96");
    EXPECT_EQ(out[2], " >>> w=113 h=64 Left2=7 Right2=8 Width=128");
    EXPECT_EQ(out[3], "Scaled: width=128 height=96");
    EXPECT_EQ(out[4], "Selected: width=128 height=64");
    EXPECT_EQ(out[5], "Finished!");
    const char* labels[] = {"Read frame", "Scale     ", "CopyTo    ", "VH.count  ", "RGBFlow   ", "Save      ",
                            "Table     "};
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(std::regex_match(out[6 + i], std::regex(std::string(labels[i]) + "=[0-9]+"))) << out[6 + i];
    EXPECT_EQ(out[7], "Scale     =0");

    EXPECT_EQ(ReadFile(dir_ / "info.dat"),
              "Width: 128\r\nHeight: 96\r\nFPS: 25\r\nFrames: 250\r\nFOURCC: avc1\r\n"
              "PixelAspectRatio: 1.000000\r\nResultWidth: 128\r\nResultHeight: 64\r\n");
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 4u * 250);
    EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 90u * 250);

    std::set<std::string> shots;
    for (int frame : ChooseScreenshotFrames(250, 25).frames)
        if (frame >= 0 && frame < 250)
            shots.insert(ScreenshotName(frame, 25));
    EXPECT_FALSE(shots.empty());
    EXPECT_EQ(FileNames(dir_ / "shots"), shots);
    const cv::Mat shot = cv::imread((dir_ / "shots" / *shots.begin()).string());
    EXPECT_EQ(shot.size(), cv::Size(128, 64));

    // Cells of 178 x 89; ten rows with frames and gaps are 1020 pixels, rounded up to 1024.
    const cv::Mat sheet = cv::imread(Path("table.jpg"));
    EXPECT_EQ(sheet.size(), cv::Size(1920, 1024));
}

TEST_F(ScanRun, RecordsFollowTheFramesInStreamOrder)
{
    // A moving picture, so that a frame skipped, doubled or overwritten while in use shows in the records. 300
    // frames hold a key frame at 0 and one at 250, where a seek back to the start lands in a transport stream.
    for (const char* name : {"video.mp4", "video.mkv", "video.avi", "video.ts", "video.m2ts"}) {
        const fs::path video =
            MakeVideo("testsrc2=size=128x64:rate=25:duration=12", "pad=128:96:0:16:black", "", name);
        const RunResult result = Run(Arguments(video, "1.333333"));
        ASSERT_EQ(result.code, 0) << name << ": " << result.err;

        const Records expected = RecordsOfEveryFrame(video, cv::Rect(0, 16, 128, 64));
        ASSERT_EQ(expected.rgb.size(), 4u * 300) << name;
        EXPECT_TRUE(ReadFile(dir_ / "data.rgb") == expected.rgb) << name;
        EXPECT_TRUE(ReadFile(dir_ / "hashes.dat") == expected.hashes) << name;
        fs::remove(video);
    }
}

TEST_F(ScanRun, SamplesAreTheTenFramesSpreadOverTheVideo)
{
    // Frame k x step has a black bar of 30 rows at the top, every other frame one of 2 rows: the content starts
    // below row 30 only when all ten samples are exactly those frames. 11 steps and 5 frames keep the step
    // whether a container counts a frame more or less. A short step is read on to, a long one sought.
    for (int step : {20, 160}) {
        for (const char* name : {"video.mp4", "video.mkv", "video.avi"}) {
            const std::string bar = "if(eq(mod(N," + std::to_string(step) + "),0),30,2)";
            const fs::path video =
                MakeVideo("color=c=white:size=64x96:rate=25", "geq=lum='if(lt(Y," + bar + "),16,235)':cb=128:cr=128",
                          "-qp 0 -frames:v " + std::to_string(11 * step + 5), name);
            const RunResult result = Run(Arguments(video, "0.666667"));
            ASSERT_EQ(result.code, 0) << name << ": " << result.err;
            EXPECT_NE(result.out.find("\nSelected: width=64 height=66\n"), std::string::npos)
                << name << ", step " << step << ":\n" << result.out;
            fs::remove(video);
        }
    }
}

TEST_F(ScanRun, AnamorphicVideoIsWorkedAtTheDisplayRatio)
{
    const fs::path video = MakeVideo("testsrc2=size=720x576:rate=25:duration=0.4");
    const RunResult result = Run(Arguments(video, "1.777778"));
    ASSERT_EQ(result.code, 0) << result.err;
    const std::vector<std::string> out = Lines(result.out);
    ASSERT_GE(out.size(), 6u) << result.out;
    // 576 / 1.4222224 = 404.99995, truncated.
    EXPECT_EQ(out[1], "display_ratio=1.422222\tscaled_width=720\tscaled_height=404");
    EXPECT_EQ(out[2], " >>> w=718 h=404 Left2=1 Right2=1 Width=720");
    EXPECT_EQ(out[3], "Scaled: width=720 height=404");
    EXPECT_EQ(out[4], "Selected: width=720 height=404");
    EXPECT_TRUE(std::regex_search(result.out, std::regex("\nScale     =[1-9][0-9]*\n"))) << result.out;
    const std::vector<std::string> info = Lines(ReadFile(dir_ / "info.dat"));
    ASSERT_EQ(info.size(), 8u);
    EXPECT_EQ(info[0], "Width: 720\r");
    EXPECT_EQ(info[1], "Height: 576\r");
    EXPECT_EQ(info[5], "PixelAspectRatio: 1.422222\r");
    EXPECT_EQ(info[6], "ResultWidth: 720\r");
    EXPECT_EQ(info[7], "ResultHeight: 404\r");
}

TEST_F(ScanRun, PillarboxBarsAreCutFromTheSides)
{
    const fs::path video = MakeVideo("testsrc2=size=96x96:rate=25:duration=0.4", "pad=160:96:32:0:black");
    const RunResult result = Run(Arguments(video, "1.666667"));
    ASSERT_EQ(result.code, 0) << result.err;
    const std::string info = ReadFile(dir_ / "info.dat");
    EXPECT_NE(info.find("ResultWidth: 96\r\nResultHeight: 96\r\n"), std::string::npos) << info;
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 4u * 10);

    // Ten frames: every cell frame is 0, so only the first cell shows a picture; the second stays white.
    const cv::Mat sheet = cv::imread(Path("table.jpg"));
    ASSERT_EQ(sheet.size(), cv::Size(1920, 1912));
    const cv::Scalar first = cv::mean(sheet(cv::Rect(13, 12, 178, 178)));
    const cv::Scalar second = cv::mean(sheet(cv::Rect(204, 12, 178, 178)));
    EXPECT_LT(first[0] + first[1] + first[2], 3 * 200.0);
    EXPECT_GT(second[0] + second[1] + second[2], 3 * 250.0);
}

TEST_F(ScanRun, InfoFileThatCannotBeCreatedLeavesNoTrace)
{
    const fs::path video = MakeVideo("testsrc2=size=96x96:rate=25:duration=0.2");
    std::vector<std::string> args = Arguments(video, "1");
    args[7] = Path("nowhere/info.dat");
    const RunResult result = Run(args);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(Lines(result.out).size(), 12u) << result.out;  // four measurement lines, Finished!, seven timings
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 4u * 5);
}

TEST_F(ScanRun, TruncatedVideoKeepsTheRecordsOfTheFramesRead)
{
    // The index at the front still promises 200 frames; the second half of the data is gone.
    const fs::path video = MakeVideo("testsrc2=size=128x64:rate=25:duration=8", "null", "-movflags +faststart");
    fs::resize_file(video, fs::file_size(video) / 2);
    const RunResult result = Run(Arguments(video, "2"));
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("Finished!\nRead frame="), std::string::npos) << result.out;
    EXPECT_NE(ReadFile(dir_ / "info.dat").find("Frames: 200\r\n"), std::string::npos);
    const auto records = fs::file_size(dir_ / "data.rgb") / 4;
    EXPECT_GT(records, 0u);
    EXPECT_LT(records, 200u);
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 4 * records);
    EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 90 * records);
    EXPECT_EQ(cv::imread(Path("table.jpg")).cols, 1920);
}

TEST_F(ScanRun, DisplayRatioThatIsNoPositiveNumberStopsBeforeAnyFile)
{
    for (const char* ratio : {"0", "-1.5", "abc", "nan"}) {
        const RunResult result = Run(Arguments(dir_ / "missing.mp4", ratio));
        EXPECT_EQ(result.code, 2) << ratio;
        EXPECT_EQ(result.out, "") << ratio;
        EXPECT_NE(result.err.find("display ratio"), std::string::npos) << result.err;
        EXPECT_EQ(FileNames(dir_), std::set<std::string>{"shots"}) << ratio;
    }
}

TEST_F(ScanRun, ContentTooSmallStopsBeforeTheInfoFile)
{
    struct Case {
        const char* source;
        const char* filters;
        const char* cropLine;  // printed before the stop, as for any content
    };
    const Case cases[] = {
        // The bars of a black picture meet in the middle: no content is left to work on.
        {"color=c=black:size=64x48:rate=25:duration=0.4", "null", ""},
        // 24 x 12 pixels of picture inside black bars: below the 14 pixels the hashes need.
        {"testsrc2=size=24x12:rate=25:duration=0.4", "pad=64:48:20:18:black",
         " >>> w=21 h=12 Left2=21 Right2=22 Width=64\n"},
    };
    for (const Case& c : cases) {
        const fs::path video = MakeVideo(c.source, c.filters);
        const RunResult result = Run(Arguments(video, "1.333333"));
        EXPECT_EQ(result.code, 2) << c.source;
        EXPECT_NE(result.err.find("too small"), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.ends_with("scaled_height=48\n" + std::string(c.cropLine))) << result.out;
        EXPECT_EQ(FileNames(dir_), (std::set<std::string>{"data.rgb", "hashes.dat", "shots", "video.mp4"}));
        EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
        EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 0u);
    }
}

TEST_F(ScanRun, WriteErrorStopsTheRunAndLeavesTheDataFilesEmpty)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to fail the writes";
    // A stop in the main pass must not leave records that the client would take for a finished run.
    const fs::path video = MakeVideo("testsrc2=size=96x96:rate=25:duration=4");
    std::vector<std::string> args = Arguments(video, "1");
    args[3] = "/dev/full";
    const RunResult result = Run(args);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "Write error /dev/full!\n");
    EXPECT_EQ(result.out.find("Finished!"), std::string::npos) << result.out;
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
}

TEST_F(ScanRun, SampleReadThatFailsEndsOnlyTheSampling)
{
    // In each of these files the frame count promises more frames than can be read, so a late sample read
    // fails: the run goes on with the samples read and records every frame read from the start.
    const auto cutInHalf = [](const fs::path& video) { fs::resize_file(video, fs::file_size(video) / 2); };
    const auto zeroAQuarter = [](const fs::path& video) {
        const auto size = fs::file_size(video);
        std::fstream file(video, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(size / 3));
        const std::string zeros(size / 4, '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    };
    // 100 frames 1/25 s apart, then 100 frames 1/5 s apart: the count comes from the duration at 25 a second.
    const std::string slowDown = "setpts='if(lt(N,100),N/25,4+(N-100)/5)/TB'";
    struct Case {
        const char* name;
        std::string filters;
        std::function<void(const fs::path&)> damage;
    };
    const Case cases[] = {
        {"variable_rate.mkv", slowDown, nullptr},
        {"variable_rate.webm", slowDown, nullptr},
        {"cut_short.mkv", "null", cutInHalf},
        {"damaged_middle.mkv", "null", zeroAQuarter},
    };
    for (const Case& c : cases) {
        const fs::path video =
            MakeVideo("testsrc2=size=128x96:rate=25:duration=8", c.filters, "-fps_mode passthrough", c.name);
        if (c.damage)
            c.damage(video);
        const RunResult result = Run(Arguments(video, "1.333333"));
        EXPECT_EQ(result.code, 0) << c.name << ": " << result.err;
        EXPECT_NE(result.out.find("\nCan't read frame!\n"), std::string::npos) << c.name << ":\n" << result.out;
        EXPECT_NE(result.out.find("\nFinished!\n"), std::string::npos) << c.name << ":\n" << result.out;

        const Records expected = RecordsOfEveryFrame(video, cv::Rect(0, 0, 128, 96));
        EXPECT_GT(expected.rgb.size(), 0u) << c.name;
        EXPECT_TRUE(ReadFile(dir_ / "data.rgb") == expected.rgb) << c.name;
        EXPECT_TRUE(ReadFile(dir_ / "hashes.dat") == expected.hashes) << c.name;
        fs::remove(video);
    }
}

TEST_F(ScanRun, RotatedVideoIsWorkedAsStored)
{
    // 480 x 270 stored, flagged to be shown turned by 90 degrees; the client passes the stored ratio.
    const fs::path stored = MakeVideo("testsrc2=size=480x270:rate=25:duration=0.4");
    const fs::path video = dir_ / "rotated.mp4";
    const std::string command = "ffmpeg -v error -y -i " + Quote(stored.string()) +
                                " -c copy -metadata:s:v:0 rotate=90 " + Quote(video.string());
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const RunResult result = Run(Arguments(video, "1.777778"));
    ASSERT_EQ(result.code, 0) << result.err;
    const std::vector<std::string> out = Lines(result.out);
    ASSERT_GE(out.size(), 2u) << result.out;
    EXPECT_EQ(out[0], "480x270@25.000000 (10 frames)");
    EXPECT_EQ(out[1], "display_ratio=1.000000\tscaled_width=480\tscaled_height=270");
    const std::string info = ReadFile(dir_ / "info.dat");
    EXPECT_TRUE(info.starts_with("Width: 480\r\nHeight: 270\r\n")) << info;
    EXPECT_NE(info.find("\r\nResultWidth: 480\r\nResultHeight: 270\r\n"), std::string::npos) << info;
    EXPECT_TRUE(ReadFile(dir_ / "data.rgb") == RecordsOfEveryFrame(stored, cv::Rect(0, 0, 480, 270)).rgb);
}

TEST_F(ScanRun, OneFrameVideoGetsItsRecord)
{
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25", "null", "-frames:v 1");
    const RunResult result = Run(Arguments(video, "1.333333"));
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("\nFinished!\n"), std::string::npos) << result.out;
    const Records expected = RecordsOfEveryFrame(video, cv::Rect(0, 0, 128, 96));
    ASSERT_EQ(expected.rgb.size(), 4u);
    EXPECT_TRUE(ReadFile(dir_ / "data.rgb") == expected.rgb);
    EXPECT_TRUE(ReadFile(dir_ / "hashes.dat") == expected.hashes);
    EXPECT_EQ(FileNames(dir_ / "shots"), std::set<std::string>{"ss_0.00_0.jpg"});
}

TEST_F(ScanRun, MainPassThatReadsNoFrameStops)
{
    // The video goes away while the samples are read from it: the main pass opens it afresh and reads nothing.
    // The info file is a pipe, so that the run waits at it, after the sampling, until the video is gone.
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25:duration=2");
    ASSERT_EQ(mkfifo(Path("info.dat").c_str(), 0600), 0);
    const pid_t pid = Start(Arguments(video, "1.333333"));
    if (!WaitUntilOpened(pid, video)) {
        kill(pid, SIGKILL);
        Wait(pid);
        FAIL() << "the run never opened the video";
    }
    fs::remove(video);
    const std::string info = ReadFile(dir_ / "info.dat");  // lets the run go on

    const RunResult result = Wait(pid);
    EXPECT_EQ(result.code, 2);
    EXPECT_TRUE(result.err.ends_with("No frame of the video can be read from its start!\n")) << result.err;
    EXPECT_EQ(result.out.find("Finished!"), std::string::npos) << result.out;
    EXPECT_NE(info.find("Width: 128\r\n"), std::string::npos) << info;
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
    EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 0u);
    EXPECT_EQ(FileNames(dir_), (std::set<std::string>{"data.rgb", "hashes.dat", "info.dat", "shots"}));
}

TEST_F(ScanRun, PictureTallerThanAJpegHoldsStopsBeforeItIsMade)
{
    struct Case {
        const char* size;
        const char* ratio;
        const char* message;
    };
    const Case cases[] = {
        // Cells of 178 x 7120: a table view picture of 71336 rows.
        {"100x4000", "0.025", "(100x4000) is too tall for the table view picture: it would be 71336 rows high"},
        // Worked at 128 x 12799: cells of 178 x 17798.
        {"128x96", "0.01", "(128x12799) is too tall for the table view picture: it would be 178112 rows high"},
        {"128x96", "0.001", "The picture to work on (128x128000) is taller than the 65500 rows of a JPEG picture!"},
    };
    for (const Case& c : cases) {
        const fs::path video = MakeVideo("testsrc2=size=" + std::string(c.size) + ":rate=25:duration=0.4");
        const RunResult result = Run(Arguments(video, c.ratio));
        EXPECT_EQ(result.code, 2) << c.size << " at " << c.ratio;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_LT(result.peakKiB, 300 * 1024) << c.size << " at " << c.ratio;
        EXPECT_EQ(FileNames(dir_), (std::set<std::string>{"data.rgb", "hashes.dat", "shots", "video.mp4"}));
        EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
        EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 0u);
    }
}

TEST_F(ScanRun, KilledRunLeavesEmptyDataFiles)
{
    // Long enough that the run is still in its main pass when its first RGB records reach the disk.
    const fs::path video = MakeVideo("testsrc2=size=320x240:rate=25:duration=120", "null", "-preset ultrafast");
    const pid_t pid = Start(Arguments(video, "1.333333"));
    const auto rgbRecordsWritten = [&] {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (entry.path().filename().string().starts_with("data.rgb") && entry.file_size(ignored) > 0)
                return true;
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!rgbRecordsWritten() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    kill(pid, SIGKILL);

    const RunResult result = Wait(pid);
    ASSERT_TRUE(result.signalled) << "the run ended before it could be killed:\n" << result.out;
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
    EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 0u);

    // The killed run holds its data files no longer: the next run on them finishes over what it left.
    const fs::path next = MakeVideo("testsrc2=size=64x48:rate=25:duration=1", "null", "", "next.mp4");
    const RunResult rerun = Run(Arguments(next, "1.333333"));
    ASSERT_EQ(rerun.code, 0) << rerun.err;
    const Records expected = RecordsOfEveryFrame(next, cv::Rect(0, 0, 64, 48));
    EXPECT_TRUE(ReadFile(dir_ / "data.rgb") == expected.rgb);
    EXPECT_TRUE(ReadFile(dir_ / "hashes.dat") == expected.hashes);
    EXPECT_FALSE(fs::exists(dir_ / "data.rgb.part"));
    EXPECT_FALSE(fs::exists(dir_ / "hashes.dat.part"));
}

TEST_F(ScanRun, TwelveSecondClipGetsTenScreenshots)
{
    // The plain draws for 300 frames repeat frame 64; the repeat is drawn again.
    const fs::path video = MakeVideo("testsrc2=size=64x48:rate=25:duration=12");
    const RunResult result = Run(Arguments(video, "1.333333"));
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(FileNames(dir_ / "shots").size(), 10u);
}

TEST_F(ScanRun, RunOnDataFilesInUseStopsAndLeavesThemAlone)
{
    // Another run holds the records' file beside the RGB data file: nothing of its files may change.
    const std::map<std::string, std::string> files = {{"data.rgb", "earlier records"},
                                                      {"data.rgb.part", "records being written"},
                                                      {"hashes.dat", "earlier hashes"},
                                                      {"hashes.dat.part", "hashes being written"}};
    for (const auto& [name, content] : files)
        std::ofstream(dir_ / name) << content;
    PathLock otherRun;
    ASSERT_EQ(otherRun.Take(Path("data.rgb.part")), PathLock::Result::kTaken);

    const fs::path video = MakeVideo("testsrc2=size=64x48:rate=25:duration=1");
    const RunResult result = Run(Arguments(video, "1.333333"));
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "The data file " + Path("data.rgb") + " is in use by another run!\n");
    for (const auto& [name, content] : files)
        EXPECT_EQ(ReadFile(dir_ / name), content) << name;
    EXPECT_EQ(FileNames(dir_ / "shots"), std::set<std::string>{});
    EXPECT_FALSE(fs::exists(dir_ / "info.dat"));
}

TEST_F(ScanRun, SecondRunOnTheSameDataFilesNeverMixesItsRecordsIn)
{
    // The first run waits at its info file, a pipe, until the second run is over: its data files are held.
    const fs::path first = MakeVideo("testsrc2=size=128x96:rate=25:duration=4", "null", "", "first.mp4");
    const fs::path secondVideo = MakeVideo("testsrc2=size=64x48:rate=25:duration=1", "null", "", "second.mp4");
    ASSERT_EQ(mkfifo(Path("info.dat").c_str(), 0600), 0);
    const pid_t pid = Start(Arguments(first, "1.333333"));
    if (!WaitUntilOpened(pid, first)) {
        kill(pid, SIGKILL);
        Wait(pid);
        FAIL() << "the first run never opened its video";
    }
    std::vector<std::string> args = Arguments(secondVideo, "1.333333");
    args[7] = Path("second_info.dat");
    const RunResult second = Run(args, "second_");
    EXPECT_EQ(second.code, 2);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, "The data file " + Path("data.rgb") + " is in use by another run!\n");
    EXPECT_FALSE(fs::exists(dir_ / "second_info.dat"));
    const std::string info = ReadFile(dir_ / "info.dat");  // lets the first run go on

    const RunResult result = Wait(pid);
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(info.find("Width: 128\r\n"), std::string::npos) << info;
    const Records expected = RecordsOfEveryFrame(first, cv::Rect(0, 0, 128, 96));
    EXPECT_TRUE(ReadFile(dir_ / "data.rgb") == expected.rgb);
    EXPECT_TRUE(ReadFile(dir_ / "hashes.dat") == expected.hashes);
}

TEST_F(ScanRun, WriteThatFailsOnARegularFileStopsTheRunAndLeavesTheDataFilesEmpty)
{
    // A limit on the file size fails the writes of the hashes file (90 bytes a frame) part of the way; with
    // the signal ignored, the writes report the failure. The started run inherits both.
    const fs::path video = MakeVideo("testsrc2=size=64x48:rate=25:duration=4");
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{4096, limit.rlim_max};
    const auto signalAction = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const pid_t pid = Start(Arguments(video, "1.333333"));
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, signalAction);

    const RunResult result = Wait(pid);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "Write error " + Path("hashes.dat") + "!\n");
    EXPECT_EQ(result.out.find("Finished!"), std::string::npos) << result.out;
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 0u);
    EXPECT_EQ(fs::file_size(dir_ / "hashes.dat"), 0u);
    EXPECT_FALSE(fs::exists(dir_ / "data.rgb.part"));
    EXPECT_FALSE(fs::exists(dir_ / "hashes.dat.part"));
}

TEST_F(ScanRun, TenMinutesOfFramesSaveTheLastMarkAsANewPick)
{
    // Exactly 600 seconds at 2 frames a second: the fifth mark, frame 1200, is the frame count and is never
    // read. It is drawn again from where the picks left the generator: frame 236.
    const fs::path video = MakeVideo("testsrc2=size=64x48:rate=2:duration=600");
    const RunResult result = Run(Arguments(video, "1.333333"));
    ASSERT_EQ(result.code, 0) << result.err;
    ASSERT_EQ(fs::file_size(dir_ / "data.rgb"), 4u * 1200);

    const std::vector<int> frames = {240, 480, 720, 960, 236, 120, 853, 299, 1, 161};
    std::set<std::string> names;
    for (int frame : frames)
        names.insert(ScreenshotName(frame, 2));
    EXPECT_EQ(FileNames(dir_ / "shots"), names);

    // The screenshot read after the pass shows its own frame, not a neighbour.
    const cv::Mat shot = cv::imread((dir_ / "shots" / ScreenshotName(236, 2)).string());
    const std::vector<cv::Mat> around = FramesAt(video, {235, 236, 237});
    ASSERT_EQ(shot.size(), around[1].size());
    EXPECT_LT(MeanDifference(shot, around[1]), MeanDifference(shot, around[0]));
    EXPECT_LT(MeanDifference(shot, around[1]), MeanDifference(shot, around[2]));
}

TEST_F(ScanRun, FrameCountThatOverEstimatesStillGivesTenScreenshots)
{
    // 10 seconds at 25 frames a second, then 20 seconds at 5: 350 frames, counted as about 750 from the
    // duration and the nominal rate. The entries past frame 349 are drawn again over the frames read, and their
    // pictures are cut from the frame corrected to the display ratio, as the main pass cuts them.
    const std::string slowDown = "setpts='if(lt(N,250),N/25,10+(N-250)/5)/TB'";
    struct Ratio {
        const char* ratio;
        int workingHeight;  // of the 64 x 48 frames
    };
    const Ratio ratios[] = {{"2", 32}, {"1.333333", 48}, {"1", 64}};
    for (const char* name : {"variable_rate.webm", "variable_rate.mkv"}) {
        const fs::path video =
            MakeVideo("testsrc2=size=64x48:rate=25", slowDown, "-frames:v 350 -fps_mode passthrough", name);
        for (const auto& [ratio, workingHeight] : ratios) {
            const std::string run = std::string(name) + " at " + ratio;
            const RunResult result = Run(Arguments(video, ratio));
            ASSERT_EQ(result.code, 0) << run << ": " << result.err;
            const int framesRead = static_cast<int>(fs::file_size(dir_ / "data.rgb") / 4);
            ASSERT_EQ(framesRead, 350) << run;
            const std::string info = ReadFile(dir_ / "info.dat");
            ASSERT_NE(info.find("\r\nResultWidth: 64\r\nResultHeight: " + std::to_string(workingHeight) + "\r\n"),
                      std::string::npos)
                << run << ": " << info;
            std::smatch count;
            ASSERT_TRUE(std::regex_search(info, count, std::regex("\nFrames: ([0-9]+)\r\n"))) << info;

            ScreenshotPlan plan = ChooseScreenshotFrames(std::stoi(count[1]), 25);
            const std::vector<int> redrawn = RedrawUnreadScreenshots(plan, framesRead);
            ASSERT_FALSE(redrawn.empty()) << run << ": no entry lies past the frames read";
            std::set<std::string> names;
            for (int frame : plan.frames)
                names.insert(ScreenshotName(frame, 25));
            EXPECT_EQ(names.size(), 10u) << run;
            EXPECT_EQ(FileNames(dir_ / "shots"), names) << run;

            // The content is the whole working frame: the frame as read, resized to the display ratio. Where that
            // is lower than the frame, the picture is nearer to it than to the same rows of the frame as read.
            const std::vector<cv::Mat> frames = FramesAt(video, redrawn);
            for (std::size_t i = 0; i < redrawn.size(); ++i) {
                const cv::Mat shot = cv::imread((dir_ / "shots" / ScreenshotName(redrawn[i], 25)).string());
                cv::Mat working;
                cv::resize(frames[i], working, cv::Size(64, workingHeight), 0, 0, cv::INTER_LINEAR);
                ASSERT_EQ(shot.size(), working.size()) << run << ", frame " << redrawn[i];
                if (workingHeight < frames[i].rows) {
                    EXPECT_LT(MeanDifference(shot, working),
                              MeanDifference(shot, frames[i](cv::Rect(0, 0, 64, workingHeight))))
                        << run << ", frame " << redrawn[i];
                }
            }
            fs::remove_all(dir_ / "shots");
            fs::create_directory(dir_ / "shots");
        }
        fs::remove(video);
    }
}

TEST_F(ScanRun, TableCellsShowTheMiddleFrameOfEachStepWithItsTime)
{
    // 5000 frames: a step of 50 frames a cell, so cell c shows frame 50 c + 25, at 2 c + 1 seconds. Those
    // frames alone are light.
    const fs::path video = MakeVideo("color=c=gray:size=64x48:rate=25", "geq=lum='if(eq(mod(N,50),25),200,90)':cb=128:cr=128",
                                     "-frames:v 5000 -preset ultrafast");
    const RunResult result = Run(Arguments(video, "1.333333"));
    ASSERT_EQ(result.code, 0) << result.err;
    const cv::Mat sheet = cv::imread(Path("table.jpg"));

    // The sheet as drawn from the designed frames, and as drawn with the frame or the label of the step's start.
    std::vector<int> middles, starts;
    for (int cell = 0; cell < 100; ++cell) {
        middles.push_back(50 * cell + 25);
        starts.push_back(50 * cell);
    }
    const std::vector<cv::Mat> middleFrames = FramesAt(video, middles);
    const std::vector<cv::Mat> startFrames = FramesAt(video, starts);
    TableViewState expected, startFrame, startLabel;
    for (TableViewState* state : {&expected, &startFrame, &startLabel}) {
        InitTableView(*state, 64, 48);
        state->frameRate = 25;
    }
    for (int cell = 0; cell < 100; ++cell) {
        PlaceTableViewCell(expected, cell, TableViewCellPicture(expected, middleFrames[cell]), middles[cell]);
        PlaceTableViewCell(startFrame, cell, TableViewCellPicture(startFrame, startFrames[cell]), starts[cell]);
        PlaceTableViewCell(startLabel, cell, TableViewCellPicture(startLabel, middleFrames[cell]), starts[cell]);
    }
    ASSERT_EQ(sheet.size(), expected.sheet.size());
    for (int cell = 0; cell < 100; ++cell) {
        const cv::Rect picture(TableCellOrigin(expected, cell), cv::Size(expected.cellWidth, expected.cellHeight));
        const cv::Rect label(picture.br() - cv::Point(40, 14), cv::Size(40, 14));
        EXPECT_LT(MeanDifference(sheet(picture), expected.sheet(picture)), 3) << "cell " << cell;
        EXPECT_LT(MeanDifference(sheet(picture), expected.sheet(picture)),
                  MeanDifference(sheet(picture), startFrame.sheet(picture)))
            << "cell " << cell;
        EXPECT_LT(MeanDifference(sheet(label), expected.sheet(label)),
                  MeanDifference(sheet(label), startLabel.sheet(label)))
            << "cell " << cell;
    }
}

// The outputs that a run over several captures must give exactly as one capture does: every file the run
// leaves, its standard output with the timing values taken out, and its exit code. Standard error (where the
// test setting reports the joins) is kept apart.
struct PassOutputs {
    int code = -1;
    std::string out;
    std::map<std::string, std::string> files;
    std::string joins;
};

class SplitPass : public ScanRun {
protected:
    // A run on the video with the given number of captures asked for, its outputs in a folder of their own. The
    // captures after the first decode on one thread each, or on the library's threads with libraryThreads.
    PassOutputs RunWithCaptures(const fs::path& video, const std::string& ratio, int captures,
                                bool libraryThreads = false)
    {
        const fs::path folder = dir_ / ("captures_" + std::to_string(captures));
        fs::create_directories(folder / "shots");
        const auto in = [&](const char* name) { return (folder / name).string(); };
        setenv("TARVELLO_SCAN_SEGMENTS", (std::to_string(captures) + (libraryThreads ? ":library" : "")).c_str(), 1);
        const RunResult result = Run({video.string(), ratio, in("data.rgb"), in("hashes.dat"), in("shots"), "ss",
                                      in("table.jpg"), in("info.dat")});
        unsetenv("TARVELLO_SCAN_SEGMENTS");
        PassOutputs outputs;
        outputs.code = result.code;
        for (const std::string& line : Lines(result.out))
            outputs.out += std::regex_replace(line, std::regex("^([A-Za-z. ]+)=[0-9]+$"), "$1=") + "\n";
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                outputs.files[fs::relative(entry.path(), folder).string()] = ReadFile(entry.path());
        fs::remove_all(folder);
        for (const std::string& line : Lines(result.err))
            if (line.starts_with("Segment from frame "))
                outputs.joins += line + "\n";
        return outputs;
    }

    // Runs the video over one capture and over several, expects the same outputs and gives the joins.
    std::string ExpectOutputsOfOneCapture(const fs::path& video, int captures, const std::string& ratio = "1.333333",
                                          bool libraryThreads = false)
    {
        const PassOutputs one = RunWithCaptures(video, ratio, 1);
        const PassOutputs split = RunWithCaptures(video, ratio, captures, libraryThreads);
        const std::string name = video.filename().string();
        EXPECT_EQ(one.joins, "") << name;
        EXPECT_EQ(split.code, one.code) << name;
        EXPECT_EQ(split.out, one.out) << name;
        EXPECT_GT(one.files.count("data.rgb"), 0u) << name;
        for (const auto& [file, bytes] : one.files) {
            const auto other = split.files.find(file);
            EXPECT_TRUE(other != split.files.end() && other->second == bytes) << name << ": " << file << " differs";
        }
        for (const auto& [file, bytes] : split.files)
            EXPECT_EQ(one.files.count(file), 1u) << name << ": " << file << " only with several captures";
        return split.joins;
    }

    // ffmpeg on the arguments, in the test's folder.
    void Ffmpeg(const std::string& arguments)
    {
        const std::string command = "cd " + Quote(dir_.string()) + " && ffmpeg -v error -y " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
};

int Count(const std::string& text, const std::string& word)
{
    int count = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

// A video of each codec and container that the split must join exactly (or fall back on), made from a lavfi
// source, with key frames every 25 frames so that three captures find key frames to start from in 12 seconds.
struct CodecCase {
    // Every capture joins the one before it; none can, which the first capture finds out early and reads the video
    // alone; the video is not split.
    enum Joins { kJoins, kReadsAlone, kNoSplit };

    const char* name;
    std::string filters;
    std::string options;
    Joins joins;
    std::function<void(const fs::path&)> damage = nullptr;
    double seconds = 12;
    bool twoPass = false;  // an analysis pass first, which libvpx needs for its hidden alt-ref frames
};

const std::string kKeyFrames = "-g 25";
const std::string kOpenGop = "-x264-params keyint=25:open-gop=1 -bf 3";
// 200 frames 1/25 s apart, then 100 frames 1/12.5 s apart: the frame count is only an estimate.
const std::string kSlowDown = "setpts='if(lt(N,200),N/25,8+(N-200)/12.5)/TB'";
const std::string kPassthrough = " -fps_mode passthrough";

std::function<void(const fs::path&)> CutAt(double share)
{
    return [share](const fs::path& video) {
        fs::resize_file(video, static_cast<std::uintmax_t>(fs::file_size(video) * share));
    };
}

const CodecCase kCodecCases[] = {
    {"closed_gop.mp4", "null", kKeyFrames + " -bf 2", CodecCase::kJoins},
    {"open_gop.mp4", "null", kOpenGop, CodecCase::kJoins},
    {"open_gop.mkv", "null", kOpenGop, CodecCase::kJoins},
    {"cra_key_frames.mkv", "null", "-c:v libx265 -x265-params keyint=25:open-gop=1:log-level=error",
     CodecCase::kJoins},
    {"mpeg2_open_gop.ts", "null", "-c:v mpeg2video -g 12 -bf 2", CodecCase::kJoins},
    {"h264.ts", "null", kKeyFrames, CodecCase::kJoins},
    {"vp9.webm", "null", "-c:v libvpx-vp9 -g 25 -deadline realtime -cpu-used 8", CodecCase::kJoins},
    // On the library's decoder threads the frames after a hidden frame come without a time stamp.
    {"vp9_alt_ref.webm", "null", "-c:v libvpx-vp9 -g 25 -deadline good -cpu-used 8 -auto-alt-ref 1 -lag-in-frames 25",
     CodecCase::kJoins, nullptr, 12, true},
    {"av1.mkv", "null", "-c:v libsvtav1 -g 25 -preset 12", CodecCase::kJoins},
    {"mpeg4.avi", "null", "-c:v mpeg4 -g 25", CodecCase::kJoins},
    {"mpeg4_b_frames.avi", "null", "-c:v mpeg4 -g 25 -bf 2", CodecCase::kJoins},
    {"variable_rate.mkv", kSlowDown, kKeyFrames + kPassthrough, CodecCase::kJoins},
    {"variable_rate.webm", kSlowDown, kKeyFrames + kPassthrough, CodecCase::kJoins},
    // Cut inside the last capture's frames: that one reads too few to join, the one before reads on.
    {"cut_short.avi", "null", "-c:v mpeg4 -g 25", CodecCase::kJoins, CutAt(0.85)},
    // The library numbers the frames after a seek by their time stamps, which here are not the counted ones
    // anywhere (it takes the rate for the average one): the trial at the first key frame shows it.
    {"variable_rate.mp4", kSlowDown, kKeyFrames + kPassthrough, CodecCase::kReadsAlone},
    // A still picture coded without loss: the frames differ in their time stamps alone, and a capture numbered
    // wrongly agrees with the one before it in every byte.
    {"still_variable_rate.mp4", "loop=loop=-1:size=1," + kSlowDown,
     "-qp 0 " + kKeyFrames + " -frames:v 300" + kPassthrough, CodecCase::kReadsAlone},
    {"200_frames.mp4", "null", kKeyFrames, CodecCase::kJoins, nullptr, 8},
    {"one_frame.mp4", "null", kKeyFrames + " -frames:v 1", CodecCase::kNoSplit},
};

void PrintTo(const CodecCase& c, std::ostream* out)
{
    *out << c.name;
}

class SplitPassOfCodec : public SplitPass, public testing::WithParamInterface<CodecCase> {};

TEST_P(SplitPassOfCodec, GivesTheOutputsOfOneCapture)
{
    const CodecCase& c = GetParam();
    const std::string source = "testsrc2=size=128x96:rate=25:duration=" + std::to_string(c.seconds);
    const std::string passes = " -passlogfile " + Quote(Path("pass")) + " -pass ";
    if (c.twoPass)
        MakeVideo(source, c.filters, c.options + passes + "1", c.name);
    const fs::path video = MakeVideo(source, c.filters, c.options + (c.twoPass ? passes + "2" : ""), c.name);
    if (c.damage)
        c.damage(video);
    const std::string joins = ExpectOutputsOfOneCapture(video, 3);
    switch (c.joins) {
    case CodecCase::kJoins:
        EXPECT_EQ(Count(joins, " joined at frame "), 2) << joins;
        EXPECT_EQ(Count(joins, " dropped at frame "), 0) << joins;
        break;
    case CodecCase::kReadsAlone:
        // Within a key-frame interval and a join past the trial's start. Whether the later captures join each other
        // before they end does not matter.
        EXPECT_EQ(Count(joins, "Segment from frame 49 disagrees: one capture reads on from frame 116\n"), 1) << joins;
        EXPECT_EQ(Count(joins, " dropped at frame "), 0) << joins;
        break;
    case CodecCase::kNoSplit:
        EXPECT_EQ(joins, "");
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCodecAndContainer, SplitPassOfCodec, testing::ValuesIn(kCodecCases),
                         [](const testing::TestParamInfo<CodecCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

TEST_F(SplitPass, CapturesOnTheLibrarysDecoderThreadsGiveTheOutputsOfOneCapture)
{
    // The split of videos too short for a capture a core: every capture reads ahead on a thread of its own.
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25:duration=12", "null", kKeyFrames + " -bf 2");
    const std::string joins = ExpectOutputsOfOneCapture(video, 3, "1.333333", true);
    EXPECT_EQ(Count(joins, " joined at frame "), 2) << joins;
}

TEST_F(SplitPass, JoinThatComesLateHandsOutTheLaterCapturesFramesFromTheJoinOn)
{
    // Key frames every 25 frames; of four captures (from frames 74, 174 and 274), the one from 174 is sought to
    // key frame 150, which is damaged. The capture before it conceals the damage from the frames before, the one
    // sought to it from nothing, so their frames differ up to the next key frame, 175: the join comes a frame
    // later than it could (216), and the later capture's frame 216, handed out by the one before, is thrown away.
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25:duration=16", "null", kKeyFrames, "late_join.mp4");
    const std::string command = "ffprobe -v error -select_streams v -show_entries packet=pts_time,pos,size -of csv=p=0 " +
                                Quote(video.string()) + " | grep '^6.000000,'";
    std::FILE* probe = popen(command.c_str(), "r");
    ASSERT_NE(probe, nullptr);
    long long size = 0;
    long long keyFrameAt = -1;
    ASSERT_EQ(std::fscanf(probe, "6.000000,%lld,%lld", &size, &keyFrameAt), 2);
    pclose(probe);
    {
        std::fstream file(video, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(keyFrameAt + size / 4);
        const std::string zeros(size / 2, '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    const PassOutputs one = RunWithCaptures(video, "1.333333", 1);
    const PassOutputs split = RunWithCaptures(video, "1.333333", 4);
    EXPECT_NE(split.joins.find("Segment from frame 174 joined at frame 217\n"), std::string::npos) << split.joins;
    EXPECT_EQ(split.code, 0);
    EXPECT_EQ(split.out, one.out);
    // The damaged key frame's interval is concealed differently on other decoder threads; every other record is
    // that of one capture.
    for (const auto& [file, recordSize] : {std::pair<std::string, std::size_t>{"data.rgb", 4}, {"hashes.dat", 90}}) {
        const std::string& expected = one.files.at(file);
        const std::string& records = split.files.at(file);
        ASSERT_EQ(expected.size(), 400 * recordSize) << file;
        ASSERT_EQ(records.size(), expected.size()) << file;
        EXPECT_TRUE(records.substr(0, 150 * recordSize) == expected.substr(0, 150 * recordSize)) << file;
        EXPECT_TRUE(records.substr(175 * recordSize) == expected.substr(175 * recordSize)) << file;
    }
}

TEST_F(SplitPass, TransportStreamWithATimeStampJumpGivesTheOutputsOfOneCapture)
{
    // Two halves whose time stamps lie a minute apart; seeks by time land far from the counted frames.
    Ffmpeg("-f lavfi -i testsrc2=size=128x96:rate=25:duration=8 -c:v libx264 -pix_fmt yuv420p -g 25 first.ts");
    Ffmpeg("-f lavfi -i testsrc2=size=128x96:rate=25:duration=8 -c:v libx264 -pix_fmt yuv420p -g 25 "
           "-output_ts_offset 60 second.ts");
    const fs::path video = dir_ / "jump.ts";
    std::ofstream(video, std::ios::binary) << ReadFile(dir_ / "first.ts") << ReadFile(dir_ / "second.ts");
    ExpectOutputsOfOneCapture(video, 3);
}

// The index in decode order of the last key frame that lies wholly before the byte offset; -1 where there is none.
int LastKeyFrameBefore(const fs::path& video, long long offset)
{
    const std::string command = "ffprobe -v error -select_streams v -show_entries packet=pos,flags -of csv=p=0 " +
                                Quote(video.string());
    std::FILE* probe = popen(command.c_str(), "r");
    if (!probe)
        return -1;
    int last = -1;
    char line[200];
    for (int packet = 0; std::fgets(line, sizeof line, probe);) {
        long long pos = -1;
        char flags[8] = "";
        if (std::sscanf(line, "%lld,%7[^,\n]", &pos, flags) != 2)
            continue;
        if (pos >= offset)
            break;
        if (flags[0] == 'K')
            last = packet;
        ++packet;
    }
    pclose(probe);
    return last;
}

TEST_F(SplitPass, DamagedTransportStreamRunsWholeOverSeveralCaptures)
{
    // An eighth of the file zeroed from 30 % on. The decoder hides the damage one way on one thread and another on
    // its frame threads (and on machines with other core counts), so the frames there are its guesses either way;
    // what the split must keep is a finished run with one whole record of each kind for every frame that one
    // capture reads, and the records of the frames before the damage.
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25:duration=16", "null", "-g 25", "damaged.ts");
    const auto damagedFrom = static_cast<long long>(fs::file_size(video) * 3 / 10);
    {
        std::fstream file(video, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(damagedFrom);
        const std::string zeros(fs::file_size(video) / 8, '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    const PassOutputs one = RunWithCaptures(video, "1.333333", 1);
    const PassOutputs split = RunWithCaptures(video, "1.333333", 4);
    EXPECT_GE(Count(split.joins, " joined at frame "), 1) << split.joins;
    EXPECT_EQ(split.code, 0);
    EXPECT_EQ(split.out, one.out);
    const std::size_t frames = one.files.at("data.rgb").size() / 4;
    EXPECT_GT(frames, 300u);
    EXPECT_EQ(split.files.at("data.rgb").size(), 4 * frames);
    EXPECT_EQ(split.files.at("hashes.dat").size(), 90 * frames);
    // The frames up to the last key frame before the damage come whole from the file.
    const int before = LastKeyFrameBefore(video, damagedFrom);
    ASSERT_GT(before, 50);
    EXPECT_TRUE(split.files.at("data.rgb").substr(0, 4 * before) == one.files.at("data.rgb").substr(0, 4 * before));
    EXPECT_TRUE(split.files.at("hashes.dat").substr(0, 90 * before) ==
                one.files.at("hashes.dat").substr(0, 90 * before));
}

std::size_t ThreadsOfThisProcess()
{
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

TEST_F(SplitPass, CaptureOpenedForOneDecoderThreadDecodesOnTheReadingThread)
{
    // The video library gives a capture's decoder a thread a core unless the capture asks for one, as the
    // captures after the first do; both decode the same picture.
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "with one core the library starts no decoder threads either way";
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25:duration=1");
    const std::size_t threads = ThreadsOfThisProcess();
    cv::Mat oneThread;
    {
        cv::VideoCapture capture;
        ASSERT_TRUE(OpenVideo(capture, video.c_str(), 1));
        ASSERT_TRUE(capture.read(oneThread));
        EXPECT_LE(ThreadsOfThisProcess(), threads);
    }
    cv::Mat libraryThreads;
    {
        cv::VideoCapture capture;
        ASSERT_TRUE(OpenVideo(capture, video.c_str()));
        ASSERT_TRUE(capture.read(libraryThreads));
        EXPECT_GT(ThreadsOfThisProcess(), threads);
    }
    EXPECT_EQ(cv::norm(oneThread, libraryThreads, cv::NORM_INF), 0);
}

TEST_F(SplitPass, RunThatStopsWhileTheLaterCapturesReadStopsThemToo)
{
    // A black picture leaves no content: the run stops after the samples, while the captures after the first
    // have started reading and wait for a plan that never comes.
    const fs::path video = MakeVideo("color=c=black:size=64x48:rate=25:duration=16", "null", "-g 25");
    const PassOutputs split = RunWithCaptures(video, "1.333333", 3);
    EXPECT_EQ(split.code, 2);
    EXPECT_TRUE(split.out.ends_with("scaled_height=48\n")) << split.out;
    EXPECT_EQ(split.files.at("data.rgb"), "");
}

TEST_F(SplitPass, JoinThatNeverAgreesLeavesTheEarlierCaptureReadingOnToTheNextJoin)
{
    // Frames 50 to 149 come at twice the rate, then the time stamps go back to frame / 25: the library numbers
    // a capture sought into the fast part wrongly (it never agrees with the one before), one sought past it
    // rightly. The captures start at 124 (key frame 100, in the fast part) and 249; a join takes 25 + 17 frames,
    // and gives up 25 frames later. The wrongly numbered capture never agrees with the last one either, but it
    // is dropped before it can judge that one.
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25:duration=16",
                                     "setpts='if(between(N,50,149),(50+(N-50)/2)/25,N/25)/TB'",
                                     "-g 25 -fps_mode passthrough", "uneven_rate.mp4");
    const std::string joins = ExpectOutputsOfOneCapture(video, 3);
    EXPECT_EQ(joins, "Segment from frame 124 dropped at frame 191\nSegment from frame 249 joined at frame 291\n");
}

TEST_F(SplitPass, ReadThatFailsInsideACaptureEndsThePassThereAndDropsTheCapturesAfterIt)
{
    // The VP9 frame header of frame 120 is broken: a read from the start fails there, while a capture sought
    // past it reads on. Of four captures (from frames 74, 174 and 274), the second joins the first, reads on
    // and fails at frame 120; the two after it read well but must count for nothing.
    const fs::path video = MakeVideo("testsrc2=size=128x96:rate=25:duration=16", "null",
                                     "-c:v libvpx-vp9 -g 25 -deadline realtime -cpu-used 8", "broken_frame.webm");
    const std::string command = "ffprobe -v error -select_streams v -show_entries packet=pos -of csv=p=0 " +
                                Quote(video.string()) + " | sed -n 121p";
    std::FILE* probe = popen(command.c_str(), "r");
    ASSERT_NE(probe, nullptr);
    long long blockAt = -1;
    ASSERT_EQ(std::fscanf(probe, "%lld", &blockAt), 1);
    pclose(probe);
    {
        std::fstream file(video, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(blockAt + 4);  // past the block header, on the frame marker
        file.write("\xff\xff\xff\xff", 4);
    }
    const std::string joins = ExpectOutputsOfOneCapture(video, 4);
    // Whether the two later captures join each other before the pass stops does not matter.
    EXPECT_NE(joins.find("Segment from frame 74 joined at frame 116\n"), std::string::npos) << joins;
    EXPECT_EQ(joins.find("Segment from frame 174 "), std::string::npos) << joins;
    const RunResult one = Run(Arguments(video, "1.333333"));
    EXPECT_EQ(one.code, 0) << one.err;
    EXPECT_EQ(fs::file_size(dir_ / "data.rgb"), 4u * 120);
}

}  // namespace
