#pragma once
// A string grid with the class library's addressing: Cells(col, row), where row 0 is the fixed title row and
// rows 1 .. RowCount()-1 are the data rows (see TCustomGrid for Row() and the events).

#include "CustomGrid.h"
#include "platform/UnicodeString.h"

class TStringGrid : public TCustomGrid {
public:
    explicit TStringGrid(int colCount, int rowCount, QWidget* parent = nullptr);

    int ColCount() const { return columnCount(); }
    void SetRowCount(int rows);

    UnicodeString Cells(int col, int row) const;
    void SetCells(int col, int row, const UnicodeString& text);

    void SetRow(int row);
    void SetColWidth(int col, int width);
};
