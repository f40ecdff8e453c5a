#include "table_view.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

struct LayoutCase {
    int contentWidth;
    int contentHeight;
    int cellHeight;
    int sheetHeight;
    std::vector<int> rowStarts;  // empty when not checked
};

class TableLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(TableLayoutTest, CellsAndSheetFollowTheContentShape)
{
    const LayoutCase& c = GetParam();
    TableViewState state;
    InitTableView(state, c.contentWidth, c.contentHeight);
    EXPECT_EQ(state.cellWidth, 178);
    EXPECT_EQ(state.cellHeight, c.cellHeight);
    EXPECT_EQ(state.sheet.cols, 1920);
    EXPECT_EQ(state.sheet.rows, c.sheetHeight);
    EXPECT_EQ(state.cellFrames.size(), 100u);
    for (std::size_t row = 0; row < c.rowStarts.size(); ++row)
        EXPECT_EQ(TableCellOrigin(state, static_cast<int>(row) * 10).y, c.rowStarts[row]) << "row " << row;
}

INSTANTIATE_TEST_SUITE_P(Contents, TableLayoutTest,
                         testing::Values(LayoutCase{1920, 1080, 100, 1136,
                                                    {13, 125, 237, 349, 461, 574, 686, 798, 910, 1022}},
                                         LayoutCase{1920, 800, 74, 872,
                                                    {12, 98, 184, 270, 356, 441, 527, 613, 699, 785}},
                                         LayoutCase{1440, 1080, 133, 1464, {}}));

TEST(TableView, ColumnsSpreadTheSpareWidthEvenly)
{
    TableViewState state;
    InitTableView(state, 1920, 1080);
    const int expected[10] = {13, 204, 394, 585, 775, 966, 1156, 1347, 1537, 1728};
    for (int column = 0; column < 10; ++column)
        EXPECT_EQ(TableCellOrigin(state, column).x, expected[column]) << "column " << column;
}

bool HasColour(const cv::Mat& sheet, int x, int y, cv::Vec3b bgr)
{
    return sheet.at<cv::Vec3b>(y, x) == bgr;
}

TEST(TableView, EmptySheetShowsBorderFramesAndShadows)
{
    TableViewState state;
    InitTableView(state, 1920, 1080);
    const cv::Vec3b white(255, 255, 255), grey(80, 80, 80), background(255, 100, 100);
    EXPECT_TRUE(HasColour(state.sheet, 0, 0, white));
    EXPECT_TRUE(HasColour(state.sheet, 1919, 1135, white));
    EXPECT_TRUE(HasColour(state.sheet, 1, 1, background));
    // Cell 0 at (13, 13), 178 x 100: its frame reaches from (12, 12) to (191, 113), its shadow 5 further.
    EXPECT_TRUE(HasColour(state.sheet, 12, 12, white));
    EXPECT_TRUE(HasColour(state.sheet, 100, 60, white));
    EXPECT_TRUE(HasColour(state.sheet, 191, 113, white));
    EXPECT_TRUE(HasColour(state.sheet, 196, 118, grey));
    EXPECT_TRUE(HasColour(state.sheet, 197, 118, background));
    EXPECT_TRUE(HasColour(state.sheet, 16, 114, background));
    EXPECT_TRUE(HasColour(state.sheet, 17, 114, grey));
}

TEST(TableView, DrawsTheGivenCellWithItsLabel)
{
    TableViewState state;
    InitTableView(state, 1920, 1080);
    state.frameRate = 25;
    const cv::Mat red(1080, 1920, CV_8UC3, cv::Scalar(0, 0, 255));
    PlaceTableViewCell(state, 11, TableViewCellPicture(state, red), 2250);  // row 1, column 1, at (204, 125)
    EXPECT_EQ(state.nextCell, 12);

    EXPECT_TRUE(HasColour(state.sheet, 204, 125, {0, 0, 255}));
    EXPECT_TRUE(HasColour(state.sheet, 204 + 177, 125 + 50, {0, 0, 255}));
    EXPECT_TRUE(HasColour(state.sheet, 204 + 178, 125, {255, 255, 255}));  // the frame stays around it
    EXPECT_TRUE(HasColour(state.sheet, 13, 13, {255, 255, 255}));  // cell 0 untouched

    // The label 01:30 sits right-aligned in the bottom rows: white and black pixels appear there only.
    const cv::Mat labelArea = state.sheet(cv::Rect(204 + 100, 125 + 85, 78, 15));
    int white = 0, black = 0;
    for (int y = 0; y < labelArea.rows; ++y)
        for (int x = 0; x < labelArea.cols; ++x) {
            const cv::Vec3b p = labelArea.at<cv::Vec3b>(y, x);
            white += p == cv::Vec3b(255, 255, 255);
            black += p == cv::Vec3b(0, 0, 0);
        }
    EXPECT_GT(white, 0);
    EXPECT_GT(black, 0);
    // Above the label the cell is the content's red, untouched.
    cv::Mat difference;
    cv::absdiff(state.sheet(cv::Rect(204, 125, 178, 80)), cv::Scalar(0, 0, 255), difference);
    EXPECT_EQ(cv::countNonZero(difference.reshape(1)), 0);
}

TEST(TableView, LabelSitsRightAlignedOnTheCellBottomWithItsShadow)
{
    TableViewState state;
    InitTableView(state, 1920, 1080);
    state.frameRate = 25;
    const cv::Mat grey(1080, 1920, CV_8UC3, cv::Scalar(128, 128, 128));
    cv::Mat expected = state.sheet.clone();
    PlaceTableViewCell(state, 0, TableViewCellPicture(state, grey), 90 * 25);  // at (13, 13), 178 x 100

    expected(cv::Rect(13, 13, 178, 100)).setTo(cv::Scalar(128, 128, 128));
    int baseline = 0;
    const int width = cv::getTextSize("01:30", cv::FONT_HERSHEY_SIMPLEX, 0.4, 1, &baseline).width;
    cv::putText(expected, "01:30", {13 + 178 - width + 1, 112}, cv::FONT_HERSHEY_SIMPLEX, 0.4, cv::Scalar(0, 0, 0), 1,
                cv::LINE_8);
    cv::putText(expected, "01:30", {13 + 178 - width, 111}, cv::FONT_HERSHEY_SIMPLEX, 0.4,
                cv::Scalar(255, 255, 255), 1, cv::LINE_8);
    cv::Mat difference;
    cv::absdiff(state.sheet, expected, difference);
    EXPECT_EQ(cv::countNonZero(difference.reshape(1)), 0);
}

TEST(TableView, TimeLabels)
{
    const std::pair<int, const char*> cases[] = {{0, "00:00"},     {59, "00:59"},      {60, "01:00"},
                                                 {90, "01:30"},    {3599, "59:59"},    {3600, "1:00:00"},
                                                 {3661, "1:01:01"}, {36000, "10:00:00"}};
    for (const auto& [seconds, label] : cases)
        EXPECT_EQ(TimeLabel(seconds), label) << seconds << " s";
}

TEST(TableView, FitsOnlyContentWithCellsAPixelHigh)
{
    EXPECT_TRUE(FitsTableView(178, 1));
    EXPECT_FALSE(FitsTableView(179, 1));
    EXPECT_FALSE(FitsTableView(0, 100));
    EXPECT_TRUE(FitsTableView(14, 14));
}

}  // namespace
