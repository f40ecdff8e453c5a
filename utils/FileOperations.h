#pragma once
// Whole-file and folder operations: emptying, deleting, moving and copying folders, and file sizes.

#include <cstdint>

#include "platform/UnicodeString.h"

// Deletes every visible file of the folder's tree (hidden entries stay); true when every listed entry went.
// Subfolders are listed too and stay, so a tree with a subfolder gives false. An empty folder text
// deletes nothing (it would name the root) and gives true.
bool DeleteFilesFromDirectory(const UnicodeString& folder);
// Into the user's trash where there is one (a trash that cannot take the folder leaves it in place); true when
// no folder is at that path afterwards.
bool DeleteDirectoryFull(const UnicodeString& folder);
// True when a folder is at the destination afterwards.
bool MoveDirectoryFull(const UnicodeString& source, const UnicodeString& destination);
bool CopyDirectoryFull(const UnicodeString& source, const UnicodeString& destination);
// Size in bytes; 0 for a path that cannot be examined.
std::int64_t getFileSize(const UnicodeString& path);
