#pragma once
// Ordered list of strings, each with an optional attached object; indexes are 0-based.

#include <vector>

#include "UnicodeString.h"

class TStringList {
public:
    int Add(const UnicodeString& s);  // returns the new item's index
    int AddObject(const UnicodeString& s, void* object);
    void Insert(int index, const UnicodeString& s);  // index 0..Count()
    void Delete(int index);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }

    // An index outside 0..Count()-1 throws ERangeError.
    const UnicodeString& Get(int index) const;
    void Put(int index, const UnicodeString& s);  // replaces the text, keeps the object
    const UnicodeString& Strings(int index) const { return Get(index); }
    const UnicodeString& operator[](int index) const { return Get(index); }
    void* Objects(int index) const;

    // First index whose text equals s, upper-cased first unless CaseSensitive; -1 when none.
    int IndexOf(const UnicodeString& s) const;
    bool CaseSensitive = false;

    // Every item followed by CR LF.
    UnicodeString Text() const;
    // Replaces the items by the lines of text, cut at CR LF, a lone CR or a lone LF;
    // a break at the very end adds no empty line.
    void SetText(const UnicodeString& text);

private:
    struct Item {
        UnicodeString text;
        void* object = nullptr;
    };
    const Item& at(int index) const;
    std::vector<Item> items_;
};
