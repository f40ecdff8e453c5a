#include "table_view.h"

#include <opencv2/imgproc.hpp>

#include <cstdio>

TableViewState tableView;

namespace {

const double kLabelScale = 0.4;

cv::Scalar Colour(int rgb)
{
    return cv::Scalar(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

int CellWidth(const TableViewState& s)
{
    return (s.sheetWidth - 2 * s.border - 2 * s.columns * s.cellFrame - (s.columns + 1) * s.gap) / s.columns;
}

long long CellHeight(const TableViewState& s, int contentWidth, int contentHeight)
{
    return static_cast<long long>(s.cellWidth) * contentHeight / contentWidth;
}

// The cells, their frames and the gaps, rounded up to a multiple of 8 rows; the border is not counted in.
long long SheetHeight(const TableViewState& s, long long cellHeight)
{
    const long long used = s.rows * cellHeight + 2 * s.rows * s.cellFrame + (s.rows + 1) * s.gap;
    return (used + 7) / 8 * 8;
}

}  // namespace

bool FitsTableView(int contentWidth, int contentHeight)
{
    const TableViewState defaults;
    return contentWidth >= 1 && contentHeight >= 1 &&
           static_cast<long long>(CellWidth(defaults)) * contentHeight / contentWidth >= 1;
}

long long TableViewHeight(int contentWidth, int contentHeight)
{
    TableViewState layout;
    layout.cellWidth = CellWidth(layout);
    return SheetHeight(layout, CellHeight(layout, contentWidth, contentHeight));
}

void InitTableView(TableViewState& s, int contentWidth, int contentHeight)
{
    s.sheetWidth = 1920;
    s.columns = 10;
    s.rows = 10;
    s.cellWidth = CellWidth(s);
    s.cellHeight = static_cast<int>(CellHeight(s, contentWidth, contentHeight));
    CV_Assert(s.cellWidth > 0 && s.cellHeight > 0);
    s.sheetHeight = static_cast<int>(SheetHeight(s, s.cellHeight));

    s.sheet.create(s.sheetHeight, s.sheetWidth, CV_8UC3);
    s.sheet.setTo(Colour(s.backgroundColour));
    for (int i = 0; i < s.border; ++i)
        cv::rectangle(s.sheet, cv::Point(i, i), cv::Point(s.sheetWidth - i - 1, s.sheetHeight - i - 1),
                      Colour(s.frameColour), 1, cv::LINE_8);
    const int f = s.cellFrame;
    const int o = s.shadowOffset;
    for (int cell = 0; cell < s.rows * s.columns; ++cell) {
        const cv::Point p = TableCellOrigin(s, cell);
        if (o > 0)
            cv::rectangle(s.sheet, cv::Point(p.x + o - f, p.y + o - f),
                          cv::Point(p.x + s.cellWidth + f + o - 1, p.y + s.cellHeight + f + o - 1),
                          Colour(s.shadowColour), cv::FILLED, cv::LINE_8);
        if (f > 0)
            cv::rectangle(s.sheet, cv::Point(p.x - f, p.y - f),
                          cv::Point(p.x + s.cellWidth + f - 1, p.y + s.cellHeight + f - 1), Colour(s.frameColour),
                          cv::FILLED, cv::LINE_8);
    }
    s.cellFrames.assign(static_cast<std::size_t>(s.rows) * s.columns, 0);
}

cv::Point TableCellOrigin(const TableViewState& s, int cell)
{
    const int row = cell / s.columns;
    const int column = cell % s.columns;
    const double spareWidth = s.sheetWidth - 2 * s.border - s.columns * s.cellWidth;
    const double spareHeight = s.sheetHeight - 2 * s.border - s.rows * s.cellHeight;
    const double x = spareWidth / (s.columns + 1) * (column + 1) + s.border + s.cellWidth * column;
    const double y = (row + 1) * (spareHeight / (s.rows + 1)) + s.border + s.cellHeight * row;
    return {static_cast<int>(x), static_cast<int>(y)};
}

std::string TimeLabel(int seconds)
{
    int hours = 0;
    int minutes = 0;
    if (seconds >= 3600) {
        hours = seconds / 3600;
        seconds %= 3600;
    }
    if (seconds >= 60) {
        minutes = seconds / 60;
        seconds %= 60;
    }
    char text[32];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%i:%02i:%02i", hours, minutes, seconds);
    else
        std::snprintf(text, sizeof text, "%02i:%02i", minutes, seconds);
    return text;
}

cv::Mat TableViewCellPicture(const TableViewState& s, const cv::Mat& content)
{
    cv::Mat picture;
    cv::resize(content, picture, cv::Size(s.cellWidth, s.cellHeight), 0, 0, cv::INTER_LINEAR);
    return picture;
}

void PlaceTableViewCell(TableViewState& s, int cell, const cv::Mat& picture, int frameIndex)
{
    s.nextCell = cell + 1;
    const cv::Point p = TableCellOrigin(s, cell);
    picture.copyTo(s.sheet(cv::Rect(p.x, p.y, s.cellWidth, s.cellHeight)));

    const std::string label = TimeLabel(static_cast<int>(frameIndex / s.frameRate));
    int baseline = 0;
    const int textWidth = cv::getTextSize(label, cv::FONT_HERSHEY_SIMPLEX, kLabelScale, 1, &baseline).width;
    const int right = p.x + s.cellWidth - textWidth;
    const int bottom = p.y + s.cellHeight;
    cv::putText(s.sheet, label, cv::Point(right + 1, bottom - 1), cv::FONT_HERSHEY_SIMPLEX, kLabelScale,
                Colour(s.labelShadowColour), 1, cv::LINE_8);
    cv::putText(s.sheet, label, cv::Point(right, bottom - 2), cv::FONT_HERSHEY_SIMPLEX, kLabelScale,
                Colour(s.labelColour), 1, cv::LINE_8);
}
