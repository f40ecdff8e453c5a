#include "TransferWatch.h"

TransferWatch::TransferWatch(std::chrono::milliseconds stallTimeout, std::chrono::milliseconds lowSpeedWindow,
                             Clock::time_point start)
    : stall_(stallTimeout), window_(lowSpeedWindow), lastMove_(start), samples_{{start, 0}} {}

bool TransferWatch::KeepsGoing(Clock::time_point now, std::int64_t moved) {
  if (moved != lastMoved_) {
    lastMoved_ = moved;
    lastMove_ = now;
  } else if (now - lastMove_ >= stall_) {
    failure_ = "no data moved for " + std::to_string(stall_.count()) + " ms";
    return false;
  }
  if (now - samples_.back().at >= window_ / 64) samples_.push_back({now, moved});
  while (samples_.size() > 1 && now - samples_[1].at >= window_) samples_.pop_front();
  // The average over the span since the last sample a whole window back, once the transfer is that old.
  const Sample& start = samples_.front();
  const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(now - start.at);
  if (span >= window_ && (moved - start.moved) * 1000 < LowSpeedBytesPerSecond * span.count()) {
    failure_ = "fewer than " + std::to_string(LowSpeedBytesPerSecond) + " bytes a second over " +
               std::to_string(window_.count()) + " ms";
    return false;
  }
  return true;
}
