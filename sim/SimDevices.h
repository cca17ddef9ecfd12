// Simulated cameras as the system sees them: device registration with capture
// interfaces, presence, driver key, openable device paths, and the transport
// module in the system directory. Each call answers an error text, empty on
// success.
#pragma once

#include <windows.h>

#include <string>

namespace sim {

enum class Transport { Full, NoEntry, Missing };

// One-time set-up of a prefix: the transport modules and their DLL override.
std::string Install(const std::string& modulesFolder);

// Adds a present camera whose property 2 holds words 0x20..0x26 and word 7 = 0.
std::string AddCamera(const std::string& instanceId, int captureInterfaces = 1);
std::string RemoveCamera(const std::string& instanceId);
std::string PlugCamera(const std::string& instanceId, bool plugged);
std::string SelectTransport(Transport transport);

// Removes every simulated camera, the library's "DeviceId" override and the
// store, and puts the full transport back.
std::string ResetAll();

// "DownloadFirmware" in the camera's driver key; false when absent.
bool ReadDownloadFirmware(const std::string& instanceId, DWORD& value);
std::string ClearDownloadFirmware(const std::string& instanceId);

// Device paths of the camera's capture interfaces, as the system lists them.
std::string InterfacePaths(const std::string& instanceId, std::string& paths);

}  // namespace sim
