#include "vh_record.h"

#include "byte_sums.h"

#include <algorithm>

namespace {

// Grid cells in record order: the four 2 x 2 quarters, each in row order without the grid's corner.
constexpr int kCellOrder[12][2] = {{0, 1}, {1, 0}, {1, 1}, {0, 2}, {1, 2}, {1, 3},
                                   {2, 0}, {2, 1}, {3, 1}, {2, 2}, {2, 3}, {3, 2}};

// Mean of blue + green + red over width x height pixels starting at column x, row y, rounded half up.
std::uint8_t Brightness(const cv::Mat& content, int x, int y, int width, int height)
{
    const std::size_t rowBytes = static_cast<std::size_t>(content.cols) * 3;
    const std::uint8_t* first = content.data + y * rowBytes + static_cast<std::size_t>(x) * 3;
    std::uint64_t sum = 0;
    for (int r = 0; r < height; ++r)
        sum += SumBytes(first + r * rowBytes, static_cast<std::size_t>(width) * 3);
    const std::uint64_t n = static_cast<std::uint64_t>(width) * height;
    return static_cast<std::uint8_t>((sum + 3 * (n / 2)) / (3 * n));
}

}  // namespace

VHGeometry ComputeVHGeometry(int width, int height)
{
    VHGeometry g;
    const int side = std::min(width, height);
    g.squareSide = side;
    g.squareX = width >= height ? (width - height) / 2 : 0;
    g.squareY = width >= height ? 0 : (height - width) / 2;
    for (int i = 0; i < VHGeometry::kGrid; ++i) {
        g.cellEdge[i] = i * side / 4;
        g.cellSize[i] = (i + 1) * side / 4 - i * side / 4;
    }

    // Each double operation is rounded on its own, in this order, so the truncated positions are exact.
    const double pitch = side / 7.0;
    const double blockSide = (side * 0.5) / 7.0;
    const double halfBlock = blockSide * 0.5;
    const double centreX = width * 0.5;
    const double centreY = height * 0.5;
    double firstX = 0;
    double secondX = 0;
    for (int k = -5; k <= 5; ++k) {
        const double x = (centreX + k * pitch) - halfBlock;
        g.blockX[k + 5] = static_cast<int>(x);
        if (k == -5)
            firstX = x;
        if (k == -4)
            secondX = x;
    }
    for (int r = -3; r <= 3; ++r)
        g.blockY[r + 3] = static_cast<int>((centreY + r * pitch) - halfBlock);
    g.widthClass = firstX >= 0 ? 3 : secondX >= 0 ? 2 : 1;
    g.blockSide = static_cast<int>(blockSide);
    return g;
}

void FillVHRecord(const cv::Mat& content, VHRecord& record)
{
    CV_Assert(content.type() == CV_8UC3 && content.isContinuous());
    const int width = content.cols;
    const VHGeometry g = ComputeVHGeometry(width, content.rows);
    CV_Assert(g.squareSide >= 14);

    auto byte = record.begin();
    *byte++ = static_cast<std::uint8_t>(g.widthClass);
    for (const auto& [row, column] : kCellOrder)
        *byte++ = Brightness(content, g.squareX + g.cellEdge[column], g.squareY + g.cellEdge[row], g.cellSize[column],
                             g.cellSize[row]);
    // Block rows always lie inside: the square's side is at most the content's height.
    const int b = g.blockSide;
    for (int y : g.blockY)
        for (int x : g.blockX)
            *byte++ = (x < 0 || x + b > width) ? 0 : Brightness(content, x, y, b, b);
}

void WriteVHRecord(VHWriter& writer, const cv::Mat& content)
{
    FillVHRecord(content, writer.record);
    std::fwrite(writer.record.data(), writer.record.size(), 1, writer.file);
}
