#include "border_detector.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

// One line of n pixels, the first at p and each next one step bytes further.
bool IsBorderLine(const BorderDetector& d, const std::uint8_t* p, int n, std::ptrdiff_t step)
{
    const int threshold = d.darkThreshold;
    int dark = 0;
    int run = 0;
    int longestRun = 0;
    for (int i = 0; i < n; ++i, p += step) {
        if (p[0] <= threshold && p[1] <= threshold && p[2] <= threshold) {
            ++dark;
            longestRun = std::max(longestRun, ++run);
        } else {
            run = 0;
        }
    }
    return dark * 100 / n >= d.darkShare && longestRun * 100 / n >= d.runShare;
}

// Consecutive border lines from first on, each next line stride bytes further, at most limit of them.
int CountBorderLines(const BorderDetector& d, const std::uint8_t* first, std::ptrdiff_t stride, int limit,
                     int lineLength, std::ptrdiff_t pixelStep)
{
    int count = 0;
    while (count < limit && IsBorderLine(d, first + count * stride, lineLength, pixelStep))
        ++count;
    return count;
}

}  // namespace

void DetectBorders(BorderDetector& d, const cv::Mat& frame)
{
    CV_Assert(frame.type() == CV_8UC3 && frame.isContinuous() && frame.cols > 0 && frame.rows > 0);
    const int columns = frame.cols;
    const int rows = frame.rows;
    d.frameWidth = columns;
    d.frameHeight = rows;

    const std::uint8_t* data = frame.data;
    const std::ptrdiff_t pixel = 3;
    const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(columns) * pixel;
    const std::uint8_t* lastRow = data + (rows - 1) * row;
    const std::uint8_t* lastColumn = data + (columns - 1) * pixel;

    d.top = std::min(d.top, CountBorderLines(d, data, row, rows / 2, columns, pixel));
    d.bottom = std::min(d.bottom, CountBorderLines(d, lastRow, -row, rows / 2, columns, pixel));
    d.left = std::min(d.left, CountBorderLines(d, data, pixel, columns / 2, rows, row));
    d.right = std::min(d.right, CountBorderLines(d, lastColumn, -pixel, columns / 2, rows, row));
}

std::string SelectAspectCrop(const BorderDetector& d)
{
    const int contentWidth = d.frameWidth - d.left - d.right;
    const int contentHeight = d.frameHeight - d.top - d.bottom;
    const double ratio = static_cast<double>(contentWidth) / contentHeight;
    const double wideRatio = 1.7677777777777777;  // 16:9 less 0.01
    if (!(ratio >= wideRatio))
        return {};
    const int w = contentHeight * 16 / 9;
    int left2 = 0;
    int right2 = 0;
    if (d.frameWidth > w) {
        left2 = (d.frameWidth - w) / 2;
        right2 = d.frameWidth - left2 - w;
    }
    char line[160];
    std::snprintf(line, sizeof line, " >>> w=%i h=%i Left2=%i Right2=%i Width=%i\n", w, contentHeight, left2, right2,
                  d.frameWidth);
    return line;
}
