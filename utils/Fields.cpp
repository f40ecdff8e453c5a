#include "Fields.h"

#include <array>
#include <vector>

namespace {

bool occursAt(const UnicodeString& text, const UnicodeString& part, int p) {
    return text.SubString(p, part.Length()) == part;
}

// Consumes the text from the left, the first listed delimiter that matches winning.
int splitAt(const UnicodeString& text, const std::vector<UnicodeString>& delimiters, TStringList* fields) {
    fields->Clear();
    std::u16string field;
    int p = 1;
    while (p <= text.Length()) {
        bool cut = false;
        for (const UnicodeString& d : delimiters) {
            if (occursAt(text, d, p)) {
                fields->Add(UnicodeString(field));
                field.clear();
                p += d.Length();
                cut = true;
                break;
            }
        }
        if (!cut) field += text[p++];
    }
    fields->Add(UnicodeString(field));
    return fields->Count();
}

std::vector<UnicodeString> nonEmpty(std::vector<UnicodeString> delimiters) {
    std::erase_if(delimiters, [](const UnicodeString& d) { return d.IsEmpty(); });
    return delimiters;
}

bool delimiterAround(const UnicodeString& text, int p, int m) {
    if (p > 1 && !isDelimeter(UnicodeString(text[p - 1]))) return false;
    if (p + m <= text.Length() && !isDelimeter(UnicodeString(text[p + m]))) return false;
    return true;
}

const std::array<bool, 256>& delimiterTable() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (char16_t c : u"\t\n\r !\"'()+,./:;<=>?[\\]{|}\u00AB\u00BB") t[c] = true;
        t[0] = false;  // the terminator of the literal above
        return t;
    }();
    return table;
}

bool isSentenceEnd(char16_t c) { return c == u'.' || c == u'?' || c == u'!'; }

}  // namespace

UnicodeString getFieldFromString(int index, const UnicodeString& text, const UnicodeString& delimiter) {
    if (index < 0 || text.IsEmpty() || delimiter.IsEmpty()) return {};
    const int n = text.Length(), m = delimiter.Length();
    int start = 1;
    for (int found = 0, p = 1; found < index; ++p) {
        if (p > n) return {};
        if (occursAt(text, delimiter, p)) {
            ++found;
            start = p + m;
        }
    }
    int end = start;
    while (end <= n && !occursAt(text, delimiter, end)) ++end;
    return text.SubString(start, end - start);
}

int getFieldsFromString(const UnicodeString& text, const TStringList* delimiters, TStringList* fields) {
    std::vector<UnicodeString> list;
    for (int i = 0; i < delimiters->Count(); ++i) list.push_back(delimiters->Get(i));
    return splitAt(text, nonEmpty(std::move(list)), fields);
}

int explode(const UnicodeString& delimiter, const UnicodeString& text, TStringList* fields) {
    return splitAt(text, nonEmpty({delimiter}), fields);
}

UnicodeString implode(const UnicodeString& glue, const TStringList* items) {
    if (items->Text().IsEmpty()) return {};
    UnicodeString result = items->Get(0);
    for (int i = 1; i < items->Count(); ++i) result += glue + items->Get(i);
    return result;
}

UnicodeString str_replace(const UnicodeString& search, const UnicodeString& replacement, const UnicodeString& subject) {
    UnicodeString rest = subject, result;
    for (int at = rest.Pos(search); at != 0; at = rest.Pos(search)) {
        result += rest.SubString(1, at - 1) + replacement;
        rest = rest.SubString(at + search.Length(), rest.Length());
    }
    return result + rest;
}

UnicodeString ReplaceAll(const UnicodeString& text, const UnicodeString& search, const UnicodeString& replacement,
                         bool matchCase, bool wholeWord, int& count) {
    count = 0;
    if (search.IsEmpty()) return text;
    const UnicodeString wanted = matchCase ? search : search.UpperCase();
    const int m = wanted.Length();
    UnicodeString result;
    int e = 1;
    for (int p = 1; p <= text.Length();) {
        const UnicodeString candidate = text.SubString(p, m);
        if ((matchCase ? candidate : candidate.UpperCase()) == wanted && (!wholeWord || delimiterAround(text, p, m))) {
            result += text.SubString(e, p - e) + replacement;
            ++count;
            e = p = p + m;
        } else {
            ++p;
        }
    }
    return result + text.SubString(e, text.Length());
}

int FindPos(const UnicodeString& text, const UnicodeString& pattern, int start, bool forward, bool matchCase,
            bool wholeWord) {
    const int n = text.Length(), m = pattern.Length();
    if (n < 2 || start < 0 || start > n) return -1;
    const UnicodeString wanted = matchCase ? pattern : pattern.UpperCase();
    for (int k = 0; k < n - 1; ++k) {
        int p = forward ? start + 2 + k : start - 1 - k;
        if (p > n) p -= n;
        if (p < 1) p += n;
        const UnicodeString candidate = text.SubString(p, m);
        if ((matchCase ? candidate : candidate.UpperCase()) == wanted && (!wholeWord || delimiterAround(text, p, m)))
            return p;
    }
    return -1;
}

int SkipCount(const UnicodeString& text, int n) {
    int count = 0;
    for (int i = 1; i <= n && i <= text.Length(); ++i) count += text[i] == u'\r';
    return count;
}

bool isDelimeter(const UnicodeString& text) {
    const char16_t first = text[1];
    if (first <= 0xFF) return isDelimeter2(first);
    return text.Length() == 1 && (first == 0x201C || first == 0x201D || first == 0x2026 || first == 0x2014);
}

bool isDelimeter2(char16_t c) { return c <= 0xFF && delimiterTable()[c]; }

UnicodeString delete_unnecessary_line_breaks(const UnicodeString& text) {
    TStringList lines, out;
    lines.SetText(text);
    bool sentenceEnded = true;
    for (int i = 0; i < lines.Count(); ++i) {
        const UnicodeString line = lines[i].TrimRight();
        if (line.IsEmpty()) {
            out.Add(line);
            sentenceEnded = true;
            continue;
        }
        if (sentenceEnded || line[1] == u' ' || line[1] == u'\t') out.Add(line);
        else out.Put(out.Count() - 1, out[out.Count() - 1] + " " + line);
        sentenceEnded = isSentenceEnd(line[line.Length()]);
    }
    return out.Text();
}

UnicodeString FirstUpperCase(const UnicodeString& text) {
    return text.SubString(1, 1).UpperCase() + text.SubString(2, text.Length()).LowerCase();
}
