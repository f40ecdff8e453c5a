#include "crt_rand.h"
#include "screenshot_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CrtRand, FollowsTheMicrosoftRuntimeRecurrence)
{
    CrtRand seededWithOne(1);
    EXPECT_EQ(seededWithOne.Next(), 41);
    EXPECT_EQ(seededWithOne.Next(), 18467);
    EXPECT_EQ(seededWithOne.Next(), 6334);

    // The state wraps modulo 2^32 and only bits 16..30 come out.
    CrtRand large(0xFFFFFFFFu);
    EXPECT_EQ(large.Next(), static_cast<int>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
}

TEST(ScreenshotPlan, ShortVideoGetsTenRandomPicks)
{
    EXPECT_EQ(ChooseScreenshotFrames(3000, 25).frames, (ScreenshotFrames{840, 788, 453, 382, 1673, 2416, 584, 2758, 0, 173}));
}

TEST(ScreenshotPlan, VideoOfTwoHundredFramesOrFewerPicksNothingAfterTheStart)
{
    EXPECT_EQ(ChooseScreenshotFrames(200, 25).frames, ScreenshotFrames{});
    for (int frame : ChooseScreenshotFrames(150, 25).frames)
        EXPECT_LE(frame, 0);
}

TEST(ScreenshotPlan, FiveMinutesGiveFixedMarksThenPicks)
{
    // 7500 frames at 25 a second are exactly 300 seconds: marks every minute, the fifth at the very end.
    const ScreenshotFrames frames = ChooseScreenshotFrames(7500, 25).frames;
    EXPECT_EQ((std::array<int, 5>{frames[0], frames[1], frames[2], frames[3], frames[4]}),
              (std::array<int, 5>{1500, 3000, 4500, 6000, 7500}));
    CrtRand generator(7500);
    for (std::size_t i = 5; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], static_cast<int>(generator.Next() / 32767.0 * 7300)) << "entry " << i;

    // The marks are truncated from frame rate x k x m x 60.
    const ScreenshotFrames ntsc = ChooseScreenshotFrames(100000, 24000 / 1001.0).frames;  // 4171 s
    EXPECT_EQ(ntsc[0], 14385);  // 23.976... x 1 x 10 x 60 = 14385.6
}

TEST(ScreenshotPlan, PickThatRepeatsAnEarlierEntryIsDrawnAgain)
{
    // 300 frames (12 seconds): the tenth draw, 64, repeats the second; the next draw, 82, takes its place.
    EXPECT_EQ(ChooseScreenshotFrames(300, 25).frames, (ScreenshotFrames{3, 64, 19, 38, 70, 31, 75, 18, 48, 82}));
    // A pick that repeats a fixed mark is drawn again as well.
    EXPECT_EQ(ChooseScreenshotFrames(8041, 25).frames,
              (ScreenshotFrames{1500, 3000, 4500, 6000, 7500, 6292, 6326, 2902, 120, 7429}));
    // Ten values in the range are enough for ten different picks.
    EXPECT_EQ(ChooseScreenshotFrames(210, 25).frames, (ScreenshotFrames{0, 1, 2, 3, 5, 9, 8, 6, 7, 4}));
}

TEST(ScreenshotPlan, RangeOfFewerThanTenValuesKeepsItsRepeats)
{
    // 209 frames leave nine values for ten picks: the draws stay as they come.
    EXPECT_EQ(ChooseScreenshotFrames(209, 25).frames, (ScreenshotFrames{0, 7, 5, 4, 0, 3, 0, 2, 5, 6}));
}

TEST(ScreenshotPlan, EntriesPastTheFramesReadAreDrawnAgainFromTheSameGenerator)
{
    struct Case {
        int frameCount;
        double frameRate;
        int framesRead;
        ScreenshotFrames frames;   // after drawing again
        std::vector<int> redrawn;  // in increasing order
    };
    const Case cases[] = {
        // Ten minutes at 2 frames a second: the fifth mark is the frame count.
        {1200, 2, 1200, {240, 480, 720, 960, 236, 120, 853, 299, 1, 161}, {236}},
        // A count of 746 from the duration, 350 frames read: four picks lie past them.
        {746, 25, 350, {41, 121, 188, 129, 50, 7, 62, 187, 122, 105}, {7, 105, 121, 129}},
        // Three entries past 225 frames; a draw that repeats another entry is drawn again.
        {450, 25, 225, {11, 210, 3, 133, 1, 71, 5, 196, 17, 125}, {1, 3, 5}},
        // The draw for the second entry, 5, repeats the eighth, which comes after it: it is drawn again too.
        {438, 25, 212, {10, 11, 103, 171, 33, 201, 204, 5, 179, 47}, {11}},
        // Exactly 210 frames read: a range of ten values is enough.
        {417, 25, 210, {9, 3, 2, 65, 115, 71, 187, 159, 96, 150}, {2}},
        // Nothing past the frames read, and a range of nine values: the list stays as it is.
        {746, 25, 746, {41, 510, 188, 492, 50, 412, 62, 187, 122, 527}, {}},
        {450, 25, 209, {11, 210, 243, 133, 229, 71, 249, 196, 17, 125}, {}},
    };
    for (const Case& c : cases) {
        ScreenshotPlan plan = ChooseScreenshotFrames(c.frameCount, c.frameRate);
        EXPECT_EQ(RedrawUnreadScreenshots(plan, c.framesRead), c.redrawn) << c.frameCount << " / " << c.framesRead;
        EXPECT_EQ(plan.frames, c.frames) << c.frameCount << " / " << c.framesRead;
    }
}

TEST(ScreenshotPlan, MarkMinutesByDuration)
{
    const std::pair<double, int> cases[] = {{299.9, 0}, {300, 1},   {599.9, 1},  {600, 2},   {1199, 2},
                                            {1200, 4},  {1800, 6},  {3599, 6},   {3600, 10}, {5400, 14},
                                            {7199, 14}, {7200, 24}, {100000, 24}};
    for (const auto& [duration, minutes] : cases)
        EXPECT_EQ(ScreenshotMarkMinutes(duration), minutes) << duration << " s";
}

}  // namespace
