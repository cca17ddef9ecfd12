// How "StartPreview" moves the cached preview flag: platform-free.
#pragma once

#include <cstdint>

// The value's four bytes read as a little-endian number.
inline uint32_t StartPreviewNumber(const uint8_t (&bytes)[4])
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// 0 and 1 set the flag; any other number leaves it as it was.
inline int32_t NextPreviewFlag(int32_t flag, uint32_t number)
{
    return number <= 1 ? static_cast<int32_t>(number) : flag;
}
