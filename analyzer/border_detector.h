#pragma once
#include <opencv2/core/mat.hpp>

#include <string>

// Running minima of the black bars on each side of the sample frames. A single bright sample is enough
// to reveal the true edge of the picture; a dark scene in another sample cannot widen the bars.
struct BorderDetector {
    int top = 1000;
    int bottom = 1000;
    int left = 1000;
    int right = 1000;
    int frameWidth = 0;   // size of the last frame measured
    int frameHeight = 0;
    int darkThreshold = 40;  // a channel at or below it is dark
    int darkShare = 80;      // least percentage of dark pixels in a border line
    int runShare = 60;       // least percentage of the line covered by its longest dark run
};

// Measures the four bars of one 8-bit BGR frame with continuous rows (at least 1 x 1) and lowers the
// detector's minima to them; records the frame's size.
void DetectBorders(BorderDetector& detector, const cv::Mat& frame);

// The console line that reports a 16:9 crop of wide content, or an empty text for narrower content.
std::string SelectAspectCrop(const BorderDetector& detector);
