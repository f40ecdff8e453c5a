#pragma once
// A two-column value list editor over QTableWidget: row 0 holds the column titles (the horizontal header), rows
// 1 .. RowCount()-1 hold a fixed caption and an editable value. Row() is the current row (1 while nothing is
// current). OnClick runs whenever the current cell changes, OnDblClick on a double-click.

#include <QTableWidget>
#include <functional>

#include "platform/UnicodeString.h"

class TValueListEditor : public QTableWidget {
public:
    TValueListEditor(const UnicodeString& keyTitle, const UnicodeString& valueTitle, QWidget* parent = nullptr);

    int AddRow(const UnicodeString& caption);  // returns the new row's number
    int RowCount() const { return rowCount() + 1; }

    UnicodeString Caption(int row) const;
    UnicodeString Value(int row) const;
    void SetValue(int row, const UnicodeString& value);

    int Row() const;
    void SetRow(int row);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
};
