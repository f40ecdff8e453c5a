#include "WorkFolder.h"

#include "ClientState.h"
#include "platform/Files.h"
#include "platform/PathLock.h"

namespace {

// Which of temp, temp.2, temp.3, ... is this client's: temp until TakeWorkFolder finds it held by another client.
int workFolderNumber = 1;
PathLock workFolderLock;

}  // namespace

void TakeWorkFolder()
{
    workFolderLock.Release();
    for (workFolderNumber = 1;; ++workFolderNumber) {
        const UnicodeString folder = WorkFolder();
        if (workFolderNumber > 1)
            CreateDir(folder);
        // A folder that is not there or cannot be opened is no other client's: it is used, and what needs it fails.
        if (!DirectoryExists(folder) || workFolderLock.Take(folder.ToPathBytes()) != PathLock::Result::kHeld)
            return;
    }
}

UnicodeString WorkFolder()
{
    const UnicodeString temp = CurPath + PathDelim + "temp";
    return workFolderNumber > 1 ? temp + "." + IntToStr(workFolderNumber) : temp;
}

UnicodeString WorkFile(const UnicodeString& name)
{
    return WorkFolder() + PathDelim + name;
}
