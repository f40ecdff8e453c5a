#include "frame_reader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// A capture that makes its frames instead of decoding them: frame i is filled with the value i, in the
// size the script gives for it; reads past the script fail, and a read may be told to throw.
class ScriptedCapture : public cv::VideoCapture {
public:
    explicit ScriptedCapture(std::vector<cv::Size> sizes, int throwAt = -1) : sizes_(std::move(sizes)), throwAt_(throwAt)
    {
    }

    bool read(cv::OutputArray image) override
    {
        const int frame = reads_++;
        if (frame == throwAt_)
            throw cv::Exception(cv::Error::StsError, "decoder broke", "read", __FILE__, __LINE__);
        if (frame >= static_cast<int>(sizes_.size()))
            return false;
        image.create(sizes_[frame], CV_8UC3);
        image.getMat().setTo(cv::Scalar::all(frame % 256));
        return true;
    }

    int reads() const { return reads_; }

private:
    std::vector<cv::Size> sizes_;
    int throwAt_;
    int reads_ = 0;
};

const cv::Size kSize(8, 6);

// The frame values that come out of the reader until it ends, each checked while it is still held.
std::vector<int> Drain(FrameReader& reader)
{
    std::vector<int> values;
    while (const cv::Mat* frame = reader.Next()) {
        EXPECT_EQ(frame->size(), kSize);
        EXPECT_EQ(cv::countNonZero(frame->reshape(1) != frame->data[0]), 0) << "frame mixed with another";
        values.push_back(frame->data[0]);
    }
    return values;
}

TEST(FrameReader, HandsOutEveryFrameInOrderAndStopsAtTheFrameCount)
{
    // Many more frames than the ring holds, so a buffer refilled too early would show as a wrong value.
    ScriptedCapture capture(std::vector<cv::Size>(300, kSize));
    std::vector<int> values;
    {
        FrameReader reader(capture, 0, 200, kSize);
        values = Drain(reader);
        EXPECT_EQ(reader.Next(), nullptr);  // stays at the end
    }
    ASSERT_EQ(values.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(values[i], i);
    EXPECT_EQ(capture.reads(), 200);  // not one frame more than the count
}

TEST(FrameReader, FailedReadEndsThePassAfterTheFramesRead)
{
    ScriptedCapture capture(std::vector<cv::Size>(5, kSize));
    FrameReader reader(capture, 0, 10, kSize);
    EXPECT_EQ(Drain(reader), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(FrameReader, FrameOfAnotherSizeStopsThePassWithAMessage)
{
    std::vector<cv::Size> sizes(6, kSize);
    sizes[4] = cv::Size(10, 6);
    ScriptedCapture capture(sizes);
    FrameReader reader(capture, 0, 6, kSize);
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(reader.Next(), nullptr);
    try {
        reader.Next();
        FAIL() << "no error for the larger frame";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "The picture size changes from 8x6 to 10x6 at frame 4: the video cannot be worked in one piece!");
    }
}

TEST(FrameReader, VideoLibraryErrorReachesTheCaller)
{
    ScriptedCapture capture(std::vector<cv::Size>(10, kSize), 2);
    FrameReader reader(capture, 0, 10, kSize);
    ASSERT_NE(reader.Next(), nullptr);
    ASSERT_NE(reader.Next(), nullptr);
    EXPECT_THROW(reader.Next(), cv::Exception);
}

TEST(FrameReader, LeftEarlyItStopsReadingAhead)
{
    ScriptedCapture capture(std::vector<cv::Size>(1000, kSize));
    {
        FrameReader reader(capture, 0, 1000, kSize);
        ASSERT_NE(reader.Next(), nullptr);
    }  // must not hang on a full ring
    EXPECT_LE(capture.reads(), 4);
}

}  // namespace
