#include "scan_run.h"

#include "border_detector.h"
#include "data_file.h"
#include "frame_reader.h"
#include "main_pass.h"
#include "number_text.h"
#include "sample_ratio.h"
#include "progress_line.h"
#include "rgb_flow.h"
#include "screenshot_plan.h"
#include "stage_clock.h"
#include "table_view.h"
#include "vh_record.h"

#include "platform/Files.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "TarvelloScan Version 3.3 (2021-11-14) (Orvane Software)\n"
    "Usage: TarvelloScan.exe input_video display_ratio output_rgb_data hashes_data output_screenshots_directory "
    "screenshots_filename table_view_picture info_file\n"
    "Example: TarvelloScan.exe source.mp4 1 result.rgb result.hashes e:\\pictures \"My movie name\" table.jpg "
    "info.txt\n";

// The tallest picture that the JPEG writer takes: every screenshot is as tall as the content, which lies inside
// the working frame, and the table view picture grows with the content's height.
constexpr int kMaxPictureRows = 65500;

struct Arguments {
    const char* inputVideo;
    const char* displayRatio;
    const char* rgbData;
    const char* hashesData;
    const char* screenshotsDirectory;
    const char* screenshotsName;
    const char* tableViewPicture;
    const char* infoFile;
};

struct VideoProbe {
    int width = 0;
    int height = 0;
    double frameRate = 0;
    int frameCount = 0;
    char fourcc[5] = {};
};

// printf into a std::string, for the messages of an orderly stop.
template <typename... Values>
std::string Text(const char* format, Values... values)
{
    char text[2048];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

double ReadDisplayRatio(const char* argument)
{
    const double ratio = ParseLeadingNumber(argument);
    if (!(ratio > 0) || !std::isfinite(ratio))
        throw std::invalid_argument(Text("Wrong display ratio \"%s\": a number above 0 is needed!", argument));
    return ratio;
}

// A property of the video library as int, truncated; 0 for a value that no int holds (or no number).
int TruncatedInt(double value)
{
    return value > INT_MIN - 1.0 && value < INT_MAX + 1.0 ? static_cast<int>(value) : 0;
}

VideoProbe Probe(cv::VideoCapture& capture)
{
    VideoProbe probe;
    probe.width = TruncatedInt(capture.get(cv::CAP_PROP_FRAME_WIDTH));
    probe.height = TruncatedInt(capture.get(cv::CAP_PROP_FRAME_HEIGHT));
    probe.frameRate = capture.get(cv::CAP_PROP_FPS);
    probe.frameCount = TruncatedInt(capture.get(cv::CAP_PROP_FRAME_COUNT));
    const auto code = static_cast<std::uint32_t>(static_cast<std::int64_t>(capture.get(cv::CAP_PROP_FOURCC)));
    for (int i = 0; i < 4; ++i)
        probe.fourcc[i] = static_cast<char>((code >> (8 * i)) & 0xFF);  // a zero byte ends the text early
    return probe;
}

void CheckProbe(const VideoProbe& probe)
{
    if (probe.width <= 0 || probe.height <= 0)
        throw std::runtime_error("The video stream has no picture size!");
    if (!(probe.frameRate > 0) || !std::isfinite(probe.frameRate) || probe.frameCount <= 0)
        throw std::runtime_error("The video stream has no frame rate or no frame count!");
}

// The frame as read, corrected to the display ratio when needed.
void MakeWorkingFrame(const cv::Mat& frame, const PixelAspect& aspect, int width, cv::Mat& working)
{
    if (aspect.factor == 1.0)
        frame.copyTo(working);
    else
        cv::resize(frame, working, cv::Size(width, aspect.scaledHeight), 0, 0, cv::INTER_LINEAR);
}

struct Samples {
    BorderDetector detector;
    cv::Size frameSize;  // of the frames as read
};

// Reads frame target. A seek decodes from the key frame before the target; reading on from next, the frame
// that the capture gives without a seek, decodes the frames in between. Over a short way reading on is cheaper
// (a seek decodes about half a key-frame interval on average, and x264 puts key frames up to 250 frames
// apart), and it lands on exactly the frame that a seek lands on wherever seeks are exact.
bool ReadFrameAt(cv::VideoCapture& capture, int& next, int target, cv::Mat& frame)
{
    constexpr int kReadOnFrames = 150;
    if (target < next || target - next > kReadOnFrames)
        capture.set(cv::CAP_PROP_POS_FRAMES, target);
    else
        for (; next < target; ++next)
            if (!capture.grab())
                return false;
    next = target + 1;
    return capture.read(frame);
}

// Measures the black bars on ten frames spread over the video; leaves the last sample in working. A read
// that fails (the frame count is only an estimate in many files) ends the pass: the samples read decide.
Samples SampleBorders(cv::VideoCapture& capture, const VideoProbe& probe, const PixelAspect& aspect, cv::Mat& working)
{
    Samples samples;
    const int step = probe.frameCount / 11;
    cv::Mat frame;
    int next = 0;
    for (int k = 1; k <= 10; ++k) {
        if (!ReadFrameAt(capture, next, k * step, frame)) {
            std::printf("Can't read frame!\n");
            break;
        }
        MakeWorkingFrame(frame, aspect, probe.width, working);
        DetectBorders(samples.detector, working);
        samples.frameSize = frame.size();
    }
    if (samples.frameSize.empty())
        throw std::runtime_error("No sample frame of the video can be read, so its borders are unknown!");
    return samples;
}

cv::Rect ContentRectangle(const BorderDetector& d)
{
    const cv::Rect content(d.left, d.top, d.frameWidth - d.left - d.right, d.frameHeight - d.top - d.bottom);
    // The hashes need 14 pixels on the shorter side; the table view needs cells at least a pixel high, and no
    // more rows than a JPEG picture holds.
    if (std::min(content.width, content.height) < 14)
        throw std::runtime_error(Text("The picture inside the black borders (%ix%i) is too small: at least 14 "
                                      "pixels are needed on each side!",
                                      content.width, content.height));
    if (!FitsTableView(content.width, content.height))
        throw std::runtime_error(Text("The picture inside the black borders (%ix%i) is too wide for the table "
                                      "view picture!",
                                      content.width, content.height));
    const long long sheetRows = TableViewHeight(content.width, content.height);
    if (sheetRows > kMaxPictureRows)
        throw std::runtime_error(Text("The picture inside the black borders (%ix%i) is too tall for the table "
                                      "view picture: it would be %lli rows high, more than the %i of a JPEG picture!",
                                      content.width, content.height, sheetRows, kMaxPictureRows));
    return content;
}

// Info file lines end in CR LF, as a text-mode file on Windows writes them; the client reads either ending.
void WriteInfoFile(const char* path, const VideoProbe& probe, const PixelAspect& aspect, const cv::Rect& content)
{
    const File info(std::fopen(path, "wb"));
    if (!info)
        return;
    std::FILE* f = info.get();
    std::fprintf(f, "Width: %d\r\n", probe.width);
    std::fprintf(f, "Height: %d\r\n", probe.height);
    std::fprintf(f, "FPS: %s\r\n", FormatGeneral(probe.frameRate).c_str());
    std::fprintf(f, "Frames: %i\r\n", probe.frameCount);
    std::fprintf(f, "FOURCC: %s\r\n", probe.fourcc);
    std::fprintf(f, "PixelAspectRatio: %s\r\n", FormatFixed(aspect.factor, 6).c_str());
    std::fprintf(f, "ResultWidth: %i\r\n", content.width);
    std::fprintf(f, "ResultHeight: %i\r\n", content.height);
}

// A picture that cannot be written (missing folder, unknown extension) is skipped without a message.
void SavePicture(const std::string& path, const cv::Mat& picture)
{
    try {
        cv::imwrite(path, picture);
    } catch (const cv::Exception&) {
    }
}

// The designed screenshot name of a frame: folder/name_seconds_index.jpg.
std::string ScreenshotPath(const Arguments& args, int frameIndex, double frameRate)
{
    return std::string(args.screenshotsDirectory) + static_cast<char>(PathDelim) + args.screenshotsName + "_" +
           FormatFixed(frameIndex / frameRate, 2) + "_" + std::to_string(frameIndex) + ".jpg";
}

// Every entry of the list that names this frame writes it (the same name again for a repeated entry).
void SaveScreenshots(const Arguments& args, const ScreenshotFrames& screenshots, int frameIndex, double frameRate,
                     const cv::Mat& content)
{
    for (int shot : screenshots)
        if (shot == frameIndex)
            SavePicture(ScreenshotPath(args, frameIndex, frameRate), content);
}

// The screenshots of the entries drawn again after the main pass, in increasing frame order, from a capture
// opened afresh and read as the sampling pass reads. A frame that cannot be read, or whose size differs from
// the samples', is skipped.
void SaveRedrawnScreenshots(const Arguments& args, const std::vector<int>& frames, const VideoProbe& probe,
                            const PixelAspect& aspect, const cv::Rect& contentRect, cv::Size frameSize)
{
    cv::VideoCapture capture;
    if (frames.empty() || !OpenVideo(capture, args.inputVideo))
        return;
    cv::Mat frame;
    cv::Mat working;
    int next = 0;
    for (int index : frames) {
        if (!ReadFrameAt(capture, next, index, frame) || frame.size() != frameSize)
            continue;
        MakeWorkingFrame(frame, aspect, probe.width, working);
        SavePicture(ScreenshotPath(args, index, probe.frameRate), working(contentRect));
    }
}

void PlanTableCells(TableViewState& table, const VideoProbe& probe)
{
    table.frameRate = probe.frameRate;
    const int step = probe.frameCount / static_cast<int>(table.cellFrames.size());
    for (std::size_t cell = 0; cell < table.cellFrames.size(); ++cell)
        table.cellFrames[cell] = static_cast<int>(cell) * step + step / 2;
    table.nextCell = 0;
}

}  // namespace

int RunScan(int argc, char** argv)
{
    if (argc != 9) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const Arguments args{argv[1], argv[2], argv[3], argv[4], argv[5], argv[6], argv[7], argv[8]};
    const double displayRatio = ReadDisplayRatio(args.displayRatio);

    DataFile rgbFile;
    if (!rgbFile.Create(args.rgbData)) {
        std::printf("Open file error %s!\n", args.rgbData);
        return 1;
    }
    DataFile hashesFile;
    if (!hashesFile.Create(args.hashesData)) {
        std::printf("Open hash file error %s!\n", args.hashesData);
        return 1;
    }

    cv::VideoCapture capture;
    if (!OpenVideo(capture, args.inputVideo)) {
        std::printf("Input file not opened!\n");
        return 0;
    }
    const VideoProbe probe = Probe(capture);
    std::printf("%ix%i@%s (%i frames)\n", probe.width, probe.height, FormatFixed(probe.frameRate, 6).c_str(),
                probe.frameCount);
    CheckProbe(probe);

    const PixelAspect aspect = ComputePixelAspect(probe.width, probe.height, displayRatio);
    const bool corrected = aspect.factor != 1.0;
    std::printf("display_ratio=%s\tscaled_width=%i\tscaled_height=%i\n", FormatFixed(aspect.factor, 6).c_str(),
                probe.width, aspect.scaledHeight);
    if (aspect.scaledHeight > kMaxPictureRows)
        throw std::runtime_error(Text("The picture to work on (%ix%i) is taller than the %i rows of a JPEG picture!",
                                      probe.width, aspect.scaledHeight, kMaxPictureRows));

    ScreenshotPlan screenshots = ChooseScreenshotFrames(probe.frameCount, probe.frameRate);

    // The main pass starts reading what it can before the samples give it the content rectangle.
    MainPass pass(args.inputVideo, probe.frameCount, cv::Size(probe.width, probe.height));
    cv::Mat working(aspect.scaledHeight, probe.width, CV_8UC3);
    const Samples samples = SampleBorders(capture, probe, aspect, working);
    std::fputs(SelectAspectCrop(samples.detector).c_str(), stdout);
    const cv::Rect contentRect = ContentRectangle(samples.detector);

    WriteInfoFile(args.infoFile, probe, aspect, contentRect);
    std::printf("Scaled: width=%i height=%i\n", working.cols, working.rows);
    std::printf("Selected: width=%i height=%i\n", contentRect.width, contentRect.height);

    // Main pass: every frame once, in stream order, through the same stages, from a capture opened afresh (a
    // seek back to the first frame lands elsewhere in some containers, transport streams among them). A capture
    // that does not open reads no frame, which stops the run below.
    capture.release();
    ProgressLine progress(stdout);
    InitTableView(tableView, contentRect.width, contentRect.height);
    PlanTableCells(tableView, probe);
    RGBFlowState rgbFlow{rgbFile.Records(), {}};
    VHWriter hashWriter{{}, hashesFile.Records()};
    StageClock clock;

    // Every frame must have the size of the samples that the content rectangle was measured on. The stages run
    // on the pass's reading threads; here the outputs reach the files and pictures in frame order.
    pass.Start({samples.frameSize, corrected, working.size(), contentRect, screenshots.frames, &tableView});
    int j = 0;
    for (; const FrameOutput* frame = pass.Next(); ++j) {
        clock.Start();
        WriteVHRecord(hashWriter, frame->hashes);
        clock.Lap(StageClock::kHashes);
        WriteRGBFlow(rgbFlow, frame->flow);
        clock.Lap(StageClock::kRGBFlow);
        if (!frame->shot.empty())
            SaveScreenshots(args, screenshots.frames, j, probe.frameRate, frame->shot);
        clock.Lap(StageClock::kSave);
        if (frame->cell >= 0)
            PlaceTableViewCell(tableView, frame->cell, frame->cellPicture, j);
        clock.Lap(StageClock::kTable);
        progress.Tick(j, probe.frameCount);
    }
    clock += pass.Finish();
    if (j == 0)
        throw std::runtime_error("No frame of the video can be read from its start!");
    // The frames read are all there are: the entries past them get frames that were read.
    SaveRedrawnScreenshots(args, RedrawUnreadScreenshots(screenshots, j), probe, aspect, contentRect,
                           samples.frameSize);

    SavePicture(args.tableViewPicture, tableView.sheet);
    capture.release();
    // The RGB data file last: once it holds records, so does the hashes file.
    hashesFile.Finish();
    rgbFile.Finish();
    std::printf("Finished!\n");
    clock.Print(stdout);
    return 0;
}
