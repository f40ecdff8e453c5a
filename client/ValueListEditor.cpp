#include "ValueListEditor.h"

#include <QHeaderView>

#include "QtText.h"

TValueListEditor::TValueListEditor(const UnicodeString& keyTitle, const UnicodeString& valueTitle, QWidget* parent)
    : TCustomGrid(0, 2, parent)
{
    setHorizontalHeaderLabels({qstr(keyTitle), qstr(valueTitle)});
    horizontalHeader()->setStretchLastSection(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
}

int TValueListEditor::AddRow(const UnicodeString& caption)
{
    const int r = rowCount();
    insertRow(r);
    auto* key = new QTableWidgetItem(qstr(caption));
    key->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(r, 0, key);
    setItem(r, 1, new QTableWidgetItem);
    return r + 1;
}

UnicodeString TValueListEditor::Caption(int row) const
{
    const QTableWidgetItem* cell = row >= 1 ? item(row - 1, 0) : nullptr;
    return cell ? ustr(cell->text()) : UnicodeString();
}

UnicodeString TValueListEditor::Value(int row) const
{
    const QTableWidgetItem* cell = row >= 1 ? item(row - 1, 1) : nullptr;
    return cell ? ustr(cell->text()) : UnicodeString();
}

void TValueListEditor::SetValue(int row, const UnicodeString& value)
{
    if (QTableWidgetItem* cell = row >= 1 ? item(row - 1, 1) : nullptr)
        cell->setText(qstr(value));
}

void TValueListEditor::SetRow(int row)
{
    setCurrentCell(row - 1, 1);
}
