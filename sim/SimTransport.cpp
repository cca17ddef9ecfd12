// The simulated camera driver's side of the kernel-streaming transport:
// KsSynchronousDeviceControl serving the vendor property set on the handle of
// an opened simulated camera.
#include <windows.h>

#include <cstring>
#include <string>

#include "SimStore.h"

namespace {

const ULONG kIoctlKsProperty = 0x002F0003;
const ULONG kRequestSize = 56;
const ULONG kHeaderSize = 24;
const ULONG kValueSize = 32;
const ULONG kFlagGet = 1;
const ULONG kFlagSet = 2;
const GUID kVendorSet = {0xA7974C56, 0xA77E, 0x4B90, {0x8C, 0xBF, 0x1C, 0x71, 0xEC, 0x30, 0x20, 0x00}};

const HRESULT kWrongSet = HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
const HRESULT kUnknownProperty = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
const HRESULT kNotConnected = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);

// A simulated camera's device file holds its instance identifier.
bool CameraOfHandle(HANDLE handle, std::string& instanceId)
{
    char text[MAX_PATH] = {};
    OVERLAPPED fromStart = {};
    DWORD read = 0;
    if (!ReadFile(handle, text, sizeof(text) - 1, &read, &fromStart))
        return false;
    instanceId.assign(text, read);
    return sim::CameraKnown(instanceId);
}

void LogRequest(ULONG code, const void* input, ULONG inputLength, ULONG outputLength)
{
    sim::LoggedRequest request;
    request.code = code;
    request.outputLength = outputLength;
    if (input)
        request.input.assign(static_cast<const uint8_t*>(input), static_cast<const uint8_t*>(input) + inputLength);
    sim::AppendRequest(request);
}

HRESULT Get(const std::string& camera, ULONG id, uint8_t* buffer, ULONG* bytesReturned)
{
    std::vector<uint8_t> value;
    if (!sim::ReadProperty(camera, id, value))
        return kUnknownProperty;
    ULONG size = value.size() < kValueSize ? static_cast<ULONG>(value.size()) : kValueSize;
    std::memcpy(buffer + kHeaderSize, value.data(), size);
    if (bytesReturned)
        *bytesReturned = kHeaderSize + size;
    return S_OK;
}

HRESULT Set(const std::string& camera, ULONG id, uint8_t* buffer, ULONG* bytesReturned)
{
    sim::WriteProperty(camera, id, std::vector<uint8_t>(buffer + kHeaderSize, buffer + kRequestSize));
    // Like some real drivers, leave something of our own in the value area.
    std::memset(buffer + kHeaderSize, 0xA5, kValueSize);
    if (bytesReturned)
        *bytesReturned = 0;
    return S_OK;
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI KsSynchronousDeviceControl(
    HANDLE handle, ULONG code, PVOID input, ULONG inputLength, PVOID output, ULONG outputLength, PULONG bytesReturned)
{
    LogRequest(code, input, inputLength, outputLength);

    if (code != kIoctlKsProperty || !input || !output || inputLength != kRequestSize || outputLength != kRequestSize)
        return E_INVALIDARG;
    uint8_t request[kRequestSize];
    std::memcpy(request, input, kRequestSize);
    ULONG id = 0;
    ULONG flags = 0;
    std::memcpy(&id, request + 16, 4);
    std::memcpy(&flags, request + 20, 4);
    if (std::memcmp(request, &kVendorSet, sizeof(kVendorSet)) != 0)
        return kWrongSet;
    if (flags != kFlagGet && flags != kFlagSet)
        return E_INVALIDARG;

    std::string camera;
    if (!CameraOfHandle(handle, camera))
        return E_HANDLE;
    if (!sim::CameraPresent(camera))
        return kNotConnected;

    sim::Operation operation = flags == kFlagGet ? sim::Operation::Get : sim::Operation::Set;
    int32_t forced = 0;
    bool isForced = sim::TakeForcedStatus(operation, forced);
    if (isForced && forced < 0)
        return forced;

    uint8_t* buffer = static_cast<uint8_t*>(output);
    if (output != input)
        std::memcpy(buffer, request, kRequestSize);
    HRESULT status = operation == sim::Operation::Get ? Get(camera, id, buffer, bytesReturned)
                                                      : Set(camera, id, buffer, bytesReturned);
    return isForced && SUCCEEDED(status) ? forced : status;
}
