#pragma once
#include <cstdio>
#include <string>

#include "platform/StdioFile.h"

// One of the run's two data files (the RGB data file, the hashes file). The file at its path is created
// empty at once, and the records go to a file of their own beside it that takes its place only when the run
// ends in order: a run that stops, crashes or is killed never leaves a cut file under the path, which the
// client would take for a finished analysis. A path that is no regular file (a device, a pipe) gets the
// records straight, since nothing may be moved over it.
class DataFile {
public:
    // Creates or empties the file at path and opens the records' file; false when either cannot be created.
    bool Create(const char* path);
    ~DataFile();  // removes records that were never moved into place

    std::FILE* Records() const { return records_.get(); }

    // Writes out the records and moves them into place. Throws std::runtime_error "Write error <path>!" when
    // that fails.
    void Finish();

private:
    std::string path_;
    std::string partPath_;  // the records' file beside path_; empty when they go straight to path_
    File records_;
};
