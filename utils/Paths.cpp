#include "Paths.h"

#include "platform/Files.h"

namespace {

// Position of the last character for which isMark is true, 0 when there is none.
template <class Mark>
int lastPos(const UnicodeString& text, Mark isMark) {
    for (int i = text.Length(); i >= 1; --i) {
        if (isMark(text[i])) return i;
    }
    return 0;
}

bool isDelim(char16_t c) { return c == PathDelim; }

// Everything before the last mark; empty text without one.
UnicodeString beforeLast(const UnicodeString& text, char16_t mark) {
    return text.SubString(1, lastPos(text, [mark](char16_t c) { return c == mark; }) - 1);
}

}  // namespace

UnicodeString addLastSlash(const UnicodeString& path) {
    if (!path.IsEmpty() && isDelim(path[path.Length()])) return path;
    return path + PathDelim;
}

UnicodeString getFullPath(const UnicodeString& path, const UnicodeString& base) {
    if (!path.IsEmpty() && isDelim(path[1])) return path;
    return addLastSlash(base) + path;
}

UnicodeString getRelativePath(const UnicodeString& path, const UnicodeString& base) {
    const UnicodeString prefix = addLastSlash(base);
    if (path.SubString(1, prefix.Length()) != prefix) return path;
    return path.SubString(prefix.Length() + 1, path.Length());
}

int count_slashes(const UnicodeString& text) {
    int count = 0;
    for (char16_t c : text.u16()) count += isDelim(c);
    return count;
}

UnicodeString get_last_dir_name(const UnicodeString& path) {
    const int last = lastPos(path, isDelim);
    if (last == 0) return {};
    const int before = lastPos(path.SubString(1, last - 1), isDelim);
    return path.SubString(before + 1, last - before - 1);
}

UnicodeString get_dir_name(const UnicodeString& path) { return beforeLast(path, PathDelim); }

UnicodeString get_file_name(const UnicodeString& path) {
    return path.SubString(lastPos(path, [](char16_t c) { return c == u'/' || c == u'\\'; }) + 1, path.Length());
}

UnicodeString without_extension(const UnicodeString& name) { return beforeLast(name, u'.'); }

UnicodeString get_extension(const UnicodeString& name) {
    const int dot = lastPos(name, [](char16_t c) { return c == u'.'; });
    return dot == 0 ? UnicodeString() : name.SubString(dot, name.Length());
}

UnicodeString check_extension(const UnicodeString& name, const UnicodeString& extension) {
    const int n = extension.Length();
    if (name.SubString(name.Length() - n + 1, n).LowerCase() == extension) return name;
    return name + extension;
}
