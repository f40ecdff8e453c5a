#pragma once
// A string grid with the class library's addressing over QTableWidget: Cells(col, row), where row 0 is the fixed
// header row (shown as the table's horizontal header) and rows 1 .. RowCount()-1 are the data rows. Row() is the
// selected data row; it is 1 while nothing is selected, as in a fresh grid. OnClick runs whenever the current
// cell changes (a click, the keyboard, or the program), OnDblClick on a double-click.

#include <QTableWidget>
#include <functional>

#include "platform/UnicodeString.h"

class TStringGrid : public QTableWidget {
public:
    explicit TStringGrid(int colCount, int rowCount, QWidget* parent = nullptr);

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int rows);

    UnicodeString Cells(int col, int row) const;
    void SetCells(int col, int row, const UnicodeString& text);

    int Row() const;
    void SetRow(int row);
    void SetColWidth(int col, int width);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
};
