#include "join_rule.h"

#include <stdexcept>
#include <string>

JoinRule::JoinRule()
{
    segments_.emplace_back(0);
}

void JoinRule::SetBounds(int joinFrames, int checkFrames)
{
    joinFrames_ = joinFrames;
    checkFrames_ = checkFrames;
}

std::size_t JoinRule::AddSegment(int start)
{
    segments_.back().successor = segments_.size();
    segments_.emplace_back(start);
    return segments_.size() - 1;
}

std::size_t JoinRule::AddTrial(int start, int trialFrames)
{
    const std::size_t trial = AddSegment(start);
    segments_[trial].trial = true;
    trialFrames_ = trialFrames;
    return trial;
}

bool JoinRule::KeepsDigest(std::size_t segment, int frame) const
{
    const Segment& s = segments_[segment];
    return s.start > 0 && frame - s.start < checkFrames_;
}

bool JoinRule::Compares(std::size_t segment, int frame) const
{
    const std::size_t successor = segments_[segment].successor;
    return !segments_[segment].trial && successor != kNone && frame >= segments_[successor].start;
}

void JoinRule::AddDigest(std::size_t segment, int frame, const FrameDigest& digest)
{
    if (KeepsDigest(segment, frame))
        segments_[segment].digests.push_back(digest);
}

JoinRule::Answer JoinRule::Compare(std::size_t segment, int frame, const FrameDigest& digest)
{
    Segment& s = segments_[segment];
    if (s.dropped)
        return {Step::kDropped};
    if (!Compares(segment, frame))
        return {Step::kReadOn};
    const std::size_t next = s.successor;
    Segment& successor = segments_[next];
    const std::size_t at = frame - successor.start;
    if (at < successor.digests.size()) {
        Agreement& agreement = s.agreement;
        const FrameDigest& theirs = successor.digests[at];
        if (SameFrame(theirs, digest)) {
            agreement.changing = agreement.changing || (agreement.frames > 0 && !SameFrame(agreement.last, digest));
            agreement.told = agreement.told || (theirs.timed && digest.timed);
            ++agreement.frames;
        } else {
            agreement = {};
        }
        agreement.last = digest;
        if (agreement.frames < (successor.trial ? trialFrames_ : joinFrames_) || !agreement.changing ||
            !agreement.told)
            return {Step::kReadOn};
        if (successor.trial) {
            // Segments that decode as the trial did can agree with this one: the joins take it from here.
            successor.dropped = true;
            s.successor = successor.successor;
            s.agreement = {};
            return {Step::kTrialAgreed, next};
        }
        s.joinedAt = frame + 1;
        successor.joined = true;
        return {Step::kJoined, next};
    }
    // The successor has no such frame to compare: it ended before it, or the frame lies past its start by more
    // than a join may take. This segment reads on in its place. Past the bound, that waits until this segment is
    // sure to count itself: one that the segment before it has not joined may be numbered wrongly, and is then
    // dropped in turn. Its own frames that the check compares are all there.
    const bool pastBound = static_cast<int>(at) >= checkFrames_;
    if (!successor.ended && !pastBound)
        return {Step::kWait};
    if (pastBound && successor.trial) {
        // Segments that decode as the trial did never agree with this one.
        for (std::size_t other = 0; other < segments_.size(); ++other)
            if (other != segment)
                segments_[other].dropped = true;
        s.successor = kNone;
        s.agreement = {};
        return {Step::kAlone, next};
    }
    if (pastBound && s.start > 0 && !s.joined)
        return {Step::kWait};
    successor.dropped = true;
    s.successor = successor.successor;
    s.agreement = {};
    return {Step::kDroppedSuccessor, next};
}

void JoinRule::End(std::size_t segment)
{
    segments_[segment].ended = true;
}

bool JoinRule::HandsOut(int frame)
{
    if (frame > next_)
        throw std::logic_error("The main pass would skip frame " + std::to_string(next_) + "!");
    if (frame < next_)
        return false;
    ++next_;
    return true;
}

bool JoinRule::HandOver()
{
    const Segment& s = segments_[current_];
    if (s.joinedAt != next_)
        return false;
    current_ = s.successor;
    return true;
}
