#pragma once
#include <opencv2/core/mat.hpp>

#include <string>
#include <vector>

// The contact sheet: 10 x 10 cells, each a small copy of one frame's content with its time in the
// bottom-right corner, on a sheet 1920 pixels wide.
struct TableViewState {
    int sheetWidth = 1920;
    int sheetHeight = 0;
    int columns = 10;
    int rows = 10;
    int nextCell = 0;  // the cell after the last one drawn
    int backgroundColour = 0x6464FF;  // colours are 0x00RRGGBB
    int frameColour = 0xFFFFFF;
    int shadowColour = 0x505050;
    int shadowOffset = 5;
    int border = 1;
    int cellFrame = 1;
    int gap = 10;  // shapes the cell width only; the actual spaces are even shares of what is left
    int labelShadowColour = 0x000000;
    int labelColour = 0xFFFFFF;
    int cellWidth = 0;
    int cellHeight = 0;
    std::vector<int> cellFrames = std::vector<int>(1);  // frame index of each cell, filled by the run
    double frameRate = 0;
    cv::Mat sheet;
};

// The one contact sheet of the run, set up by InitTableView and painted cell by cell.
extern TableViewState tableView;

// Whether content of this size gives cells at least one pixel high.
bool FitsTableView(int contentWidth, int contentHeight);

// Height of the sheet for content of this size, which must fit (FitsTableView), worked out before anything is
// allocated.
long long TableViewHeight(int contentWidth, int contentHeight);

// Lays out and paints the empty sheet for content of the given size and makes room for one frame index a
// cell. The content must fit (FitsTableView).
void InitTableView(TableViewState& state, int contentWidth, int contentHeight);

// Top-left corner of the picture of cell i (counted in row order).
cv::Point TableCellOrigin(const TableViewState& state, int cell);

// "m:ss"-style label of a frame at the given number of whole seconds: "%02i:%02i", or "%i:%02i:%02i" from
// an hour on.
std::string TimeLabel(int seconds);

// The picture of a cell: the 8-bit BGR content of a frame shrunk to the cell size.
cv::Mat TableViewCellPicture(const TableViewState& state, const cv::Mat& content);

// Draws the picture of frame frameIndex into the given cell, with the frame's time; the next-cell index
// moves past the cell.
void PlaceTableViewCell(TableViewState& state, int cell, const cv::Mat& picture, int frameIndex);
