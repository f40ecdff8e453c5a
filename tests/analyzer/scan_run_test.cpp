// Whole runs of TarvelloScan on tiny videos that ffmpeg makes in a temporary folder.
#include "number_text.h"
#include "rgb_flow.h"
#include "screenshot_plan.h"
#include "vh_record.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int code = -1;
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

    // An H.264 video of a lavfi source after the given filters.
    fs::path MakeVideo(const std::string& source, const std::string& filters = "null",
                       const std::string& options = "")
    {
        const fs::path video = dir_ / "video.mp4";
        const std::string command = "ffmpeg -v error -y -f lavfi -i " + Quote(source) + " -vf " + Quote(filters) +
                                    " -c:v libx264 -pix_fmt yuv420p " + options + " " + Quote(video.string());
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return video;
    }

    RunResult Run(const std::vector<std::string>& args)
    {
        std::string command = Quote(TARVELLO_SCAN);
        for (const std::string& arg : args)
            command.append(" ").append(Quote(arg));
        command.append(" >").append(Quote((dir_ / "stdout.txt").string()));
        command.append(" 2>").append(Quote((dir_ / "stderr.txt").string()));
        const int status = std::system(command.c_str());
        RunResult result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadFile(dir_ / "stdout.txt");
        result.err = ReadFile(dir_ / "stderr.txt");
        fs::remove(dir_ / "stdout.txt");
        fs::remove(dir_ / "stderr.txt");
        return result;
    }

    // The eight arguments for a video, with every output in the temporary folder.
    std::vector<std::string> Arguments(const fs::path& video, const std::string& ratio)
    {
        return {video.string(), ratio,           Path("data.rgb"),     Path("hashes.dat"),
                Path("shots"),  "ss",            Path("table.jpg"),    Path("info.dat")};
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

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
    for (int frame : ChooseScreenshotFrames(250, 25))
        if (frame >= 0 && frame < 250)
            shots.insert("ss_" + FormatFixed(frame / 25.0, 2) + "_" + std::to_string(frame) + ".jpg");
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
    // A moving picture, so that a frame skipped, doubled or overwritten while in use shows in the records.
    const fs::path video = MakeVideo("testsrc2=size=128x64:rate=25:duration=12", "pad=128:96:0:16:black");
    const RunResult result = Run(Arguments(video, "1.333333"));
    ASSERT_EQ(result.code, 0) << result.err;

    std::string rgb;
    std::string hashes;
    cv::VideoCapture capture(video.string());
    cv::Mat frame;
    while (capture.read(frame)) {
        const cv::Mat content = frame(cv::Rect(0, 16, 128, 64)).clone();
        const RGBFlowRecord flow = ComputeRGBFlow(content);
        rgb.append(flow.begin(), flow.end());
        VHRecord record{};
        FillVHRecord(content, record);
        hashes.append(record.begin(), record.end());
    }
    ASSERT_EQ(rgb.size(), 4u * 300);
    EXPECT_TRUE(ReadFile(dir_ / "data.rgb") == rgb);
    EXPECT_TRUE(ReadFile(dir_ / "hashes.dat") == hashes);
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

}  // namespace
