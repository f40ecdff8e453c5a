#include "StringGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>

#include "QtText.h"

TStringGrid::TStringGrid(int colCount, int rowCount, QWidget* parent) : TCustomGrid(rowCount - 1, colCount, parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The fixed row keeps its look whatever is selected, its texts from the left like every other cell.
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(0);
    for (int c = 0; c < colCount; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem);
}

void TStringGrid::SetRowCount(int rows)
{
    setRowCount(rows > 1 ? rows - 1 : 0);
}

UnicodeString TStringGrid::Cells(int col, int row) const
{
    const QTableWidgetItem* cell = row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
    return cell ? ustr(cell->text()) : UnicodeString();
}

void TStringGrid::SetCells(int col, int row, const UnicodeString& text)
{
    if (col < 0 || col >= columnCount() || row < 0 || row >= RowCount())
        return;
    if (row == 0) {
        horizontalHeaderItem(col)->setText(qstr(text));
        return;
    }
    QTableWidgetItem* cell = item(row - 1, col);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row - 1, col, cell);
    }
    cell->setText(qstr(text));
}

void TStringGrid::SetRow(int row)
{
    const int col = std::max(currentColumn(), fixedCols_);
    if (row - 1 != currentRow() || col != currentColumn())
        setCurrentCell(row - 1, col);
    else if (OnClick)
        OnClick();  // the cell is current already, but what it holds may have changed under it
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (width == 0)
        setColumnHidden(col, true);
    else
        setColumnWidth(col, width);
}

void TStringGrid::SetFixedCols(int cols)
{
    fixedCols_ = cols;
}

QModelIndex TStringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && next.column() < fixedCols_)
        return model()->index(next.row(), fixedCols_);
    return next;
}

bool TStringGrid::onFixedCell(const QMouseEvent* event) const
{
    const QModelIndex at = indexAt(event->position().toPoint());
    return at.isValid() && at.column() < fixedCols_;
}

// A press or a drag over a fixed cell would make it current and select it (its whole row in a row-selecting
// grid), so neither reaches the table.
void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    if (!onFixedCell(event))
        QTableWidget::mousePressEvent(event);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton || !onFixedCell(event))
        QTableWidget::mouseMoveEvent(event);
}

// The table would take a double-click on a cell that was not pressed as a press; a fixed cell was never
// pressed, so its double-click is handed on directly.
void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!onFixedCell(event)) {
        QTableWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (OnDblClick)
        OnDblClick();
}
