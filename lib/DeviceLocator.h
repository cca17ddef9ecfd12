// Finds the camera among the present capture devices.
#pragma once

#include <windows.h>

#include <string_view>

#include "DeviceIdMatch.h"

extern const char kDefaultDeviceId[];

// Fills `destination` from the "DeviceId" override, or with `defaultText`;
// answers 1 when the override was read.
int ResolveDeviceId(char (&destination)[kDeviceIdTextSize], const char* defaultText);

// The first matching capture interface that opens, or null.
HANDLE OpenDevice(std::string_view identifier);

// A key below the first matching device's driver key (the key itself for a
// null subkey), or null. The caller closes it.
HKEY OpenDriverKey(std::string_view identifier, const char* subkey);

// Writes "DownloadFirmware" = 1 into the camera's driver key; always 1.
int MarkFirmwareDownload();
