#pragma once
#include <opencv2/core/mat.hpp>

#include <array>
#include <cstdint>

// What tells two decoded frames apart: a 128-bit digest of the picture's bytes and the frame's time stamp, where
// the capture told it. Two frames with equal digests are taken to be equal byte for byte; the digest is built for
// speed (a frame of 1080p takes about a millisecond), not against frames made to collide.
struct FrameDigest {
    std::array<std::uint64_t, 2> bytes{};
    double timestamp = 0;
    bool timed = true;  // false where the capture gave the frame no time stamp of its own

    bool operator==(const FrameDigest&) const = default;
};

// Digest of an 8-bit frame with continuous rows and its time stamp in milliseconds. The video library gives 0 for
// the time stamp of a frame that its decoder hands out before the next packet is read (on decoder threads: the
// frame after a hidden VP9 or AV1 frame, and the frames at the end of the stream), so a time stamp of 0 tells
// nothing past the capture's first frame.
FrameDigest DigestFrame(const cv::Mat& frame, double timestamp, bool firstFrame);

// Whether two digests may be of the same frame: equal bytes, and equal time stamps wherever both are told. A
// capture that numbers its frames wrongly gives another time stamp to every frame, so the told ones show it.
bool SameFrame(const FrameDigest& a, const FrameDigest& b);
