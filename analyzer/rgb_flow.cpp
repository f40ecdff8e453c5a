#include "rgb_flow.h"

#include "byte_sums.h"
#include "content_rows.h"

namespace {

constexpr int kBlue = 0;
constexpr int kGreen = 1;
constexpr int kRed = 2;

}  // namespace

RGBFlowSums::RGBFlowSums(int width, int height)
    : width_(width), height_(height), halfWidth_(width / 2), halfHeight_(height / 2)
{
    CV_Assert(width >= 2 && height >= 2);
}

void RGBFlowSums::AddRow(const std::uint8_t* row, int y)
{
    const std::uint8_t* right = row + static_cast<std::size_t>(width_ - halfWidth_) * 3;
    if (y < halfHeight_) {
        sums_[0] += SumChannel(row, halfWidth_, kRed);
        sums_[1] += SumChannel(right, halfWidth_, kGreen);
    } else if (y >= height_ - halfHeight_) {
        sums_[2] += SumChannel(row, halfWidth_, kBlue);
        sums_[3] += SumChannel(right, halfWidth_, kRed);
    }
}

RGBFlowRecord RGBFlowSums::Record() const
{
    // Rounded half up.
    const std::uint64_t n = static_cast<std::uint64_t>(halfWidth_) * halfHeight_;
    RGBFlowRecord record;
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>((sums_[i] + n / 2) / n);
    return record;
}

RGBFlowRecord ComputeRGBFlow(const cv::Mat& content)
{
    RGBFlowSums sums(content.cols, content.rows);
    AddContentRows(content, sums);
    return sums.Record();
}

void WriteRGBFlow(RGBFlowState& state, const RGBFlowRecord& record)
{
    state.record = record;
    std::fwrite(state.record.data(), state.record.size(), 1, state.file);
}
