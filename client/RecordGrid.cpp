#include "RecordGrid.h"

#include <QLabel>

#include "ClientState.h"
#include "Dialogs.h"
#include "QtText.h"
#include "StringGrid.h"
#include "Unit8.h"

void ShowRecordPosition(const TStringGrid& grid, QLabel& position, QLabel& total)
{
    if (grid.Cells(0, 1).IsEmpty()) {
        position.clear();
        total.clear();
        return;
    }
    position.setText(qstr("Запись: " + IntToStr(grid.Row())));
    total.setText(qstr("Всего записей: " + IntToStr(grid.RowCount() - 1)));
}

bool OpenCurrentRecord(const TStringGrid& grid, const UnicodeString& table)
{
    VIEW_ID = grid.Cells(1, grid.Row()).ToIntDef(0);
    if (VIEW_ID == 0)
        return false;
    Table = table;
    // Showing a hidden record form runs its show handler; the direct call loads the record into one that is
    // already open.
    ShowWindow(*Form8);
    Form8->FormShow();
    return true;
}

bool MoveCurrentRow(TStringGrid& grid, int delta)
{
    const int target = grid.Row() + delta;
    if (target < 1 || target > grid.RowCount() - 1)
        return false;
    grid.SetRow(target);
    return true;
}
