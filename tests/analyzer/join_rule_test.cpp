#include "join_rule.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A scripted video: one letter a frame for its picture, and the time stamps of its frames.
struct Video {
    std::string pictures;
    bool stillTime = false;  // every frame at 0 ms (no time stamps) instead of 40 ms apart
};

// One capture of the video as the rule sees it: from its start, numbering the frames shift frames off (a seek
// that lands elsewhere), seeing the frames in damaged as other pictures, and reading up to end (the video's end
// when 0), giving no time stamp for the frames in untimed.
struct Capture {
    int start = 0;
    int shift = 0;
    std::set<int> damaged;
    int end = 0;
    std::set<int> untimed;
};

struct Reading {
    std::size_t number = 0;
    Capture capture;
    int next = 0;         // the frame it reads next
    bool fed = false;     // whether the rule has that frame's digest (it waits for the successor's frame)
    bool waited = false;  // whether that frame waited already
    bool done = false;
};

// Runs the captures against the rule, one frame of each in turn, the last capture first, as far as the rule lets
// each read; then hands out the frames as the pass does. Gives what happened: the joins and drops in the order
// they came, then the frames each segment handed out, and the frames thrown away at hand-overs.
std::string Play(const Video& video, int joinFrames, int checkFrames, const std::vector<Capture>& captures)
{
    const int length = static_cast<int>(video.pictures.size());
    JoinRule rule;
    rule.SetBounds(joinFrames, checkFrames);
    std::vector<Reading> readings;
    for (const Capture& capture : captures) {
        Reading reading;
        reading.number = capture.start == 0 ? 0 : rule.AddSegment(capture.start);
        reading.capture = capture;
        reading.capture.end = capture.end > 0 ? capture.end : length;
        reading.next = capture.start;
        readings.push_back(reading);
    }
    const auto digestOf = [&](const Capture& capture, int frame) {
        const int shown = frame + capture.shift;
        FrameDigest digest;
        digest.bytes = {static_cast<std::uint64_t>(capture.damaged.count(frame) ? '#' : video.pictures.at(shown)), 0};
        digest.timestamp = video.stillTime || capture.untimed.count(frame) ? 0 : shown * 40.0;
        digest.timed = capture.untimed.count(frame) == 0;
        return digest;
    };

    std::string events;
    // What each segment read that the pass would hand out: all of the first one's frames, a later one's from a
    // whole join past its start.
    std::vector<std::vector<int>> outputs(readings.size());
    for (bool moved = true; moved;) {
        moved = false;
        for (auto r = readings.rbegin(); r != readings.rend(); ++r) {
            Reading& reading = *r;
            if (reading.done)
                continue;
            if (reading.next == reading.capture.end || rule.Dropped(reading.number)) {
                reading.done = true;
                rule.End(reading.number);
                moved = true;
                continue;
            }
            const int frame = reading.next;
            const FrameDigest digest = digestOf(reading.capture, frame);
            if (!reading.fed) {
                rule.AddDigest(reading.number, frame, digest);
                if (reading.number == 0 || frame >= reading.capture.start + joinFrames)
                    outputs[reading.number].push_back(frame);
                reading.fed = true;
            }
            bool readOn = true;
            while (rule.Compares(reading.number, frame)) {
                const JoinRule::Answer answer = rule.Compare(reading.number, frame, digest);
                const std::string who = std::to_string(reading.number) + " ";
                if (answer.step == JoinRule::Step::kWait) {
                    if (!reading.waited)
                        events += who + "waits at " + std::to_string(frame) + "; ";
                    reading.waited = true;
                    readOn = false;
                    break;
                }
                if (answer.step == JoinRule::Step::kReadOn)
                    break;
                if (answer.step == JoinRule::Step::kDroppedSuccessor) {
                    events += who + "drops " + std::to_string(answer.other) + " at " + std::to_string(frame) + "; ";
                    moved = true;
                    continue;
                }
                if (answer.step == JoinRule::Step::kJoined)
                    events += who + "joins " + std::to_string(answer.other) + " at " +
                              std::to_string(rule.JoinedAt(reading.number)) + "; ";
                reading.done = true;
                rule.End(reading.number);
                readOn = false;
                moved = true;
                break;
            }
            if (readOn) {
                ++reading.next;
                reading.fed = false;
                reading.waited = false;
                moved = true;
            }
        }
    }

    // Handing out: each segment's frames in order, as long as the rule takes them, in runs of frames that
    // follow each other.
    struct Run {
        std::size_t segment;
        int first;
        int last;
    };
    std::vector<Run> runs;
    int thrownAway = 0;
    std::vector<std::size_t> taken(outputs.size(), 0);
    for (;;) {
        const std::size_t current = rule.Current();
        if (taken[current] < outputs[current].size()) {
            const int frame = outputs[current][taken[current]++];
            if (!rule.HandsOut(frame))
                ++thrownAway;
            else if (!runs.empty() && runs.back().segment == current && runs.back().last + 1 == frame)
                runs.back().last = frame;
            else
                runs.push_back({current, frame, frame});
            continue;
        }
        if (!rule.HandOver())
            break;
    }
    std::string handedOut;
    for (const Run& run : runs)
        handedOut +=
            std::to_string(run.segment) + ": " + std::to_string(run.first) + "-" + std::to_string(run.last) + " ";
    return events + handedOut + "thrown away " + std::to_string(thrownAway);
}

// A picture that changes every frame, over the 26 letters.
std::string Moving(int frames)
{
    std::string pictures;
    for (int frame = 0; frame < frames; ++frame)
        pictures += static_cast<char>('a' + frame % 26);
    return pictures;
}

// A picture that changes only at every fifth frame (a key frame) and stays the same between.
std::string RepeatingEveryFive(int frames)
{
    std::string pictures;
    for (int frame = 0; frame < frames; ++frame)
        pictures += frame % 5 == 0 ? 'k' : 'p';
    return pictures;
}

// A capture from start that numbers the frames as read from the start.
Capture From(int start, std::set<int> damaged = {}, int end = 0)
{
    return {start, 0, std::move(damaged), end, {}};
}

// A capture from start, numbering each frame shift frames off, that gives no time stamp for the frames in untimed.
Capture Untimed(int start, int shift, std::set<int> untimed)
{
    return {start, shift, {}, 0, std::move(untimed)};
}

// The frames from first up to last in steps of two.
std::set<int> EveryOther(int first, int last)
{
    std::set<int> frames;
    for (int frame = first; frame <= last; frame += 2)
        frames.insert(frame);
    return frames;
}

// A capture from start that numbers each frame shift frames off.
Capture Off(int start, int shift)
{
    return {start, shift, {}, 0, {}};
}

TEST(JoinRule, ScriptedSequencesHandOutEveryFrameOnceFromTheSegmentsJoined)
{
    struct Case {
        const char* name;
        Video video;
        std::vector<Capture> captures;
        std::string played;
    };
    // Joins over 10 agreeing frames; a segment's first 20 frames are kept for the comparison.
    const std::vector<Case> cases = {
        {"join_at_the_earliest_frame",
         {Moving(100)},
         {From(0), From(30)},
         "0 joins 1 at 40; 0: 0-39 1: 40-99 thrown away 0"},
        // The successor's first frames differ from the frames read from the start (a damaged stretch that the two
        // decoders conceal differently): the run agrees from frame 35 on. Frames 40 to 44 of the successor were
        // handed out by the first segment.
        {"late_join",
         {Moving(100)},
         {From(0), From(30, {30, 31, 32, 33, 34})},
         "0 joins 1 at 45; 0: 0-44 1: 45-99 thrown away 5"},
        {"run_broken_by_one_differing_frame",
         {Moving(100)},
         {From(0), From(30, {36})},
         "0 joins 1 at 47; 0: 0-46 1: 47-99 thrown away 7"},
        // The same picture throughout, but time stamps that change: they show that both number the frames alike.
        {"static_run_with_changing_time_stamps",
         {std::string(100, 's')},
         {From(0), From(30)},
         "0 joins 1 at 40; 0: 0-39 1: 40-99 thrown away 0"},
        // Nothing can show that the two number the frames alike: the first reads on alone, past the bound.
        {"equal_pictures_and_equal_time_stamps_never_join",
         {std::string(100, 's'), true},
         {From(0), From(30)},
         "0 drops 1 at 50; 0: 0-99 thrown away 0"},
        // A still picture from a successor that numbers its frames wrongly: the bytes agree, the time stamps do
        // not.
        {"still_picture_numbered_off_never_joins",
         {std::string(100, 's')},
         {From(0), Off(30, 3)},
         "0 drops 1 at 50; 0: 0-99 thrown away 0"},
        // A picture that repeats every key-frame interval agrees in its bytes with a successor numbered an interval
        // off; only the time stamps tell them apart.
        {"pictures_equal_an_interval_off_differ_in_their_time_stamps",
         {RepeatingEveryFive(100)},
         {From(0), Off(30, 5)},
         "0 drops 1 at 50; 0: 0-99 thrown away 0"},
        // Frames that one capture gives no time stamp agree by their bytes; the others' time stamps show the
        // numbering.
        {"untimed_frames_within_a_run_join",
         {Moving(100)},
         {Untimed(0, 0, {31, 33, 36}), Untimed(30, 0, {32, 34, 36})},
         "0 joins 1 at 40; 0: 0-39 1: 40-99 thrown away 0"},
        {"still_picture_numbered_off_with_untimed_frames_never_joins",
         {std::string(100, 's')},
         {Untimed(0, 0, EveryOther(31, 59)), Untimed(30, 3, EveryOther(33, 59))},
         "0 drops 1 at 50; 0: 0-99 thrown away 0"},
        // Each frame lacks the time stamp of one capture or the other: nothing shows how the successor numbers.
        {"run_without_a_time_stamp_told_by_both_never_joins",
         {Moving(100)},
         {Untimed(0, 0, EveryOther(30, 59)), Untimed(30, 0, EveryOther(31, 59))},
         "0 drops 1 at 50; 0: 0-99 thrown away 0"},
        {"successor_that_ends_first",
         {Moving(100)},
         {From(0), From(30, {}, 36)},
         "0 drops 1 at 36; 0: 0-99 thrown away 0"},
        {"join_bound_reached", {Moving(100)}, {From(0), Off(30, 3)}, "0 drops 1 at 50; 0: 0-99 thrown away 0"},
        // The second segment is numbered off and never agrees; the first drops it and joins the third. The second
        // reaches the bound with the third too, but is not sure to count itself (nothing joined it), and waits until
        // it is dropped.
        {"drop_followed_by_a_join_of_the_segment_after_it",
         {Moving(120)},
         {From(0), Off(30, 3), From(60)},
         "1 waits at 80; 0 drops 1 at 50; 0 joins 2 at 70; 0: 0-69 2: 70-119 thrown away 0"},
        // The third segment is numbered off. The second reaches the bound with it before the first has joined the
        // second: it waits until it is joined, then drops the third and reads on alone.
        {"segment_past_the_bound_drops_its_successor_once_joined",
         {Moving(100)},
         {From(0), From(30), Off(45, 3)},
         "1 waits at 65; 0 joins 1 at 40; 1 drops 2 at 65; 0: 0-39 1: 40-99 thrown away 0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Play(c.video, 10, 20, c.captures), c.played) << c.name;
}

TEST(JoinRule, FrameOfALaterSegmentIsKeptOnlyNearItsStartAndComparedOnlyPastItsSuccessorsStart)
{
    JoinRule rule;
    rule.SetBounds(10, 20);
    const std::size_t second = rule.AddSegment(30);
    EXPECT_FALSE(rule.KeepsDigest(0, 0));
    EXPECT_FALSE(rule.Compares(0, 29));
    EXPECT_TRUE(rule.Compares(0, 30));
    EXPECT_TRUE(rule.KeepsDigest(second, 30));
    EXPECT_TRUE(rule.KeepsDigest(second, 49));
    EXPECT_FALSE(rule.KeepsDigest(second, 50));
    EXPECT_FALSE(rule.Compares(second, 1000));
}

TEST(JoinRule, ComparisonWaitsForTheSuccessorsFrame)
{
    JoinRule rule;
    rule.SetBounds(2, 4);
    const std::size_t second = rule.AddSegment(10);
    const FrameDigest frame{{1, 2}, 400};
    EXPECT_EQ(rule.Compare(0, 10, frame).step, JoinRule::Step::kWait);
    rule.AddDigest(second, 10, frame);
    EXPECT_EQ(rule.Compare(0, 10, frame).step, JoinRule::Step::kReadOn);
    // Waiting changes nothing: the next frame still needs its pair.
    EXPECT_EQ(rule.Compare(0, 11, FrameDigest{{1, 2}, 440}).step, JoinRule::Step::kWait);
}

TEST(JoinRule, TrialThatAgreesLeavesTheJoinsToTheLaterSegmentsAndOneThatNeverAgreesLeavesTheFirstAlone)
{
    for (const bool agrees : {true, false}) {
        JoinRule rule;
        rule.SetBounds(4, 8);
        const std::size_t trial = rule.AddTrial(10, 3);
        const std::size_t later = rule.AddSegment(30);
        EXPECT_FALSE(rule.Compares(trial, 35));
        for (int frame = 10; frame < 18; ++frame)
            rule.AddDigest(trial, frame, FrameDigest{{static_cast<std::uint64_t>(frame), 0}, frame * 40.0});
        JoinRule::Answer answer;
        int frame = 10;
        for (; frame < 20; ++frame) {
            const FrameDigest ours{{static_cast<std::uint64_t>(agrees ? frame : frame + 1), 0}, frame * 40.0};
            answer = rule.Compare(0, frame, ours);
            if (answer.step != JoinRule::Step::kReadOn)
                break;
        }
        if (agrees) {
            EXPECT_EQ(answer.step, JoinRule::Step::kTrialAgreed);
            EXPECT_EQ(frame, 12);
            EXPECT_TRUE(rule.Dropped(trial));
            EXPECT_FALSE(rule.Dropped(later));
            EXPECT_TRUE(rule.Compares(0, 30));
        } else {
            EXPECT_EQ(answer.step, JoinRule::Step::kAlone);
            EXPECT_EQ(frame, 18);
            EXPECT_TRUE(rule.Dropped(trial));
            EXPECT_TRUE(rule.Dropped(later));
            EXPECT_FALSE(rule.Compares(0, 30));
        }
        EXPECT_EQ(answer.other, trial);
    }
}

TEST(JoinRule, FramePastTheOneDueIsNeverHandedOut)
{
    JoinRule rule;
    EXPECT_TRUE(rule.HandsOut(0));
    EXPECT_THROW(rule.HandsOut(2), std::logic_error);
    EXPECT_FALSE(rule.HandsOut(0));
    EXPECT_EQ(rule.NextFrame(), 1);
}

}  // namespace
