#pragma once
#include "crt_rand.h"

#include <array>
#include <vector>

// The ten frames that become screenshots. Videos of five minutes or more get five fixed marks at
// multiples of m minutes (m by duration) and five random picks; shorter ones ten random picks. A pick never
// repeats an earlier entry when the pick range (frame count - 200) holds ten values or more; below that, entries
// may repeat. Entries are not kept inside the video: a negative one or one past the end saves nothing.
using ScreenshotFrames = std::array<int, 10>;

struct ScreenshotPlan {
    ScreenshotFrames frames;
    CrtRand generator;  // as the picks left it: entries drawn again go on from there
};

// Minutes between the fixed marks of a video of the given duration in seconds; 0 below 300 seconds.
int ScreenshotMarkMinutes(double durationSeconds);

// The list for a video of frameCount frames at frameRate frames a second; the picks come from the C
// runtime generator seeded with the frame count.
ScreenshotPlan ChooseScreenshotFrames(int frameCount, double frameRate);

// Once framesRead frames are known to be all there is (the frame count is only an estimate in some files, and
// a fixed mark can fall exactly on it), every entry at or past framesRead is drawn again, in list order, over
// framesRead - 200 as the pick range, each different from every other entry. Nothing is drawn when that range
// holds fewer than ten values. Returns the new entries in increasing order.
std::vector<int> RedrawUnreadScreenshots(ScreenshotPlan& plan, int framesRead);
