#include "screenshot_plan.h"

#include "crt_rand.h"

#include <algorithm>

namespace {

struct MarkStep {
    double fromSeconds;
    int minutes;
};

// Longest durations first: the first row a duration reaches decides.
constexpr MarkStep kMarkSteps[] = {{7200, 24}, {5400, 14}, {3600, 10}, {1800, 6}, {1200, 4}, {600, 2}, {300, 1}};

}  // namespace

int ScreenshotMarkMinutes(double durationSeconds)
{
    for (const MarkStep& step : kMarkSteps)
        if (durationSeconds >= step.fromSeconds)
            return step.minutes;
    return 0;
}

ScreenshotFrames ChooseScreenshotFrames(int frameCount, double frameRate)
{
    ScreenshotFrames frames{};
    const double duration = frameCount / frameRate;
    const int minutes = ScreenshotMarkMinutes(duration);
    std::size_t next = 0;
    if (minutes > 0)
        for (int k = 1; k <= 5; ++k)
            frames[next++] = static_cast<int>(frameRate * k * minutes * 60);

    // A pick that repeats an earlier entry is drawn again (a record is saved with ten different screenshots),
    // where the range offers at least ten values: the generator runs through all of them, so a free one comes.
    const int range = frameCount - 200;
    const bool distinct = range >= 10;
    CrtRand generator(static_cast<unsigned>(frameCount));
    while (next < frames.size()) {
        const int pick = static_cast<int>(generator.Next() / static_cast<double>(CrtRand::kMax) * range);
        if (!distinct || std::find(frames.begin(), frames.begin() + next, pick) == frames.begin() + next)
            frames[next++] = pick;
    }
    return frames;
}
