#pragma once
// Helpers shared by the utility tests: list contents as vectors, lists made from vectors, and a
// temporary folder that is removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/StringList.h"
#include "platform/UnicodeString.h"

using Lines = std::vector<UnicodeString>;

inline Lines items(const TStringList& list) {
    Lines out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

inline void fill(TStringList& list, const Lines& lines) {
    list.Clear();
    for (const UnicodeString& s : lines) list.Add(s);
}

// gtest prints UnicodeString values as UTF-8.
inline void PrintTo(const UnicodeString& s, std::ostream* os) { *os << '"' << s.ToUtf8() << '"'; }

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/tarvello-utils-XXXXXX";
        root = mkdtemp(name);
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    void touch(const std::filesystem::path& relative, const std::string& content = "x") {
        const auto p = root / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p) << content;
    }
    void mkdir(const std::filesystem::path& relative) { std::filesystem::create_directories(root / relative); }
    bool exists(const std::filesystem::path& relative) const { return std::filesystem::exists(root / relative); }
    // The path of relative under the folder, as the utilities take it.
    UnicodeString at(const std::string& relative = "") const {
        return UnicodeString::FromPathBytes(relative.empty() ? root.string() : (root / relative).string());
    }

    std::filesystem::path root;
};
