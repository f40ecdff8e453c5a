#pragma once
#include <opencv2/core/mat.hpp>

#include <array>
#include <cstdint>
#include <cstdio>

// One frame's coarse colour signature: the rounded mean of one channel over each quarter of the content,
// in the order top-left red, top-right green, bottom-left blue, bottom-right red. For an odd size the
// middle row or column belongs to no quarter.
using RGBFlowRecord = std::array<std::uint8_t, 4>;

// The sums behind a record, taken a content row at a time, so that one pass over the rows can serve the
// hashes too.
class RGBFlowSums {
public:
    // For content of width x height pixels, at least 2 x 2.
    RGBFlowSums(int width, int height);

    // Adds content row y: width pixels of 3 bytes, blue, green, red.
    void AddRow(const std::uint8_t* row, int y);

    RGBFlowRecord Record() const;

private:
    int width_;
    int height_;
    int halfWidth_;
    int halfHeight_;
    std::array<std::uint64_t, 4> sums_{};
};

// Record of an 8-bit BGR content of at least 2 x 2 pixels (a view inside a larger picture will do).
RGBFlowRecord ComputeRGBFlow(const cv::Mat& content);

// The RGB data file: one record a frame, nothing else.
struct RGBFlowState {
    std::FILE* file = nullptr;
    RGBFlowRecord record{};
};

// Keeps the frame's record in the state and appends its four bytes to the file.
void WriteRGBFlow(RGBFlowState& state, const RGBFlowRecord& record);
