#pragma once
#include <opencv2/core/mat.hpp>

#include <array>
#include <cstdint>

// What tells two decoded frames apart: a 128-bit digest of the picture's bytes and the frame's time stamp.
// Two frames with equal digests are taken to be equal byte for byte; the digest is built for speed (a frame
// of 1080p takes about a millisecond), not against frames made to collide.
struct FrameDigest {
    std::array<std::uint64_t, 2> bytes{};
    double timestamp = 0;

    bool operator==(const FrameDigest&) const = default;
};

// Digest of an 8-bit frame with continuous rows and its time stamp in milliseconds.
FrameDigest DigestFrame(const cv::Mat& frame, double timestamp);
