#pragma once
// How many threads the decoder of a video capture gets, asked for while the capture is opened.
//
// The FFmpeg back-end of OpenCV gives a capture's decoder as many threads as sysconf(_SC_NPROCESSORS_ONLN)
// counts processors online. From OpenCV 4.7 on it takes the number as the open parameter CAP_PROP_N_THREADS,
// which OpenParameters then holds. Before 4.7 there is no such parameter, and this unit defines sysconf itself
// instead: while a DecoderThreads of n threads lives, the question for the processors online answers n on the
// thread that made it; every other question, and every other thread, gets the C library's answer. The sanitizer
// run-times and the C library ask sysconf before any constructor has run, so that definition takes no lock,
// allocates nothing and looks nothing up: it reads a thread-local number that is 0 from each thread's start and
// calls the C library's exported __sysconf, outside any sanitizer's instrumentation.
//
// Linking this unit in is what makes the definition override the C library's, for the whole program: a program
// that opens captures through DecoderThreads has it, one that never names DecoderThreads does not.

#include <vector>

class DecoderThreads {
public:
    // For the captures this thread opens until the object is destroyed; threads 0 or below leaves the library's
    // own choice, a thread a core.
    explicit DecoderThreads(int threads);
    ~DecoderThreads();
    DecoderThreads(const DecoderThreads&) = delete;
    DecoderThreads& operator=(const DecoderThreads&) = delete;

    // The parameters of cv::VideoCapture::open that ask for the threads: empty where sysconf answers instead, or
    // where the library's own choice stands.
    const std::vector<int>& OpenParameters() const { return openParameters_; }

private:
    std::vector<int> openParameters_;
};
