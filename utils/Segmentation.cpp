#include "Segmentation.h"

#include <string>
#include <vector>

#include "Fields.h"

namespace {

bool isWordDelimiter(char16_t c) { return isDelimeter(UnicodeString(c)); }

bool isVowel(char16_t c) {
    return std::u16string_view(u"аяоёеэуюиыАЯОЁЕЭУЮИЫ").find(c) != std::u16string_view::npos;
}

bool isSign(char16_t c) { return c == u'Ь' || c == u'ь' || c == u'ъ' || c == u'Ъ'; }

bool isSentenceEnd(char16_t c) { return c == u'.' || c == u'!' || c == u'?'; }

// The limits of the vowel-position table: a longer word goes in whole.
constexpr int maxVowels = 1000;
constexpr int maxWordLength = 32767;

// Adds the syllables of word, left to right.
void addSyllables(const std::u16string& word, TStringList* list) {
    std::vector<int> vowels;  // 0-based positions
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (isVowel(word[i])) vowels.push_back(static_cast<int>(i));
    }
    if (vowels.size() < 2 || vowels.size() > maxVowels || word.size() > maxWordLength) {
        list->Add(UnicodeString(word));
        return;
    }
    int start = 0;
    for (std::size_t v = 0; v + 1 < vowels.size(); ++v) {
        const int p = vowels[v];
        const int k = vowels[v + 1] - p - 1;
        auto signAt = [&](int i) { return isSign(word[static_cast<std::size_t>(p + i)]); };  // C1 is at p + 1
        int end;  // the syllable's last character
        switch (k) {
            case 0:
            case 1: end = p; break;
            case 2: end = signAt(2) ? p + 2 : p + 1; break;
            case 3: end = signAt(3) ? p + 3 : p + 2; break;
            case 4: end = signAt(4) ? p + 4 : signAt(3) ? p + 3 : p + 2; break;
            case 5: end = signAt(5) ? p + 5 : signAt(4) ? p + 4 : p + 3; break;
            default: end = p + 3; break;
        }
        list->Add(UnicodeString(word.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start + 1))));
        start = end + 1;
    }
    list->Add(UnicodeString(word.substr(static_cast<std::size_t>(start))));
}

// The text up to its first U+0000.
std::u16string_view untilNul(const UnicodeString& text) {
    const std::u16string_view all = text.u16();
    return all.substr(0, all.find(u'\0'));
}

// Pieces joined by CR LF, no break after the last, as the list's whole text.
void setPieces(TStringList* list, std::u16string written) {
    if (written.size() >= 2 && written.ends_with(u"\r\n")) written.resize(written.size() - 2);
    list->Clear();
    list->SetText(UnicodeString(std::move(written)));
}

}  // namespace

int SplitToSlogs(const UnicodeString& text, TStringList* list) {
    list->Clear();
    const UnicodeString closed = text + u' ';  // so that the last word is closed like the others
    std::u16string word;
    for (char16_t c : closed.u16()) {
        if (!isWordDelimiter(c)) {
            word += c;
        } else if (!word.empty()) {
            addSyllables(word, list);
            word.clear();
        }
    }
    return list->Count();
}

int SplitToWords(const UnicodeString& text, TStringList* list) {
    list->Clear();
    std::u16string word;
    int count = 0;
    for (char16_t c : text.u16()) {
        if (!isWordDelimiter(c)) {
            word += c;
        } else if (!word.empty()) {
            list->Add(UnicodeString(word));
            word.clear();
            ++count;
        }
    }
    if (!word.empty()) {
        list->Add(UnicodeString(word));
        ++count;
    }
    return count;
}

int SplitToWords(const UnicodeString& text, TStringList* list, int maxLength) {
    std::u16string written, word;
    int count = 0;
    auto close = [&] {
        if (!word.empty() && static_cast<int>(word.size()) <= maxLength) {
            written += word + u"\r\n";
            ++count;
        }
        word.clear();
    };
    for (char16_t c : untilNul(text)) {
        if (isDelimeter2(c)) close();
        else word += c;
    }
    close();
    setPieces(list, std::move(written));
    return count;
}

int SplitToSequences(const UnicodeString& text, TStringList* list) {
    list->Clear();
    constexpr int none = -1;
    UnicodeString sentence;
    int previous = none, count = 0;
    for (char16_t c : text.u16()) {
        if (c == u'\t') c = u' ';
        if (c == u'\r') c = u'\n';
        if (isSentenceEnd(c)) {
            if (!sentence.Trim().IsEmpty()) {
                list->Add((sentence + c).Trim());
                ++count;
                sentence = UnicodeString();
                previous = none;
                continue;
            }
        } else {
            if (c == u'\n') c = u' ';
            if (!(c == u' ' && previous == u' ')) sentence += c;
        }
        previous = c;
    }
    if (!sentence.Trim().IsEmpty()) {
        list->Add(sentence.Trim());
        ++count;
    }
    return count;
}

int SplitToSequences(const UnicodeString& text, TStringList* list, int maxLength) {
    constexpr int none = -1;
    std::u16string written;
    std::size_t sentenceStart = 0;  // where the current sentence begins in written
    int length = 0, previous = none, count = 0;
    for (char16_t c : untilNul(text)) {
        if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
        if (isSentenceEnd(c)) {
            if (length > maxLength || length == 0) {
                written.resize(sentenceStart);
                length = 0;
                previous = c;
            } else {
                written += c;
                written += u"\r\n";
                sentenceStart = written.size();
                ++count;
                length = 0;
                previous = none;
            }
        } else if (c == u' ' && (previous == u' ' || length == 0)) {
            previous = c;
        } else {
            written += c;
            ++length;
            previous = c;
        }
    }
    if (length >= 1 && length <= maxLength) ++count;
    else written.resize(sentenceStart);
    setPieces(list, std::move(written));
    return count;
}
