#include "WorkPlace.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ClientState.h"
#include "WorkFolder.h"

namespace fs = std::filesystem;

WorkPlace::WorkPlace()
{
    std::string pattern = (fs::temp_directory_path() / "tarvello-add-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    fs::create_directory(temp());
    CurPath = UnicodeString(root_.string());
    TakeWorkFolder();
}

WorkPlace::~WorkPlace()
{
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void WorkPlace::script(const std::string& name, const std::string& body) const
{
    write(root_ / name, "#!/bin/sh\n" + body);
    fs::permissions(root_ / name, fs::perms::owner_all);
}

void WorkPlace::link(const std::string& name, const std::string& target) const
{
    fs::create_symlink(target, root_ / name);
}

void WorkPlace::write(const fs::path& path, const std::string& bytes) const
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

namespace {

std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

}  // namespace

fs::path makeVideo(const fs::path& folder, const std::string& name, const std::string& size, const std::string& filters,
                   int seconds)
{
    const fs::path video = folder / name;
    std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=size=" + size +
                          ":rate=25:duration=" + std::to_string(seconds) + " ";
    if (!filters.empty())
        command += "-vf " + filters + " ";
    command += "-c:v mpeg4 -pix_fmt yuv420p '" + video.string() + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("ffmpeg failed: " + command);
    return video;
}

std::string md5sumOf(const fs::path& path)
{
    return run("md5sum '" + path.string() + "'").substr(0, 32);
}

std::string fakeAnalyzerScript(const std::string& infoFile)
{
    return "[ -f delay ] && sleep \"$(cat delay)\"\n"
           "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> analyzer.log\n"
           "echo -- >> analyzer.log\n"
           "head -c 400 /dev/urandom > \"$3\"\n"
           "head -c 900 /dev/urandom > \"$4\"\n"
           "head -c 300 /dev/urandom > \"$7\"\n"
           "for t in 0.00_0 0.40_10 0.80_20 1.20_30 1.60_40 2.00_48 4.00_96 6.00_144 8.00_192 10.00_240; do\n"
           "  printf 'shot %s' $t > \"$5/$6_$t.jpg\"\n"
           "done\n"
           "printf '" + infoFile + "' > \"$8\"\n";
}
