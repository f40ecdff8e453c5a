#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/LocalTime.h"

namespace fs = std::filesystem;

namespace {

fs::path toPath(const UnicodeString& s) { return fs::path(s.ToPathBytes()); }

// The path without trailing separators, so that its file name is the last folder's name.
fs::path normalised(const UnicodeString& s) {
    fs::path p = toPath(s).lexically_normal();
    if (p.filename().empty() && p.has_parent_path() && p != p.root_path()) p = p.parent_path();
    return p;
}

bool isDot(const std::string& name) { return name == "." || name == ".."; }

// Whether inner is outer or lies inside it; true when either cannot be made absolute (the current
// folder is gone), so that the caller leaves such a folder alone.
bool contains(const fs::path& outer, const fs::path& inner) {
    std::error_code ea, eb;
    const fs::path a = fs::absolute(outer, ea).lexically_normal(), b = fs::absolute(inner, eb).lexically_normal();
    if (ea || eb) return true;
    auto [ai, bi] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return ai == a.end();
}

}  // namespace

bool FileExists(const UnicodeString& path) {
    struct stat st;
    return stat(path.ToPathBytes().c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const UnicodeString& path) {
    struct stat st;
    return stat(path.ToPathBytes().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const UnicodeString& path) {
    const std::string p = path.ToPathBytes();
    struct stat st;
    if (lstat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) return false;  // read-only (faReadOnly) stays
    return unlink(p.c_str()) == 0;
}

bool CreateDir(const UnicodeString& path) { return mkdir(path.ToPathBytes().c_str(), 0777) == 0; }

std::int64_t FileSize(const UnicodeString& path) {
    struct stat st;
    if (stat(path.ToPathBytes().c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return 0;
    return static_cast<std::int64_t>(st.st_size);
}

UnicodeString ExtractFileDir(const UnicodeString& path) {
    int i = path.Length();
    while (i > 0 && path[i] != PathDelim) --i;
    if (i > 1 && path[i - 1] != PathDelim) --i;
    return path.SubString(1, i);
}

UnicodeString ExtractFileName(const UnicodeString& path) {
    int i = path.Length();
    while (i > 0 && path[i] != PathDelim) --i;
    return path.SubString(i + 1, path.Length());
}

UnicodeString ExecutablePath() {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", target.data(), target.size());
        if (length < 0) return UnicodeString();
        if (static_cast<size_t>(length) < target.size()) {
            target.resize(static_cast<size_t>(length));
            return UnicodeString::FromPathBytes(target);
        }
        target.resize(target.size() * 2);  // possibly cut short: read again into more room
    }
}

int FindFirst(const UnicodeString& pattern, int attr, TSearchRec& rec) {
    FindClose(rec);
    const UnicodeString folder = ExtractFileDir(pattern);
    rec.Folder =
        folder.IsEmpty() ? (pattern.SubString(1, 1) == UnicodeString(PathDelim) ? "/" : ".") : folder.ToPathBytes();
    rec.Mask = ExtractFileName(pattern).ToPathBytes();
    rec.ExcludeAttr = (faHidden | faSysFile | faDirectory) & ~attr;
    rec.FindHandle = opendir(rec.Folder.c_str());
    if (!rec.FindHandle) return errno ? errno : ENOENT;
    const int result = FindNext(rec);
    if (result != 0) FindClose(rec);
    return result;
}

int FindNext(TSearchRec& rec) {
    if (!rec.FindHandle) return ENOENT;
    const bool matchAll = rec.Mask == "*" || rec.Mask == "*.*";
    while (const dirent* entry = readdir(static_cast<DIR*>(rec.FindHandle))) {
        const std::string name = entry->d_name;
        if (!matchAll && fnmatch(rec.Mask.c_str(), name.c_str(), 0) != 0) continue;
        struct stat st;
        if (lstat((rec.Folder + "/" + name).c_str(), &st) != 0) continue;
        int attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
        if (name[0] == '.' && !isDot(name)) attr |= faHidden;
        if (!(st.st_mode & S_IWUSR)) attr |= faReadOnly;
        if (attr & rec.ExcludeAttr) continue;
        rec.Name = UnicodeString::FromPathBytes(name);
        rec.Attr = attr;
        rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
        return 0;
    }
    return ENOENT;
}

void FindClose(TSearchRec& rec) {
    if (rec.FindHandle) closedir(static_cast<DIR*>(rec.FindHandle));
    rec.FindHandle = nullptr;
}

namespace {

// trash with its files/ and info/ folders, made owner-only where missing (what was deleted is
// nobody else's to read); nullopt when they cannot be had.
std::optional<fs::path> trashAt(const fs::path& trash) {
    for (const fs::path& folder : {trash, trash / "files", trash / "info"}) ::mkdir(folder.c_str(), 0700);
    std::error_code ec;
    if (!fs::is_directory(trash / "files", ec) || !fs::is_directory(trash / "info", ec)) return std::nullopt;
    return trash;
}

// The user's trash: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash, with the data folders on the way made
// owner-only where missing, as the freedesktop.org trash layout asks; nullopt when the user has no home to hold it.
std::optional<fs::path> homeTrash() {
    fs::path data;
    std::error_code ec;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') data = xdg;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/' && fs::is_directory(home, ec))
        data = fs::path(home) / ".local/share";
    else return std::nullopt;
    fs::path made;
    for (const fs::path& part : data) ::mkdir((made /= part).c_str(), 0700);
    return data / "Trash";
}

// The top folder of the file system that holds absolute: its highest ancestor on the same device.
fs::path topFolder(const fs::path& absolute) {
    fs::path top = absolute.parent_path();
    struct stat here, up;
    if (stat(top.c_str(), &here) != 0) return top;
    while (top != top.root_path() && stat(top.parent_path().c_str(), &up) == 0 && up.st_dev == here.st_dev)
        top = top.parent_path();
    return top;
}

// The trash of the file system under top: the shared $top/.Trash/$uid when an administrator made
// $top/.Trash (a real, sticky folder), else $top/.Trash-$uid; each only when it is the user's own folder.
std::optional<fs::path> volumeTrash(const fs::path& top) {
    const std::string uid = std::to_string(getuid());
    auto own = [](const fs::path& folder) -> std::optional<fs::path> {
        ::mkdir(folder.c_str(), 0700);
        struct stat st;
        if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return std::nullopt;
        return trashAt(folder);
    };
    struct stat shared;
    if (lstat((top / ".Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX)) {
        if (auto trash = own(top / ".Trash" / uid)) return trash;
    }
    return own(top / (".Trash-" + uid));
}

std::string percentEncoded(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

enum class Trashed { yes, otherDevice, no };

// Moves absolute into trash with its .trashinfo record, whose Path is recordedPath.
Trashed moveInto(const fs::path& trash, const fs::path& absolute, const std::string& recordedPath) {
    const std::string base = absolute.filename().string();
    char date[32];
    const std::tm local = LocalTime(std::time(nullptr));
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string info = "[Trash Info]\nPath=" + percentEncoded(recordedPath) + "\nDeletionDate=" + date + "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const fs::path infoFile = trash / "info" / (name + ".trashinfo");
        const int fd = open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return Trashed::no;
        }
        const bool written = write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
        close(fd);
        std::error_code ec, renamed;
        const fs::path target = trash / "files" / name;
        // A name taken in files/ without its record (left by a crash or another program) is
        // passed over like a taken record, never a reason to delete for good.
        const bool taken = fs::exists(fs::symlink_status(target, ec));
        if (written && !taken) {
            fs::rename(absolute, target, renamed);
            if (!renamed) return Trashed::yes;
        }
        fs::remove(infoFile, ec);
        if (written && taken) continue;
        return renamed == std::errc::cross_device_link ? Trashed::otherDevice : Trashed::no;
    }
    return Trashed::no;
}

// Moves absolute (normal, below a root) into the user's trash at home, or, when it lies on another file
// system than that, into the trash of its own file system; when neither can take it, it stays where it is.
void moveToTrash(const fs::path& home, const fs::path& absolute) {
    const auto trash = trashAt(home);
    if (!trash || moveInto(*trash, absolute, absolute.string()) != Trashed::otherDevice) return;
    const fs::path top = topFolder(absolute);
    // Records in a file system's own trash name the entry relative to its top folder.
    if (const auto own = volumeTrash(top)) moveInto(*own, absolute, absolute.lexically_relative(top).string());
}

// "name (2)", "name (3)", ... beside target: the first that is free.
fs::path freeName(const fs::path& target) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(target, ec))) return target;
    for (int n = 2;; ++n) {
        fs::path candidate = target.parent_path() / (target.filename().string() + " (" + std::to_string(n) + ")");
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
}

fs::path targetFor(const fs::path& source, const UnicodeString& destination) {
    const fs::path dest = normalised(destination);
    std::error_code ec;
    return fs::is_directory(dest, ec) ? dest / source.filename() : dest;
}

}  // namespace

void ShellDeleteDirectory(const UnicodeString& path) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(normalised(path), ec))) return;
    fs::path p = fs::absolute(normalised(path), ec).lexically_normal();
    if (p.filename().empty()) p = p.parent_path();  // "dir/." normalises to "dir/"
    if (ec || p.filename().empty()) return;         // a root is never removed, as the shell refuses a drive
    // The user gets the folder back from the trash or keeps it where it is: nothing is deleted for good.
    if (const auto home = homeTrash()) moveToTrash(*home, p);
}

void ShellMoveDirectory(const UnicodeString& source, const UnicodeString& destination) {
    const fs::path src = normalised(source);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(src, ec))) return;
    const fs::path place = targetFor(src, destination);
    if (fs::equivalent(src, place, ec)) return;  // already there: nothing to move, nothing to rename
    const fs::path target = freeName(place);
    if (contains(src, target)) return;  // a folder cannot move into itself
    fs::create_directories(target.parent_path(), ec);
    fs::rename(src, target, ec);
    if (ec == std::errc::cross_device_link) {
        fs::copy(src, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
        if (!ec) fs::remove_all(src, ec);
    }
}

void ShellCopyDirectory(const UnicodeString& source, const UnicodeString& destination) {
    const fs::path src = normalised(source);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(src, ec))) return;
    const fs::path target = targetFor(src, destination);
    if (contains(src, target)) return;  // copying a folder into itself would never end
    fs::create_directories(target.parent_path(), ec);
    fs::copy(src, target,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing | fs::copy_options::copy_symlinks, ec);
}
