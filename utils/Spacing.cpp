#include "Spacing.h"

#include <string>
#include <unordered_set>

#include "Fields.h"
#include "platform/StringList.h"

namespace {

bool isLowerCaseLetter(const UnicodeString& c) { return !c.IsEmpty() && c.UpperCase() != c; }

bool isSentenceEnd(const UnicodeString& c) { return c == "." || c == "!" || c == "?"; }

// Which of the fixed Latin and Cyrillic ranges a character lies in.
bool isUpperLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'А' && c <= u'Я') || c == u'Ё'; }
bool isLowerLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'а' && c <= u'я') || c == u'ё'; }

// Capitals and small letters of these ranges lie 32 apart; Ё and ё lie 80 apart.
char16_t toLower(char16_t c) { return c == u'Ё' ? u'ё' : static_cast<char16_t>(c + 32); }
char16_t toUpper(char16_t c) { return c == u'ё' ? u'Ё' : static_cast<char16_t>(c - 32); }

template <class Scan>
UnicodeString firstNonSpace(const UnicodeString& text, Scan positions) {
    char16_t last = 0;
    for (int i : positions) {
        last = text[i];
        if (last != u' ') return UnicodeString(last);
    }
    return text.IsEmpty() ? UnicodeString() : UnicodeString(last);
}

std::vector<int> range(int from, int to, int step) {
    std::vector<int> out;
    for (int i = from; step > 0 ? i <= to : i >= to; i += step) out.push_back(i);
    return out;
}

}  // namespace

UnicodeString RemoveSubWords(const UnicodeString& text, const UnicodeString& remove) {
    TStringList lines, removed, kept;
    lines.SetText(text);
    removed.SetText(remove);
    std::unordered_set<UnicodeString> out;
    for (int i = 0; i < removed.Count(); ++i) out.insert(removed[i]);
    for (int i = 0; i < lines.Count(); ++i) {
        if (!out.contains(lines[i])) kept.Add(lines[i]);
    }
    return kept.Text();
}

UnicodeString FindLastSymbol(const UnicodeString& text) { return firstNonSpace(text, range(text.Length(), 1, -1)); }

UnicodeString FindNextSymbol(const UnicodeString& text) { return firstNonSpace(text, range(1, text.Length(), 1)); }

UnicodeString SmartRemoveLineBreaks(const UnicodeString& text) {
    const std::u16string& t = text.u16();
    const int n = text.Length();
    std::u16string out;
    out.reserve(t.size());
    for (int e = 1; e <= n;) {
        if (!(t[e - 1] == u'\r' && e < n && t[e] == u'\n')) {
            out += t[e - 1];
            ++e;
            continue;
        }
        const UnicodeString before = e >= 4 ? FindLastSymbol(text.SubString(e - 3, 3)) : UnicodeString();
        const UnicodeString after = FindNextSymbol(text.SubString(e + 2, 3));
        const bool keep = before == "\r" || before == "\n" || (isSentenceEnd(before) && !isLowerCaseLetter(after));
        if (keep) {
            out += u"\r\n";
        } else if (out.size() < 2) {
            // nothing in place of a break so close to the start
        } else if (isLowerCaseLetter(after) && out.back() == u'-' &&
                   isLowerCaseLetter(UnicodeString(out[out.size() - 2]))) {
            out.pop_back();  // a word hyphenated at the end of the line joins up
        } else if (out.back() != u' ') {
            out += u' ';
        }
        e += 2;
    }
    return UnicodeString(std::move(out));
}

UnicodeString TrimInside(const UnicodeString& text) {
    std::u16string out;
    char16_t previous = 0;
    for (char16_t c : text.u16()) {
        if (!(c == u' ' && previous == u' ')) out += c;
        previous = c;
    }
    return UnicodeString(std::move(out));
}

UnicodeString Capitalize(const UnicodeString& text) {
    std::u16string out = text.u16();
    bool wordStart = true;
    for (char16_t& c : out) {
        if (isDelimeter(UnicodeString(c))) {
            wordStart = true;
            continue;
        }
        if (wordStart && isLowerLetter(c)) c = toUpper(c);
        else if (!wordStart && isUpperLetter(c)) c = toLower(c);
        wordStart = false;
    }
    return UnicodeString(std::move(out));
}

UnicodeString InverseRegister(const UnicodeString& text) {
    std::u16string out = text.u16();
    for (char16_t& c : out) {
        if (isUpperLetter(c)) c = toLower(c);
        else if (isLowerLetter(c)) c = toUpper(c);
    }
    return UnicodeString(std::move(out));
}

UnicodeString SmartRemoveLineBreaks2(const UnicodeString&) { return {}; }

UnicodeString DeleteUnnecessaryLineBreaks(const UnicodeString&) { return {}; }
