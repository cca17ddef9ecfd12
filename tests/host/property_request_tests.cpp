#include <gtest/gtest.h>

#include <vector>

#include "PropertyRequest.h"

namespace {

const std::vector<uint8_t> kSetBytes = {0x56, 0x4C, 0x97, 0xA7, 0x7E, 0xA7, 0x90, 0x4B,
                                        0x8C, 0xBF, 0x1C, 0x71, 0xEC, 0x30, 0x20, 0x00};

std::vector<uint8_t> Bytes(const PropertyRequest& request, size_t from, size_t count)
{
    return std::vector<uint8_t>(request.bytes + from, request.bytes + from + count);
}

TEST(PropertyRequest, GetOfProperty2HasTheExactHeaderAndAnEmptyValue)
{
    PropertyRequest request = MakePropertyRequest(2, kPropertyFlagGet, nullptr);
    EXPECT_EQ(56u, sizeof(request.bytes));
    EXPECT_EQ(kSetBytes, Bytes(request, 0, 16));
    EXPECT_EQ((std::vector<uint8_t>{2, 0, 0, 0}), Bytes(request, 16, 4));
    EXPECT_EQ((std::vector<uint8_t>{1, 0, 0, 0}), Bytes(request, 20, 4));
    EXPECT_EQ(std::vector<uint8_t>(32, 0), Bytes(request, 24, 32));
}

TEST(PropertyRequest, SetCarriesTheWordsLittleEndianInOrder)
{
    const uint32_t words[8] = {0x03020100, 0x07060504, 0x0B0A0908, 0x0F0E0D0C,
                               0x13121110, 0x17161514, 0x1B1A1918, 0x1F1E1D1C};
    PropertyRequest request = MakePropertyRequest(0xA1B2C3D4, kPropertyFlagSet, words);
    EXPECT_EQ((std::vector<uint8_t>{0xD4, 0xC3, 0xB2, 0xA1}), Bytes(request, 16, 4));
    EXPECT_EQ((std::vector<uint8_t>{2, 0, 0, 0}), Bytes(request, 20, 4));
    for (uint8_t i = 0; i < 32; ++i)
        EXPECT_EQ(i, request.bytes[24 + i]) << "value byte " << int(i);
}

TEST(PropertyRequest, ReadsBackTheWordsItCarries)
{
    const uint32_t words[8] = {0, 1, 0xFFFFFFFF, 0x80000000, 5, 6, 7, 3};
    PropertyRequest request = MakePropertyRequest(2, kPropertyFlagSet, words);
    uint32_t read[8] = {};
    ReadPropertyValue(request, read);
    EXPECT_EQ(std::vector<uint32_t>(words, words + 8), std::vector<uint32_t>(read, read + 8));
}

}  // namespace
