#include "FileOperations.h"
#include "Listing.h"

#include "platform/Files.h"
#include "platform/StringList.h"

bool DeleteFilesFromDirectory(const UnicodeString& folder) {
    // An empty folder text would list from the file system's root: there is nothing to empty.
    if (folder.IsEmpty()) return true;
    TStringList list;
    GetFilesFromDirectory(folder, "*", true, true, &list);
    bool result = true;
    const int count = list.Count();
    for (int i = 0; i < count; ++i) {
        if (!DeleteFile(list[i])) result = false;
    }
    return result;
}

bool DeleteDirectoryFull(const UnicodeString& folder) {
    ShellDeleteDirectory(folder);
    return !DirectoryExists(folder);
}

bool MoveDirectoryFull(const UnicodeString& source, const UnicodeString& destination) {
    ShellMoveDirectory(source, destination);
    return DirectoryExists(destination);
}

bool CopyDirectoryFull(const UnicodeString& source, const UnicodeString& destination) {
    ShellCopyDirectory(source, destination);
    return DirectoryExists(destination);
}

std::int64_t getFileSize(const UnicodeString& path) { return FileSize(path); }
