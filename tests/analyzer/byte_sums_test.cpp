#include "byte_sums.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Lengths around the 16- and 48-byte vector steps, with and without a tail.
const std::size_t kLengths[] = {0, 1, 15, 16, 17, 47, 48, 49, 4095, 4096, 4097, 12288, 12291, 100003};

std::vector<std::uint8_t> Bytes(std::size_t n, bool allMax)
{
    std::mt19937 random(static_cast<unsigned>(n));
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes)
        b = allMax ? 255 : static_cast<std::uint8_t>(random());
    return bytes;
}

TEST(ByteSums, SumBytesMatchesAPlainSum)
{
    for (bool allMax : {false, true})
        for (std::size_t n : kLengths) {
            const std::vector<std::uint8_t> bytes = Bytes(n, allMax);
            std::uint64_t expected = 0;
            for (std::uint8_t b : bytes)
                expected += b;
            EXPECT_EQ(SumBytes(bytes.data(), n), expected) << n << " bytes";
        }
}

TEST(ByteSums, SumChannelMatchesAPlainSumOfEveryThirdByte)
{
    for (bool allMax : {false, true})
        for (std::size_t n : kLengths) {
            const std::size_t pixels = n / 3;
            const std::vector<std::uint8_t> bytes = Bytes(pixels * 3, allMax);
            for (int channel = 0; channel < 3; ++channel) {
                std::uint64_t expected = 0;
                for (std::size_t i = channel; i < bytes.size(); i += 3)
                    expected += bytes[i];
                EXPECT_EQ(SumChannel(bytes.data(), pixels, channel), expected)
                    << pixels << " pixels, channel " << channel;
            }
        }
}

}  // namespace
