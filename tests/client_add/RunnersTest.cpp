// The outside-tool runners against real programs (ffprobe, Quillsum) and shell scripts standing in for them.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "ClientState.h"
#include "ToolRunners.h"
#include "platform/PathLock.h"
#include "platform/Process.h"
#include "WorkFolder.h"
#include "WorkPlace.h"

namespace fs = std::filesystem;

namespace {

// Each test starts from a fresh client folder and a zeroed video record.
class Runners : public ::testing::Test {
protected:
    void SetUp() override { VideoInfo = TVideoInfo{}; }

    WorkPlace place;
};

// A stand-in for ffprobe that prints `output` as its stream summary.
void fakeProbe(const WorkPlace& place, const std::string& output)
{
    place.write(place.root() / "probe.txt", output);
    place.script("ffprobe", "cat \"$(dirname \"$0\")/probe.txt\" >&2\n");
}

// A video whose pixels ffprobe calls unknown, so that its stream line has no ratio bracket.
fs::path makeVideoWithoutRatio(const fs::path& folder, const std::string& size)
{
    const fs::path video = folder / ("unknown " + size + ".mkv");
    const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=size=" + size +
                                ":rate=25:duration=1 -vf setsar=0 -c:v ffv1 '" + video.string() + "'";
    if (std::system(command.c_str()) != 0)
        ADD_FAILURE() << "ffmpeg failed: " << command;
    return video;
}

// Keeps PATH empty for a scope, so that no system program is found.
struct NoPath {
    std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    NoPath() { setenv("PATH", "", 1); }
    ~NoPath() { setenv("PATH", saved.c_str(), 1); }
};

}  // namespace

TEST_F(Runners, FfprobeGivesTheRatiosOfRealVideos)
{
    // In a fresh client, one after the other: no video keeps the ratios of the one before.
    const struct {
        fs::path video;
        double sar;
        const char* darText;
    } cases[] = {
        {makeVideo(place.root(), "v320x180.mp4", "320x180"), 1.0, "1.77777777777778"},
        {makeVideo(place.root(), "v720x576.mp4", "720x576", "setsar=64/45"), 64.0 / 45, "1.77777777777778"},
        {makeVideoWithoutRatio(place.root(), "352x288"), 1.0, "1.22222222222222"},
        {makeVideo(place.root(), "v640x480.mp4", "640x480"), 1.0, "1.33333333333333"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.video.filename().string());
        ASSERT_TRUE(GetDARInfo(UnicodeString(c.video.string())));
        EXPECT_DOUBLE_EQ(VideoInfo.video_sar, c.sar);
        EXPECT_EQ(FloatToStr(VideoInfo.video_dar).ToUtf8(), c.darText);
        EXPECT_TRUE(fs::exists(place.temp() / "dar.info"));
    }
}

TEST_F(Runners, CraftedStreamSummaries)
{
    const std::string longLine = "  Stream #0:0: Video: h264, yuv420p, 1920x1080" + std::string(170, ' ') +
                                 "[SAR 1:1 DAR 16:9], 25 fps\n";
    // A 199-byte first chunk that ends inside the display ratio: its blanking and reading stop at the chunk.
    std::string cutLine = "Stream #0:0: Video: x [SAR 1:1 DAR 16";
    cutLine.insert(20, std::string(199 - cutLine.size(), ' '));
    cutLine += ":9]\n";
    // Every case starts from the ratios 7 of an earlier video; none of them may stay.
    const struct {
        const char* what;
        std::string output;
        double sar, dar;
    } cases[] = {
        {"usual line", "  Stream #0:0: Video: h264, 1920x1080 [SAR 1:1 DAR 16:9], 25 fps\n", 1, 16.0 / 9},
        {"zero ratios", "  Stream #0:0: Video: rawvideo, 720x576 [SAR 0:1 DAR 0:1], 25 fps\n", 0, 0},
        {"anamorphic", "Stream #0:0(und): Video: mpeg2video, 720x576 [SAR 64:45 DAR 16:9]\n", 64.0 / 45, 16.0 / 9},
        {"ratios without a bracket", "Stream #0:0: Video: ffv1, yuv420p, 352x288, SAR 1:1 DAR 11:9, 25 fps\n", 1,
         11.0 / 9},
        {"first of two streams", "Stream #0:0: Video: a [SAR 4:3 DAR 2:1]\nStream #0:1: Video: b [SAR 1:1 DAR 4:3]\n",
         4.0 / 3, 2},
        {"audio line passed over", "Stream #0:1: Audio: aac, 48000 Hz\nStream #0:0: Video: x [SAR 1:1 DAR 4:3]\n", 1,
         4.0 / 3},
        {"no ratios: square pixels of the line's own size, not the codec tag",
         "  Stream #0:0: Video: rawvideo (RGB[24] / 0x18424752), rgb24, 320x240, 25 fps, 25 tbr, 51200 tbn\n", 1,
         4.0 / 3},
        {"no ratios in a line with stream id and language",
         "  Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709), 1920x800, 24 fps\n", 1,
         2.4},
        {"the display size before the coded one", "  Stream #0:0: Video: h264, yuv420p, 1920x1080 (1920x1088), 25 fps\n",
         1, 16.0 / 9},
        {"the first video line decides, bracket or not",
         "Stream #0:0: Video: a, 640x480, 25 fps\nStream #0:1: Video: b, 320x180 [SAR 1:1 DAR 16:9]\n", 1, 4.0 / 3},
        {"a title holding both words is no stream line",
         "    title           : Live Stream Video 1280x720\n  Stream #0:0: Video: x, 640x480, 25 fps\n", 1, 4.0 / 3},
        {"a stream line without ratios or size", "  Stream #0:0: Video: none\n", 1, 0},
        {"markers past the first chunk: its own size decides", longLine, 1, 16.0 / 9},
        {"no stream line", "Input #0, mov,mp4\n  Duration: 00:00:01.00\n", 0, 0},
        {"no output at all", "", 0, 0},
        {"a ratio over zero is no ratio", "Stream #0:0: Video: x, 720x576 [SAR 1:0 DAR 3:0]\n", 1, 1.25},
        {"hexadecimal numbers as the C library reads them", "Stream #0:0: Video: x [SAR 0x10:0x8 DAR 010:04]\n", 2, 2},
        {"08 is the octal 0, then 8", "Stream #0:0: Video: x [SAR 08:1 DAR 4:3]\n", 0, 4.0 / 3},
        {"a number no int holds is no number", "Stream #0:0: Video: x [SAR 99999999999:1 DAR 4:3]\n", 1, 4.0 / 3},
        {"the character right after the marker is not blanked", "Stream #0:0: Video: x [SAR :3:4 DAR 1:1]\n", 1, 1},
        {"a separator 16 characters on is blanked", "Stream Video [SAR " + std::string(15, ' ') + "1:2 DAR 1:1]\n",
         0.5, 1},
        {"one 17 characters on is not", "Stream Video [SAR " + std::string(16, ' ') + "1:2 DAR 1:1]\n", 1, 1},
        {"a ratio cut by the chunk's end", cutLine, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VideoInfo.video_sar = VideoInfo.video_dar = 7;
        fakeProbe(place, c.output);
        EXPECT_TRUE(GetDARInfo("video.mp4"));
        EXPECT_DOUBLE_EQ(VideoInfo.video_sar, c.sar);
        EXPECT_DOUBLE_EQ(VideoInfo.video_dar, c.dar);
        fs::remove(place.root() / "ffprobe");
    }
}

TEST_F(Runners, AMissingFfprobeLeavesNoRatios)
{
    VideoInfo.video_sar = 1.5;
    VideoInfo.video_dar = 2.35;
    NoPath noPath;
    EXPECT_TRUE(GetDARInfo("video.mp4"));
    EXPECT_EQ(VideoInfo.video_sar, 0);
    EXPECT_EQ(VideoInfo.video_dar, 0);
    EXPECT_EQ(fs::file_size(place.temp() / "dar.info"), 0u);
}

TEST_F(Runners, TheWorkFolderIsTheFirstThatNoOtherClientHolds)
{
    // Locks of this process stand for other running clients: a folder's lock is refused to a second holder.
    const auto held = [](const fs::path& folder) {
        PathLock probe;
        return probe.Take(folder.string()) == PathLock::Result::kHeld;
    };
    const UnicodeString client = CurPath;
    const fs::path bare = place.root() / "bare";
    const auto takeIn = [](const UnicodeString& folder) {
        CurPath = folder;
        TakeWorkFolder();
        return fs::path(WorkFolder().ToPathBytes());
    };
    EXPECT_EQ(takeIn(client), place.temp());
    EXPECT_TRUE(held(place.temp()));
    // A client folder without temp/ keeps it as the work folder, unheld and not created; the hold on the client
    // folder's temp/ is let go.
    EXPECT_EQ(takeIn(UnicodeString(bare.string())), bare / "temp");
    EXPECT_FALSE(fs::exists(bare / "temp"));
    PathLock first, second;
    ASSERT_EQ(first.Take(place.temp().string()), PathLock::Result::kTaken);
    EXPECT_EQ(takeIn(client), place.root() / "temp.2");
    EXPECT_TRUE(fs::is_directory(place.root() / "temp.2"));
    EXPECT_TRUE(held(place.root() / "temp.2"));
    takeIn(UnicodeString(bare.string()));
    ASSERT_EQ(second.Take((place.root() / "temp.2").string()), PathLock::Result::kTaken);
    EXPECT_EQ(takeIn(client), place.root() / "temp.3");
    // A client that ended leaves its folder to the next one started.
    first.Release();
    takeIn(UnicodeString(bare.string()));
    EXPECT_EQ(takeIn(client), place.temp());
}

// A program that the client started runs on after the client has let go of its work folder (a tool that outlives
// its analysis, or a client that ended): the folder is not held for it, so the next client started here works in
// temp/ again.
TEST_F(Runners, AProgramStillRunningDoesNotHoldTheWorkFolder)
{
    // It reports that it runs, then waits until it is told to end, ten seconds at most.
    place.script("lingering", "touch started\ni=0\n"
                              "while [ ! -e finish ] && [ $i -lt 500 ]; do sleep 0.02; i=$((i+1)); done\n");
    std::atomic<bool> ended = false;
    std::thread tool([folder = CurPath, &ended] {
        RunProgram(folder, "lingering", {});
        ended = true;
    });
    for (int i = 0; i < 500 && !fs::exists(place.root() / "started"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(place.root() / "started"));

    const UnicodeString client = CurPath;
    CurPath = UnicodeString((place.root() / "elsewhere").string());
    TakeWorkFolder();  // lets go of temp/
    CurPath = client;
    TakeWorkFolder();
    EXPECT_FALSE(ended);
    EXPECT_EQ(fs::path(WorkFolder().ToPathBytes()), place.temp());

    place.write(place.root() / "finish", "");
    tool.join();
}

TEST_F(Runners, AMissingWorkFolderFailsTheCaptures)
{
    fs::remove_all(place.temp());
    fakeProbe(place, "Stream #0:0: Video: x [SAR 1:1 DAR 4:3]\n");
    EXPECT_FALSE(GetDARInfo("video.mp4"));
    EXPECT_FALSE(GetMD5Hash("video.mp4"));
    EXPECT_FALSE(GetVideoInfo());
}

TEST_F(Runners, QuillsumDigestIsStoredOnlyForAReadableFile)
{
    place.link("Quillsum", QUILLSUM_PATH);
    const fs::path video = place.root() / "my video.bin";
    place.write(video, "abc");
    ASSERT_TRUE(GetMD5Hash(UnicodeString(video.string())));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_FALSE(fs::exists(place.temp() / "md5.hash"));

    // A file that cannot be read gives no digest, not the first word of Quillsum's complaint.
    EXPECT_FALSE(GetMD5Hash(UnicodeString((place.root() / "gone.bin").string())));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(Runners, AVideoNameThatIsNotUtf8ReachesQuillsumIntact)
{
    place.link("Quillsum", QUILLSUM_PATH);
    const fs::path video = place.root() / "clip \xE9t\xE9.bin";
    place.write(video, "abc");
    ASSERT_TRUE(GetMD5Hash(UnicodeString::FromPathBytes(video.string())));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(Runners, ShortOrMissingDigestOutputFails)
{
    VideoInfo.md5 = "previous";
    place.script("Quillsum", "printf '0123456789abcdef012'\n");  // 19 bytes
    EXPECT_FALSE(GetMD5Hash("video.mp4"));
    EXPECT_EQ(readFile(place.temp() / "md5.hash"), "0123456789abcdef012");
    place.script("Quillsum", "printf '0123456789abcdef0123'\n");  // 20 bytes are enough
    EXPECT_TRUE(GetMD5Hash("video.mp4"));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), "0123456789abcdef0123");
    VideoInfo.md5 = "previous";

    fs::remove(place.root() / "Quillsum");
    NoPath noPath;
    EXPECT_FALSE(GetMD5Hash("video.mp4"));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), "previous");
}

TEST_F(Runners, TheDigestIsTheFirstTokenWhateverItsLength)
{
    const std::string token(5000, 'f');
    place.script("Quillsum", "printf '" + token + "  name\\n'\n");
    ASSERT_TRUE(GetMD5Hash("video.mp4"));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), token);
}

TEST_F(Runners, InfoFileReading)
{
    const auto full = [](const std::string& fps, const std::string& frames, const std::string& fourcc) {
        return "Width: 1920\r\nHeight: 1080\r\nFPS: " + fps + "\r\nFrames: " + frames + "\r\nFOURCC: " + fourcc +
               "\r\nPixelAspectRatio: 1.000000\r\nResultWidth: 1900\r\nResultHeight: 800\r\n";
    };
    const struct {
        const char* what;
        std::string info;
        bool ok;
        double fps, duration;
        int usedWidth;
    } cases[] = {
        {"23.976 frames a second", full("23.976", "1000", "avc1"), true, 23.976, 41.708, 1900},
        {"25 frames a second", full("25", "12345", "avc1"), true, 25, 493.8, 1900},
        {"milliseconds rounded down, not to the nearest", full("29.97", "1000", "avc1"), true, 29.97, 33.366, 1900},
        {"no FPS line keeps the old rate", "Width: 1920\nHeight: 1080\nFrames: 500\nResultWidth: 1900\n", true, 10, 50,
         1900},
        {"an empty FOURCC shifts the pairing", full("25", "250", ""), true, 25, 10, 5},
        {"a rate of 0 gives no duration", full("0", "250", "avc1"), true, 0, 0, 1900},
        {"19 bytes", "Width: 1920\nFPS: 2\n", false, 10, 99, 5},
        {"20 bytes", "Width: 1920\nFPS: 25\n", true, 25, 0, 5},
        {"a hexadecimal width; a width no int holds is kept",
         "Width: 0x780\nFPS: 25\nFrames: 250\nResultWidth: 99999999999\n", true, 25, 10, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VideoInfo = TVideoInfo{};
        VideoInfo.fps = 10;
        VideoInfo.duration = 99;
        VideoInfo.used_width = VideoInfo.used_height = 5;
        place.write(place.temp() / "info.dat", c.info);
        EXPECT_EQ(GetVideoInfo(), c.ok);
        EXPECT_DOUBLE_EQ(VideoInfo.fps, c.fps);
        EXPECT_DOUBLE_EQ(VideoInfo.duration, c.duration);
        EXPECT_EQ(VideoInfo.used_width, c.usedWidth);
        if (c.ok) {
            EXPECT_EQ(VideoInfo.width, 1920);
        }
    }
    fs::remove(place.temp() / "info.dat");
    EXPECT_FALSE(GetVideoInfo());
}

TEST_F(Runners, AnalyzerGetsItsEightArgumentsIntact)
{
    place.script("TarvelloScan", "ls temp > before.txt\npwd > cwd.txt\n" + fakeAnalyzerScript("Width: 1\\n"));
    // Left from the previous analysis: pictures in the work folder go, one in the client folder stays.
    place.write(place.temp() / "ss_1.00_25.jpg", "old");
    place.write(place.temp() / "table.jpg", "old");
    place.write(place.root() / "mine.jpg", "mine");
    const std::string video = (place.root() / "a \"quoted\" name; with blanks, not UTF-8 \xFF.mp4").string();
    VideoInfo.video_dar = 16.0 / 9;

    ASSERT_TRUE(GetVideoAnalysis(UnicodeString::FromPathBytes(video)));
    const std::string t = place.temp().string();
    EXPECT_EQ(readFile(place.root() / "analyzer.log"),
              video + "\n1.77777777777778\n" + t + "/data.rgb\n" + t + "/hashes.dat\n" + t + "\nss\n" + t +
                  "/table.jpg\n" + t + "/info.dat\n--\n");
    EXPECT_EQ(readFile(place.root() / "cwd.txt"), place.root().string() + "\n");
    EXPECT_EQ(readFile(place.root() / "before.txt"), "");
    EXPECT_TRUE(fs::exists(place.root() / "mine.jpg"));
}

TEST_F(Runners, AnalyzerOutcomeIsJudgedByTheRgbFile)
{
    place.script("TarvelloScan", ": > \"$3\"\n");
    place.write(place.temp() / "data.rgb", "old data");
    EXPECT_FALSE(GetVideoAnalysis("video.mp4"));
    EXPECT_EQ(fs::file_size(place.temp() / "data.rgb"), 0u);

    fs::remove(place.root() / "TarvelloScan");
    place.write(place.temp() / "data.rgb", "old data");
    NoPath noPath;
    EXPECT_FALSE(GetVideoAnalysis("video.mp4"));
    EXPECT_FALSE(fs::exists(place.temp() / "data.rgb"));
}

// The table-picture runner, which nothing in the client calls: its picture lies in the client folder itself.
TEST_F(Runners, TablePictureToolWritesIntoTheClientFolder)
{
    place.script("Mosaiq", "printf '%s\\n' \"$@\" > args.txt\nprintf 'jpeg' > \"$5\"\n");
    EXPECT_TRUE(GetTableViewPicture("my video.mp4"));
    const std::string picture = (place.root() / "table.jpg").string();
    EXPECT_EQ(readFile(place.root() / "args.txt"), "cols=10\nrows=10\nwidth=1920\nmy video.mp4\n" + picture + "\n");

    // An old picture is deleted first, so a tool that writes nothing fails the runner.
    place.script("Mosaiq", ": > /dev/null\n");
    EXPECT_FALSE(GetTableViewPicture("my video.mp4"));
    EXPECT_FALSE(fs::exists(picture));
}

TEST_F(Runners, RealAnalyzerWritesItsOutputs)
{
    place.link("TarvelloScan", TARVELLOSCAN_PATH);
    const fs::path video = makeVideo(place.root(), "clip.mp4", "320x180");
    VideoInfo.video_dar = 16.0 / 9;
    ASSERT_TRUE(GetVideoAnalysis(UnicodeString(video.string())));
    ASSERT_TRUE(GetVideoInfo());
    EXPECT_EQ(VideoInfo.width, 320);
    EXPECT_EQ(VideoInfo.height, 180);
    EXPECT_EQ(VideoInfo.frames, 25);
    EXPECT_DOUBLE_EQ(VideoInfo.duration, 1);
    EXPECT_TRUE(fs::exists(place.temp() / "table.jpg"));
    EXPECT_TRUE(fs::exists(place.temp() / "hashes.dat"));
}

// Quillsum by itself: the digest line, a file over 4 GiB, and the usage line for any other use.
TEST(Quillsum, PrintsTheDigestAndTheFileName)
{
    WorkPlace place;
    const fs::path file = place.root() / "abc.txt";
    place.write(file, "abc");
    const std::string out = place.root() / "out.txt";
    ASSERT_EQ(std::system(("'" QUILLSUM_PATH "' md5 '" + file.string() + "' > '" + out + "'").c_str()), 0);
    EXPECT_EQ(readFile(out), "900150983cd24fb0d6963f7d28e17f72  " + file.string() + "\n");
}

TEST(Quillsum, StreamsFilesOver4GiB)
{
    WorkPlace place;
    const fs::path file = place.root() / "big.bin";
    place.write(file, "");
    fs::resize_file(file, (std::uintmax_t(4) << 30) + 3);  // sparse
    const std::string out = place.root() / "out.txt";
    ASSERT_EQ(std::system(("'" QUILLSUM_PATH "' md5 '" + file.string() + "' > '" + out + "'").c_str()), 0);
    EXPECT_EQ(readFile(out).substr(0, 32), "4ca27e0aa2e7592739ca3de160d1c3a6");  // md5sum of the same zeros
}

TEST(Quillsum, AnyOtherUsePrintsUsage)
{
    for (const char* args : {"", "md5", "sha1 x", "md5 a b"}) {
        SCOPED_TRACE(args);
        const int status = std::system(("'" QUILLSUM_PATH "' " + std::string(args) + " 2>/dev/null").c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1);
    }
}
