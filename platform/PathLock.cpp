#include "platform/PathLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

PathLock::PathLock(PathLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

PathLock& PathLock::operator=(PathLock&& other) noexcept
{
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

PathLock::Result PathLock::Take(const std::string& path)
{
    Release();
    // A folder opens read-only; a file opens for reading and writing so that its holder can use it.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EISDIR)
        fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Result::kFailed;
    // flock belongs to the open file, not the process: a second open in this process is refused as well.
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Result::kHeld : Result::kFailed;
    }
    fd_ = fd;
    return Result::kTaken;
}

void PathLock::Release()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
}
