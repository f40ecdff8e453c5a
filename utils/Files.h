#pragma once
// Path texts (cut, tested and joined without looking at the file system; PathDelim is the separator)
// and whole-file and folder operations.

#include <cstdint>

#include "platform/UnicodeString.h"

UnicodeString addLastSlash(const UnicodeString& path);  // PathDelim appended unless it ends in one
// The path unchanged when it is absolute (begins with PathDelim), else addLastSlash(base) + path.
UnicodeString getFullPath(const UnicodeString& path, const UnicodeString& base);
// The rest of path after addLastSlash(base) when it begins with that exactly, else path unchanged.
UnicodeString getRelativePath(const UnicodeString& path, const UnicodeString& base);
int count_slashes(const UnicodeString& text);
// The name between the last PathDelim and the one before it (or the start of the text).
UnicodeString get_last_dir_name(const UnicodeString& path);
UnicodeString get_dir_name(const UnicodeString& path);   // before the last PathDelim; empty without one
UnicodeString get_file_name(const UnicodeString& path);  // after the last '/' or '\\'; all without either
UnicodeString without_extension(const UnicodeString& name);  // before the last "."; empty without one
UnicodeString get_extension(const UnicodeString& name);      // the last "." and what follows; empty without one
// The name when it ends, lower-cased, in extension; otherwise name + extension.
UnicodeString check_extension(const UnicodeString& name, const UnicodeString& extension);

// Deletes every visible file of the folder's tree (hidden entries stay); true when every listed entry went.
// Subfolders are listed too and stay, so a tree with a subfolder gives false. An empty folder text
// deletes nothing (it would name the root) and gives true.
bool DeleteFilesFromDirectory(const UnicodeString& folder);
// Into the user's trash where there is one; true when no folder is at that path afterwards.
bool DeleteDirectoryFull(const UnicodeString& folder);
// True when a folder is at the destination afterwards.
bool MoveDirectoryFull(const UnicodeString& source, const UnicodeString& destination);
bool CopyDirectoryFull(const UnicodeString& source, const UnicodeString& destination);
// Size in bytes; 0 for a path that cannot be examined.
std::int64_t getFileSize(const UnicodeString& path);
