#pragma once
#include <array>

// The ten frames that become screenshots. Videos of five minutes or more get five fixed marks at
// multiples of m minutes (m by duration) and five random picks; shorter ones ten random picks. A pick never
// repeats an earlier entry when the pick range (frame count - 200) holds ten values or more; below that, entries
// may repeat. Entries are not kept inside the video: a negative one or one past the end saves nothing.
using ScreenshotFrames = std::array<int, 10>;

// Minutes between the fixed marks of a video of the given duration in seconds; 0 below 300 seconds.
int ScreenshotMarkMinutes(double durationSeconds);

// The list for a video of frameCount frames at frameRate frames a second; the picks come from the C
// runtime generator seeded with the frame count.
ScreenshotFrames ChooseScreenshotFrames(int frameCount, double frameRate);
