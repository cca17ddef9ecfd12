// The hotkey's rule for ToggleWord (word 7 of property 2): platform-free.
#pragma once

#include <cstdint>
#include <optional>

// 0 becomes 3 and 3 becomes 0; any other value is left as it is (no value).
inline std::optional<uint32_t> NextToggleWord(uint32_t current)
{
    if (current == 0)
        return 3u;
    if (current == 3)
        return 0u;
    return std::nullopt;
}
