#include "ToolRunners.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

#include "ClientState.h"
#include "WorkFolder.h"
#include "platform/Process.h"
#include "platform/StdioFile.h"
#include "platform/Files.h"
#include "platform/StringList.h"
#include "utils/FileOperations.h"
#include "utils/Listing.h"

namespace {

File openForReading(const UnicodeString& path)
{
    return File(std::fopen(path.ToPathBytes().c_str(), "r"));
}

// The next whitespace-separated token, as the C library's "%s" reads it, but of any length.
bool readToken(FILE* f, std::string& token)
{
    token.clear();
    int c;
    while ((c = std::fgetc(f)) != EOF && std::isspace(static_cast<unsigned char>(c))) {
    }
    while (c != EOF && !std::isspace(static_cast<unsigned char>(c))) {
        token.push_back(static_cast<char>(c));
        c = std::fgetc(f);
    }
    return !token.empty();
}

// A capture file starts empty for each run.
void prepareCapture(const UnicodeString& path)
{
    if (FileExists(path))
        DeleteFile(path);
}

// One "%i" conversion of the C library at `text`: leading blanks, a sign, then decimal digits, or hexadecimal
// digits after 0x, or octal digits after 0. Nothing when no number starts there or it does not fit an int, where
// scanf's result would be undefined. `end`, when given, receives the position after the number.
std::optional<int> scanCInt(const char* text, const char** end = nullptr)
{
    errno = 0;
    char* stop = nullptr;
    const long value = std::strtol(text, &stop, 0);
    if (stop == text || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    if (end)
        *end = stop;
    return static_cast<int>(value);
}

// Reads the ratio "a b" ("%i %i") that follows a marker at `start` in the chunk, after blanking the separators
// among the 16 characters behind the one at `start` (the window stops at the chunk's end). Keeps `ratio` when
// the chunk does not hold two integers there or the second is 0.
void readRatio(char* chunk, size_t start, const char* separators, double& ratio)
{
    const size_t length = std::strlen(chunk);
    for (size_t i = start + 1; i <= start + 16 && i < length; ++i)
        if (std::strchr(separators, chunk[i]))
            chunk[i] = ' ';
    const char* rest = chunk + start;
    const std::optional<int> numerator = scanCInt(rest, &rest);
    const std::optional<int> denominator = numerator ? scanCInt(rest) : std::nullopt;
    if (numerator && denominator && *denominator != 0)
        ratio = static_cast<double>(*numerator) / *denominator;
}

// Whether a chunk without ratios starts the stream line of a video ("  Stream #0:0(und): Video: ..."), so that a
// title or comment that merely holds the words "Stream" and "Video" decides nothing.
bool isStreamLine(const char* chunk)
{
    static const std::regex streamLine(R"(^\s*Stream #[^ ]*: Video: )");
    return std::regex_search(chunk, streamLine);
}

// The display ratio of square pixels: width / height of the first frame size ("320x240") after `from`; 0 when
// the line names none. Codec tags such as "0x31637661" are no size.
double frameRatio(const char* from)
{
    static const std::regex frameSize(R"((?:^|[ ,])([1-9][0-9]*)x([1-9][0-9]*)(?![0-9A-Za-z]))");
    std::cmatch size;
    if (!std::regex_search(from, size, frameSize))
        return 0;
    return std::stod(size[1].str()) / std::stod(size[2].str());
}

// A "%i" value of the info file; the field keeps its value when there is no number.
void scanInt(const std::string& text, int32_t& field)
{
    if (const std::optional<int> value = scanCInt(text.c_str()))
        field = *value;
}

// "%lf" with "." as decimal point whatever the locale.
void scanDouble(const std::string& text, double& field)
{
    const char* first = text.c_str();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    if (std::from_chars(first, last, value).ec == std::errc())
        field = value;
}

}  // namespace

bool GetDARInfo(const UnicodeString& source)
{
    const UnicodeString capture = WorkFile("dar.info");
    prepareCapture(capture);
    RunProgram(CurPath, "ffprobe", {source}, capture);

    File f = openForReading(capture);
    if (!f)
        return false;
    // No video takes the ratios of an earlier one: without a video stream line both stay 0.
    VideoInfo.video_sar = VideoInfo.video_dar = 0;
    // One chunk is a line, or up to 199 bytes of a longer one; the first chunk that is a video stream line decides.
    char chunk[200];
    while (std::fgets(chunk, sizeof chunk, f.get())) {
        const char* video = std::strstr(chunk, "Video");
        const char* sar = std::strstr(chunk, "SAR ");
        const char* dar = std::strstr(chunk, "DAR ");
        const bool ratios = sar && dar;
        if (!std::strstr(chunk, "Stream") || !video || (!ratios && !isStreamLine(chunk)))
            continue;
        // ffprobe leaves the ratios out for square or unknown pixels; each ratio it does print replaces these.
        VideoInfo.video_sar = 1;
        VideoInfo.video_dar = frameRatio(video);
        if (ratios) {
            readRatio(chunk, static_cast<size_t>(sar - chunk) + 4, "),:", VideoInfo.video_sar);
            readRatio(chunk, static_cast<size_t>(dar - chunk) + 4, "),:]", VideoInfo.video_dar);
        }
        break;
    }
    return true;
}

bool GetMD5Hash(const UnicodeString& source)
{
    const UnicodeString capture = WorkFile("md5.hash");
    prepareCapture(capture);
    RunProgram(CurPath, "Quillsum", {"md5", source}, capture);

    if (FileExists(capture) && getFileSize(capture) < 20)
        return false;
    File f = openForReading(capture);
    if (!f)
        return false;
    std::string digest;
    readToken(f.get(), digest);
    f.reset();
    VideoInfo.md5 = UnicodeString::FromUtf8(digest);
    DeleteFile(capture);
    return true;
}

bool GetVideoAnalysis(const UnicodeString& source)
{
    const UnicodeString rgb = WorkFile("data.rgb");
    const UnicodeString hashes = WorkFile("hashes.dat");
    if (FileExists(rgb))
        DeleteFile(rgb);
    if (FileExists(hashes))
        DeleteFile(hashes);
    TStringList pictures;
    GetPicturesFromDirectory(WorkFolder(), &pictures);
    for (int i = 0; i < pictures.Count(); ++i)
        DeleteFile(pictures[i]);

    RunProgram(CurPath, "TarvelloScan", {source, FloatToStr(VideoInfo.video_dar), rgb, hashes, WorkFolder(), "ss",
                                WorkFile("table.jpg"), WorkFile("info.dat")});
    return FileExists(rgb) && getFileSize(rgb) > 0;
}

bool GetVideoInfo()
{
    const UnicodeString path = WorkFile("info.dat");
    if (FileExists(path) && getFileSize(path) < 20)
        return false;
    File f = openForReading(path);
    if (!f)
        return false;
    // Tokens are paired, not lines: a value that is empty or holds a blank shifts the pairing.
    std::string key, value;
    while (readToken(f.get(), key) && readToken(f.get(), value)) {
        if (key == "Width:")
            scanInt(value, VideoInfo.width);
        else if (key == "Height:")
            scanInt(value, VideoInfo.height);
        else if (key == "FPS:")
            scanDouble(value, VideoInfo.fps);
        else if (key == "Frames:")
            scanInt(value, VideoInfo.frames);
        else if (key == "ResultWidth:")
            scanInt(value, VideoInfo.used_width);
        else if (key == "ResultHeight:")
            scanInt(value, VideoInfo.used_height);
    }
    f.reset();
    // Seconds with three decimals, rounded down; without a usable frame rate there is no duration.
    const double exact = VideoInfo.frames * 1000.0 / VideoInfo.fps;
    VideoInfo.duration = VideoInfo.fps > 0 && std::isfinite(exact) ? std::floor(exact) / 1000 : 0;
    return true;
}

bool GetTableViewPicture(const UnicodeString& source)
{
    const UnicodeString picture = CurPath + PathDelim + "table.jpg";
    if (FileExists(picture))
        DeleteFile(picture);
    RunProgram(CurPath, "Mosaiq", {"cols=10", "rows=10", "width=1920", source, picture});
    return FileExists(picture) && getFileSize(picture) > 0;
}
