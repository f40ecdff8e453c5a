#include "data_file.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

bool DataFile::Create(const char* path)
{
    path_ = path;
    File file(std::fopen(path, "wb"));
    if (!file)
        return false;
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path_, ignored)) {
        records_ = std::move(file);
        return true;
    }
    file.reset();
    partPath_ = path_ + ".part";
    records_.reset(std::fopen(partPath_.c_str(), "wb"));
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
