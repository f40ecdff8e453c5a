#include "screenshot_plan.h"

#include <algorithm>
#include <span>

namespace {

struct MarkStep {
    double fromSeconds;
    int minutes;
};

// Longest durations first: the first row a duration reaches decides.
constexpr MarkStep kMarkSteps[] = {{7200, 24}, {5400, 14}, {3600, 10}, {1800, 6}, {1200, 4}, {600, 2}, {300, 1}};

// Ten values are enough for ten different entries: the generator runs through all of them, so a free one comes.
constexpr int kDistinctRange = 10;

int Pick(CrtRand& generator, int range)
{
    return static_cast<int>(generator.Next() / static_cast<double>(CrtRand::kMax) * range);
}

// A pick drawn again while it equals one of the entries taken.
int DistinctPick(CrtRand& generator, int range, std::span<const int> taken)
{
    for (;;) {
        const int pick = Pick(generator, range);
        if (std::find(taken.begin(), taken.end(), pick) == taken.end())
            return pick;
    }
}

}  // namespace

int ScreenshotMarkMinutes(double durationSeconds)
{
    for (const MarkStep& step : kMarkSteps)
        if (durationSeconds >= step.fromSeconds)
            return step.minutes;
    return 0;
}

ScreenshotPlan ChooseScreenshotFrames(int frameCount, double frameRate)
{
    ScreenshotPlan plan{{}, CrtRand(static_cast<unsigned>(frameCount))};
    ScreenshotFrames& frames = plan.frames;
    const double duration = frameCount / frameRate;
    const int minutes = ScreenshotMarkMinutes(duration);
    std::size_t next = 0;
    if (minutes > 0)
        for (int k = 1; k <= 5; ++k)
            frames[next++] = static_cast<int>(frameRate * k * minutes * 60);

    // A pick that repeats an earlier entry is drawn again (a record is saved with ten different screenshots).
    const int range = frameCount - 200;
    for (; next < frames.size(); ++next)
        frames[next] = range >= kDistinctRange ? DistinctPick(plan.generator, range, std::span(frames.data(), next))
                                               : Pick(plan.generator, range);
    return plan;
}

std::vector<int> RedrawUnreadScreenshots(ScreenshotPlan& plan, int framesRead)
{
    std::vector<int> redrawn;
    const int range = framesRead - 200;
    if (range < kDistinctRange)
        return redrawn;
    // The entry drawn again is at or past framesRead, so no pick can equal it.
    for (int& frame : plan.frames)
        if (frame >= framesRead) {
            frame = DistinctPick(plan.generator, range, plan.frames);
            redrawn.push_back(frame);
        }
    std::sort(redrawn.begin(), redrawn.end());
    return redrawn;
}
