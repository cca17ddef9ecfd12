// State of the simulated cameras that every process in the prefix sees alike:
// property blocks, presence, forced statuses and the transport's request log.
// It lives in the prefix's registry under HKLM\Software\SimCam.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class Operation { Get, Set };

struct LoggedRequest {
    uint32_t code = 0;
    uint32_t outputLength = 0;
    std::vector<uint8_t> input;  // the input buffer, byte for byte
};

// Registry key of one camera's state, below the store's root.
std::string CameraStateKey(const std::string& instanceId);

bool CameraKnown(const std::string& instanceId);
bool CameraPresent(const std::string& instanceId);
void SetCameraState(const std::string& instanceId, bool present);
void DeleteCameraState(const std::string& instanceId);
std::vector<std::string> KnownCameras();

// A property block is stored as the bytes the driver hands back on a get;
// fewer than 32 bytes leaves the rest of the caller's value area unwritten.
bool ReadProperty(const std::string& instanceId, uint32_t id, std::vector<uint8_t>& bytes);
void WriteProperty(const std::string& instanceId, uint32_t id, const std::vector<uint8_t>& bytes);

// The next `count` operations of a kind answer `status` (count 0 clears).
void ForceStatus(Operation operation, int32_t status, uint32_t count);
bool TakeForcedStatus(Operation operation, int32_t& status);

void AppendRequest(const LoggedRequest& request);
std::vector<LoggedRequest> ReadRequestLog();
void ClearRequestLog();

// Removes every value of the store.
void ClearStore();

}  // namespace sim
