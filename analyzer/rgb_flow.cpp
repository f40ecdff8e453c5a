#include "rgb_flow.h"

#include "byte_sums.h"

namespace {

constexpr int kBlue = 0;
constexpr int kGreen = 1;
constexpr int kRed = 2;

// Rounded-half-up mean of one channel over a block of width x height pixels starting at first.
std::uint8_t ChannelMean(const std::uint8_t* first, int width, int height, std::size_t rowBytes, int channel)
{
    std::uint64_t sum = 0;
    for (int y = 0; y < height; ++y)
        sum += SumChannel(first + y * rowBytes, width, channel);
    const std::uint64_t n = static_cast<std::uint64_t>(width) * height;
    return static_cast<std::uint8_t>((sum + n / 2) / n);
}

}  // namespace

RGBFlowRecord ComputeRGBFlow(const cv::Mat& content)
{
    CV_Assert(content.type() == CV_8UC3 && content.isContinuous() && content.cols >= 2 && content.rows >= 2);
    const int columns = content.cols;
    const int rows = content.rows;
    const int hw = columns / 2;
    const int hh = rows / 2;
    const std::size_t rowBytes = static_cast<std::size_t>(columns) * 3;
    const std::uint8_t* topLeft = content.data;
    const std::uint8_t* topRight = topLeft + (columns - hw) * 3;
    const std::uint8_t* bottomLeft = topLeft + (rows - hh) * rowBytes;
    const std::uint8_t* bottomRight = bottomLeft + (columns - hw) * 3;
    return {ChannelMean(topLeft, hw, hh, rowBytes, kRed), ChannelMean(topRight, hw, hh, rowBytes, kGreen),
            ChannelMean(bottomLeft, hw, hh, rowBytes, kBlue), ChannelMean(bottomRight, hw, hh, rowBytes, kRed)};
}

void WriteRGBFlow(RGBFlowState& state, const cv::Mat& content)
{
    state.record = ComputeRGBFlow(content);
    std::fwrite(state.record.data(), state.record.size(), 1, state.file);
}
