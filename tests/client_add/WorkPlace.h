#pragma once
// A client folder for tests: a fresh temporary folder with its temp/ work folder, made CurPath and taken as the
// work folder, into which tests put the outside programs (links to the built ones or small shell scripts standing
// in for them).

#include <filesystem>
#include <string>

class WorkPlace {
public:
    WorkPlace();   // creates the folder, sets CurPath to it and takes its temp/
    ~WorkPlace();  // removes it

    std::filesystem::path root() const { return root_; }
    std::filesystem::path temp() const { return root_ / "temp"; }

    // An executable shell script named `name` in the client folder.
    void script(const std::string& name, const std::string& body) const;
    // A symbolic link named `name` in the client folder to the program at `target`.
    void link(const std::string& name, const std::string& target) const;
    void write(const std::filesystem::path& path, const std::string& bytes) const;

private:
    std::filesystem::path root_;
};

std::string readFile(const std::filesystem::path& path);

// Makes a short test video at 25 frames a second with ffmpeg from a lavfi source; `filters` may be empty.
// Returns its path.
std::filesystem::path makeVideo(const std::filesystem::path& folder, const std::string& name, const std::string& size,
                                const std::string& filters = "", int seconds = 1);

// The MD5 digest of a file in lower-case hexadecimal, by md5sum.
std::string md5sumOf(const std::filesystem::path& path);

// A stand-in for the analyzer that writes the five outputs as the real one names them, with the info file
// given, and logs its arguments (one a line, then "--") to analyzer.log in the client folder. A file named
// "delay" in the client folder makes it sleep that many seconds first.
std::string fakeAnalyzerScript(const std::string& infoFile);
