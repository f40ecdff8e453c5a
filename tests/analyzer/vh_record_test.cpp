#include "vh_record.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct GeometryCase {
    int width;
    int height;
    int side;
    int squareX;
    int squareY;
    int widthClass;
    int blockSide;
    std::array<int, 11> blockX;
    std::array<int, 7> blockY;
};

class VHGeometryTest : public testing::TestWithParam<GeometryCase> {};

TEST_P(VHGeometryTest, PlacesSquareGridAndLattice)
{
    const GeometryCase& c = GetParam();
    const VHGeometry g = ComputeVHGeometry(c.width, c.height);
    EXPECT_EQ(g.squareSide, c.side);
    EXPECT_EQ(g.squareX, c.squareX);
    EXPECT_EQ(g.squareY, c.squareY);
    EXPECT_EQ(g.widthClass, c.widthClass);
    EXPECT_EQ(g.blockSide, c.blockSide);
    EXPECT_EQ(g.blockX, c.blockX);
    EXPECT_EQ(g.blockY, c.blockY);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, VHGeometryTest,
    testing::Values(
        GeometryCase{1920, 1080, 1080, 420, 0, 3, 77,
                     {150, 304, 458, 612, 767, 921, 1075, 1229, 1384, 1538, 1692},
                     {38, 192, 347, 501, 655, 810, 964}},
        // x-5 comes out as 99.99999999999994: the first block column starts at 99, not 100.
        GeometryCase{1280, 720, 720, 280, 0, 3, 51,
                     {99, 202, 305, 408, 511, 614, 717, 820, 922, 1025, 1128},
                     {25, 128, 231, 334, 437, 540, 642}},
        GeometryCase{1440, 1080, 1080, 180, 0, 2, 77,
                     {-89, 64, 218, 372, 527, 681, 835, 989, 1144, 1298, 1452},
                     {38, 192, 347, 501, 655, 810, 964}},
        GeometryCase{1080, 1080, 1080, 0, 0, 1, 77,
                     {-269, -115, 38, 192, 347, 501, 655, 810, 964, 1118, 1272},
                     {38, 192, 347, 501, 655, 810, 964}},
        GeometryCase{1920, 800, 800, 560, 0, 3, 57,
                     {360, 474, 588, 702, 817, 931, 1045, 1160, 1274, 1388, 1502},
                     {28, 142, 257, 371, 485, 600, 714}},
        // Taller than wide: the square moves down instead of right.
        GeometryCase{100, 300, 100, 0, 100, 1, 7,
                     {-25, -10, 3, 17, 32, 46, 60, 75, 89, 103, 117},
                     {103, 117, 132, 146, 160, 175, 189}}));

TEST(VHGeometry, GridSizesSplitTheSquareWithoutGaps)
{
    const VHGeometry g = ComputeVHGeometry(1000, 802);
    EXPECT_EQ(g.cellSize, (std::array<int, 4>{200, 201, 200, 201}));
    EXPECT_EQ(g.cellEdge, (std::array<int, 4>{0, 200, 401, 601}));
    EXPECT_EQ(ComputeVHGeometry(1920, 800).cellSize, (std::array<int, 4>{200, 200, 200, 200}));
}

// Block columns whose block does not lie inside the content, for a grey frame.
struct GreyCase {
    int width;
    int height;
    std::vector<int> outsideColumns;
};

class VHGreyFrameTest : public testing::TestWithParam<GreyCase> {};

TEST_P(VHGreyFrameTest, GivesTheGreyInsideAndZeroOutside)
{
    const GreyCase& c = GetParam();
    const cv::Mat frame(c.height, c.width, CV_8UC3, cv::Scalar(90, 90, 90));
    VHRecord record{};
    FillVHRecord(frame, record);
    EXPECT_EQ(record[0], ComputeVHGeometry(c.width, c.height).widthClass);
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(record[i], 90) << "cell byte " << i;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 11; ++column) {
            const bool outside = std::find(c.outsideColumns.begin(), c.outsideColumns.end(), column) !=
                                 c.outsideColumns.end();
            EXPECT_EQ(record[13 + row * 11 + column], outside ? 0 : 90) << "block " << row << "," << column;
        }
}

INSTANTIATE_TEST_SUITE_P(Contents, VHGreyFrameTest,
                         testing::Values(GreyCase{1920, 1080, {}}, GreyCase{1440, 1080, {0, 10}},
                                         GreyCase{1080, 1080, {0, 1, 9, 10}}, GreyCase{14, 14, {0, 1, 9, 10}}));

TEST(VHRecord, GridCellsFollowTheQuarterOrder)
{
    // 16 x 16 content: grid cells of 4 x 4 pixels; light one cell at a time.
    const int order[12][2] = {{0, 1}, {1, 0}, {1, 1}, {0, 2}, {1, 2}, {1, 3},
                              {2, 0}, {2, 1}, {3, 1}, {2, 2}, {2, 3}, {3, 2}};
    for (int i = 0; i < 12; ++i) {
        cv::Mat frame(16, 16, CV_8UC3, cv::Scalar(0, 0, 0));
        frame(cv::Rect(order[i][1] * 4, order[i][0] * 4, 4, 4)).setTo(cv::Scalar(255, 255, 255));
        VHRecord record{};
        FillVHRecord(frame, record);
        for (int byte = 1; byte <= 12; ++byte)
            EXPECT_EQ(record[byte], byte == i + 1 ? 255 : 0) << "lit cell " << i << ", byte " << byte;
    }
}

TEST(VHRecord, BrightnessRoundsHalfUp)
{
    // One lit pixel in black 14 x 14 content, and the byte of the region that holds it.
    struct Case {
        int x, y;
        cv::Vec3b bgr;
        int byte;
        int expected;
    };
    const Case cases[] = {
        // Cell (0, 1) covers columns 3..6 and rows 0..2: 12 pixels, 36 channel values. A sum of 18 is a
        // mean of exactly 0.5 and rounds up; 17 rounds down.
        {4, 1, {0, 0, 18}, 1, 1},
        {4, 1, {0, 0, 17}, 1, 0},
        // The lattice blocks are one pixel here; the block of byte 15 is pixel (0, 0): (0 + 0 + 2) / 3
        // gives 0, (1 + 1 + 2) / 3 gives 1.
        {0, 0, {0, 0, 2}, 15, 0},
        {0, 0, {1, 1, 2}, 15, 1},
    };
    for (const Case& c : cases) {
        cv::Mat frame(14, 14, CV_8UC3, cv::Scalar(0, 0, 0));
        frame.at<cv::Vec3b>(c.y, c.x) = c.bgr;
        VHRecord record{};
        FillVHRecord(frame, record);
        EXPECT_EQ(record[c.byte], c.expected) << "byte " << c.byte << ", expected " << c.expected;
    }
}

TEST(VHRecord, BlockByteCoversItsLatticeBlock)
{
    // The first block of 1920 x 1080 content starts at (150, 38) and is 77 pixels square.
    cv::Mat frame(1080, 1920, CV_8UC3, cv::Scalar(0, 0, 0));
    frame(cv::Rect(150, 38, 77, 77)).setTo(cv::Scalar(30, 60, 90));
    VHRecord record{};
    FillVHRecord(frame, record);
    EXPECT_EQ(record[13], 60);
    EXPECT_EQ(record[14], 0);
    EXPECT_EQ(record[13 + 11], 0);
}

TEST(VHRecord, ViewInsideALargerPictureGivesThePlainMeans)
{
    // Random content 53 x 40 at (7, 5) of a larger picture: rows that are not continuous, class 2.
    cv::Mat picture(52, 80, CV_8UC3);
    cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(256));
    const cv::Mat content = picture(cv::Rect(7, 5, 53, 40));
    const VHGeometry g = ComputeVHGeometry(content.cols, content.rows);
    const auto brightness = [&](int x0, int y0, int width, int height) {
        int sum = 0;
        for (int y = y0; y < y0 + height; ++y)
            for (int x = x0; x < x0 + width; ++x)
                for (int channel = 0; channel < 3; ++channel)
                    sum += content.at<cv::Vec3b>(y, x)[channel];
        const int n = width * height;
        return static_cast<std::uint8_t>((sum + 3 * (n / 2)) / (3 * n));
    };
    VHRecord expected{};
    expected[0] = static_cast<std::uint8_t>(g.widthClass);
    const int cells[12][2] = {{0, 1}, {1, 0}, {1, 1}, {0, 2}, {1, 2}, {1, 3},
                              {2, 0}, {2, 1}, {3, 1}, {2, 2}, {2, 3}, {3, 2}};
    for (int i = 0; i < 12; ++i) {
        const auto [row, column] = cells[i];
        expected[1 + i] = brightness(g.squareX + g.cellEdge[column], g.squareY + g.cellEdge[row],
                                     g.cellSize[column], g.cellSize[row]);
    }
    for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 11; ++k) {
            const int x = g.blockX[k];
            const bool inside = x >= 0 && x + g.blockSide <= content.cols;
            expected[13 + r * 11 + k] = inside ? brightness(x, g.blockY[r], g.blockSide, g.blockSide) : 0;
        }
    ASSERT_EQ(g.widthClass, 2);
    VHRecord record{};
    FillVHRecord(content, record);
    EXPECT_EQ(record, expected);
}

TEST(VHRecord, AppendsNinetyBytesAFrame)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    VHWriter writer{{}, file};
    VHRecord record{};
    FillVHRecord(cv::Mat(20, 20, CV_8UC3, cv::Scalar(0, 0, 0)), record);
    WriteVHRecord(writer, record);
    WriteVHRecord(writer, record);
    std::fflush(file);
    EXPECT_EQ(std::ftell(file), 180);
    std::fclose(file);
}

}  // namespace
