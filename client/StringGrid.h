#pragma once
// A string grid with the class library's addressing: Cells(col, row), where row 0 is the fixed title row and
// rows 1 .. RowCount()-1 are the data rows (see TCustomGrid for Row() and the events). The first columns can be
// fixed (SetFixedCols): none of their cells ever becomes the current cell, and they stay at the left edge, like
// row titles, while the other columns scroll sideways past them one whole column at a time.

#include <vector>

#include "CustomGrid.h"
#include "platform/UnicodeString.h"

class QTableView;

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
    // there still runs OnDblClick); the keyboard stops at the first column after them. The horizontal scroll bar
    // counts the columns after them: at its value v the v-th of those that are not hidden stands right beside
    // the fixed ones.
    void SetFixedCols(int cols);

signals:
    // The rows were filled anew (a reload of the list): whatever row is current holds a record just read.
    void rowsRefilled();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool onFixedCell(const QMouseEvent* event) const;

    // The fixed columns are drawn once more by a view of their own over the left edge of the cells and the
    // titles, on the grid's model and selection. It hands its input to the grid, and only resizes the fixed
    // columns through its own titles.
    void createFixedView();
    void copyFixedColumns();
    void placeFixedView();
    int fixedWidth() const;
    std::vector<int> scrollingColumns() const;  // the columns after the fixed ones that are not hidden
    int lastLeftCol(const std::vector<int>& columns) const;
    int leftColShowing(int col, int leftCol) const;
    void showLeftCol();

    int fixedCols_ = 0;
    QTableView* fixedView_ = nullptr;
    bool updatingGeometries_ = false;
    bool copyingColumns_ = false;
};
