#pragma once
// An exclusive hold on a file or folder that other processes can see and that the system drops when the
// holder closes it or its process ends in any way, a crash or a kill included: nothing is ever left held.

#include <string>

class PathLock {
public:
    enum class Result { kTaken, kHeld, kFailed };

    PathLock() = default;
    ~PathLock() { Release(); }
    PathLock(PathLock&& other) noexcept;
    PathLock& operator=(PathLock&& other) noexcept;
    PathLock(const PathLock&) = delete;
    PathLock& operator=(const PathLock&) = delete;

    // Opens path (a folder, or a file created when missing, never emptied) and takes the lock without waiting.
    // kHeld: another holder has it (another process, or another PathLock of this one); kFailed: the path cannot
    // be opened. Any lock held before is released first. The descriptor is not passed on to started programs.
    Result Take(const std::string& path);
    void Release();

    bool Held() const { return fd_ >= 0; }
    // The open descriptor (read and write for a file), valid while held; -1 otherwise.
    int Descriptor() const { return fd_; }

private:
    int fd_ = -1;
};
