#include "DeleteQuestion.h"

#include "Dialogs.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit8.h"

DeleteAnswer AskToDeleteRecord(const UnicodeString& id, TStringGrid& list)
{
    const int recordId = id.ToIntDef(0);
    bool moved = false;
    const auto withdraw = [&moved] {
        moved = true;
        WithdrawOpenQuestion();
    };
    QObject watch;  // the connections below last as long as the question
    const int askedRow = list.Row();
    if (list.Cells(1, askedRow).ToIntDef(0) == recordId) {
        // A list without a current row asks about its first one, which it makes current when it gets the focus.
        QObject::connect(&list, &QTableWidget::currentCellChanged, &watch, [withdraw, &list, askedRow] {
            if (list.Row() != askedRow)
                withdraw();
        });
        QObject::connect(&list, &TStringGrid::rowsRefilled, &watch, withdraw);
    }
    if (recordId != 0 && Form8->isVisible() && Form8->ShownId() == recordId) {
        QObject::connect(Form8, &TForm8::loadingRecord, &watch, [withdraw, recordId](int loading) {
            if (loading != recordId)
                withdraw();
        });
    }
    const bool yes =
        AskYesNo("Вы уверены, что хотите удалить запись?\nОтмена будет невозможна.", "Подтверждение удаления записи");
    if (moved)
        return DeleteAnswer::Withdrawn;
    return yes ? DeleteAnswer::Yes : DeleteAnswer::No;
}
