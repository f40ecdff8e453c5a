#pragma once
// A file held open from the moment it is named until the object is gone, so that what is read later is the
// file that was there at the start, even when its name has been removed or reused meanwhile.

#include <optional>
#include <string>

#include "platform/UnicodeString.h"

class OpenedFile {
public:
    explicit OpenedFile(const UnicodeString& path);  // for reading; IsOpen tells whether that worked
    ~OpenedFile();
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // The whole content as it is now, from the first byte; nothing when the file is not open or a read fails.
    std::optional<std::string> ReadAll() const;

private:
    int fd_;
};
