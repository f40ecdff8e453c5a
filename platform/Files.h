#pragma once
// Files and folders: existence tests, deletion, sizes, path pieces, folder enumeration and
// whole-folder delete, move and copy. The one place that knows the file system is POSIX.

#include <cstdint>
#include <string>

#include "UnicodeString.h"

constexpr char16_t PathDelim = u'/';

bool FileExists(const UnicodeString& path);       // a file (not a folder), links followed
bool DirectoryExists(const UnicodeString& path);  // a folder, links followed
bool DeleteFile(const UnicodeString& path);       // unlinks a file or link; refuses folders and read-only files
bool CreateDir(const UnicodeString& path);        // one new folder; false when it cannot be made or is there
std::int64_t FileSize(const UnicodeString& path); // bytes; 0 for a folder or a path that cannot be examined

// The path before its last PathDelim (a lone leading PathDelim is kept), and the text after it.
UnicodeString ExtractFileDir(const UnicodeString& path);
UnicodeString ExtractFileName(const UnicodeString& path);

// The full path of the running program's executable, its bytes kept whatever they are.
UnicodeString ExecutablePath();

// Entry attribute bits.
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;   // the name begins with "." ("." and ".." aside)
constexpr int faSysFile = 0x04;  // never set here
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;  // every entry that is not a folder
constexpr int faNormal = 0x80;

struct TSearchRec {
    UnicodeString Name;  // the entry's name without its folder
    int Attr = 0;
    std::int64_t Size = 0;

    // Enumeration state, owned between FindFirst and FindClose.
    void* FindHandle = nullptr;
    std::string Folder, Mask;
    int ExcludeAttr = 0;
};

// pattern = folder + PathDelim + mask; "*" and "*.*" match every name, other masks go to fnmatch.
// Entries that are hidden, system or folders are passed over unless attr carries that bit.
// Both give 0 when they deliver an entry and non-zero when there is none (any more) or the folder
// cannot be read. FindClose may be called whatever FindFirst gave.
int FindFirst(const UnicodeString& pattern, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// Whole-folder operations: no dialogs, nothing reported; callers look at the file system afterwards.
// Delete moves the folder into the user's freedesktop.org trash, $XDG_DATA_HOME/Trash or else
// $HOME/.local/share/Trash, whose missing folders it creates owner-only (a folder on another file system goes
// into that file system's own trash); it never deletes for good. The folder stays when that trash cannot take
// it, and when the user has no home to hold one (neither XDG_DATA_HOME nor HOME names an absolute path, or HOME
// is no folder). A root is never removed.
void ShellDeleteDirectory(const UnicodeString& path);
// Into destination when it is a folder, else to destination itself; a name already taken there
// gives the moved folder a new name "name (2)", "name (3)", ...; missing folders are created.
// A folder that is already at its destination stays as it is.
void ShellMoveDirectory(const UnicodeString& source, const UnicodeString& destination);
// Into destination when it is a folder, else to destination itself; existing files are overwritten.
void ShellCopyDirectory(const UnicodeString& source, const UnicodeString& destination);
