#include "data_file.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameFile(int descriptor, const std::string& path)
{
    struct stat held {}, named {};
    return ::fstat(descriptor, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

}  // namespace

bool DataFile::LockRecordsFile()
{
    const std::string partPath = path_ + ".part";
    // A run that ends moves its records' file over the path or removes it, and then drops the lock: a lock
    // taken on the file it opened before that is no hold on the file now at partPath, so it is taken again.
    for (;;) {
        switch (lock_.Take(partPath)) {
        case PathLock::Result::kFailed:
            return false;
        case PathLock::Result::kHeld:
            throw std::runtime_error("The data file " + path_ + " is in use by another run!");
        case PathLock::Result::kTaken:
            if (SameFile(lock_.Descriptor(), partPath)) {
                partPath_ = partPath;
                return true;
            }
        }
    }
}

bool DataFile::Create(const char* path)
{
    path_ = path;
    std::error_code ignored;
    const auto type = std::filesystem::status(path_, ignored).type();
    if (type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::regular) {
        records_.reset(std::fopen(path, "wb"));
        return records_ != nullptr;
    }
    // Nothing is emptied before the lock is held: the files may be another run's.
    if (!LockRecordsFile())
        return false;
    const File emptied(std::fopen(path, "wb"));
    if (!emptied || ::ftruncate(lock_.Descriptor(), 0) != 0)
        return false;
    const int descriptor = ::dup(lock_.Descriptor());
    if (descriptor < 0)
        return false;
    records_.reset(::fdopen(descriptor, "wb"));
    if (!records_)
        ::close(descriptor);
    return records_ != nullptr;
}

DataFile::~DataFile()
{
    records_.reset();
    if (!partPath_.empty())
        std::remove(partPath_.c_str());
}

void DataFile::Finish()
{
    const bool failed = std::ferror(records_.get()) != 0;
    bool written = std::fclose(records_.release()) == 0 && !failed;
    if (written && !partPath_.empty()) {
        std::error_code error;
        std::filesystem::rename(partPath_, path_, error);
        written = !error;
    }
    if (!written)
        throw std::runtime_error("Write error " + path_ + "!");
    partPath_.clear();
}
