#include "platform/DecoderThreads.h"

#include <opencv2/core/version.hpp>

#if CV_VERSION_MAJOR > 4 || (CV_VERSION_MAJOR == 4 && CV_VERSION_MINOR >= 7)

#include <opencv2/videoio.hpp>

DecoderThreads::DecoderThreads(int threads)
{
    if (threads > 0)
        openParameters_ = {cv::CAP_PROP_N_THREADS, threads};
}

DecoderThreads::~DecoderThreads() = default;

#else

#include <unistd.h>

// The C library's own sysconf, under the name that glibc exports beside it.
extern "C" long __sysconf(int name) noexcept;

namespace {

// The decoder threads asked for by the captures that this thread opens, or 0. Constant-initialised, so valid from
// the thread's start, before any constructor.
thread_local long decoderThreadsAsked = 0;

}  // namespace

extern "C" __attribute__((no_sanitize("thread", "address", "undefined"))) long sysconf(int name) noexcept
{
    if (name == _SC_NPROCESSORS_ONLN && decoderThreadsAsked > 0)
        return decoderThreadsAsked;
    return __sysconf(name);
}

DecoderThreads::DecoderThreads(int threads)
{
    decoderThreadsAsked = threads > 0 ? threads : 0;
}

DecoderThreads::~DecoderThreads()
{
    decoderThreadsAsked = 0;
}

#endif
