#include "frame_digest.h"

#include <gtest/gtest.h>

namespace {

// A frame whose bytes all differ from their neighbours, 7 x 5 pixels: 105 bytes, so the last 9 fall outside the
// 32-byte blocks.
cv::Mat PatternFrame()
{
    cv::Mat frame(5, 7, CV_8UC3);
    for (std::size_t i = 0; i < frame.total() * frame.elemSize(); ++i)
        frame.data[i] = static_cast<unsigned char>(i * 37 + 11);
    return frame;
}

TEST(FrameDigest, EqualFramesAtEqualTimesGiveEqualDigests)
{
    EXPECT_EQ(DigestFrame(PatternFrame(), 40.0, false), DigestFrame(PatternFrame().clone(), 40.0, false));
}

TEST(FrameDigest, EveryByteAndTheTimeStampCount)
{
    const FrameDigest original = DigestFrame(PatternFrame(), 40.0, false);
    EXPECT_NE(DigestFrame(PatternFrame(), 80.0, false), original);
    for (int at : {0, 31, 32, 63, 95, 96, 104}) {
        cv::Mat changed = PatternFrame();
        changed.data[at] ^= 1;
        const FrameDigest digest = DigestFrame(changed, 40.0, false);
        EXPECT_NE(digest.bytes[0], original.bytes[0]) << "byte " << at;
        EXPECT_NE(digest.bytes[1], original.bytes[1]) << "byte " << at;
    }
    // The same bytes in another order.
    cv::Mat swapped = PatternFrame();
    std::swap(swapped.data[0], swapped.data[8]);
    EXPECT_NE(DigestFrame(swapped, 40.0, false), original);
}

TEST(FrameDigest, SameFrameNeedsEqualBytesAndEqualTimeStampsWhereBothAreTold)
{
    cv::Mat other = PatternFrame();
    other.data[50] ^= 1;
    struct Case {
        const char* what;
        FrameDigest a;
        FrameDigest b;
        bool same;
    };
    const Case cases[] = {
        {"equal", DigestFrame(PatternFrame(), 40.0, false), DigestFrame(PatternFrame(), 40.0, false), true},
        {"other time", DigestFrame(PatternFrame(), 40.0, false), DigestFrame(PatternFrame(), 80.0, false), false},
        {"other bytes", DigestFrame(PatternFrame(), 40.0, false), DigestFrame(other, 40.0, false), false},
        // A 0 past the first frame is no time stamp: only the bytes count.
        {"one untold", DigestFrame(PatternFrame(), 40.0, false), DigestFrame(PatternFrame(), 0.0, false), true},
        {"other untold", DigestFrame(PatternFrame(), 0.0, false), DigestFrame(PatternFrame(), 40.0, false), true},
        {"untold, other bytes", DigestFrame(PatternFrame(), 0.0, false), DigestFrame(other, 40.0, false), false},
        // The first frame's 0 is its time stamp.
        {"first frame at 0", DigestFrame(PatternFrame(), 0.0, true), DigestFrame(PatternFrame(), 40.0, false), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SameFrame(c.a, c.b), c.same) << c.what;
}

}  // namespace
