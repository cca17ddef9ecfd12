#include <gtest/gtest.h>

#include "PreviewFlagRule.h"
#include "ToggleRule.h"

namespace {

TEST(ToggleRule, ZeroAndThreeSwapAndOtherValuesStay)
{
    EXPECT_EQ(3u, NextToggleWord(0));
    EXPECT_EQ(0u, NextToggleWord(3));
    for (uint32_t other : {1u, 2u, 4u, 0x80000000u, 0xFFFFFFFFu})
        EXPECT_FALSE(NextToggleWord(other).has_value()) << other;
}

TEST(ToggleRule, TwoPressesReturnToTheFirstValue)
{
    for (uint32_t start : {0u, 3u})
        EXPECT_EQ(start, NextToggleWord(*NextToggleWord(start)));
}

struct FlagCase {
    uint8_t bytes[4];
    int32_t before;
    int32_t after;
};

TEST(PreviewFlagRule, OnlyLittleEndianZeroAndOneMoveTheFlag)
{
    const FlagCase cases[] = {
        {{0, 0, 0, 0}, 1, 0},  {{1, 0, 0, 0}, 0, 1},  {{2, 0, 0, 0}, 1, 1},     {{2, 0, 0, 0}, 0, 0},
        {{0, 0, 0, 1}, 0, 0},  {{0, 0, 0, 1}, 1, 1},  {{1, 0, 0, 0}, 1, 1},     {{0, 1, 0, 0}, 1, 1},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 1, 1},
    };
    for (const FlagCase& c : cases) {
        uint32_t number = StartPreviewNumber(c.bytes);
        EXPECT_EQ(c.after, NextPreviewFlag(c.before, number))
            << "bytes " << int(c.bytes[0]) << " " << int(c.bytes[1]) << " " << int(c.bytes[2]) << " "
            << int(c.bytes[3]) << ", flag " << c.before;
    }
}

TEST(PreviewFlagRule, BytesReadLittleEndian)
{
    const uint8_t bigEndianOne[4] = {0, 0, 0, 1};
    const uint8_t mixed[4] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(16777216u, StartPreviewNumber(bigEndianOne));
    EXPECT_EQ(0x12345678u, StartPreviewNumber(mixed));
}

}  // namespace
