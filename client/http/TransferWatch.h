#pragma once
// Ends a transfer that stalls (no byte moving, up or down, for the stall time-out) or crawls (fewer than
// LowSpeedBytesPerSecond on average, up and down, over the last low-speed window), so that neither a dead
// server nor one that trickles a byte now and then can hold a request for ever.

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

class TransferWatch {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::int64_t LowSpeedBytesPerSecond = 100;

  TransferWatch(std::chrono::milliseconds stallTimeout, std::chrono::milliseconds lowSpeedWindow,
                Clock::time_point start);

  // Told the bytes moved so far, up and down together, at `now`: false once the transfer must end.
  bool KeepsGoing(Clock::time_point now, std::int64_t moved);
  const std::string& Failure() const { return failure_; }  // why it ended; "" while it goes on

 private:
  struct Sample {
    Clock::time_point at;
    std::int64_t moved;
  };

  const std::chrono::milliseconds stall_, window_;
  std::int64_t lastMoved_ = 0;
  Clock::time_point lastMove_;
  std::deque<Sample> samples_;  // one every 1/64 of the window at most; the oldest the last one a window back
  std::string failure_;
};
