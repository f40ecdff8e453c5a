#include "main_pass.h"

#include "capture_memory.h"
#include "content_rows.h"
#include "frame_reader.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// A segment starts this many frames after its key frame: the capture's seek goes back 16 frames from its target
// and then to the key frame at or before, which then lies past the leading frames that a key frame of an open
// GOP is shown after.
constexpr int kSeekLead = 24;
// Frames that a decoder may reorder around a key frame: the agreeing frames must hold a whole key-frame
// interval wherever the key frames land in display order.
constexpr int kReorderFrames = 16;
// A split pays only where each capture reads at least this many frames, and at least this many times the
// frames that a join reads twice.
constexpr int kMinSegmentFrames = 1500;
constexpr int kMinSegmentJoins = 4;
// Besides the captures the process holds its libraries and the table view picture; the whole keeps to the budget.
constexpr double kProcessBytes = 100 << 20;
constexpr double kMemoryBudget = 1 << 30;
constexpr double kLargeFrameMemoryBudget = 2.0 * (1 << 30);
// How much faster the first capture, on the library's decoder threads, reads than one on a single thread while
// all the captures share the cores.
constexpr double kFirstCaptureSpeed = 1.3;
// The frames that an early trial compares, at most, and at least: where the captures after the first decode
// otherwise than it does, a trial capture like theirs starts at the first key frame, so that the first capture finds
// out within its first key-frame interval whether such captures can agree with it at all.
constexpr int kTrialFrames = 64;
constexpr int kLeastTrialFrames = kReorderFrames + 1;

// Key frames of the video stream in decode order, found from its packets alone (nothing is decoded), and the
// decoded pictures' bytes a pixel.
struct KeyFrames {
    std::vector<int> positions;
    int longestInterval = 0;  // the last key frame's interval runs to the last packet
    double decodedBytesPerPixel = DecodedBytesPerPixel(-1);
};

// Where the packets cannot be read, no key frame is known and the pass keeps to one capture.
KeyFrames ScanKeyFrames(const char* path) noexcept
try {
    KeyFrames keys;
    cv::VideoCapture packets;
    if (!packets.open(path, cv::CAP_FFMPEG, {cv::CAP_PROP_FORMAT, -1}))
        return keys;
    keys.decodedBytesPerPixel = DecodedBytesPerPixel(packets.get(cv::CAP_PROP_CODEC_PIXEL_FORMAT));
    int packet = 0;
    for (; packets.grab(); ++packet)
        if (packets.get(cv::CAP_PROP_LRF_HAS_KEY_FRAME) != 0) {
            if (!keys.positions.empty())
                keys.longestInterval = std::max(keys.longestInterval, packet - keys.positions.back());
            keys.positions.push_back(packet);
        }
    if (!keys.positions.empty())
        keys.longestInterval = std::max(keys.longestInterval, packet - keys.positions.back());
    return keys;
} catch (...) {
    return {};
}

// The frames that the captures after the first start from, each a key frame's lead past one: nearest to where
// the captures share the frames they read once the plan is made in proportion to their speed, the first one
// firstSpeed times as fast as the others. The first capture reads up to the join after the second one's start;
// each later one reads from its first join's frames, which it has read meanwhile, to the next join; the last
// one to the end.
std::vector<int> SegmentStarts(const KeyFrames& keys, int frameCount, int captures, int joinFrames,
                               double firstSpeed)
{
    std::vector<int> candidates;
    for (int key : keys.positions)
        if (key > 0 && key + kSeekLead < frameCount)
            candidates.push_back(key + kSeekLead);
    const double share = frameCount / (firstSpeed + captures - 1);
    std::vector<int> starts;
    for (int s = 1; s < captures; ++s) {
        const double ideal = (firstSpeed + s - 1) * share - joinFrames;
        // Of the candidates after the start before, the one nearest the ideal.
        const auto after = starts.empty() ? candidates.begin()
                                          : std::upper_bound(candidates.begin(), candidates.end(), starts.back());
        if (after == candidates.end())
            break;
        auto nearest = std::lower_bound(after, candidates.end(), ideal);
        if (nearest == candidates.end() || (nearest != after && ideal - *(nearest - 1) < *nearest - ideal))
            --nearest;
        starts.push_back(*nearest);
    }
    return starts;
}

// How the pass is split: the captures, and the decoder threads of each capture after the first (0: the library's
// choice, one a core).
struct Split {
    int captures = 1;
    int laterDecoderThreads = 0;
    bool trial = false;  // whether the budget holds a trial capture besides
};

// The split that the machine runs fastest within the memory budget. Captures on one decoder thread each give
// the most frames a second over all cores, but only as many as the cores keep them all busy; so where the video
// holds a capture for every core, the first one decodes on the library's threads (it reads on alone where a join
// fails) and the others on one thread each. Elsewhere half the cores' captures decode on the library's threads.
// Each capture must read enough frames to pay for its join.
Split ChooseSplit(cv::Size frameSize, double decodedBytesPerPixel, int frameCount, int joinFrames)
{
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const CaptureMemory capture = MemoryOfACapture(frameSize, decodedBytesPerPixel, cores);
    const double budget =
        (frameSize.area() > 1920 * 1080 ? kLargeFrameMemoryBudget : kMemoryBudget) - kProcessBytes;
    const int paying = std::min(frameCount / kMinSegmentFrames, frameCount / (kMinSegmentJoins * joinFrames));
    const int oneThread = 1 + static_cast<int>((budget - capture.libraryThreads) / capture.oneThread);
    if (cores > 1 && std::min(paying, oneThread) >= cores)
        return {cores, 1, oneThread > cores};
    return {std::max(1, std::min({cores / 2, paying, static_cast<int>(budget / capture.libraryThreads)})), 0};
}

// The test setting that asks for a split of N captures on any video and reports the joins on standard error:
// "N" splits as the longest videos are split, the captures after the first on one decoder thread each; "N:library"
// as the shorter ones, every capture on the library's decoder threads. No captures where it is not set.
Split ForcedSplit()
{
    const char* forced = std::getenv("TARVELLO_SCAN_SEGMENTS");
    if (!forced)
        return {0, 0};
    return {std::max(1, std::atoi(forced)), std::string_view(forced).ends_with(":library") ? 0 : 1};
}

}  // namespace

FrameOutput FrameStages::Work(const cv::Mat& read, int frame, StageClock& clock)
{
    FrameOutput output;
    output.frame = frame;
    if (plan_.corrected) {
        cv::resize(read, working_, plan_.workingSize, 0, 0, cv::INTER_LINEAR);
        clock.Lap(StageClock::kScale);
    }
    // Every stage reads the content where it lies, in the working frame; nothing copies it.
    const cv::Mat content = (plan_.corrected ? working_ : read)(plan_.content);
    clock.Lap(StageClock::kCopyTo);
    // "VH.count" holds the pass over the content rows that both records share. The RGB sums go first: they read
    // each row whole and in order, which the processor streams in; the hashes then find the parts of the row
    // they need in the cache.
    VHSums hashSums(content.cols, content.rows);
    RGBFlowSums flowSums(content.cols, content.rows);
    AddContentRows(content, flowSums, hashSums);
    output.hashes = hashSums.Record();
    clock.Lap(StageClock::kHashes);
    output.flow = flowSums.Record();
    clock.Lap(StageClock::kRGBFlow);
    if (std::find(plan_.screenshots.begin(), plan_.screenshots.end(), frame) != plan_.screenshots.end())
        output.shot = content.clone();
    clock.Lap(StageClock::kSave);
    // Read in order, the pass fills a cell at the first frame that the list names; with cell frames that never
    // decrease that is the cell of the frame's first entry.
    const std::vector<int>& cells = plan_.table->cellFrames;
    const auto cell = std::lower_bound(cells.begin(), cells.end(), frame);
    if (cell != cells.end() && *cell == frame) {
        output.cell = static_cast<int>(cell - cells.begin());
        output.cellPicture = TableViewCellPicture(*plan_.table, content);
    }
    clock.Lap(StageClock::kTable);
    return output;
}

struct MainPass::Segment {
    Segment(std::size_t number_, int first, int threads, bool isTrial = false)
        : number(number_), start(first), decoderThreads(threads), trial(isTrial)
    {
    }

    const std::size_t number;  // in the join rule
    const int start;           // the frame that the capture is sought to
    const int decoderThreads;  // of its capture; 0 for the library's choice
    const bool trial;          // only compared with the first capture, never handing out a frame
    cv::VideoCapture capture;  // its reading thread's alone

    // Guarded by mutex_:
    std::deque<FrameOutput> outputs;  // not yet handed out, in frame order
    std::exception_ptr error;         // what ended the reading, after the frames in outputs
};

MainPass::MainPass(const char* path, int frameCount, cv::Size frameSize) : path_(path), frameCount_(frameCount)
{
    const Split forced = ForcedSplit();
    forcedSplit_ = forced.captures > 0;

    // The first capture opens at once; the key frames that the others start from are sought meanwhile, where the
    // video could be split even with the shortest joins. The least that a decoder holds counts here: the pixel
    // format is known once the key frames are sought.
    segments_.push_back(std::make_unique<Segment>(0, 0, 0));
    threads_.emplace_back(&MainPass::Read, this, std::ref(*segments_.front()));
    if (forced.captures > 1 || ChooseSplit(frameSize, 1.5, frameCount, 1).captures > 1) {
        launched_ = false;
        launcher_ = std::thread(&MainPass::StartLaterCaptures, this, frameSize, forced.captures,
                                forced.laterDecoderThreads);
    }
}

// Finds the key frames and starts a capture from each start chosen among them.
void MainPass::StartLaterCaptures(cv::Size frameSize, int forcedCaptures, int forcedDecoderThreads)
{
    const KeyFrames keys = ScanKeyFrames(path_);
    {
        const std::lock_guard lock(mutex_);
        if (!stopping_) {
            joinFrames_ = keys.longestInterval + kReorderFrames + 1;
            // Broken frames up to the next key frame where a seek lands off one, then the agreeing frames.
            checkFrames_ = keys.longestInterval + joinFrames_;
            rule_.SetBounds(joinFrames_, checkFrames_);
            const Split split =
                forcedCaptures > 0 ? Split{forcedCaptures, forcedDecoderThreads, forcedDecoderThreads == 1}
                                   : ChooseSplit(frameSize, keys.decodedBytesPerPixel, frameCount_, joinFrames_);
            const double firstSpeed = split.laterDecoderThreads == 1 ? kFirstCaptureSpeed : 1.0;
            const std::vector<int> starts =
                SegmentStarts(keys, frameCount_, split.captures, joinFrames_, firstSpeed);
            // The trial ends before the first capture reaches the next start, which its joins then compare from,
            // and like a join it passes over broken frames where the seek lands off a key frame.
            if (split.trial && !starts.empty() && keys.positions.size() > 1) {
                const int trialStart = keys.positions[1] + kSeekLead;
                const int trialFrames = std::min({kTrialFrames, joinFrames_, starts.front() - trialStart});
                if (trialFrames >= kLeastTrialFrames) {
                    trialFrames_ = trialFrames;
                    AddCapture(trialStart, split.laterDecoderThreads, true);
                }
            }
            for (const int start : starts)
                AddCapture(start, split.laterDecoderThreads, false);
        }
        launched_ = true;
    }
    changed_.notify_all();
}

void MainPass::AddCapture(int start, int decoderThreads, bool trial)
{
    const std::size_t number = trial ? rule_.AddTrial(start, trialFrames_) : rule_.AddSegment(start);
    segments_.push_back(std::make_unique<Segment>(number, start, decoderThreads, trial));
    threads_.emplace_back(&MainPass::Read, this, std::ref(*segments_.back()));
}

MainPass::~MainPass()
{
    Finish();
}

void MainPass::Start(const MainPassPlan& plan)
{
    {
        const std::lock_guard lock(mutex_);
        plan_ = plan;
    }
    changed_.notify_all();
}

StageClock MainPass::Finish()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    // The captures are all started once the launcher is done.
    if (launcher_.joinable())
        launcher_.join();
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
    return clock_;
}

const FrameOutput* MainPass::Next()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        Segment& segment = *segments_[rule_.Current()];
        if (!segment.outputs.empty()) {
            FrameOutput& output = segment.outputs.front();
            if (rule_.HandsOut(output.frame)) {
                output_ = std::move(output);
                segment.outputs.pop_front();
                return &output_;
            }
            segment.outputs.pop_front();
            continue;
        }
        if (rule_.HandOver())
            continue;
        if (rule_.Ended(segment.number)) {
            if (segment.error)
                std::rethrow_exception(segment.error);
            return nullptr;
        }
        changed_.wait(lock);
    }
}

void MainPass::Read(Segment& segment)
{
    StageClock clock;
    std::exception_ptr error;
    try {
        ReadFrames(segment, clock);
    } catch (...) {
        error = std::current_exception();
    }
    segment.capture.release();
    {
        const std::lock_guard lock(mutex_);
        segment.error = error;
        rule_.End(segment.number);
        clock_ += clock;
    }
    changed_.notify_all();
}

// Reads until the segment's frames end, it joins its successor, it is dropped or the pass stops.
void MainPass::ReadFrames(Segment& segment, StageClock& clock)
{
    // A capture that does not open, or whose seek fails, reads no frame.
    if (OpenVideo(segment.capture, path_, segment.decoderThreads) && segment.start > 0)
        segment.capture.set(cv::CAP_PROP_POS_FRAMES, segment.start);
    int frame = segment.start;
    // Up to a whole join's frames past a later segment's start, the capture before it hands out the frames. A
    // trial's frames are all compared before they would be.
    const int handedOutFrom = segment.start == 0 ? 0
                              : segment.trial            ? std::min(segment.start + checkFrames_, frameCount_)
                                                 : std::min(segment.start + joinFrames_, frameCount_);
    for (cv::Mat read; frame < handedOutFrom; ++frame) {
        if (!segment.capture.read(read))
            return;
        bool compared = false;
        {
            const std::lock_guard lock(mutex_);
            compared = rule_.Compares(segment.number, frame);
        }
        const FrameDigest digest =
            DigestFrame(read, segment.capture.get(cv::CAP_PROP_POS_MSEC), frame == segment.start);
        if (!Deliver(segment, frame, nullptr, compared, digest))
            return;
    }
    if (segment.trial)
        return;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            return (plan_ && (launched_ || !forcedSplit_)) || stopping_ || rule_.Dropped(segment.number);
        });
        if (stopping_ || rule_.Dropped(segment.number))
            return;
    }
    // A capture on the library's decoder threads reads ahead on a thread of its own, as one capture alone reads
    // fastest; one on a single decoder thread runs the stages between its reads, each capture on a core.
    std::optional<FrameReader> reader;
    if (segment.decoderThreads != 1)
        reader.emplace(segment.capture, frame, frameCount_, plan_->frameSize);
    FrameStages stages(*plan_);
    cv::Mat picture;
    double timestamp = 0;
    for (;; ++frame) {
        clock.Start();
        const cv::Mat* read = nullptr;
        if (reader) {
            read = reader->Next();
            timestamp = read ? reader->Timestamp() : 0;
        } else if (frame < frameCount_ && ReadFrame(segment.capture, frame, plan_->frameSize, picture, timestamp)) {
            read = &picture;
        }
        if (!read)
            return;
        clock.Lap(StageClock::kRead);
        FrameOutput output = stages.Work(*read, frame, clock);
        bool kept = false;
        bool compared = false;
        {
            const std::lock_guard lock(mutex_);
            kept = rule_.KeepsDigest(segment.number, frame);
            compared = rule_.Compares(segment.number, frame);
        }
        FrameDigest digest;
        if (kept || compared)
            digest = DigestFrame(*read, timestamp, frame == segment.start);
        if (!Deliver(segment, frame, &output, compared, digest))
            return;
    }
}

// Adds the frame's output (where it has one) and digest (where the rule keeps it) to the segment and, where the
// rule compares the frame, compares it with the successor's frame; false where the segment reads no further.
bool MainPass::Deliver(Segment& segment, int frame, FrameOutput* output, bool compared, const FrameDigest& digest)
{
    std::unique_lock lock(mutex_);
    if (rule_.Dropped(segment.number) || stopping_)
        return false;
    if (output)
        segment.outputs.push_back(std::move(*output));
    rule_.AddDigest(segment.number, frame, digest);
    changed_.notify_all();
    return !(compared && JoinSuccessor(segment, frame, digest, lock));
}

// Asks the rule about the frame until it can answer; true once the segment has joined its successor, is dropped
// or the pass stops, which ends the segment's reading.
bool MainPass::JoinSuccessor(Segment& segment, int frame, const FrameDigest& digest,
                             std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        if (stopping_)
            return true;
        const JoinRule::Answer answer = rule_.Compare(segment.number, frame, digest);
        switch (answer.step) {
        case JoinRule::Step::kReadOn:
            return false;
        case JoinRule::Step::kWait:
            changed_.wait(lock);
            break;
        case JoinRule::Step::kJoined:
            Report("joined at frame", answer.other, rule_.JoinedAt(segment.number));
            changed_.notify_all();
            return true;
        case JoinRule::Step::kDroppedSuccessor:
            segments_[answer.other]->outputs.clear();
            // A trial whose reading failed tells nothing.
            if (!rule_.Trial(answer.other))
                Report("dropped at frame", answer.other, frame);
            changed_.notify_all();
            break;
        case JoinRule::Step::kTrialAgreed:
            changed_.notify_all();
            break;
        case JoinRule::Step::kAlone:
            // The others end now; this capture reads the video at the speed of one.
            for (const auto& other : segments_)
                if (other.get() != &segment)
                    other->outputs.clear();
            Report("disagrees: one capture reads on from frame", answer.other, frame);
            changed_.notify_all();
            return false;
        case JoinRule::Step::kDropped:
            return true;
        }
    }
}

void MainPass::Report(const char* event, std::size_t segment, int frame) const
{
    if (forcedSplit_)
        std::fprintf(stderr, "Segment from frame %i %s %i\n", rule_.Start(segment), event, frame);
}
