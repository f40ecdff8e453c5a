#include "StringList.h"

#include "Exception.h"

namespace {
[[noreturn]] void outOfBounds(int index) { throw ERangeError(Format("List index out of bounds (%d)", index)); }
}  // namespace

int TStringList::Add(const UnicodeString& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const UnicodeString& s, void* object) {
    items_.push_back({s, object});
    return Count() - 1;
}

void TStringList::Insert(int index, const UnicodeString& s) {
    if (index < 0 || index > Count()) outOfBounds(index);
    items_.insert(items_.begin() + index, Item{s, nullptr});
}

void TStringList::Delete(int index) {
    at(index);
    items_.erase(items_.begin() + index);
}

const TStringList::Item& TStringList::at(int index) const {
    if (index < 0 || index >= Count()) outOfBounds(index);
    return items_[static_cast<std::size_t>(index)];
}

const UnicodeString& TStringList::Get(int index) const { return at(index).text; }

void TStringList::Put(int index, const UnicodeString& s) {
    at(index);
    items_[static_cast<std::size_t>(index)].text = s;
}

void* TStringList::Objects(int index) const { return at(index).object; }

int TStringList::IndexOf(const UnicodeString& s) const {
    const UnicodeString wanted = CaseSensitive ? s : s.UpperCase();
    for (int i = 0; i < Count(); ++i) {
        const UnicodeString& item = items_[static_cast<std::size_t>(i)].text;
        if ((CaseSensitive ? item : item.UpperCase()) == wanted) return i;
    }
    return -1;
}

UnicodeString TStringList::Text() const {
    std::u16string out;
    for (const Item& item : items_) {
        out += item.text.u16();
        out += u"\r\n";
    }
    return UnicodeString(std::move(out));
}

void TStringList::SetText(const UnicodeString& text) {
    items_.clear();
    const std::u16string& t = text.u16();
    std::size_t start = 0, i = 0;
    while (i < t.size()) {
        if (t[i] == u'\r' || t[i] == u'\n') {
            Add(UnicodeString(t.substr(start, i - start)));
            if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < t.size()) Add(UnicodeString(t.substr(start)));
}
