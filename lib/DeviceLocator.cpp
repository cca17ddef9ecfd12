#include "DeviceLocator.h"

#include <setupapi.h>

#include <cstring>
#include <memory>

#include "LibraryState.h"
#include "ScopedHandles.h"

const char kDefaultDeviceId[] = "VID_0402&PID_5602";

namespace {

// KSCATEGORY_CAPTURE {65E8773D-8F56-11D0-A3B9-00A0C9223196}
const GUID kCaptureCategory = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
const char kOverrideKey[] = "Software\\DuzOvu\\Vantrel";

#ifndef _WIN64
static_assert(sizeof(SP_DEVINFO_DATA) == 28 && sizeof(SP_DEVICE_INTERFACE_DATA) == 28, "32-bit record sizes");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5, "32-bit detail record size");
#endif

struct DetailRecordDeleter {
    void operator()(SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail) const { HeapFree(GetProcessHeap(), 0, detail); }
};
using DetailRecord = std::unique_ptr<SP_DEVICE_INTERFACE_DETAIL_DATA_A, DetailRecordDeleter>;

// Fetches the interface's detail record, or null when it cannot be had.
DetailRecord FetchDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data)
{
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &size, nullptr);
    DWORD allocation = size > sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) ? size : sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    DetailRecord detail(static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(HeapAlloc(GetProcessHeap(), 0, allocation)));
    if (!detail)
        return nullptr;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set, &data, detail.get(), size, nullptr, nullptr))
        return nullptr;
    return detail;
}

// Walks the present capture devices whose instance identifier matches and
// each of their capture interfaces in order; answers the first result the
// action gives (a result equal to Result{} is none).
template <typename Result, typename Action>
Result FindMatchingInterface(std::string_view identifier, Action action)
{
    UniqueDevInfo set(SetupDiGetClassDevsA(&kCaptureCategory, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set)
        return Result{};
    for (DWORD i = 0;; ++i) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(set.get(), i, &device)) {
            if (GetLastError() == ERROR_NO_MORE_ITEMS)
                return Result{};
            continue;
        }
        char instanceId[MAX_PATH] = {};
        SetupDiGetDeviceInstanceIdA(set.get(), &device, instanceId, sizeof(instanceId), nullptr);
        if (!InstanceMatchesDeviceId(std::string_view(instanceId, strnlen(instanceId, sizeof(instanceId))), identifier))
            continue;
        for (DWORD j = 0;; ++j) {
            SP_DEVICE_INTERFACE_DATA data = {};
            data.cbSize = sizeof(data);
            if (!SetupDiEnumDeviceInterfaces(set.get(), &device, &kCaptureCategory, j, &data)) {
                if (GetLastError() == ERROR_NO_MORE_ITEMS)
                    break;
                continue;
            }
            DetailRecord detail = FetchDetail(set.get(), data);
            if (!detail)
                break;
            Result result = action(set.get(), device, *detail);
            if (result != Result{})
                return result;
        }
    }
}

HANDLE OpenInterfacePath(HDEVINFO, SP_DEVINFO_DATA&, const SP_DEVICE_INTERFACE_DETAIL_DATA_A& detail)
{
    HANDLE device = CreateFileA(detail.DevicePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return device == INVALID_HANDLE_VALUE ? nullptr : device;
}

}  // namespace

int ResolveDeviceId(char (&destination)[kDeviceIdTextSize], const char* defaultText)
{
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOverrideKey, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) {
        lstrcpynA(destination, defaultText, kDeviceIdTextSize);
        return 0;
    }
    DWORD size = kDeviceIdTextSize;
    LONG status = RegQueryValueExA(key.get(), "DeviceId", nullptr, nullptr, reinterpret_cast<BYTE*>(destination), &size);
    key.reset();
    if (status != ERROR_SUCCESS || size > kDeviceIdTextSize) {
        lstrcpynA(destination, defaultText, kDeviceIdTextSize);
        return 0;
    }
    // The text ends with the value: nothing of an earlier, longer text stays.
    std::memset(destination + size, 0, kDeviceIdTextSize - size);
    return 1;
}

HANDLE OpenDevice(std::string_view identifier)
{
    return FindMatchingInterface<HANDLE>(identifier, OpenInterfacePath);
}

HKEY OpenDriverKey(std::string_view identifier, const char* subkey)
{
    return FindMatchingInterface<HKEY>(identifier, [subkey](HDEVINFO set, SP_DEVINFO_DATA& device,
                                                            const SP_DEVICE_INTERFACE_DETAIL_DATA_A&) -> HKEY {
        UniqueRegKey driverKey(SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_ALL_ACCESS));
        HKEY result = nullptr;
        if (!driverKey || RegOpenKeyExA(driverKey.get(), subkey, 0, KEY_ALL_ACCESS, &result) != ERROR_SUCCESS)
            return nullptr;
        return result;
    });
}

int MarkFirmwareDownload()
{
    ResolveDeviceId(g_library.deviceIdText, kDefaultDeviceId);
    UniqueRegKey key(OpenDriverKey(DeviceIdTextView(g_library.deviceIdText), nullptr));
    if (key) {
        const DWORD one = 1;
        RegSetValueExA(key.get(), "DownloadFirmware", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    }
    return 1;
}
