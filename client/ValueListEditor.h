#pragma once
// A two-column value list editor: row 0 holds the column titles, rows 1 .. RowCount()-1 a fixed caption and an
// editable value (see TCustomGrid for Row() and the events).

#include "CustomGrid.h"
#include "platform/UnicodeString.h"

class TValueListEditor : public TCustomGrid {
public:
    TValueListEditor(const UnicodeString& keyTitle, const UnicodeString& valueTitle, QWidget* parent = nullptr);

    int AddRow(const UnicodeString& caption);  // returns the new row's number

    UnicodeString Caption(int row) const;
    UnicodeString Value(int row) const;
    void SetValue(int row, const UnicodeString& value);

    void SetRow(int row);
};
