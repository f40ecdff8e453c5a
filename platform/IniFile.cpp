#include "platform/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Exception.h"
#include "platform/OpenedFile.h"

namespace {

// A value longer than this is cut when read.
constexpr int MaxValueLength = 2047;

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The name of a "[name]" line, or nothing when the line is no section header.
bool sectionName(std::string_view line, std::string_view& name)
{
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[')
        return false;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return false;
    name = trimmed(line.substr(1, close - 1));
    return true;
}

// The key of a "key=value" line (blanks around the key ignored); false for comments and other lines.
bool keyName(std::string_view line, std::string_view& key, std::string_view& value)
{
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || line.empty() || line.front() == ';')
        return false;
    key = trimmed(line.substr(0, eq));
    value = line.substr(eq + 1);
    return true;
}

// Puts a rename in the folder of `path` on the disk; a folder that cannot be opened or synced loses only that.
void syncFolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Replaces the file at `path` by `bytes`. They go to a file of a new name beside it, created exclusively (so no
// name that exists already, link or not, is ever opened), owner-only from the start, since the settings hold a
// password; once they are on the disk, that file is renamed over the old one. A failure leaves the old file as it
// was and removes the new one.
bool replaceFile(const std::string& path, std::string_view bytes)
{
    std::string temporary = path + ".new-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    written = written && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolderOf(path);
    return true;
}

}  // namespace

TIniFile::TIniFile(const UnicodeString& path) : path_(path)
{
    const std::string bytes = OpenedFile(path).ReadAll().value_or(std::string());
    size_t start = 0;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        bom_ = bytes.substr(0, 3);
        start = 3;
    }
    while (start < bytes.size()) {
        const size_t lf = bytes.find('\n', start);
        Line line;
        if (lf == std::string::npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            line.text = bytes.substr(start, lf - start);
            line.newline = '\n';
            start = lf + 1;
        }
        if (!line.newline.empty() && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.newline = "\r\n";
        }
        lines_.push_back(std::move(line));
    }
}

UnicodeString TIniFile::ReadString(const UnicodeString& section, const UnicodeString& key,
                                   const UnicodeString& defaultValue) const
{
    const int line = keyLine(sectionLine(section.ToUtf8()), key.ToUtf8());
    if (line < 0)
        return defaultValue;
    std::string_view name, value;
    keyName(lines_[line].text, name, value);
    return UnicodeString(value).SubString(1, MaxValueLength);
}

void TIniFile::WriteString(const UnicodeString& section, const UnicodeString& key, const UnicodeString& value)
{
    // A key is one line: a value is stored up to its first line break, so that pasted text can never add keys
    // or sections of its own to the file.
    std::string stored = value.ToUtf8();
    stored.resize(std::min(stored.find_first_of("\r\n"), stored.size()));
    const std::string text = key.ToUtf8() + "=" + stored;
    int header = sectionLine(section.ToUtf8());
    if (header < 0) {
        if (!lines_.empty() && lines_.back().newline.empty())
            lines_.back().newline = '\n';
        lines_.push_back({'[' + section.ToUtf8() + ']', "\n"});
        header = static_cast<int>(lines_.size()) - 1;
    }
    const int existing = keyLine(header, key.ToUtf8());
    if (existing >= 0) {
        lines_[existing].text = text;
        return;
    }
    // After the section's last key line, so that blank lines and comments before the next section stay there.
    int at = sectionEnd(header);
    while (at - 1 > header && trimmed(lines_[at - 1].text).empty())
        --at;
    const std::string newline = lines_[header].newline.empty() ? "\n" : lines_[header].newline;
    if (lines_[at - 1].newline.empty())
        lines_[at - 1].newline = newline;
    lines_.insert(lines_.begin() + at, Line{text, newline});
}

void TIniFile::UpdateFile() const
{
    const std::string path = path_.ToPathBytes();
    std::string bytes = bom_;
    for (const Line& line : lines_)
        bytes += line.text + line.newline;
    if (!replaceFile(path, bytes))
        throw Exception(Format("Unable to write to %s", path.c_str()));
}

int TIniFile::sectionLine(const std::string& section) const
{
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
        std::string_view name;
        if (sectionName(lines_[i].text, name) && sameName(name, section))
            return i;
    }
    return -1;
}

int TIniFile::sectionEnd(int section) const
{
    int i = section + 1;
    std::string_view name;
    while (i < static_cast<int>(lines_.size()) && !sectionName(lines_[i].text, name))
        ++i;
    return i;
}

int TIniFile::keyLine(int section, const std::string& key) const
{
    if (section < 0)
        return -1;
    for (int i = section + 1; i < sectionEnd(section); ++i) {
        std::string_view name, value;
        if (keyName(lines_[i].text, name, value) && sameName(name, key))
            return i;
    }
    return -1;
}
