#include "byte_sums.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// With SSE2 (every x86-64 processor) the sum of absolute differences against zero adds 8 bytes into a
// 64-bit lane in one instruction; the plain loops finish the tail and serve other processors.

#if defined(__SSE2__)
namespace {

std::uint64_t AddLanes(__m128i lanes)
{
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(lanes)) +
           static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(lanes, lanes)));
}

}  // namespace
#endif

std::uint64_t SumBytes(const std::uint8_t* p, std::size_t n)
{
    std::uint64_t total = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = zero;
    for (; n >= 16; n -= 16, p += 16)
        lanes = _mm_add_epi64(lanes, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), zero));
    total = AddLanes(lanes);
#endif
    for (; n > 0; --n)
        total += *p++;
    return total;
}

std::uint64_t SumChannel(const std::uint8_t* p, std::size_t count, int channel)
{
    std::uint64_t total = 0;
#if defined(__SSE2__)
    // 48 bytes are 16 whole pixels: three masks keep the channel's bytes of each 16-byte third.
    static constexpr auto kMasks = [] {
        std::array<std::array<std::uint8_t, 48>, 3> masks{};
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 48; ++i)
                masks[c][i] = i % 3 == c ? 0xFF : 0;
        return masks;
    }();
    const auto* masks = reinterpret_cast<const __m128i*>(kMasks[channel].data());
    const __m128i mask0 = _mm_loadu_si128(masks);
    const __m128i mask1 = _mm_loadu_si128(masks + 1);
    const __m128i mask2 = _mm_loadu_si128(masks + 2);
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = zero;
    for (; count >= 16; count -= 16, p += 48) {
        const auto* v = reinterpret_cast<const __m128i*>(p);
        lanes = _mm_add_epi64(lanes, _mm_sad_epu8(_mm_and_si128(_mm_loadu_si128(v), mask0), zero));
        lanes = _mm_add_epi64(lanes, _mm_sad_epu8(_mm_and_si128(_mm_loadu_si128(v + 1), mask1), zero));
        lanes = _mm_add_epi64(lanes, _mm_sad_epu8(_mm_and_si128(_mm_loadu_si128(v + 2), mask2), zero));
    }
    total = AddLanes(lanes);
#endif
    for (; count > 0; --count, p += 3)
        total += p[channel];
    return total;
}
