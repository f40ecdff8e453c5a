#include "StringGrid.h"

#include <QHeaderView>

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
    setCurrentCell(row - 1, currentColumn() < 0 ? 0 : currentColumn());
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (width == 0)
        setColumnHidden(col, true);
    else
        setColumnWidth(col, width);
}
