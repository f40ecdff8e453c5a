#include "platform/PathLock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PathLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "pathlock.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    // What a lock taken in another process finds: the child's exit code is the Result.
    static PathLock::Result TakeInChild(const std::string& path)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            PathLock lock;
            ::_exit(static_cast<int>(lock.Take(path)));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return static_cast<PathLock::Result>(WEXITSTATUS(status));
    }

    fs::path folder_;
};

TEST_F(PathLockTest, FileAndFolderAreHeldUntilReleasedAgainstThisAndOtherProcesses)
{
    for (const fs::path& path : {folder_ / "records.part", folder_}) {
        SCOPED_TRACE(path.string());
        PathLock first;
        ASSERT_EQ(first.Take(path.string()), PathLock::Result::kTaken);
        EXPECT_TRUE(first.Held());

        PathLock second;
        EXPECT_EQ(second.Take(path.string()), PathLock::Result::kHeld);
        EXPECT_FALSE(second.Held());
        EXPECT_EQ(TakeInChild(path.string()), PathLock::Result::kHeld);

        first.Release();
        EXPECT_EQ(TakeInChild(path.string()), PathLock::Result::kTaken);
        EXPECT_EQ(second.Take(path.string()), PathLock::Result::kTaken);
    }
}

TEST_F(PathLockTest, FileIsCreatedButNeverEmptied)
{
    const std::string path = (folder_ / "kept").string();
    {
        PathLock lock;
        ASSERT_EQ(lock.Take(path), PathLock::Result::kTaken);
        ASSERT_EQ(::write(lock.Descriptor(), "abc", 3), 3);
    }
    PathLock again;
    ASSERT_EQ(again.Take(path), PathLock::Result::kTaken);
    EXPECT_EQ(fs::file_size(path), 3u);
}

TEST_F(PathLockTest, DroppedWhenTheHoldingProcessIsKilled)
{
    const std::string path = (folder_ / "held").string();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        PathLock lock;
        if (lock.Take(path) != PathLock::Result::kTaken || ::write(ready[1], "x", 1) != 1)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(TakeInChild(path), PathLock::Result::kHeld);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(TakeInChild(path), PathLock::Result::kTaken);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(PathLockTest, PathThatCannotBeOpenedFails)
{
    PathLock lock;
    EXPECT_EQ(lock.Take((folder_ / "missing" / "file").string()), PathLock::Result::kFailed);
    EXPECT_FALSE(lock.Held());
}

}  // namespace
