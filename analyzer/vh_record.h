#pragma once
#include <opencv2/core/mat.hpp>

#include <array>
#include <cstdint>
#include <cstdio>

// One frame's brightness fingerprint: byte 0 the width class (3, 2 or 1), bytes 1..12 the 12 non-corner
// cells of a 4 x 4 grid over the centred square, bytes 13..89 the 7 x 11 lattice of small blocks around
// the centre, row by row (0 for a block that does not lie inside the content).
using VHRecord = std::array<std::uint8_t, 90>;

// Where the grid cells and lattice blocks of a content of a given size lie.
struct VHGeometry {
    static constexpr int kGrid = 4;
    static constexpr int kBlockColumns = 11;
    static constexpr int kBlockRows = 7;

    int squareSide = 0;  // the shorter side of the content
    int squareX = 0;
    int squareY = 0;
    std::array<int, kGrid> cellEdge{};  // offset of grid line i from the square's corner
    std::array<int, kGrid> cellSize{};
    int widthClass = 0;
    int blockSide = 0;
    std::array<int, kBlockColumns> blockX{};  // truncated; may be negative or reach past the content
    std::array<int, kBlockRows> blockY{};
};

// Geometry of a content of width x height; the shorter side must be at least 14 pixels.
VHGeometry ComputeVHGeometry(int width, int height);

// The sums behind a record, taken a content row at a time, so that one pass over the rows can serve the RGB
// data record too.
class VHSums {
public:
    // For content of width x height pixels whose shorter side is at least 14 pixels.
    VHSums(int width, int height);

    // Adds content row y: width pixels of 3 bytes, blue, green, red.
    void AddRow(const std::uint8_t* row, int y);

    VHRecord Record() const;

private:
    VHGeometry g_;
    int width_;
    std::array<std::uint64_t, VHGeometry::kGrid * VHGeometry::kGrid> cells_{};  // row by row
    std::array<std::uint64_t, VHGeometry::kBlockRows * VHGeometry::kBlockColumns> blocks_{};
};

// Fingerprint of an 8-bit BGR content (a view inside a larger picture will do).
void FillVHRecord(const cv::Mat& content, VHRecord& record);

// The hashes file: one record a frame, nothing else.
struct VHWriter {
    VHRecord record{};
    std::FILE* file = nullptr;
};

// Keeps the frame's record in the writer and appends its 90 bytes to the file.
void WriteVHRecord(VHWriter& writer, const VHRecord& record);
