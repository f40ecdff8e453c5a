#include "border_detector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const cv::Scalar kBlack(0, 0, 0);
const cv::Scalar kBright(200, 200, 200);

BorderDetector Detect(const cv::Mat& frame)
{
    BorderDetector detector;
    DetectBorders(detector, frame);
    return detector;
}

// A bright 1920 x 10 frame whose first row has the dark pixels in [from, to) for each span.
cv::Mat FrameWithTopRow(const std::vector<std::pair<int, int>>& darkSpans)
{
    cv::Mat frame(10, 1920, CV_8UC3, kBright);
    for (const auto& [from, to] : darkSpans)
        frame(cv::Rect(from, 0, to - from, 1)).setTo(kBlack);
    return frame;
}

TEST(BorderDetector, DarkMeansEveryChannelAtMostForty)
{
    cv::Mat frame(20, 20, CV_8UC3, kBright);
    frame.row(0).setTo(cv::Scalar(40, 40, 40));
    frame.row(1).setTo(cv::Scalar(40, 41, 40));
    EXPECT_EQ(Detect(frame).top, 1);
}

struct LineCase {
    const char* name;
    std::vector<std::pair<int, int>> darkSpans;
    int top;
};

class BorderLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(BorderLineTest, NeedsEightyPercentDarkAndASixtyPercentRun)
{
    EXPECT_EQ(Detect(FrameWithTopRow(GetParam().darkSpans)).top, GetParam().top);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BorderLineTest,
    testing::Values(
        // 1536 dark pixels are exactly 80 %, a run of 1152 exactly 60 %.
        LineCase{"ExactShares", {{0, 1152}, {1153, 1537}}, 1},
        LineCase{"RunOnePixelShort", {{0, 1151}, {1152, 1537}}, 0},
        LineCase{"DarkOnePixelShort", {{0, 1152}, {1153, 1536}}, 0},
        // 90 % dark, but no run reaches 60 %.
        LineCase{"BrokenRuns", {{0, 1100}, {1101, 1729}}, 0},
        LineCase{"RunOpenAtTheEnd", {{0, 384}, {385, 1920}}, 1}),
    [](const auto& info) { return info.param.name; });

TEST(BorderDetector, LetterboxBarsFromTopAndBottom)
{
    cv::Mat frame(1080, 1920, CV_8UC3, kBlack);
    frame(cv::Rect(0, 140, 1920, 800)).setTo(kBright);
    const BorderDetector d = Detect(frame);
    EXPECT_EQ(d.top, 140);
    EXPECT_EQ(d.bottom, 140);
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.right, 0);
    EXPECT_EQ(d.frameWidth, 1920);
    EXPECT_EQ(d.frameHeight, 1080);
    EXPECT_EQ(SelectAspectCrop(d), " >>> w=1422 h=800 Left2=249 Right2=249 Width=1920\n");
}

TEST(BorderDetector, PillarboxBarsCountedPerSide)
{
    cv::Mat frame(1080, 1920, CV_8UC3, kBlack);
    frame(cv::Rect(240, 0, 1440, 1080)).setTo(kBright);
    frame(cv::Rect(1677, 0, 3, 1080)).setTo(kBlack);  // a thicker bar on the right
    const BorderDetector d = Detect(frame);
    EXPECT_EQ(d.top, 0);
    EXPECT_EQ(d.bottom, 0);
    EXPECT_EQ(d.left, 240);
    EXPECT_EQ(d.right, 243);
}

TEST(BorderDetector, KeepsTheThinnestBarOverSamples)
{
    BorderDetector d;
    for (int bar : {140, 138, 0, 150}) {
        cv::Mat frame(400, 300, CV_8UC3, kBright);
        if (bar > 0)
            frame(cv::Rect(0, 0, 300, bar)).setTo(kBlack);
        DetectBorders(d, frame);
        if (bar == 138) {
            EXPECT_EQ(d.top, 138);
        }
    }
    EXPECT_EQ(d.top, 0);
    EXPECT_EQ(d.bottom, 0);
}

TEST(BorderDetector, AllBlackFrameStopsAtHalf)
{
    const BorderDetector d = Detect(cv::Mat(1081, 1920, CV_8UC3, kBlack));
    EXPECT_EQ(d.top, 540);
    EXPECT_EQ(d.bottom, 540);
    EXPECT_EQ(d.left, 960);
    EXPECT_EQ(d.right, 960);
}

TEST(SelectAspectCrop, ReportsOnlyWideContent)
{
    auto line = [](int width, int height) {
        BorderDetector d;
        d.top = d.bottom = d.left = d.right = 0;
        d.frameWidth = width;
        d.frameHeight = height;
        return SelectAspectCrop(d);
    };
    EXPECT_EQ(line(1920, 1080), " >>> w=1920 h=1080 Left2=0 Right2=0 Width=1920\n");
    EXPECT_EQ(line(1767, 1000), "");  // 1.767 lies below 16:9 less 0.01
    EXPECT_EQ(line(1760, 1000), "");
    EXPECT_EQ(line(1440, 1080), "");
    EXPECT_EQ(line(1768, 1000), " >>> w=1777 h=1000 Left2=0 Right2=0 Width=1768\n");
}

}  // namespace
