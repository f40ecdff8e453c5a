#include "capture_memory.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

namespace {

constexpr double kDecodedPictures = 16 + 2;
constexpr double kConvertedFramesOneThread = 7;
constexpr double kConvertedFramesLibraryThreads = 13;
constexpr int kMostDecoderThreads = 16;  // the library gives a decoder no more, whatever the cores
constexpr double kMostBytesPerPixel = 6;

}  // namespace

double DecodedBytesPerPixel(double codecPixelFormat)
{
    if (!(codecPixelFormat > 0))
        return kMostBytesPerPixel;
    const auto code = static_cast<std::uint32_t>(codecPixelFormat);
    const auto byte = [code](int at) { return static_cast<char>((code >> (8 * at)) & 0xFF); };
    if (byte(0) == 'Y' && byte(1) == '3') {
        const double samples = byte(2) == 11 ? 1.5 : byte(2) == 10 ? 2 : 3;
        return samples * (byte(3) > 8 ? 2 : 1);
    }
    static constexpr std::pair<std::string_view, double> kEightBit[] = {
        {"I420", 1.5}, {"YV12", 1.5}, {"NV12", 1.5}, {"NV21", 1.5}, {"Y42B", 2},
        {"YUY2", 2},   {"UYVY", 2},   {"444P", 3},   {"Y800", 1},
    };
    const char name[] = {byte(0), byte(1), byte(2), byte(3)};
    for (const auto& [known, bytes] : kEightBit)
        if (known == std::string_view(name, 4))
            return bytes;
    return kMostBytesPerPixel;
}

CaptureMemory MemoryOfACapture(cv::Size frameSize, double decodedBytesPerPixel, int cores)
{
    const double picture = frameSize.area() * decodedBytesPerPixel;
    const double converted = frameSize.area() * 3.0;
    const int threads = std::clamp(cores, 1, kMostDecoderThreads);
    return {kDecodedPictures * picture + kConvertedFramesOneThread * converted,
            (kDecodedPictures + threads) * picture + kConvertedFramesLibraryThreads * converted};
}
