#pragma once
// Path texts, cut, tested and joined without looking at the file system; PathDelim is the separator.

#include "platform/UnicodeString.h"

UnicodeString addLastSlash(const UnicodeString& path);  // PathDelim appended unless it ends in one
// The path unchanged when it is absolute (begins with PathDelim), else addLastSlash(base) + path.
UnicodeString getFullPath(const UnicodeString& path, const UnicodeString& base);
// The rest of path after addLastSlash(base) when it begins with that exactly, else path unchanged.
UnicodeString getRelativePath(const UnicodeString& path, const UnicodeString& base);
int count_slashes(const UnicodeString& text);  // the PathDelim characters in text
// The name between the last PathDelim and the one before it (or the start of the text).
UnicodeString get_last_dir_name(const UnicodeString& path);
UnicodeString get_dir_name(const UnicodeString& path);   // before the last PathDelim; empty without one
UnicodeString get_file_name(const UnicodeString& path);  // after the last '/' or '\\'; all without either
UnicodeString without_extension(const UnicodeString& name);  // before the last "."; empty without one
UnicodeString get_extension(const UnicodeString& name);      // the last "." and what follows; empty without one
// The name when it ends, lower-cased, in extension; otherwise name + extension.
UnicodeString check_extension(const UnicodeString& name, const UnicodeString& extension);
