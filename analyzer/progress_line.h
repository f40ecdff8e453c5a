#pragma once
#include <cstdio>

// The "Processed" line of the main pass. On a terminal each line is written over the previous one; when
// the output goes to a file or a pipe the lines simply follow each other.
class ProgressLine {
public:
    explicit ProgressLine(std::FILE* out);

    // Called once per frame after its stages; prints after every 10 000 frames.
    void Tick(int frameIndex, int frameCount);

private:
    std::FILE* out_;
    bool inPlace_;
    bool printedBefore_ = false;
    int counter_ = 1;
};
