#include "data_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <stdlib.h>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

TEST(DataFile, RecordsWhoseWriteFailedAreNeverMovedIntoPlace)
{
    char pattern[] = "/tmp/tarvello_data_file_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    const std::string path = (dir / "hashes.dat").string();
    {
        DataFile file;
        ASSERT_TRUE(file.Create(path.c_str()));
        // A file-size limit fails a write on the way (the signal ignored, the write reports it); the limit is
        // gone again before the end, so the last records and the close go through.
        rlimit limit{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit small{4096, limit.rlim_max};
        const auto signalAction = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::string record(90, 'x');
        for (int i = 0; i < 100; ++i)
            std::fwrite(record.data(), record.size(), 1, file.Records());
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, signalAction);

        EXPECT_THROW(file.Finish(), std::runtime_error);
        EXPECT_EQ(fs::file_size(path), 0u);
    }
    EXPECT_FALSE(fs::exists(path + ".part"));
    fs::remove_all(dir);
}

}  // namespace
