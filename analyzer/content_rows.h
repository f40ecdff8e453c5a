#pragma once
#include <opencv2/core/mat.hpp>

#include <cstdint>

// One pass over the rows of an 8-bit BGR content (a view inside a larger picture will do): each row goes to
// every record's sums in turn, read once while it is in the cache.
template <typename... Sums>
void AddContentRows(const cv::Mat& content, Sums&... sums)
{
    CV_Assert(content.type() == CV_8UC3);
    for (int y = 0; y < content.rows; ++y) {
        const std::uint8_t* row = content.ptr<std::uint8_t>(y);
        (sums.AddRow(row, y), ...);
    }
}
