#pragma once
#include <cstdint>

// The Microsoft C runtime's rand()/srand() recurrence, so a given seed picks the same frames everywhere.
class CrtRand {
public:
    static constexpr int kMax = 32767;

    explicit CrtRand(std::uint32_t seed) : state_(seed) {}
    // Next value in 0..kMax.
    int Next();

private:
    std::uint32_t state_;
};
