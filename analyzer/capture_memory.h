#pragma once
#include <opencv2/core/types.hpp>

// What one capture of a video holds in memory while it reads, by the way it decodes: its decoder's pictures (the
// references, up to the 16 that H.264 and HEVC keep, the picture being decoded and the one handed out, and on the
// library's decoder threads one more for each thread) and the frames converted from them to 8-bit BGR (the
// library's own, the frame read, the read-ahead ring; more on the library's threads, whose pictures are freed
// later).
struct CaptureMemory {
    double oneThread = 0;       // bytes, decoding on one thread
    double libraryThreads = 0;  // bytes, decoding on the library's threads
};

// The bytes that a decoded picture takes a pixel, from the pixel format that the video library gives as
// CAP_PROP_CODEC_PIXEL_FORMAT, a four-character code: 4:2:0, 4:2:2 or 4:4:4 samples (or grey alone) of one byte
// each, or of two past 8 bits (the codes "Y3" carry the chroma layout and the bit depth). An unknown format (or
// none, -1) counts as the most that a common one takes, 4:4:4 of two bytes.
double DecodedBytesPerPixel(double codecPixelFormat);

// The memory of a capture of frames of frameSize whose decoded pictures take decodedBytesPerPixel, on a machine of
// the given cores (the library's decoder threads).
CaptureMemory MemoryOfACapture(cv::Size frameSize, double decodedBytesPerPixel, int cores);
