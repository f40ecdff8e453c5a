#pragma once
// Listing what one folder holds. Each entry's path is the folder argument unchanged, PathDelim and the
// entry's name; entries come in the file system's order. Hidden entries are never listed, and hidden
// folders are never entered. Text forms give one line per entry, each ending in CR LF.

#include "platform/StringList.h"
#include "platform/UnicodeString.h"

// Files whose names match mask; with recurse, the whole tree in pre-order, each subfolder's own path
// first when withFolders is set.
UnicodeString GetFilesFromDirectory(const UnicodeString& folder, const UnicodeString& mask, bool recurse,
                                    bool withFolders);
// The same, appended to what list already holds.
void GetFilesFromDirectory(const UnicodeString& folder, const UnicodeString& mask, bool recurse, bool withFolders,
                           TStringList* list);

// Subfolders, the whole tree in pre-order with recurse.
UnicodeString GetDirsFromDirectory(const UnicodeString& folder, bool recurse);
// The same into an emptied list, after one trailing PathDelim is dropped from folder; returns the count.
int GetDirsFromDirectory(const UnicodeString& folder, bool recurse, TStringList* list);

// Files ending in ".OGG", ".MP3" or ".WAV", any letter case.
UnicodeString GetSoundFromDirectory(const UnicodeString& folder);

// Files ending in ".JPG", ".JPEG", ".PNG" or ".GIF", any letter case.
UnicodeString GetPicturesFromDirectory(const UnicodeString& folder);
// Files ending in ".JPG", ".JPEG", ".BMP", ".PNG" or ".GIF" into an emptied list; returns the count.
int GetPicturesFromDirectory(const UnicodeString& folder, TStringList* list);
