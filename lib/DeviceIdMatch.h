// Which device instances the library may use: platform-free.
#pragma once

#include <cstddef>
#include <string_view>

constexpr std::size_t kDeviceIdTextSize = 260;

// The text held in a DeviceIdText buffer: up to its first NUL, and never past
// the buffer when it holds none.
std::string_view DeviceIdTextView(const char (&buffer)[kDeviceIdTextSize]);

// Substring test that ignores ASCII letter case; an empty part is contained
// in every text.
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

// An instance matches when it contains the device identifier text and is not
// the "MI_01" interface of a composite device.
bool InstanceMatchesDeviceId(std::string_view instanceId, std::string_view deviceId);
