#include "RecordLines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <locale>
#include <sstream>

#include "utils/Fields.h"
#include "utils/Formatting.h"
#include "StringGrid.h"
#include "platform/StringList.h"
#include "Unit1.h"

namespace {

struct Column {
    int width;
    const char* header;
};

constexpr Column Columns[] = {
    {50, "№"},   {0, "Id"},  {200, "Название"},          {150, "Режиссёр"}, {100, "Страна"},
    {40, "Год"}, {110, "Продолжительность"}, {200, "Жанр"}, {300, "Актёры"},
};

// The whole seconds at the start of a text as the C library reads the number there: "." as decimal point,
// leading blanks skipped, cut toward zero; 0 when the text does not begin with a number, and a number beyond
// the int range is held at its end rather than overflowing.
int leadingSeconds(const UnicodeString& text)
{
    std::istringstream in(text.ToUtf8());
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    if (in.fail() || std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(value), double(INT_MIN), double(INT_MAX)));
}

}  // namespace

void SetupRecordGrid(TStringGrid& grid)
{
    for (int col = 0; col < grid.ColCount(); ++col) {
        grid.SetColWidth(col, Columns[col].width);
        grid.SetCells(col, 0, Columns[col].header);
    }
}

void ShowRecordLines(TStringGrid& grid, const TStringList& lines)
{
    const int n = lines.Count();
    if (n <= 1) {
        grid.SetRowCount(2);
        for (int col = 0; col < grid.ColCount(); ++col)
            grid.SetCells(col, 1, UnicodeString());
        return;
    }
    grid.SetRowCount(n);
    const UnicodeString tab = u"\t";
    for (int r = 1; r < n; ++r) {
        const UnicodeString& line = lines.Get(r);
        grid.SetCells(0, r, IntToStr(r));
        for (int field = 0; field < 8; ++field) {
            const UnicodeString value = getFieldFromString(field, line, tab);
            grid.SetCells(field + 1, r,
                          field == 5 ? GetTimeForMovieRus(leadingSeconds(value))
                                     : deenc(value, " "));
        }
    }
}
