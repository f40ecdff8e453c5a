#pragma once
// A small INI file: named sections in square brackets, one key=value line per key. Section and key names match
// without regard to ASCII case, values are UTF-8 and kept byte for byte. Writing changes only the lines of the
// keys written; every other line of the file stays exactly as it was.

#include <string>
#include <vector>

#include "platform/UnicodeString.h"

class TIniFile {
public:
    // Reads the file when it exists; a missing or unreadable file reads as empty.
    explicit TIniFile(const UnicodeString& path);

    UnicodeString ReadString(const UnicodeString& section, const UnicodeString& key,
                             const UnicodeString& defaultValue) const;
    // Changes the file's text in memory; UpdateFile stores it. A value is kept up to its first line break.
    void WriteString(const UnicodeString& section, const UnicodeString& key, const UnicodeString& value);
    // Writes the file, readable and writable by its owner only (it may hold a password). Throws Exception
    // "Unable to write to <path>" when it cannot.
    void UpdateFile() const;

private:
    struct Line {
        std::string text;     // without its line break
        std::string newline;  // "\r\n", "\n" or "" for a last line without one
    };
    int sectionLine(const std::string& section) const;                   // -1 when absent
    int sectionEnd(int section) const;                                   // the line after its last one
    int keyLine(int section, const std::string& key) const;              // -1 when absent

    UnicodeString path_;
    std::string bom_;  // a UTF-8 byte order mark the file began with, kept when written
    std::vector<Line> lines_;
};
