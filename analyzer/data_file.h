#pragma once
#include <cstdio>
#include <string>

#include "platform/PathLock.h"
#include "platform/StdioFile.h"

// One of the run's two data files (the RGB data file, the hashes file). The file at its path is created
// empty at once, and the records go to a file of their own beside it, `<path>.part`, that takes its place only
// when the run ends in order: a run that stops, crashes or is killed never leaves a cut file under the path,
// which the client would take for a finished analysis. The run holds the records' file locked until then, so
// that a second run on the same path never writes into it; the system drops the lock with the process. A path
// that is no regular file (a device, a pipe) gets the records straight, since nothing may be moved over it.
class DataFile {
public:
    // Locks the records' file, then creates or empties the file at path and the records' file; false when
    // either cannot be created. Throws std::runtime_error when another run holds the records' file: nothing
    // is touched then.
    bool Create(const char* path);
    ~DataFile();  // removes records that were never moved into place

    std::FILE* Records() const { return records_.get(); }

    // Writes out the records and moves them into place. Throws std::runtime_error "Write error <path>!" when
    // a write failed or the move does not succeed; the file at the path then stays empty.
    void Finish();

private:
    // Takes the lock on the records' file that is at partPath_ now, not on one moved or removed by the run
    // that held it before; false when it cannot be opened, throws when another run holds it.
    bool LockRecordsFile();

    std::string path_;
    std::string partPath_;  // the records' file beside path_, set once it is held; empty for straight records
    PathLock lock_;
    File records_;
};
