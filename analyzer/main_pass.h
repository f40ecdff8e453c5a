#pragma once
#include "frame_digest.h"
#include "join_rule.h"
#include "rgb_flow.h"
#include "screenshot_plan.h"
#include "stage_clock.h"
#include "table_view.h"
#include "vh_record.h"

#include <opencv2/core/mat.hpp>
#include <opencv2/videoio.hpp>

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// What the main pass works on: the frames as read, and where their results go.
struct MainPassPlan {
    cv::Size frameSize;    // of every frame as read
    bool corrected = false;  // whether frames are resized to the working size first
    cv::Size workingSize;
    cv::Rect content;  // inside the working frame
    ScreenshotFrames screenshots{};
    const TableViewState* table = nullptr;  // cell frames (nondecreasing) and cell size
};

// What the stages make of one frame: its two records, and where the frame is due for them, its content kept
// for its screenshots and the picture of its table cell.
struct FrameOutput {
    int frame = 0;
    VHRecord hashes{};
    RGBFlowRecord flow{};
    cv::Mat shot;   // the content, when an entry of the screenshot list names the frame
    int cell = -1;  // the table cell that the frame fills, or -1
    cv::Mat cellPicture;
};

// The stages of one frame, from the frame as read to its output; one per reading thread, since it keeps the
// working frame for reuse.
class FrameStages {
public:
    explicit FrameStages(const MainPassPlan& plan) : plan_(plan) {}

    // Times each stage on the clock, which was started before the frame was read.
    FrameOutput Work(const cv::Mat& read, int frame, StageClock& clock);

private:
    const MainPassPlan& plan_;
    cv::Mat working_;
};

// Every frame of the video once, handed out in stream order, read from a capture opened afresh at its start.
// A long video is read over several captures at once, each from a key frame on; every capture after the first
// is a segment whose results count only once the capture before it has read on past its start until both
// gave the same frames (equal bytes, equal time stamps) over a whole key-frame interval. Where that does not
// happen within a bound, the earlier capture reads on alone and the later one's work is dropped. JoinRule
// decides all of that; the pass runs the captures and keeps their outputs.
// The frames of a segment that the capture before it hands out are only compared, which needs no plan: the
// captures after the first read them while the plan is being made. On the longest videos the captures after the
// first decode on one thread each, which gets the most frames a second out of all the cores; a short trial capture
// like theirs at the first key frame then shows early whether they can agree with the first capture at all, which
// reads the video alone where they cannot.
//
// What makes the outputs those of one capture read from the start:
// - Outputs leave only through Next, only from the rule's current segment, each frame once and in frame order:
//   segment 0 first, then the successor that it joined, from its join frame on, and so on. The successor's
//   outputs before its join frame were read by the segment before it too; Next throws them away.
// - A segment becomes current only once the current one has joined it, so every segment that hands out
//   numbers its frames as a capture read from the start does.
// - A dropped segment's outputs are cleared and it adds no more; nothing of it is ever handed out.
// - The pass ends where the current segment's reading ends without a join: at a read that fails, at the frame
//   count, or at its error, which Next rethrows after the frames before it.
// - The reading threads decode, digest and work their frames without the lock; the outputs, the rule and the
//   state of the pass change only under mutex_, and every such change that another thread may wait for is
//   followed by a notification of changed_.
class MainPass {
public:
    // Starts the captures on the video, whose frames are about frameSize (the memory budget counts it).
    MainPass(const char* path, int frameCount, cv::Size frameSize);
    // Stops every capture and waits for them.
    ~MainPass();
    MainPass(const MainPass&) = delete;
    MainPass& operator=(const MainPass&) = delete;

    // Gives the captures the plan for the stages; then the frames come. What the plan points to must outlive
    // the pass.
    void Start(const MainPassPlan& plan);

    // The output of the next frame, valid until the following call; nullptr at the end of the pass. Rethrows
    // an error of the reading (another picture size, the video library) after the frames before it.
    const FrameOutput* Next();

    // Stops the captures and gives the stage times of all of them.
    StageClock Finish();

private:
    struct Segment;

    void StartLaterCaptures(cv::Size frameSize, int forcedCaptures, int forcedDecoderThreads);
    void AddCapture(int start, int decoderThreads, bool trial);
    void Read(Segment& segment);
    void ReadFrames(Segment& segment, StageClock& clock);
    bool Deliver(Segment& segment, int frame, FrameOutput* output, bool compared, const FrameDigest& digest);
    bool JoinSuccessor(Segment& segment, int frame, const FrameDigest& digest, std::unique_lock<std::mutex>& lock);
    void Report(const char* event, std::size_t segment, int frame) const;

    const char* path_;
    const int frameCount_;
    // Set by the test setting: the joins are reported, and the first capture reads only once the others have
    // started, so that they join where they would on an idle machine.
    bool forcedSplit_ = false;

    std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by mutex_: the segments and what they hold, the rule, the plan, the stop, the stage times, and
    // the reading threads that the launcher adds. Set once before the later captures start, the join, check and
    // trial frames are read by their reading threads without it.
    std::vector<std::unique_ptr<Segment>> segments_;  // in frame order, numbered as in the rule
    JoinRule rule_;
    std::optional<MainPassPlan> plan_;
    int joinFrames_ = 0;    // agreeing frames that join two segments
    int checkFrames_ = 0;   // the frames of a segment's start that may join it
    int trialFrames_ = 0;   // agreeing frames that pass a trial
    bool launched_ = true;  // the captures after the first have all started, or none will
    bool stopping_ = false;
    StageClock clock_;
    std::vector<std::thread> threads_;  // they start once everything above is in place

    FrameOutput output_;    // the one handed out last; Next's caller's alone
    std::thread launcher_;  // starts the captures after the first, adding to threads_ and segments_
};
