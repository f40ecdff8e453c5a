#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "platform/Exception.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/tarvello-ini-XXXXXX";
        folder = mkdtemp(name);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string path() const { return folder + "/settings.ini"; }
    void write(const std::string& bytes) const { std::ofstream(path(), std::ios::binary) << bytes; }
    std::string read() const { return contentsOf(path()); }
    static std::string contentsOf(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::set<std::string> namesInFolder() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::string folder;
};

TEST_F(IniFileTest, ReadsValuesByCaselessSectionAndKeyKeepingTheirBytes)
{
    write("; saved by hand\r\n[Other]\r\nUserName=not this one\r\n[ACCOUNT]\r\n  username = Пётр@почта.example \r\n"
          "Password=a=b;c\r\n");
    const TIniFile ini{UnicodeString(path())};
    EXPECT_EQ(ini.ReadString("Account", "UserName", "none"), UnicodeString(" Пётр@почта.example "));
    EXPECT_EQ(ini.ReadString("Account", "Password", "none"), UnicodeString("a=b;c"));
    EXPECT_EQ(ini.ReadString("Account", "Missing", "none"), UnicodeString("none"));
    EXPECT_EQ(ini.ReadString("Nowhere", "UserName", "none"), UnicodeString("none"));
}

TEST_F(IniFileTest, ReadCutsAValueAt2047Characters)
{
    write("[Account]\nPassword=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(TIniFile(UnicodeString(path())).ReadString("Account", "Password", "").Length(), 2047);
}

TEST_F(IniFileTest, WritingChangesOnlyTheKeysWritten)
{
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        // an existing key is replaced in place, line breaks and other lines untouched
        {"\xEF\xBB\xBF; note\r\n[Window]\r\nLeft=10\r\n\r\n[Account]\r\nUserName=old\r\nTheme=dark\r\n",
         "\xEF\xBB\xBF; note\r\n[Window]\r\nLeft=10\r\n\r\n[Account]\r\nUserName=new@mail.example\r\nTheme=dark\r\n"},
        // a missing key goes after the section's last key, before the blank line that ends it
        {"[Account]\nTheme=dark\n\n[Window]\nLeft=10",
         "[Account]\nTheme=dark\nUserName=new@mail.example\n\n[Window]\nLeft=10"},
        // a missing section is appended, also after a last line without a break
        {"[Window]\nLeft=10", "[Window]\nLeft=10\n[Account]\nUserName=new@mail.example\n"},
        {"", "[Account]\nUserName=new@mail.example\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        write(c.before);
        TIniFile ini{UnicodeString(path())};
        ini.WriteString("Account", "UserName", "new@mail.example");
        ini.UpdateFile();
        EXPECT_EQ(read(), c.after);
    }
}

TEST_F(IniFileTest, AValueWithALineBreakCannotAddKeysOfItsOwn)
{
    for (const char* lineBreak : {"\n", "\r", "\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(lineBreak));
        write("");
        TIniFile ini{UnicodeString(path())};
        ini.WriteString("Account", "UserName", UnicodeString(std::string("x@y.z") + lineBreak + "Password=evil"));
        ini.WriteString("Account", "Password", "secret1");
        ini.UpdateFile();
        EXPECT_EQ(read(), "[Account]\nUserName=x@y.z\nPassword=secret1\n");
    }
}

TEST_F(IniFileTest, WrittenFileIsForItsOwnerOnly)
{
    write("[Account]\nPassword=old\n");
    ::chmod(path().c_str(), 0644);
    TIniFile ini{UnicodeString(path())};
    ini.WriteString("Account", "Password", "geheim!");
    ini.UpdateFile();
    struct stat info {};
    ASSERT_EQ(::stat(path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(TIniFile(UnicodeString(path())).ReadString("Account", "Password", ""), UnicodeString("geheim!"));
}

// Whatever already has a name beside the settings file, a link to another file or a file of its own, is neither
// written through nor moved: the new contents reach the settings file alone, as a regular owner-only file.
TEST_F(IniFileTest, WritingNeverOpensANameThatExistsAlready)
{
    const std::string victim = folder + "/victim";
    const std::string planted = path() + ".new";
    struct Case {
        const char* what;
        std::function<void()> plant;
    };
    const Case cases[] = {
        {"a link to another file", [&] { ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0); }},
        {"a regular file", [&] { std::ofstream(planted, std::ios::binary) << "planted bytes"; }},
        {"a dangling link", [&] { ASSERT_EQ(::symlink((folder + "/nowhere").c_str(), planted.c_str()), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(planted);
        write("[Account]\nPassword=old\n");
        std::ofstream(victim, std::ios::binary) << "the victim's bytes";
        c.plant();
        const auto plantedBefore = std::filesystem::symlink_status(planted).type();

        TIniFile ini{UnicodeString(path())};
        ini.WriteString("Account", "Password", "geheim!");
        ini.UpdateFile();

        EXPECT_EQ(contentsOf(victim), "the victim's bytes");
        EXPECT_FALSE(std::filesystem::exists(folder + "/nowhere"));
        EXPECT_EQ(std::filesystem::symlink_status(planted).type(), plantedBefore);
        if (plantedBefore == std::filesystem::file_type::regular) {
            EXPECT_EQ(contentsOf(planted), "planted bytes");
        }
        struct stat info {};
        ASSERT_EQ(::lstat(path().c_str(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_EQ(read(), "[Account]\nPassword=geheim!\n");
        EXPECT_EQ(namesInFolder(), (std::set<std::string>{"settings.ini", "settings.ini.new", "victim"}));
    }
}

// A write that fails reports the path and leaves no new file behind, whether the file cannot be created or cannot
// take the settings file's place (a folder of that name).
TEST_F(IniFileTest, FailedWriteNamesThePathAndLeavesNothing)
{
    std::filesystem::create_directory(folder + "/taken");
    for (const std::string& target : {folder + "/no such folder/settings.ini", folder + "/taken"}) {
        SCOPED_TRACE(target);
        TIniFile ini{UnicodeString(target)};
        ini.WriteString("Account", "UserName", "a@b.c");
        try {
            ini.UpdateFile();
            ADD_FAILURE() << "no error";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), UnicodeString("Unable to write to " + target));
        }
        EXPECT_EQ(namesInFolder(), std::set<std::string>{"taken"});
        EXPECT_TRUE(std::filesystem::is_empty(folder + "/taken"));
    }
}

}  // namespace
