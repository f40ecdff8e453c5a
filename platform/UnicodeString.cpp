#include "UnicodeString.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <vector>

#include <unicode/uchar.h>

#include "Exception.h"

namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The lone surrogates that stand for single bytes of a file name that are not part of valid UTF-8.
constexpr char16_t EscapedByteBase = 0xDC00;
bool isEscapedByte(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// Decodes UTF-8; every byte that does not start a well-formed sequence becomes U+FFFD, or, with
// escapeBytes, the lone surrogate U+DC80 + byte.
std::u16string decodeUtf8(std::string_view in, bool escapeBytes = false) {
    const auto invalid = [escapeBytes](unsigned char b) {
        return escapeBytes ? static_cast<char16_t>(EscapedByteBase + b) : u'\uFFFD';
    };
    std::u16string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        const unsigned char b = static_cast<unsigned char>(in[i]);
        int extra = 0;
        char32_t cp = 0, min = 0;
        if (b < 0x80) { out += b; ++i; continue; }
        if ((b & 0xE0) == 0xC0) { extra = 1; cp = b & 0x1F; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; cp = b & 0x0F; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; cp = b & 0x07; min = 0x10000; }
        else { out += invalid(b); ++i; continue; }
        bool ok = i + static_cast<std::size_t>(extra) < in.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char c = static_cast<unsigned char>(in[i + k]);
            if ((c & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += invalid(b);
            ++i;
            continue;
        }
        appendCodePoint(out, cp);
        i += extra + 1;
    }
    return out;
}

// Encodes UTF-8; an unpaired surrogate becomes U+FFFD, but with unescapeBytes an escaped byte becomes that byte.
std::string encodeUtf8(const std::u16string& text, bool unescapeBytes) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unescapeBytes && isEscapedByte(c)) {
            out += static_cast<char>(c - EscapedByteBase);
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

// Maps each code point through map, keeping the original wherever the mapping would change the length.
std::u16string mapCase(const std::u16string& in, UChar32 (*map)(UChar32)) {
    std::u16string out = in;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char16_t c = out[i];
        if (isHighSurrogate(c) && i + 1 < out.size() && isLowSurrogate(out[i + 1])) {
            const char32_t cp = 0x10000 + ((c - 0xD800) << 10) + (out[i + 1] - 0xDC00);
            const UChar32 m = map(static_cast<UChar32>(cp));
            if (m >= 0x10000) {
                std::u16string pair;
                appendCodePoint(pair, static_cast<char32_t>(m));
                out[i] = pair[0];
                out[i + 1] = pair[1];
            }
            ++i;
        } else if (!isHighSurrogate(c) && !isLowSurrogate(c)) {
            const UChar32 m = map(c);
            if (m < 0x10000 && !(m >= 0xD800 && m <= 0xDFFF)) out[i] = static_cast<char16_t>(m);
        }
    }
    return out;
}

bool isBlank(char16_t c) { return c <= 0x20; }

// A locale-independent ("C") locale for number formatting, made once.
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

UnicodeString formatV(const char* fmt, va_list args) {
    const locale_t previous = uselocale(cLocale());
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    std::string text;
    if (n >= static_cast<int>(sizeof small)) {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), fmt, args);
        text.assign(big.data(), static_cast<std::size_t>(n));
    } else if (n > 0) {
        text.assign(small, static_cast<std::size_t>(n));
    }
    uselocale(previous);
    return UnicodeString::FromUtf8(text);
}

// Leading blanks, an optional sign, then decimal digits or "$"/"0x" and hexadecimal digits; 32 bits.
std::optional<int> parseInt(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        int digit;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        else return std::nullopt;
        value = value * base + digit;
        if (value > 0x80000000LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 0x7FFFFFFFLL) return std::nullopt;
    return static_cast<int>(value);
}

[[noreturn]] void throwConvert(const UnicodeString& text, const char* kind) {
    throw EConvertError(UnicodeString("'") + text + "' is not a valid " + kind + " value");
}

}  // namespace

UnicodeString::UnicodeString(const char* utf8) : text_(utf8 ? decodeUtf8(utf8) : std::u16string()) {}
UnicodeString::UnicodeString(std::string_view utf8) : text_(decodeUtf8(utf8)) {}

UnicodeString UnicodeString::FromUtf8(std::string_view utf8) { return UnicodeString(utf8); }

UnicodeString UnicodeString::FromPathBytes(std::string_view bytes) { return UnicodeString(decodeUtf8(bytes, true)); }

std::string UnicodeString::ToUtf8() const { return encodeUtf8(text_, false); }

std::string UnicodeString::ToPathBytes() const { return encodeUtf8(text_, true); }

char16_t UnicodeString::operator[](int i) const {
    if (i < 1 || i > Length()) throw ERangeError(Format("Range check error: index %d of %d", i, Length()));
    return text_[static_cast<std::size_t>(i - 1)];
}

UnicodeString UnicodeString::SubString(int start, int count) const {
    if (start < 1) start = 1;
    if (count < 1 || start > Length()) return {};
    return UnicodeString(text_.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

int UnicodeString::Pos(const UnicodeString& sub) const {
    if (sub.IsEmpty()) return 0;
    const auto at = text_.find(sub.text_);
    return at == std::u16string::npos ? 0 : static_cast<int>(at) + 1;
}

UnicodeString& UnicodeString::Delete(int index, int count) {
    if (index < 1) index = 1;
    if (count >= 1 && index <= Length())
        text_.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
    return *this;
}

UnicodeString& UnicodeString::Insert(const UnicodeString& text, int index) {
    if (index < 1) index = 1;
    if (index > Length() + 1) index = Length() + 1;
    text_.insert(static_cast<std::size_t>(index - 1), text.text_);
    return *this;
}

UnicodeString UnicodeString::UpperCase() const { return UnicodeString(mapCase(text_, u_toupper)); }
UnicodeString UnicodeString::LowerCase() const { return UnicodeString(mapCase(text_, u_tolower)); }

UnicodeString UnicodeString::Trim() const { return TrimLeft().TrimRight(); }

UnicodeString UnicodeString::TrimLeft() const {
    std::size_t b = 0;
    while (b < text_.size() && isBlank(text_[b])) ++b;
    return UnicodeString(text_.substr(b));
}

UnicodeString UnicodeString::TrimRight() const {
    std::size_t e = text_.size();
    while (e > 0 && isBlank(text_[e - 1])) --e;
    return UnicodeString(text_.substr(0, e));
}

int UnicodeString::ToIntDef(int def) const { return parseInt(text_).value_or(def); }

int UnicodeString::ToInt() const {
    const auto value = parseInt(text_);
    if (!value) throwConvert(*this, "integer");
    return *value;
}

double UnicodeString::ToDouble() const {
    const std::string text = Trim().ToUtf8();
    std::size_t start = 0;
    if (!text.empty() && text[0] == '+') start = 1;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    bool digit = false;
    for (const char* p = first; p != last; ++p) {
        if (*p >= '0' && *p <= '9') digit = true;
        else if (*p != '.' && *p != '-' && *p != '+' && *p != 'e' && *p != 'E') throwConvert(*this, "floating point");
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (!digit || ec != std::errc() || end != last || (start == 1 && *first == '-')) throwConvert(*this, "floating point");
    return value;
}

UnicodeString IntToStr(long long value) { return UnicodeString(std::to_string(value)); }

UnicodeString FloatToStr(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    // 15 significant digits: "d.dddddddddddddde[+-]x".
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exponent = std::atoi(buf + 17);  // value = d.ddd * 10^exponent
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        } else if (static_cast<int>(digits.size()) <= exponent + 1) {
            out += digits + std::string(static_cast<std::size_t>(exponent + 1) - digits.size(), '0');
        } else {
            out += digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
                   digits.substr(static_cast<std::size_t>(exponent + 1));
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += '.' + digits.substr(1);
        out += 'E' + std::to_string(exponent);
    }
    return UnicodeString(out);
}

UnicodeString Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    UnicodeString result = formatV(fmt, args);
    va_end(args);
    return result;
}
