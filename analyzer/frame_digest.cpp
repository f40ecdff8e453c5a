#include "frame_digest.h"

#include <cstring>

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;

std::uint64_t RotateLeft(std::uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

// One lane step: every input bit reaches the whole lane within a few steps.
std::uint64_t Mix(std::uint64_t lane, std::uint64_t word)
{
    return RotateLeft(lane + word * kPrime2, 31) * kPrime1;
}

std::uint64_t Avalanche(std::uint64_t h)
{
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return h;
}

}  // namespace

FrameDigest DigestFrame(const cv::Mat& frame, double timestamp, bool firstFrame)
{
    CV_Assert(frame.isContinuous());
    const auto* bytes = frame.ptr<unsigned char>();
    const std::size_t size = frame.total() * frame.elemSize();

    // Four independent lanes over 32-byte blocks keep the processor's multipliers busy.
    std::array<std::uint64_t, 4> lanes{kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    std::size_t at = 0;
    for (; at + 32 <= size; at += 32)
        for (int lane = 0; lane < 4; ++lane) {
            std::uint64_t word;
            std::memcpy(&word, bytes + at + 8 * lane, 8);
            lanes[lane] = Mix(lanes[lane], word);
        }
    std::uint64_t tail = size;
    for (; at < size; ++at)
        tail = Mix(tail, bytes[at]);

    FrameDigest digest;
    digest.timestamp = timestamp;
    digest.timed = firstFrame || timestamp != 0;
    digest.bytes[0] = Avalanche(RotateLeft(lanes[0], 1) + RotateLeft(lanes[1], 7) + RotateLeft(lanes[2], 12) +
                                RotateLeft(lanes[3], 18) + tail);
    digest.bytes[1] = Avalanche(Mix(Mix(Mix(Mix(tail, lanes[3]), lanes[2]), lanes[1]), lanes[0]));
    return digest;
}

bool SameFrame(const FrameDigest& a, const FrameDigest& b)
{
    return a.bytes == b.bytes && (a.timestamp == b.timestamp || !a.timed || !b.timed);
}
