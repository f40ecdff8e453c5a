#include "platform/OpenedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

OpenedFile::OpenedFile(const UnicodeString& path) : fd_(::open(path.ToPathBytes().c_str(), O_RDONLY | O_CLOEXEC)) {}

OpenedFile::~OpenedFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<std::string> OpenedFile::ReadAll() const
{
    if (fd_ < 0)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    // pread leaves the file offset alone, so every read starts at the first byte.
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(fd_, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}
