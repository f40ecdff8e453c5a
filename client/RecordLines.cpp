#include "RecordLines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <charconv>
#include <string_view>

#include "ServerReplies.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "platform/StringList.h"
#include "utils/Fields.h"
#include "utils/Formatting.h"

namespace {

struct Column {
    int width;
    const char* header;
};

constexpr Column Columns[] = {
    {50, "№"},   {0, "Id"},  {200, "Название"},          {150, "Режиссёр"}, {100, "Страна"},
    {40, "Год"}, {110, "Продолжительность"}, {200, "Жанр"}, {300, "Актёры"},
};

// The whole seconds at the start of a text as the C library reads the number there: "." as decimal point
// whatever the process locale, leading blanks and a sign taken, cut toward zero; 0 when the text does not begin
// with a number, and a number beyond the int range is held at its end rather than overflowing.
int leadingSeconds(const UnicodeString& text)
{
    const std::string bytes = text.ToUtf8();
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    if (p != end && *p == '-')
        return 0;  // a second sign, which from_chars alone would take
    double value = 0;
    const auto [stop, error] = std::from_chars(p, end, value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: only a negative exponent makes it small.
        const std::string_view number(p, size_t(stop - p));
        const auto e = number.find_first_of("eE");
        value = e != std::string_view::npos && number.substr(e + 1, 1) == "-" ? 0.0 : HUGE_VAL;
    } else if (error != std::errc() || std::isnan(value)) {
        return 0;
    }
    value = std::trunc(negative ? -value : value);
    return static_cast<int>(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

void fillRecordRows(TStringGrid& grid, const TStringList& lines)
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

}  // namespace

void SetupRecordGrid(TStringGrid& grid)
{
    for (int col = 0; col < grid.ColCount(); ++col) {
        grid.SetColWidth(col, Columns[col].width);
        grid.SetCells(col, 0, Columns[col].header);
    }
    grid.SetFixedCols(2);
}

void ShowRecordLines(TStringGrid& grid, const TStringList& lines)
{
    fillRecordRows(grid, lines);
    emit grid.rowsRefilled();
}

bool ShowRecordReply(TStringGrid& grid, const TStringList& lines)
{
    if (lines.Get(0) != UnicodeString("OK")) {
        ShowAccountRefusal(lines.Get(0));
        return false;
    }
    ShowRecordLines(grid, lines);
    return true;
}
