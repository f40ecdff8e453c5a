// The time-outs of a transfer at their designed values, over made-up timelines of the bytes moved, as the
// progress reports of a transfer give them four times a second.
#include "TransferWatch.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using namespace std::chrono_literals;
using Clock = TransferWatch::Clock;

struct Timeline {
  const char* what;
  std::function<std::int64_t(double seconds)> moved;  // bytes moved, up and down, by then
  double course;                                      // seconds the transfer would take
  std::optional<double> endsAt;                       // seconds; nullopt: it runs its whole course
  const char* failure;                                // the start of the reason it ends with
};

// Seconds after the start at which the watch ends the transfer, or nullopt when it lets it run its course.
std::optional<double> runUntilEnded(TransferWatch& watch, Clock::time_point start, const Timeline& line) {
  for (double t = 0; t <= line.course; t += 0.25) {
    if (!watch.KeepsGoing(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(t)),
                          line.moved(t)))
      return t;
  }
  return std::nullopt;
}

}  // namespace

TEST(TransferWatch, DesignedTimeOutsOverTimelines) {
  const auto every = [](double period, std::int64_t bytes) {
    return [=](double t) { return static_cast<std::int64_t>(t / period) * bytes; };
  };
  const Timeline lines[] = {
      {"an upload at 3 KB a second for five minutes", [](double t) { return static_cast<std::int64_t>(3000 * t); },
       300, {}, ""},
      {"bursts of 7000 bytes every 59 seconds: 118 bytes a second on average", every(59, 7000), 300, {}, ""},
      {"an upload of 100 seconds, then 50 seconds until the reply",
       [](double t) { return static_cast<std::int64_t>(3000 * std::min(t, 100.0)) + (t >= 150 ? 2 : 0); }, 150, {},
       ""},
      {"a byte every five seconds", every(5, 1), 300, 60, "fewer than 100 bytes a second"},
      {"bursts of 5000 bytes every 50 seconds", every(50, 5000), 300, 60, "fewer than 100 bytes a second"},
      {"a fast start, then a byte every five seconds",
       [](double t) { return static_cast<std::int64_t>(100000 * std::min(t, 10.0) + t / 5); }, 300, 70,
       "fewer than 100 bytes a second"},
      {"silence", [](double) { return std::int64_t{0}; }, 300, 60, "no data moved"},
      {"a fast reply that stops half-way",
       [](double t) { return static_cast<std::int64_t>(100000 * std::min(t, 30.0)); }, 300, 90, "no data moved"},
  };
  for (const Timeline& line : lines) {
    SCOPED_TRACE(line.what);
    const Clock::time_point start = Clock::now();
    TransferWatch watch(60s, 60s, start);
    const std::optional<double> ended = runUntilEnded(watch, start, line);
    if (!line.endsAt) {
      EXPECT_EQ(ended, std::nullopt);
      EXPECT_EQ(watch.Failure(), "");
      continue;
    }
    if (!ended) {
      ADD_FAILURE() << "the transfer was never ended";
      continue;
    }
    EXPECT_GE(*ended, *line.endsAt);      // never before a whole window or stall time
    EXPECT_LE(*ended, *line.endsAt + 2);  // and soon after it
    EXPECT_EQ(watch.Failure().rfind(line.failure, 0), 0u) << watch.Failure();
  }
}
