#include "progress_line.h"

#include "platform/Console.h"

ProgressLine::ProgressLine(std::FILE* out) : out_(out), inPlace_(IsTerminal(out)) {}

void ProgressLine::Tick(int frameIndex, int frameCount)
{
    if (counter_ >= 10000) {
        counter_ = 0;
        if (inPlace_ && printedBefore_)
            std::fputs("\x1b[1A\r\x1b[2K", out_);  // back to the start of the previous line, cleared
        const long long percent = frameIndex * 100LL / frameCount;
        std::fprintf(out_, "Processed: %lli%% (%i / %i)\n", percent, frameIndex, frameCount);
        std::fflush(out_);
        printedBefore_ = true;
    }
    ++counter_;
}
