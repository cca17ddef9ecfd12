#include "PropertyRequest.h"

namespace {

// {A7974C56-A77E-4B90-8CBF-1C71EC302000} in its in-memory layout.
const uint8_t kVendorSetBytes[16] = {0x56, 0x4C, 0x97, 0xA7, 0x7E, 0xA7, 0x90, 0x4B,
                                     0x8C, 0xBF, 0x1C, 0x71, 0xEC, 0x30, 0x20, 0x00};
constexpr uint32_t kIdOffset = 16;
constexpr uint32_t kFlagsOffset = 20;
constexpr uint32_t kValueOffset = 24;

void PutWord(uint8_t* at, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(word >> (8 * i));
}

uint32_t GetWord(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

PropertyRequest MakePropertyRequest(uint32_t propertyId, uint32_t flags, const uint32_t* words)
{
    PropertyRequest request = {};
    for (int i = 0; i < 16; ++i)
        request.bytes[i] = kVendorSetBytes[i];
    PutWord(request.bytes + kIdOffset, propertyId);
    PutWord(request.bytes + kFlagsOffset, flags);
    if (words)
        for (uint32_t i = 0; i < kPropertyWords; ++i)
            PutWord(request.bytes + kValueOffset + 4 * i, words[i]);
    return request;
}

void ReadPropertyValue(const PropertyRequest& request, uint32_t (&words)[kPropertyWords])
{
    for (uint32_t i = 0; i < kPropertyWords; ++i)
        words[i] = GetWord(request.bytes + kValueOffset + 4 * i);
}
