#pragma once
#include <string>

// Numbers as text with "." as the decimal point, whatever locale the process runs in.

// The leading decimal number of text as the C library's atof reads it (blanks, sign, digits, exponent,
// "inf", "nan", hexadecimal); 0 when the text does not start with a number or the number lies outside
// the range of double.
double ParseLeadingNumber(const char* text);

// printf's "%.*f" of value.
std::string FormatFixed(double value, int decimals);

// printf's "%g" of value: six significant digits, trailing zeros dropped.
std::string FormatGeneral(double value);
