#pragma once
#include <opencv2/core/mat.hpp>

#include <array>
#include <cstdint>
#include <cstdio>

// One frame's coarse colour signature: the rounded mean of one channel over each quarter of the content,
// in the order top-left red, top-right green, bottom-left blue, bottom-right red. For an odd size the
// middle row or column belongs to no quarter.
using RGBFlowRecord = std::array<std::uint8_t, 4>;

// The RGB data file: one record a frame, nothing else.
struct RGBFlowState {
    std::FILE* file = nullptr;
    RGBFlowRecord record{};
};

// Record of an 8-bit BGR content copy with continuous rows, at least 2 x 2 pixels.
RGBFlowRecord ComputeRGBFlow(const cv::Mat& content);

// Computes the frame's record into the state and appends its four bytes to the file.
void WriteRGBFlow(RGBFlowState& state, const cv::Mat& content);
