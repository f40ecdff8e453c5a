#pragma once
#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

// Time spent in each stage of the main pass, summed over all frames in steady-clock ticks (nanoseconds).
class StageClock {
public:
    enum Stage { kRead, kScale, kCopyTo, kHashes, kRGBFlow, kSave, kTable, kStageCount };

    // Marks the start of a frame.
    void Start() { last_ = Clock::now(); }

    // Adds the time since the previous mark to the stage and marks now.
    void Lap(Stage stage)
    {
        const auto now = Clock::now();
        sums_[stage] += static_cast<std::uint64_t>(std::chrono::nanoseconds(now - last_).count());
        last_ = now;
    }

    // Adds the sums of a clock that timed other frames (on another thread).
    StageClock& operator+=(const StageClock& other)
    {
        for (int stage = 0; stage < kStageCount; ++stage)
            sums_[stage] += other.sums_[stage];
        return *this;
    }

    void Print(std::FILE* out) const
    {
        static constexpr const char* kLabels[kStageCount] = {"Read frame", "Scale     ", "CopyTo    ", "VH.count  ",
                                                             "RGBFlow   ", "Save      ", "Table     "};
        for (int stage = 0; stage < kStageCount; ++stage)
            std::fprintf(out, "%s=%" PRIu64 "\n", kLabels[stage], sums_[stage]);
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point last_;
    std::array<std::uint64_t, kStageCount> sums_{};
};
