#pragma once
#include <opencv2/core/mat.hpp>
#include <opencv2/videoio.hpp>

#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

// Opens a video for reading its frames as stored, through the FFmpeg back-end alone; false when it cannot. The
// capture decodes on as many threads as the machine has cores, or on decoderThreads where that is above 0.
bool OpenVideo(cv::VideoCapture& capture, const char* path, int decoderThreads = 0);

// Reads the capture's next frame, numbered frame, and its time stamp in milliseconds; false at the end of the
// stream or at damaged data. Throws std::runtime_error for a frame that is not of frameSize.
bool ReadFrame(cv::VideoCapture& capture, int frame, cv::Size frameSize, cv::Mat& picture, double& timestamp);

// Decodes the frames of the main pass on a thread of its own, a couple of frames ahead of the stages
// that work on them, so that decoding and the per-frame writers overlap. The frames go into a small ring
// of buffers that is reused for the whole pass; the frames come out in stream order, each exactly once.
class FrameReader {
public:
    // Starts reading frames firstFrame to endFrame - 1 from the capture's current position, which must be
    // firstFrame. Every frame must have frameSize. The capture is the reader's alone until the reader is
    // destroyed.
    FrameReader(cv::VideoCapture& capture, int firstFrame, int endFrame, cv::Size frameSize);
    // Stops reading (after the read in progress) and waits for the reading thread.
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // The next frame, valid until the following call; nullptr once frame endFrame - 1 is out or a read
    // has failed (end of stream, damaged data), and the capture is then free again. Throws
    // std::runtime_error for a frame of another size and rethrows an error of the video library, both
    // after the frames read before it.
    const cv::Mat* Next();

    // The time stamp in milliseconds that the capture gave the frame handed out last.
    double Timestamp() const { return timestamps_[(handedOut_ - 1) % kRing]; }

private:
    void ReadFrames();

    // The frame handed out last, two being read ahead.
    static constexpr int kRing = 3;

    cv::VideoCapture& capture_;
    const int firstFrame_;
    const int endFrame_;
    const cv::Size frameSize_;
    std::array<cv::Mat, kRing> ring_;
    std::array<double, kRing> timestamps_{};

    std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by mutex_, counted from firstFrame_: frame r sits in ring_[r % kRing]; the reader fills
    // frame r only once the frames before r - kRing + 1 have been given back.
    int readFrames_ = 0;      // frames completely read
    int handedOut_ = 0;       // frames handed out by Next
    int givenBack_ = 0;       // frames whose buffer may be filled again
    bool readingEnded_ = false;
    bool stopRequested_ = false;
    std::exception_ptr error_;

    std::thread thread_;  // last: starts once everything above is in place
};
