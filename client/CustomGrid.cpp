#include "CustomGrid.h"

#include <QHeaderView>

TCustomGrid::TCustomGrid(int dataRows, int colCount, QWidget* parent) : QTableWidget(dataRows, colCount, parent)
{
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) {
        if (OnClick)
            OnClick();
    });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int, int) {
        if (OnDblClick)
            OnDblClick();
    });
}

int TCustomGrid::Row() const
{
    const int current = currentRow();
    return current < 0 ? 1 : current + 1;
}
