#include "DeviceIdMatch.h"

#include <cstring>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string_view DeviceIdTextView(const char (&buffer)[kDeviceIdTextSize])
{
    const void* end = std::memchr(buffer, '\0', kDeviceIdTextSize);
    return std::string_view(buffer, end ? static_cast<const char*>(end) - buffer : kDeviceIdTextSize);
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part)
{
    if (part.size() > text.size())
        return false;
    for (std::size_t start = 0; start + part.size() <= text.size(); ++start) {
        std::size_t i = 0;
        while (i < part.size() && LowerAscii(text[start + i]) == LowerAscii(part[i]))
            ++i;
        if (i == part.size())
            return true;
    }
    return false;
}

bool InstanceMatchesDeviceId(std::string_view instanceId, std::string_view deviceId)
{
    return ContainsIgnoringCase(instanceId, deviceId) && !ContainsIgnoringCase(instanceId, "MI_01");
}
