#include "SimStore.h"

#include <windows.h>

#include "ScopedHandles.h"

namespace sim {
namespace {

const char kRoot[] = "Software\\SimCam";
const char kCameras[] = "Software\\SimCam\\Cameras";
const char kLogValue[] = "RequestLog";

// Serialises read-modify-write of shared values across processes.
class StoreLock {
public:
    StoreLock() : mutex_(CreateMutexA(nullptr, FALSE, "Local\\SimCamStore"))
    {
        if (mutex_)
            WaitForSingleObject(mutex_.get(), 5000);
    }
    ~StoreLock()
    {
        if (mutex_)
            ReleaseMutex(mutex_.get());
    }

private:
    UniqueHandle mutex_;
};

UniqueRegKey CreateKey(const std::string& path)
{
    UniqueRegKey key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    return key;
}

UniqueRegKey OpenKey(const std::string& path)
{
    UniqueRegKey key;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, key.put());
    return key;
}

bool ReadBinary(const std::string& path, const std::string& name, std::vector<uint8_t>& bytes)
{
    UniqueRegKey key = OpenKey(path);
    DWORD size = 0;
    if (!key || RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    return true;
}

void WriteBinary(const std::string& path, const std::string& name, const std::vector<uint8_t>& bytes)
{
    UniqueRegKey key = CreateKey(path);
    if (key)
        RegSetValueExA(key.get(), name.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool ReadDword(const std::string& path, const std::string& name, DWORD& value)
{
    UniqueRegKey key = OpenKey(path);
    DWORD size = sizeof(value);
    return key && RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
}

void WriteDword(const std::string& path, const std::string& name, DWORD value)
{
    UniqueRegKey key = CreateKey(path);
    if (key)
        RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

std::string PropertyName(uint32_t id) { return "Property" + std::to_string(id); }
const char* ForcedName(Operation operation) { return operation == Operation::Get ? "ForcedGet" : "ForcedSet"; }

void PutWord(std::vector<uint8_t>& bytes, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
}

uint32_t TakeWord(const std::vector<uint8_t>& bytes, size_t& offset)
{
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i)
        word |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    offset += 4;
    return word;
}

}  // namespace

std::string CameraStateKey(const std::string& instanceId)
{
    std::string name = instanceId;
    for (char& c : name)
        if (c == '\\')
            c = '#';
    return std::string(kCameras) + "\\" + name;
}

bool CameraKnown(const std::string& instanceId) { return static_cast<bool>(OpenKey(CameraStateKey(instanceId))); }

bool CameraPresent(const std::string& instanceId)
{
    DWORD present = 0;
    return ReadDword(CameraStateKey(instanceId), "Present", present) && present == 1;
}

void SetCameraState(const std::string& instanceId, bool present)
{
    UniqueRegKey key = CreateKey(CameraStateKey(instanceId));
    if (!key)
        return;
    RegSetValueExA(key.get(), "InstanceId", 0, REG_SZ, reinterpret_cast<const BYTE*>(instanceId.c_str()),
                   static_cast<DWORD>(instanceId.size() + 1));
    WriteDword(CameraStateKey(instanceId), "Present", present ? 1 : 0);
}

void DeleteCameraState(const std::string& instanceId)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, CameraStateKey(instanceId).c_str());
}

std::vector<std::string> KnownCameras()
{
    std::vector<std::string> cameras;
    UniqueRegKey root = OpenKey(kCameras);
    char name[MAX_PATH];
    for (DWORD i = 0; root; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(root.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        char instanceId[MAX_PATH] = {};
        DWORD size = sizeof(instanceId) - 1;
        if (RegGetValueA(root.get(), name, "InstanceId", RRF_RT_REG_SZ, nullptr, instanceId, &size) == ERROR_SUCCESS)
            cameras.push_back(instanceId);
    }
    return cameras;
}

bool ReadProperty(const std::string& instanceId, uint32_t id, std::vector<uint8_t>& bytes)
{
    return ReadBinary(CameraStateKey(instanceId), PropertyName(id), bytes);
}

void WriteProperty(const std::string& instanceId, uint32_t id, const std::vector<uint8_t>& bytes)
{
    WriteBinary(CameraStateKey(instanceId), PropertyName(id), bytes);
}

void ForceStatus(Operation operation, int32_t status, uint32_t count)
{
    StoreLock lock;
    std::string name = ForcedName(operation);
    WriteDword(kRoot, name + "Status", static_cast<DWORD>(status));
    WriteDword(kRoot, name + "Count", count);
}

bool TakeForcedStatus(Operation operation, int32_t& status)
{
    StoreLock lock;
    std::string name = ForcedName(operation);
    DWORD count = 0;
    DWORD value = 0;
    if (!ReadDword(kRoot, name + "Count", count) || count == 0 || !ReadDword(kRoot, name + "Status", value))
        return false;
    if (count != INFINITE)
        WriteDword(kRoot, name + "Count", count - 1);
    status = static_cast<int32_t>(value);
    return true;
}

void AppendRequest(const LoggedRequest& request)
{
    StoreLock lock;
    std::vector<uint8_t> log;
    ReadBinary(kRoot, kLogValue, log);
    PutWord(log, request.code);
    PutWord(log, request.outputLength);
    PutWord(log, static_cast<uint32_t>(request.input.size()));
    log.insert(log.end(), request.input.begin(), request.input.end());
    WriteBinary(kRoot, kLogValue, log);
}

std::vector<LoggedRequest> ReadRequestLog()
{
    std::vector<uint8_t> log;
    std::vector<LoggedRequest> requests;
    if (!ReadBinary(kRoot, kLogValue, log))
        return requests;
    size_t offset = 0;
    while (offset + 12 <= log.size()) {
        LoggedRequest request;
        request.code = TakeWord(log, offset);
        request.outputLength = TakeWord(log, offset);
        size_t length = TakeWord(log, offset);
        if (offset + length > log.size())
            break;
        request.input.assign(log.begin() + offset, log.begin() + offset + length);
        offset += length;
        requests.push_back(request);
    }
    return requests;
}

void ClearRequestLog()
{
    StoreLock lock;
    UniqueRegKey key = OpenKey(kRoot);
    if (key)
        RegDeleteValueA(key.get(), kLogValue);
}

void ClearStore()
{
    StoreLock lock;
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRoot);
}

}  // namespace sim
