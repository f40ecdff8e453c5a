#pragma once
// A string grid with the class library's addressing: Cells(col, row), where row 0 is the fixed title row and
// rows 1 .. RowCount()-1 are the data rows (see TCustomGrid for Row() and the events). The first columns can be
// fixed (SetFixedCols): none of their cells ever becomes the current cell.

#include "CustomGrid.h"
#include "platform/UnicodeString.h"

class TStringGrid : public TCustomGrid {
    Q_OBJECT

public:
    explicit TStringGrid(int colCount, int rowCount, QWidget* parent = nullptr);

    int ColCount() const { return columnCount(); }
    void SetRowCount(int rows);

    UnicodeString Cells(int col, int row) const;
    void SetCells(int col, int row, const UnicodeString& text);

    // Makes `row` current, in the current column, or in the first column after the fixed ones when there is
    // none yet. Runs OnClick as a click on the row would, also when the row is current already.
    void SetRow(int row);
    void SetColWidth(int col, int width);

    // Fixes columns 0 .. cols-1. A click on a fixed cell keeps the current cell where it is (a double-click
    // there still runs OnDblClick); the keyboard stops at the first column after them.
    void SetFixedCols(int cols);

signals:
    // The rows were filled anew (a reload of the list): whatever row is current holds a record just read.
    void rowsRefilled();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool onFixedCell(const QMouseEvent* event) const;

    int fixedCols_ = 0;
};
