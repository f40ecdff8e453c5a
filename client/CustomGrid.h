#pragma once
// What the client's string grids and value list editors share over QTableWidget: row 0 is the title row (shown
// as the table's horizontal header) and rows 1 .. RowCount()-1 are the data rows; Row() is the current data
// row, 1 while nothing is current, as in a fresh grid. OnClick runs whenever the current cell changes (a click,
// the keyboard, or the program), OnDblClick on a double-click.

#include <QTableWidget>
#include <functional>

class TCustomGrid : public QTableWidget {
public:
    int RowCount() const { return rowCount() + 1; }
    int Row() const;

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    TCustomGrid(int dataRows, int colCount, QWidget* parent);
};
