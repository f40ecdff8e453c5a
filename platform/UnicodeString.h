#pragma once
// UTF-16 text value with 1-based positions: the string type every text function and window works with.

#include <compare>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class UnicodeString {
public:
    UnicodeString() = default;
    UnicodeString(const char* utf8);  // UTF-8 source text; nullptr gives empty text
    UnicodeString(std::string_view utf8);
    UnicodeString(const std::string& utf8) : UnicodeString(std::string_view(utf8)) {}
    UnicodeString(std::u16string text) : text_(std::move(text)) {}
    UnicodeString(const char16_t* text) : text_(text ? text : u"") {}
    UnicodeString(char16_t c) : text_(1, c) {}

    static UnicodeString FromUtf8(std::string_view utf8);
    std::string ToUtf8() const;  // unpaired surrogates become U+FFFD

    // File names are bytes, not always valid UTF-8. A byte that is not part of valid UTF-8 becomes the lone
    // surrogate U+DC80 + byte and turns back into that byte, so that every path converts both ways without loss.
    static UnicodeString FromPathBytes(std::string_view bytes);
    std::string ToPathBytes() const;
    const std::u16string& u16() const { return text_; }

    int Length() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }

    // 1-based; an index outside 1..Length() throws ERangeError.
    char16_t operator[](int i) const;

    // Positions start..start+count-1, cut short at the end; a start below 1 counts as 1;
    // empty when start lies past the end or count is below 1.
    UnicodeString SubString(int start, int count) const;
    // 1-based position of the first occurrence, 0 when absent or when sub is empty.
    int Pos(const UnicodeString& sub) const;
    // Removes count characters from index on (clamped like SubString).
    UnicodeString& Delete(int index, int count);
    // Inserts text before position index (below 1: at the start, past the end: appended).
    UnicodeString& Insert(const UnicodeString& text, int index);

    // Simple per-code-point case mapping; the length never changes.
    UnicodeString UpperCase() const;
    UnicodeString LowerCase() const;

    // Remove the characters U+0000..U+0020 at the ends.
    UnicodeString Trim() const;
    UnicodeString TrimLeft() const;
    UnicodeString TrimRight() const;

    // Decimal (or "$"/"0x" hexadecimal) 32-bit integer, optional sign and leading blanks.
    int ToIntDef(int def) const;
    int ToInt() const;        // throws EConvertError
    double ToDouble() const;  // "." as decimal point always, blanks around allowed; throws EConvertError

    UnicodeString& operator+=(const UnicodeString& other) { text_ += other.text_; return *this; }
    UnicodeString& operator+=(char16_t c) { text_ += c; return *this; }
    friend UnicodeString operator+(UnicodeString a, const UnicodeString& b) { return a += b; }

    // Ordered by UTF-16 code unit, a prefix sorting first.
    friend bool operator==(const UnicodeString&, const UnicodeString&) = default;
    friend std::strong_ordering operator<=>(const UnicodeString& a, const UnicodeString& b) {
        return a.text_ <=> b.text_;
    }

private:
    std::u16string text_;
};

UnicodeString IntToStr(long long value);
// General format of 15 significant digits, "." always: 25 -> "25", 0.5 -> "0.5", 1e20 -> "1E20".
UnicodeString FloatToStr(double value);
// printf-style formatting (narrow, UTF-8 "%s" arguments) with "." as decimal point whatever the locale.
UnicodeString Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

template <>
struct std::hash<UnicodeString> {
    std::size_t operator()(const UnicodeString& s) const noexcept { return std::hash<std::u16string>{}(s.u16()); }
};
