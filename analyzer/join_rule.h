#pragma once
#include "frame_digest.h"

#include <climits>
#include <cstddef>
#include <vector>

// Which of several captures of one video hands out which frames, so that the frames handed out are those of one
// capture read from the start. The captures are segments numbered in frame order: segment 0 reads from frame 0,
// each later one from its start. The segment before a later one (its predecessor) reads on past the later one's
// start and compares each frame's digest, bytes and time stamp, with the later one's frame of the same number.
// Once they agree over the join frames in a row, and two of those frames differ, the predecessor joins it: the
// later one's frames count from the frame after the agreeing run, and the predecessor reads no further. Where
// the later one has no frame to compare (it ended before it, or the frame lies check frames or more past its
// start), the predecessor drops it and compares with the segment after it instead. Frames compare as SameFrame
// says: a frame that one capture gives no time stamp agrees by its bytes, but a run joins only where at least one
// of its frames has the same time stamp told by both.
//
// A trial segment is only compared, by segment 0, and never hands out a frame: once it agrees over its trial
// frames, segments that decode as it does can agree with segment 0, and segment 0 compares with the segment after
// it; where it never agrees within the bound, no later segment counts and segment 0 reads on alone.
//
// The rule holds no lock and waits for nothing: its owner feeds it, under a lock of its own, what each capture
// reads, and it answers what to do. Where an answer needs a frame that has not been read yet, it says kWait,
// and the owner asks again once another segment has read on, ended or been dropped.
class JoinRule {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // With segment 0 alone, reading from frame 0; it hands out from frame 0.
    JoinRule();

    // joinFrames agreeing frames join two segments; a segment keeps the digests of its first checkFrames frames
    // (at least joinFrames), and a comparison with a later frame drops it. Set before the segments after the
    // first are added.
    void SetBounds(int joinFrames, int checkFrames);
    // Adds a segment reading from start, after the last one (its start lies past the last one's), as the last
    // one's successor. Returns its number.
    std::size_t AddSegment(int start);
    // Adds a trial segment reading from start, the successor of segment 0 (added before the other segments), that
    // passes with trialFrames agreeing frames (at most joinFrames).
    std::size_t AddTrial(int start, int trialFrames);

    // What a segment does with the frame it reads (its frames come one after another from its start): the rule
    // keeps the digest of a frame near a later segment's start, and compares a frame at or past the successor's
    // start. Where the frame is neither kept nor compared, its digest is not needed.
    bool KeepsDigest(std::size_t segment, int frame) const;
    bool Compares(std::size_t segment, int frame) const;
    void AddDigest(std::size_t segment, int frame, const FrameDigest& digest);

    enum class Step {
        kReadOn,            // the segment reads its next frame
        kWait,              // ask again once another segment has read on, ended or been dropped
        kJoined,            // the segment has joined its successor and reads no further
        kDroppedSuccessor,  // the successor counts for nothing; ask again for the same frame
        kDropped,           // the segment itself counts for nothing and reads no further
        kTrialAgreed,       // the trial successor agreed and counts no further; ask again for the same frame
        kAlone,             // the trial never agreed: every other segment is dropped, this one reads on alone
    };
    struct Answer {
        Step step = Step::kReadOn;
        std::size_t other = kNone;  // the successor joined or dropped
    };
    // Compares the segment's frame, which Compares named, with its successor's frame of the same number.
    Answer Compare(std::size_t segment, int frame, const FrameDigest& digest);

    // The segment's reading has ended: it reads no further frames.
    void End(std::size_t segment);

    int Start(std::size_t segment) const { return segments_[segment].start; }
    bool Ended(std::size_t segment) const { return segments_[segment].ended; }
    bool Dropped(std::size_t segment) const { return segments_[segment].dropped; }
    bool Trial(std::size_t segment) const { return segments_[segment].trial; }
    // The first frame that the segment's successor hands out, once the segment has joined it.
    int JoinedAt(std::size_t segment) const { return segments_[segment].joinedAt; }

    // Handing out, in frame order: the segment whose frames are handed out now.
    std::size_t Current() const { return current_; }
    // The frame to hand out next.
    int NextFrame() const { return next_; }
    // Whether the current segment's frame, the first of it not yet handed out or thrown away, is handed out next
    // (true, and the one after it becomes due), or was handed out by the segment before (false: throw it away).
    // Throws std::logic_error for a frame past the one due: frames are never skipped.
    bool HandsOut(int frame);
    // Once the current segment has handed out its frames up to its join, its successor becomes the current one;
    // false while frames of the current one are due.
    bool HandOver();

private:
    // The frames up to the one compared last that equal the successor's. They join the two only where two of
    // them in a row differ: frames without time stamps that stay the same cannot show that both captures
    // number them alike, nor can a run where no frame has its time stamp told by both.
    struct Agreement {
        int frames = 0;
        bool changing = false;
        bool told = false;
        FrameDigest last;
    };

    struct Segment {
        explicit Segment(int first) : start(first) {}

        int start;
        std::vector<FrameDigest> digests;  // of the frames from start on, up to checkFrames_ of them
        std::size_t successor = kNone;     // the next segment not dropped
        Agreement agreement;               // with the successor
        int joinedAt = INT_MAX;            // the first frame that the successor hands out
        bool joined = false;               // by the segment before it
        bool ended = false;
        bool dropped = false;
        bool trial = false;
    };

    std::vector<Segment> segments_;
    int joinFrames_ = 0;
    int checkFrames_ = 0;
    int trialFrames_ = 0;
    std::size_t current_ = 0;
    int next_ = 0;
};
