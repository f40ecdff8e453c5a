#include "rgb_flow.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <cstdio>
#include <vector>

namespace {

using Record = RGBFlowRecord;

TEST(RGBFlow, OneColourGivesRedGreenBlueRed)
{
    const cv::Mat frame(6, 8, CV_8UC3, cv::Scalar(10, 20, 30));
    EXPECT_EQ(ComputeRGBFlow(frame), (Record{30, 20, 10, 30}));
}

TEST(RGBFlow, EachByteTakesItsOwnQuarterAndChannel)
{
    // Every quarter carries distinct values in every channel, so a wrong quarter or channel shows.
    cv::Mat frame(4, 4, CV_8UC3);
    frame(cv::Rect(0, 0, 2, 2)).setTo(cv::Scalar(1, 2, 3));
    frame(cv::Rect(2, 0, 2, 2)).setTo(cv::Scalar(4, 5, 6));
    frame(cv::Rect(0, 2, 2, 2)).setTo(cv::Scalar(7, 8, 9));
    frame(cv::Rect(2, 2, 2, 2)).setTo(cv::Scalar(10, 11, 12));
    EXPECT_EQ(ComputeRGBFlow(frame), (Record{3, 5, 7, 12}));
}

TEST(RGBFlow, MeanRoundsHalfUp)
{
    // Quarters of two pixels: red 0 and 1 average 0.5, which rounds up.
    cv::Mat two(2, 4, CV_8UC3, cv::Scalar(0, 0, 0));
    two.at<cv::Vec3b>(0, 1) = {0, 0, 1};
    EXPECT_EQ(ComputeRGBFlow(two)[0], 1);

    // Quarters of three pixels: red 0, 0 and 1 average 0.33, which rounds down.
    cv::Mat three(2, 6, CV_8UC3, cv::Scalar(0, 0, 0));
    three.at<cv::Vec3b>(0, 2) = {0, 0, 1};
    EXPECT_EQ(ComputeRGBFlow(three)[0], 0);
}

TEST(RGBFlow, OddSizeIgnoresMiddleRowAndColumn)
{
    // 5 x 3: quarters of 2 x 1 pixels; only column 2 and row 1 are bright.
    cv::Mat frame(3, 5, CV_8UC3, cv::Scalar(0, 0, 0));
    frame.col(2).setTo(cv::Scalar(255, 255, 255));
    frame.row(1).setTo(cv::Scalar(255, 255, 255));
    EXPECT_EQ(ComputeRGBFlow(frame), (Record{0, 0, 0, 0}));
}

TEST(RGBFlow, ViewInsideALargerPictureGivesThePlainMeans)
{
    // Random content 37 x 23 at (5, 3) of a larger picture: rows that are not continuous, odd sides.
    cv::Mat picture(31, 50, CV_8UC3);
    cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(256));
    const cv::Mat content = picture(cv::Rect(5, 3, 37, 23));
    const int hw = 18, hh = 11;
    const auto mean = [&](int x0, int y0, int channel) {
        int sum = 0;
        for (int y = y0; y < y0 + hh; ++y)
            for (int x = x0; x < x0 + hw; ++x)
                sum += content.at<cv::Vec3b>(y, x)[channel];
        return static_cast<std::uint8_t>((sum + hw * hh / 2) / (hw * hh));
    };
    EXPECT_EQ(ComputeRGBFlow(content), (Record{mean(0, 0, 2), mean(19, 0, 1), mean(0, 12, 0), mean(19, 12, 2)}));
}

TEST(RGBFlow, AppendsExactlyFourBytesAFrameZerosIncluded)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    RGBFlowState state{file, {}};
    WriteRGBFlow(state, ComputeRGBFlow(cv::Mat(4, 4, CV_8UC3, cv::Scalar(0, 0, 10))));
    WriteRGBFlow(state, ComputeRGBFlow(cv::Mat(4, 4, CV_8UC3, cv::Scalar(0, 200, 0))));
    EXPECT_EQ(state.record, (Record{0, 200, 0, 0}));

    std::vector<unsigned char> bytes(16);
    std::rewind(file);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{10, 0, 0, 10, 0, 200, 0, 0}));
}

}  // namespace
