#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "../platform/OwnHome.h"
#include "TestSupport.h"
#include "utils/FileOperations.h"

namespace {

class FileOperationsTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        // Deletions go to a trash of the test's own, in a home of its own.
        mkdir("home");
        mkdir("data");
        home_.emplace(root / "home", root / "data");
    }
    void TearDown() override {
        home_.reset();
        TempFolderTest::TearDown();
    }

private:
    std::optional<OwnHome> home_;
};

// For its scope, the calling thread honours permission bits even when it runs as root, as any other user's does.
class PermissionsHonoured {
public:
    PermissionsHonoured() {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        syscall(SYS_capset, &header_, lowered);
    }
    ~PermissionsHonoured() { syscall(SYS_capset, &header_, saved_); }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
};

}  // namespace

TEST_F(FileOperationsTest, DeleteFilesEmptiesTheTreeButKeepsFoldersAndHiddenFiles) {
    touch("work/a.jpg");
    touch("work/b.dat");
    touch("work/.keep");
    touch("work/sub/c.txt");
    touch("work/sub/deeper/d.txt");
    touch("work/.hidden/e.txt");
    EXPECT_FALSE(DeleteFilesFromDirectory(at("work")));  // each listed subfolder fails
    EXPECT_FALSE(exists("work/a.jpg"));
    EXPECT_FALSE(exists("work/b.dat"));
    EXPECT_FALSE(exists("work/sub/c.txt"));
    EXPECT_FALSE(exists("work/sub/deeper/d.txt"));
    EXPECT_TRUE(exists("work/sub/deeper"));
    EXPECT_TRUE(exists("work/.keep"));
    EXPECT_TRUE(exists("work/.hidden/e.txt"));
}

TEST_F(FileOperationsTest, DeleteFilesOfAFlatFolderSucceeds) {
    touch("flat/a");
    touch("flat/b");
    touch("flat/.hidden");
    mkdir("empty");
    EXPECT_TRUE(DeleteFilesFromDirectory(at("flat")));
    EXPECT_FALSE(exists("flat/a"));
    EXPECT_FALSE(exists("flat/b"));
    EXPECT_TRUE(exists("flat/.hidden"));
    EXPECT_TRUE(DeleteFilesFromDirectory(at("empty")));
    EXPECT_TRUE(DeleteFilesFromDirectory(at("missing")));
}

TEST_F(FileOperationsTest, DeleteFilesRemovesNamesThatAreNotUtf8) {
    touch("work/caf\xE9.jpg");
    touch("work/\xFF");
    touch("work/ok.jpg");
    EXPECT_TRUE(DeleteFilesFromDirectory(at("work")));
    EXPECT_TRUE(std::filesystem::is_empty(root / "work"));

    touch("tree/d\xE9j\xE0/\xC3.txt");  // a name cut short, in a folder with a Latin-1 name
    EXPECT_FALSE(DeleteFilesFromDirectory(at("tree")));  // the subfolder is listed and stays
    EXPECT_TRUE(std::filesystem::is_empty(root / "tree/d\xE9j\xE0"));
}

TEST_F(FileOperationsTest, DeleteFilesKeepsAReadOnlyFileAndReportsIt) {
    touch("locked/ro");
    touch("locked/rw");
    std::filesystem::permissions(root / "locked/ro", std::filesystem::perms::owner_read);
    EXPECT_FALSE(DeleteFilesFromDirectory(at("locked")));
    EXPECT_TRUE(exists("locked/ro"));
    EXPECT_FALSE(exists("locked/rw"));
}

TEST_F(FileOperationsTest, DeleteFilesRemovesALinkNotWhatItPointsTo) {
    touch("outside/precious.txt");
    mkdir("work");
    std::filesystem::create_directory_symlink(root / "outside", root / "work/link");
    EXPECT_TRUE(DeleteFilesFromDirectory(at("work")));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(root / "work/link")));
    EXPECT_TRUE(exists("outside/precious.txt"));
}

TEST_F(FileOperationsTest, GetFileSizeOfMissingEmptyAndHugeSparseFiles) {
    touch("empty", "");
    touch("five", "12345");
    EXPECT_EQ(getFileSize(at("missing")), 0);
    EXPECT_EQ(getFileSize(at("empty")), 0);
    EXPECT_EQ(getFileSize(at("five")), 5);
    const std::int64_t huge = 5LL * 1024 * 1024 * 1024 + 7;  // past 4 GiB
    const int fd = open((root / "huge").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, huge), 0);
    close(fd);
    EXPECT_EQ(getFileSize(at("huge")), huge);
}

TEST_F(FileOperationsTest, DeleteDirectoryFullMovesTheFolderToTheTrash) {
    touch("gone/f.txt");
    EXPECT_TRUE(DeleteDirectoryFull(at("gone")));
    EXPECT_FALSE(exists("gone"));
    EXPECT_TRUE(exists("data/Trash/files/gone/f.txt"));
    EXPECT_TRUE(exists("data/Trash/info/gone.trashinfo"));
    EXPECT_TRUE(DeleteDirectoryFull(at("never-was")));
}

TEST_F(FileOperationsTest, DeleteDirectoryFullKeepsTheFolderWhenTheTrashCannotTakeIt) {
    namespace fs = std::filesystem;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec;
    const struct {
        const char* what;
        std::string folder;
        std::function<void(const fs::path& trash)> spoil;
    } cases[] = {
        {"read-only info", "work", [&](const fs::path& t) { fs::permissions(t / "info", readOnly); }},
        {"read-only files", "work", [&](const fs::path& t) { fs::permissions(t / "files", readOnly); }},
        {"info is a file", "work", [](const fs::path& t) { fs::remove(t / "info"); std::ofstream(t / "info"); }},
        {"a name too long for its record", std::string(250, 'n'), [](const fs::path&) {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path trash = root / "data/Trash";
        fs::create_directories(trash / "files");
        fs::create_directories(trash / "info");
        touch(c.folder + "/f.txt", "kept");
        touch(c.folder + "/sub/g.txt", "kept too");
        c.spoil(trash);
        {
            PermissionsHonoured asAnyUser;
            EXPECT_FALSE(DeleteDirectoryFull(at(c.folder)));
        }
        EXPECT_EQ(getFileSize(at(c.folder + "/f.txt")), 4);
        EXPECT_EQ(getFileSize(at(c.folder + "/sub/g.txt")), 8);
        fs::permissions(trash / "info", fs::perms::owner_all);
        fs::permissions(trash / "files", fs::perms::owner_all);
        EXPECT_TRUE(fs::is_empty(trash / "files"));
        if (fs::is_directory(trash / "info")) {
            EXPECT_TRUE(fs::is_empty(trash / "info"));  // no stray record
        }
        fs::remove_all(trash);
        fs::remove_all(root / c.folder);
    }
}

TEST_F(FileOperationsTest, MoveAndCopyReportTheDestinationFolder) {
    touch("src/f.txt", "abc");
    EXPECT_TRUE(CopyDirectoryFull(at("src"), at("copy")));
    EXPECT_EQ(getFileSize(at("copy/f.txt")), 3);
    EXPECT_TRUE(exists("src/f.txt"));

    EXPECT_TRUE(MoveDirectoryFull(at("src"), at("moved/deep")));
    EXPECT_TRUE(exists("moved/deep/f.txt"));
    EXPECT_FALSE(exists("src"));

    touch("again/g.txt");
    mkdir("dest/again");
    EXPECT_TRUE(MoveDirectoryFull(at("again"), at("dest")));
    EXPECT_TRUE(exists("dest/again (2)/g.txt"));

    // The result looks at the destination only.
    EXPECT_TRUE(MoveDirectoryFull(at("no-source"), at("dest")));
    EXPECT_TRUE(CopyDirectoryFull(at("no-source"), at("dest")));
    EXPECT_FALSE(CopyDirectoryFull(at("no-source"), at("nowhere")));
}
