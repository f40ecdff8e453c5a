#pragma once
#include <cstddef>
#include <cstdint>

// Sums over runs of bytes: the inner loops of the per-frame writers.

// Sum of n bytes.
std::uint64_t SumBytes(const std::uint8_t* bytes, std::size_t n);

// Sum of one channel (0, 1 or 2) over count pixels of 3 bytes each.
std::uint64_t SumChannel(const std::uint8_t* pixels, std::size_t count, int channel);
