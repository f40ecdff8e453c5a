#include "number_text.h"

#include <charconv>
#include <cstring>

double ParseLeadingNumber(const char* text)
{
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p == '-')
        return 0.0;  // from_chars would take a second sign
    // from_chars takes neither a sign nor the "0x" prefix, so both are handled here.
    auto isHexDigit = [](char c) { return c != '\0' && std::strchr("0123456789abcdefABCDEF", c) != nullptr; };
    auto format = std::chars_format::general;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && (isHexDigit(p[2]) || (p[2] == '.' && isHexDigit(p[3])))) {
        format = std::chars_format::hex;
        p += 2;
    }
    double value = 0.0;
    const char* end = p + std::strlen(p);
    if (std::from_chars(p, end, value, format).ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

namespace {

std::string Format(double value, std::chars_format format, int precision)
{
    char buffer[400];  // room for the largest double in fixed notation
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string FormatFixed(double value, int decimals)
{
    return Format(value, std::chars_format::fixed, decimals);
}

std::string FormatGeneral(double value)
{
    return Format(value, std::chars_format::general, 6);
}
