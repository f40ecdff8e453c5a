#include "frame_reader.h"

#include <cstdio>
#include <stdexcept>

#include "platform/DecoderThreads.h"

// Through the FFmpeg back-end alone: other back-ends print their own failures for a file that FFmpeg cannot
// open, or take it for a picture sequence. Frames come as stored, never turned by the file's rotation flag, so
// that they match the picture size that ffprobe gives the client (and the display ratio taken from it). A
// library without automatic rotation cannot turn them either, so the result of that setting does not matter.
bool OpenVideo(cv::VideoCapture& capture, const char* path, int decoderThreads)
{
    {
        const DecoderThreads threads(decoderThreads);
        if (!capture.open(path, cv::CAP_FFMPEG, threads.OpenParameters()))
            return false;
    }
    capture.set(cv::CAP_PROP_ORIENTATION_AUTO, 0);
    return true;
}

bool ReadFrame(cv::VideoCapture& capture, int frame, cv::Size frameSize, cv::Mat& picture, double& timestamp)
{
    if (!capture.read(picture))
        return false;
    timestamp = capture.get(cv::CAP_PROP_POS_MSEC);
    if (picture.size() != frameSize) {
        char message[200];
        std::snprintf(message, sizeof message,
                      "The picture size changes from %ix%i to %ix%i at frame %i: the video cannot be worked in one "
                      "piece!",
                      frameSize.width, frameSize.height, picture.cols, picture.rows, frame);
        throw std::runtime_error(message);
    }
    return true;
}

FrameReader::FrameReader(cv::VideoCapture& capture, int firstFrame, int endFrame, cv::Size frameSize)
    : capture_(capture),
      firstFrame_(firstFrame),
      endFrame_(endFrame),
      frameSize_(frameSize),
      thread_(&FrameReader::ReadFrames, this)
{
}

FrameReader::~FrameReader()
{
    {
        const std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

const cv::Mat* FrameReader::Next()
{
    std::unique_lock lock(mutex_);
    givenBack_ = handedOut_;  // the caller is done with the frame handed out before
    changed_.notify_all();
    changed_.wait(lock, [this] { return readFrames_ > handedOut_ || readingEnded_; });
    if (readFrames_ > handedOut_)
        return &ring_[handedOut_++ % kRing];
    if (error_)
        std::rethrow_exception(error_);
    return nullptr;
}

void FrameReader::ReadFrames()
{
    std::exception_ptr error;
    try {
        for (int frame = 0; frame < endFrame_ - firstFrame_; ++frame) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return frame < givenBack_ + kRing || stopRequested_; });
                if (stopRequested_)
                    break;
            }
            // This buffer is neither handed out nor waiting, so it is read without the lock.
            if (!ReadFrame(capture_, firstFrame_ + frame, frameSize_, ring_[frame % kRing], timestamps_[frame % kRing]))
                break;
            {
                const std::lock_guard lock(mutex_);
                readFrames_ = frame + 1;
            }
            changed_.notify_all();
        }
    } catch (...) {
        error = std::current_exception();
    }
    {
        const std::lock_guard lock(mutex_);
        error_ = error;
        readingEnded_ = true;
    }
    changed_.notify_all();
}
