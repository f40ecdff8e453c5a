// Path texts use PathDelim ("/") as their separator.
#include "TestSupport.h"
#include "utils/Paths.h"

namespace {
struct OneArg {
    UnicodeString (*function)(const UnicodeString&);
    const char* name;
    const char* input;
    const char* expected;
};
struct TwoArgs {
    UnicodeString (*function)(const UnicodeString&, const UnicodeString&);
    const char* name;
    const char* first;
    const char* second;
    const char* expected;
};
}  // namespace

TEST(Paths, OneArgumentFunctionsAtTheirEdges) {
    const OneArg cases[] = {
        {get_file_name, "get_file_name", "C:/a/b.txt", "b.txt"},
        {get_file_name, "get_file_name", "C:/a\\b.txt", "b.txt"},
        {get_file_name, "get_file_name", "C:\\a/b.txt", "b.txt"},
        {get_file_name, "get_file_name", "C:\\a\\b.txt", "b.txt"},
        {get_file_name, "get_file_name", "C:/a/", ""},
        {get_file_name, "get_file_name", "b.txt", "b.txt"},
        {get_file_name, "get_file_name", "", ""},
        {get_dir_name, "get_dir_name", "C:/a/b.txt", "C:/a"},
        {get_dir_name, "get_dir_name", "C:/a/", "C:/a"},
        {get_dir_name, "get_dir_name", "/b.txt", ""},
        {get_dir_name, "get_dir_name", "b.txt", ""},
        {get_dir_name, "get_dir_name", "C:\\a\\b.txt", ""},  // "\\" is no separator here
        {get_dir_name, "get_dir_name", "", ""},
        {get_last_dir_name, "get_last_dir_name", "C:/a/b/c.txt", "b"},
        {get_last_dir_name, "get_last_dir_name", "C:/a/b/", "b"},
        {get_last_dir_name, "get_last_dir_name", "C:/a/b", "a"},
        {get_last_dir_name, "get_last_dir_name", "C:/file", "C:"},
        {get_last_dir_name, "get_last_dir_name", "file", ""},
        {get_last_dir_name, "get_last_dir_name", "C:/a//b", ""},
        {get_last_dir_name, "get_last_dir_name", "", ""},
        {without_extension, "without_extension", "archive.tar.gz", "archive.tar"},
        {without_extension, "without_extension", "readme", ""},
        {without_extension, "without_extension", "readme.", "readme"},
        {without_extension, "without_extension", "C:/dir.old/readme", "C:/dir"},
        {without_extension, "without_extension", "", ""},
        {get_extension, "get_extension", "archive.tar.gz", ".gz"},
        {get_extension, "get_extension", "name.", "."},
        {get_extension, "get_extension", "readme", ""},
        {get_extension, "get_extension", "C:/dir.old/readme", ".old/readme"},
        {get_extension, "get_extension", "", ""},
        {addLastSlash, "addLastSlash", "C:/a", "C:/a/"},
        {addLastSlash, "addLastSlash", "C:/a/", "C:/a/"},
        {addLastSlash, "addLastSlash", "", "/"},
    };
    for (const OneArg& c : cases) {
        EXPECT_EQ(c.function(c.input), UnicodeString(c.expected)) << c.name << "(" << c.input << ")";
    }
}

TEST(Paths, TwoArgumentFunctionsAtTheirEdges) {
    const TwoArgs cases[] = {
        {check_extension, "check_extension", "photo.JPG", ".jpg", "photo.JPG"},
        {check_extension, "check_extension", "photo", ".jpg", "photo.jpg"},
        {check_extension, "check_extension", "photo.jpg", ".JPG", "photo.jpg.JPG"},
        {check_extension, "check_extension", "photo", "", "photo"},
        {check_extension, "check_extension", "", ".jpg", ".jpg"},
        {check_extension, "check_extension", "g", ".jpg", "g.jpg"},
        {check_extension, "check_extension", "ФОТО.JPG", ".jpg", "ФОТО.JPG"},
        {getRelativePath, "getRelativePath", "C:/a/b/c.txt", "C:/a", "b/c.txt"},
        {getRelativePath, "getRelativePath", "C:/a/b/c.txt", "C:/a/", "b/c.txt"},
        {getRelativePath, "getRelativePath", "C:/a/b/c.txt", "C:/A", "C:/a/b/c.txt"},
        {getRelativePath, "getRelativePath", "C:/a/", "C:/a", ""},
        {getRelativePath, "getRelativePath", "C:/a", "C:/a", "C:/a"},
        {getRelativePath, "getRelativePath", "", "C:/a", ""},
        {getFullPath, "getFullPath", "x.txt", "/base", "/base/x.txt"},
        {getFullPath, "getFullPath", "x.txt", "/base/", "/base/x.txt"},
        {getFullPath, "getFullPath", "/x.txt", "/base", "/x.txt"},    // absolute here
        {getFullPath, "getFullPath", "C:x.txt", "/base", "/base/C:x.txt"},  // no drives here
        {getFullPath, "getFullPath", "", "/base", "/base/"},
    };
    for (const TwoArgs& c : cases) {
        EXPECT_EQ(c.function(c.first, c.second), UnicodeString(c.expected))
            << c.name << "(" << c.first << ", " << c.second << ")";
    }
}

TEST(Paths, CountSlashesCountsEverySeparator) {
    EXPECT_EQ(count_slashes("/a/b/"), 3);
    EXPECT_EQ(count_slashes("a/b"), 1);
    EXPECT_EQ(count_slashes("a\\b"), 0);
    EXPECT_EQ(count_slashes(""), 0);
}
