#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "OwnHome.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder under the system's temporary folder, removed afterwards. The user's home and data folder
// point into it, so that whatever reaches the trash stays there.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/tarvello-platform-XXXXXX";
        root = mkdtemp(name);
        home.emplace(root / "home", root / "data");
    }
    void TearDown() override {
        home.reset();
        fs::remove_all(root);
    }
    void touch(const fs::path& p, const std::string& content = "x") {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << content;
    }
    UnicodeString u(const fs::path& p) const { return UnicodeString::FromPathBytes(p.string()); }
    std::set<std::string> names(const fs::path& folder, const char* mask, int attr) {
        std::set<std::string> out;
        TSearchRec rec;
        for (int r = FindFirst(u(folder / mask), attr, rec); r == 0; r = FindNext(rec)) {
            out.insert(rec.Name.ToUtf8() + ((rec.Attr & faDirectory) ? "/" : ""));
        }
        FindClose(rec);
        return out;
    }
    fs::path root;
    std::optional<OwnHome> home;
};

}  // namespace

TEST(FilesPaths, ExtractFileDirAndName) {
    struct Case { const char* path; const char* dir; const char* name; };
    for (const Case& c : {Case{"/a/b.txt", "/a", "b.txt"}, Case{"/b.txt", "/", "b.txt"}, Case{"b.txt", "", "b.txt"},
                          Case{"a/b/", "a/b", ""}, Case{"", "", ""}, Case{"/", "/", ""}}) {
        EXPECT_EQ(ExtractFileDir(c.path), UnicodeString(c.dir)) << c.path;
        EXPECT_EQ(ExtractFileName(c.path), UnicodeString(c.name)) << c.path;
    }
}

TEST_F(FilesTest, ExistenceDeletionAndSize) {
    touch(root / "f.txt", "hello");
    fs::create_directory(root / "d");
    EXPECT_TRUE(FileExists(u(root / "f.txt")));
    EXPECT_FALSE(FileExists(u(root / "d")));
    EXPECT_TRUE(DirectoryExists(u(root / "d")));
    EXPECT_FALSE(DirectoryExists(u(root / "f.txt")));
    EXPECT_EQ(FileSize(u(root / "f.txt")), 5);
    EXPECT_EQ(FileSize(u(root / "missing")), 0);
    EXPECT_FALSE(DeleteFile(u(root / "d")));  // folders are refused
    EXPECT_TRUE(fs::exists(root / "d"));
    EXPECT_TRUE(DeleteFile(u(root / "f.txt")));
    EXPECT_FALSE(DeleteFile(u(root / "f.txt")));
    touch(root / "ro.txt");
    fs::permissions(root / "ro.txt", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(DeleteFile(u(root / "ro.txt")));  // read-only files are refused too
    EXPECT_TRUE(fs::exists(root / "ro.txt"));
}

TEST_F(FilesTest, FindFiltersHiddenEntriesAndFolders) {
    touch(root / "a.jpg");
    touch(root / "b.txt");
    touch(root / ".hidden.jpg");
    fs::create_directory(root / "sub");
    fs::create_directory(root / ".secret");
    EXPECT_EQ(names(root, "*", faNormal), (std::set<std::string>{"a.jpg", "b.txt"}));
    EXPECT_EQ(names(root, "*.*", faNormal), (std::set<std::string>{"a.jpg", "b.txt"}));
    EXPECT_EQ(names(root, "*.jpg", faNormal), (std::set<std::string>{"a.jpg"}));
    EXPECT_EQ(names(root, "*.*", faDirectory), (std::set<std::string>{"./", "../", "a.jpg", "b.txt", "sub/"}));
    EXPECT_EQ(names(root, "*", faDirectory | faHidden).count(".secret/"), 1u);
    EXPECT_TRUE(names(root / "missing", "*", faNormal).empty());
    EXPECT_TRUE(names(root, "*.png", faNormal).empty());
}

TEST_F(FilesTest, NamesThatAreNotUtf8AreListedAndReachTheirFiles) {
    const std::string latin1 = "caf\xE9.jpg", cut = "\xD0.txt";
    touch(root / latin1, "12345");
    touch(root / cut, "abc");
    fs::create_directory(root / "d\xFF");
    touch(root / "d\xFF" / "f.txt");
    const UnicodeString folder = u(root);
    std::set<std::string> listed;
    TSearchRec rec;
    for (int r = FindFirst(folder + "/*", faNormal, rec); r == 0; r = FindNext(rec)) {
        const UnicodeString path = folder + "/" + rec.Name;
        listed.insert(path.ToPathBytes());
        EXPECT_TRUE(FileExists(path));
        EXPECT_EQ(FileSize(path), rec.Size);
        EXPECT_TRUE(DeleteFile(path));
    }
    FindClose(rec);
    EXPECT_EQ(listed, (std::set<std::string>{(root / latin1).string(), (root / cut).string()}));
    EXPECT_FALSE(fs::exists(root / latin1));
    EXPECT_FALSE(fs::exists(root / cut));

    const UnicodeString sub = u(root / "d\xFF");
    EXPECT_TRUE(DirectoryExists(sub));
    EXPECT_EQ(names(root / "d\xFF", "*", faNormal), (std::set<std::string>{"f.txt"}));
    ShellDeleteDirectory(sub);
    EXPECT_FALSE(fs::exists(root / "d\xFF"));
    EXPECT_TRUE(fs::exists(root / "data/Trash/files/d\xFF/f.txt"));
}

TEST_F(FilesTest, DeleteGoesToTheTrashWithItsRecord) {
    const fs::path data = root / "data";
    fs::create_directories(data);
    touch(root / "work" / "f.txt");
    ShellDeleteDirectory(u(root / "work"));
    ShellDeleteDirectory(u(root / "missing"));
    touch(root / "work" / "g.txt");
    ShellDeleteDirectory(u(root / "work") + "/");  // a second folder of the same name
    fs::create_directories(data / "Trash/files/work.3");  // a name taken without its record
    touch(root / "work" / "h.txt");
    ShellDeleteDirectory(u(root / "work") + "/.");
    EXPECT_FALSE(fs::exists(root / "work"));
    EXPECT_TRUE(fs::exists(data / "Trash/files/work/f.txt"));
    EXPECT_TRUE(fs::exists(data / "Trash/files/work.2/g.txt"));
    EXPECT_TRUE(fs::exists(data / "Trash/files/work.4/h.txt"));
    EXPECT_FALSE(fs::exists(data / "Trash/info/work.3.trashinfo"));
    EXPECT_EQ(fs::status(data / "Trash").permissions() & fs::perms::all, fs::perms::owner_all);
    std::ifstream info(data / "Trash/info/work.trashinfo");
    std::string header, path;
    std::getline(info, header);
    std::getline(info, path);
    EXPECT_EQ(header, "[Trash Info]");
    EXPECT_EQ(path, "Path=" + (root / "work").string());
}

TEST_F(FilesTest, DeleteMakesAMissingTrashAndWithoutAHomeKeepsTheFolder) {
    fs::create_directories(root / "home");
    // A value beginning with "/" names a folder under root; nullptr leaves the variable unset.
    const struct {
        const char* what;
        const char* home;
        const char* data;
        const char* trash;  // under root; nullptr: the folder stays where it is
    } cases[] = {
        {"a data folder not there yet", "/home", "/data/deeper", "data/deeper/Trash"},
        {"a home without .local", "/home", nullptr, "home/.local/share/Trash"},
        {"a relative data folder counts for nothing", "/home", "data", "home/.local/share/Trash"},
        {"a home that is not there", "/no-home", nullptr, nullptr},
        {"a relative home", "home", nullptr, nullptr},
        {"no home at all", nullptr, nullptr, nullptr},
    };
    const auto point = [&](const char* variable, const char* value) {
        if (!value) unsetenv(variable);
        else setenv(variable, value[0] == '/' ? (root.string() + value).c_str() : value, 1);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        point("HOME", c.home);
        point("XDG_DATA_HOME", c.data);
        touch(root / "work" / "f.txt", "kept");
        ShellDeleteDirectory(u(root / "work"));
        if (c.trash) {
            EXPECT_FALSE(fs::exists(root / "work"));
            EXPECT_EQ(FileSize(u(root / c.trash / "files/work/f.txt")), 4);
            EXPECT_TRUE(fs::exists(root / c.trash / "info/work.trashinfo"));
            for (const fs::path& made : {root / c.trash, (root / c.trash).parent_path()})
                EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all) << made;
            fs::remove_all(root / c.trash);
        } else {
            EXPECT_EQ(FileSize(u(root / "work/f.txt")), 4);
        }
        fs::remove_all(root / "work");
    }
}

// A folder on another file system than the user's trash goes into that file system's own trash, which must be
// the user's own: $top/.Trash/$uid when $top/.Trash is a real sticky folder, else $top/.Trash-$uid, each only as a
// real folder owned by the user; with neither, the folder stays. Mounting a file system and handing folders to
// another user need root.
TEST_F(FilesTest, DeleteOnAnotherFileSystemUsesOnlyTheUsersOwnTrashThere) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to mount a file system and to chown";
    const fs::path volume = root / "volume";
    fs::create_directories(volume);
    // In a mount namespace of this process's own, so that the file system goes with the process whatever happens.
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tarvello-test", volume.c_str(), "tmpfs", 0, "size=1m,mode=0755") != 0)
        GTEST_SKIP() << "cannot mount a file system here";
    struct Unmount {
        fs::path at;
        ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
    } unmount{volume};
    fs::create_directories(root / "data");  // the user's trash, on the file system of root

    const std::string uid = std::to_string(getuid());
    const uid_t someoneElse = getuid() + 4321;
    const auto folder = [&](const std::string& name, mode_t mode, uid_t owner) {
        ASSERT_EQ(::mkdir((volume / name).c_str(), mode), 0) << name;
        ASSERT_EQ(::chmod((volume / name).c_str(), mode), 0) << name;  // beyond the umask, the sticky bit too
        ASSERT_EQ(::chown((volume / name).c_str(), owner, getgid()), 0) << name;
    };
    const auto link = [&](const std::string& name, const std::string& target) {
        ASSERT_EQ(::symlink((volume / target).c_str(), (volume / name).c_str()), 0) << name;
    };
    const struct {
        const char* what;
        std::function<void()> prepare;
        std::string trash;  // under volume; empty: the folder stays where it is
    } cases[] = {
        {"no trash there yet", [] {}, ".Trash-" + uid},
        {"a shared sticky .Trash", [&] { folder(".Trash", 01777, 0); }, ".Trash/" + uid},
        {"the user's folder in a shared .Trash",
         [&] {
             folder(".Trash", 01777, 0);
             folder(".Trash/" + uid, 0700, getuid());
         },
         ".Trash/" + uid},
        {"another user's folder in a shared .Trash",
         [&] {
             folder(".Trash", 01777, 0);
             folder(".Trash/" + uid, 0700, someoneElse);
         },
         ".Trash-" + uid},
        {"a shared .Trash that is not sticky", [&] { folder(".Trash", 0777, 0); }, ".Trash-" + uid},
        {"a shared .Trash that is a link",
         [&] {
             folder("shared", 01777, 0);
             link(".Trash", "shared");
         },
         ".Trash-" + uid},
        {"a .Trash-uid of another user", [&] { folder(".Trash-" + uid, 0700, someoneElse); }, ""},
        {"a .Trash-uid that is a link",
         [&] {
             folder("mine", 0700, getuid());
             link(".Trash-" + uid, "mine");
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : fs::directory_iterator(volume)) fs::remove_all(entry.path());
        c.prepare();
        touch(volume / "work" / "f.txt", "kept");
        ShellDeleteDirectory(u(volume / "work"));
        std::vector<std::string> trashed;
        for (const auto& entry : fs::recursive_directory_iterator(volume))
            if (entry.path().filename() == "f.txt") trashed.push_back(entry.path().lexically_relative(volume).string());
        if (c.trash.empty()) {
            EXPECT_EQ(trashed, std::vector<std::string>{"work/f.txt"});
            continue;
        }
        EXPECT_EQ(trashed, std::vector<std::string>{c.trash + "/files/work/f.txt"});
        EXPECT_EQ(fs::status(volume / c.trash).permissions() & fs::perms::all, fs::perms::owner_all);
        std::ifstream info(volume / c.trash / "info/work.trashinfo");
        std::string header, path;
        std::getline(info, header);
        std::getline(info, path);
        EXPECT_EQ(header, "[Trash Info]");
        EXPECT_EQ(path, "Path=work");  // relative to the file system's top folder
    }
    EXPECT_TRUE(fs::is_empty(root / "data/Trash/files"));
}

TEST_F(FilesTest, MoveRenamesOnCollisionAndCreatesFolders) {
    touch(root / "a" / "f.txt");
    ShellMoveDirectory(u(root / "a"), u(root / "x" / "y"));  // y is created as the moved folder
    EXPECT_TRUE(fs::exists(root / "x/y/f.txt"));
    touch(root / "b" / "g.txt");
    fs::create_directories(root / "dest" / "b");
    ShellMoveDirectory(u(root / "b"), u(root / "dest"));  // into dest, where b is taken
    EXPECT_TRUE(fs::exists(root / "dest/b (2)/g.txt"));
    EXPECT_FALSE(fs::exists(root / "b"));
    ShellMoveDirectory(u(root / "dest"), u(root / "dest" / "b"));  // never into itself
    EXPECT_TRUE(fs::exists(root / "dest/b (2)/g.txt"));
    ShellMoveDirectory(u(root / "dest" / "b (2)"), u(root / "dest"));  // already there: stays, not renamed
    EXPECT_TRUE(fs::exists(root / "dest/b (2)/g.txt"));
    EXPECT_FALSE(fs::exists(root / "dest/b (2) (2)"));
}

TEST_F(FilesTest, CopyKeepsTheSourceAndNeverCopiesIntoItself) {
    touch(root / "a" / "s" / "f.txt", "abc");
    ShellCopyDirectory(u(root / "a"), u(root / "c"));
    EXPECT_EQ(FileSize(u(root / "c/s/f.txt")), 3);
    fs::create_directory(root / "into");
    ShellCopyDirectory(u(root / "a"), u(root / "into"));
    EXPECT_TRUE(fs::exists(root / "into/a/s/f.txt"));
    EXPECT_TRUE(fs::exists(root / "a/s/f.txt"));
    ShellCopyDirectory(u(root / "a"), u(root / "a" / "s"));
    EXPECT_FALSE(fs::exists(root / "a/s/a"));
}

TEST_F(FilesTest, FolderOperationsRaiseNothingWhenTheCurrentFolderIsGone) {
    const fs::path previous = fs::current_path();
    fs::create_directories(root / "cwd");
    touch(root / "a" / "f.txt");
    fs::current_path(root / "cwd");
    fs::remove(root / "cwd");
    EXPECT_NO_THROW(ShellMoveDirectory("../a", "../b"));
    EXPECT_NO_THROW(ShellCopyDirectory("../a", "../c"));
    EXPECT_NO_THROW(ShellDeleteDirectory("../a"));
    fs::current_path(previous);
    EXPECT_TRUE(fs::exists(root / "a" / "f.txt"));  // relative paths that cannot be resolved are left alone
}
