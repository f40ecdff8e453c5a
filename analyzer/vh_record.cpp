#include "vh_record.h"

#include "byte_sums.h"
#include "content_rows.h"

#include <algorithm>

namespace {

// Grid cells in record order: the four 2 x 2 quarters, each in row order without the grid's corner.
constexpr int kCellOrder[12][2] = {{0, 1}, {1, 0}, {1, 1}, {0, 2}, {1, 2}, {1, 3},
                                   {2, 0}, {2, 1}, {3, 1}, {2, 2}, {2, 3}, {3, 2}};

bool IsGridCorner(int row, int column)
{
    return (row == 0 || row == VHGeometry::kGrid - 1) && (column == 0 || column == VHGeometry::kGrid - 1);
}

// Mean of blue + green + red over n pixels whose bytes sum to sum, rounded half up.
std::uint8_t Brightness(std::uint64_t sum, std::uint64_t n)
{
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

VHSums::VHSums(int width, int height) : g_(ComputeVHGeometry(width, height)), width_(width)
{
    CV_Assert(g_.squareSide >= 14);
}

void VHSums::AddRow(const std::uint8_t* row, int y)
{
    const int squareRow = y - g_.squareY;
    if (squareRow >= 0 && squareRow < g_.squareSide) {
        int gridRow = VHGeometry::kGrid - 1;
        while (squareRow < g_.cellEdge[gridRow])
            --gridRow;
        for (int column = 0; column < VHGeometry::kGrid; ++column)
            if (!IsGridCorner(gridRow, column))
                cells_[gridRow * VHGeometry::kGrid + column] +=
                    SumBytes(row + static_cast<std::size_t>(g_.squareX + g_.cellEdge[column]) * 3,
                             static_cast<std::size_t>(g_.cellSize[column]) * 3);
    }
    // Block rows always lie inside: the square's side is at most the content's height.
    const int b = g_.blockSide;
    for (int r = 0; r < VHGeometry::kBlockRows; ++r) {
        if (y < g_.blockY[r] || y >= g_.blockY[r] + b)
            continue;
        for (int k = 0; k < VHGeometry::kBlockColumns; ++k) {
            const int x = g_.blockX[k];
            if (x >= 0 && x + b <= width_)
                blocks_[r * VHGeometry::kBlockColumns + k] +=
                    SumBytes(row + static_cast<std::size_t>(x) * 3, static_cast<std::size_t>(b) * 3);
        }
    }
}

VHRecord VHSums::Record() const
{
    VHRecord record;
    auto byte = record.begin();
    *byte++ = static_cast<std::uint8_t>(g_.widthClass);
    for (const auto& [row, column] : kCellOrder)
        *byte++ = Brightness(cells_[row * VHGeometry::kGrid + column],
                             static_cast<std::uint64_t>(g_.cellSize[column]) * g_.cellSize[row]);
    const int b = g_.blockSide;
    for (int r = 0; r < VHGeometry::kBlockRows; ++r)
        for (int k = 0; k < VHGeometry::kBlockColumns; ++k) {
            const int x = g_.blockX[k];
            *byte++ = (x < 0 || x + b > width_)
                          ? 0
                          : Brightness(blocks_[r * VHGeometry::kBlockColumns + k], static_cast<std::uint64_t>(b) * b);
        }
    return record;
}

void FillVHRecord(const cv::Mat& content, VHRecord& record)
{
    VHSums sums(content.cols, content.rows);
    AddContentRows(content, sums);
    record = sums.Record();
}

void WriteVHRecord(VHWriter& writer, const VHRecord& record)
{
    writer.record = record;
    std::fwrite(writer.record.data(), writer.record.size(), 1, writer.file);
}
