#include "SimDevices.h"

#include <setupapi.h>

#include <vector>

#include "ScopedHandles.h"
#include "SimStore.h"

namespace sim {
namespace {

const GUID kCaptureCategory = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
const GUID kImageClass = {0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};
const char kModulesFolder[] = "C:\\simcam";
const char kDeviceClasses[] =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{65e8773d-8f56-11d0-a3b9-00a0c9223196}";

std::string LastError(const std::string& what)
{
    return what + " failed, error " + std::to_string(GetLastError());
}

std::string ReferenceString(int index) { return index == 0 ? "global" : "global" + std::to_string(index); }

// Opens the registered device with this instance identifier in a set of its own.
std::string OpenDevice(const std::string& instanceId, UniqueDevInfo& set, SP_DEVINFO_DATA& device)
{
    set.reset(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    if (!set)
        return LastError("SetupDiCreateDeviceInfoList");
    device = {};
    device.cbSize = sizeof(device);
    if (!SetupDiOpenDeviceInfoA(set.get(), instanceId.c_str(), nullptr, 0, &device))
        return LastError("no camera " + instanceId + ": SetupDiOpenDeviceInfo");
    return "";
}

std::vector<std::string> DevicePaths(const std::string& instanceId)
{
    std::vector<std::string> paths;
    UniqueDevInfo set(SetupDiGetClassDevsA(&kCaptureCategory, nullptr, nullptr, DIGCF_DEVICEINTERFACE));
    for (DWORD i = 0; set; ++i) {
        SP_DEVICE_INTERFACE_DATA data = {};
        data.cbSize = sizeof(data);
        if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kCaptureCategory, i, &data))
            break;
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(set.get(), &data, nullptr, 0, &size, nullptr);
        std::vector<char> buffer(size + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
        detail->cbSize = sizeof(*detail);
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        char owner[MAX_PATH] = {};
        if (SetupDiGetDeviceInterfaceDetailA(set.get(), &data, detail, size, nullptr, &device) &&
            SetupDiGetDeviceInstanceIdA(set.get(), &device, owner, sizeof(owner), nullptr) &&
            lstrcmpiA(owner, instanceId.c_str()) == 0)
            paths.push_back(detail->DevicePath);
    }
    return paths;
}

// Where the prefix's dosdevices folder is, as a Windows path (Z: is the root).
std::string DosDevicesFolder()
{
    char prefix[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof(prefix));
    if (length == 0 || length >= sizeof(prefix))
        return "";
    std::string folder = std::string("Z:") + prefix + "\\dosdevices";
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    return folder;
}

// "\\?\usb#...#{guid}\global" opens the file "global" in dosdevices' folder
// "usb#...#{guid}"; that file names the camera for the transport module.
std::string MakePathOpenable(const std::string& path, const std::string& instanceId)
{
    std::string dosdevices = DosDevicesFolder();
    if (dosdevices.empty())
        return "WINEPREFIX is not set";
    size_t slash = path.rfind('\\');
    if (path.compare(0, 4, "\\\\?\\") != 0 || slash == std::string::npos || slash < 4)
        return "unexpected device path " + path;
    std::string folder = dosdevices + "\\" + path.substr(4, slash - 4);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string file = folder + "\\" + path.substr(slash + 1);
    UniqueHandle handle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!handle || !WriteFile(handle.get(), instanceId.data(), static_cast<DWORD>(instanceId.size()), &written, nullptr))
        return LastError("creating " + file);
    return "";
}

void RemovePathFiles(const std::string& path)
{
    std::string dosdevices = DosDevicesFolder();
    size_t slash = path.rfind('\\');
    if (dosdevices.empty() || slash == std::string::npos || slash < 4)
        return;
    std::string folder = dosdevices + "\\" + path.substr(4, slash - 4);
    DeleteFileA((folder + "\\" + path.substr(slash + 1)).c_str());
    RemoveDirectoryA(folder.c_str());
}

// Sets "Linked" of each of the camera's interfaces, which is what makes them
// present to a DIGCF_PRESENT enumeration.
std::string SetLinked(const std::string& instanceId, DWORD linked)
{
    UniqueRegKey classes;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDeviceClasses, 0, KEY_ALL_ACCESS, classes.put()) != ERROR_SUCCESS)
        return "no capture interfaces registered";
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(classes.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        char owner[MAX_PATH] = {};
        DWORD size = sizeof(owner) - 1;
        if (RegGetValueA(classes.get(), name, "DeviceInstance", RRF_RT_REG_SZ, nullptr, owner, &size) != ERROR_SUCCESS ||
            lstrcmpiA(owner, instanceId.c_str()) != 0)
            continue;
        UniqueRegKey interfaceKey;
        RegOpenKeyExA(classes.get(), name, 0, KEY_ALL_ACCESS, interfaceKey.put());
        char reference[MAX_PATH];
        for (DWORD j = 0; interfaceKey; ++j) {
            DWORD referenceLength = sizeof(reference);
            if (RegEnumKeyExA(interfaceKey.get(), j, reference, &referenceLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            UniqueRegKey control;
            std::string controlPath = std::string(reference) + "\\Control";
            if (RegCreateKeyExA(interfaceKey.get(), controlPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, control.put(), nullptr) == ERROR_SUCCESS)
                RegSetValueExA(control.get(), "Linked", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&linked), sizeof(linked));
        }
    }
    return "";
}

std::string SystemTransportPath()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, sizeof(folder));
    return std::string(folder) + "\\Ksproxy.ax";
}

std::string CopyModule(const std::string& from, const std::string& to)
{
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        return LastError("copying " + from + " to " + to);
    return "";
}

}  // namespace

std::string Install(const std::string& modulesFolder)
{
    CreateDirectoryA(kModulesFolder, nullptr);
    for (const char* name : {"ksproxy-full.ax", "ksproxy-noentry.ax"}) {
        std::string error = CopyModule(modulesFolder + "\\" + name, std::string(kModulesFolder) + "\\" + name);
        if (!error.empty())
            return error;
    }
    UniqueRegKey overrides;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        overrides.put(), nullptr) != ERROR_SUCCESS)
        return LastError("opening the DLL overrides");
    const char native[] = "native";
    RegSetValueExA(overrides.get(), "ksproxy.ax", 0, REG_SZ, reinterpret_cast<const BYTE*>(native), sizeof(native));
    return ResetAll();
}

std::string AddCamera(const std::string& instanceId, int captureInterfaces)
{
    UniqueDevInfo set(SetupDiCreateDeviceInfoList(&kImageClass, nullptr));
    if (!set)
        return LastError("SetupDiCreateDeviceInfoList");
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    if (!SetupDiCreateDeviceInfoA(set.get(), instanceId.c_str(), &kImageClass, "Simulated camera", nullptr, 0, &device))
        return LastError("SetupDiCreateDeviceInfo " + instanceId);
    if (!SetupDiRegisterDeviceInfo(set.get(), &device, 0, nullptr, nullptr, nullptr))
        return LastError("SetupDiRegisterDeviceInfo");
    UniqueRegKey driverKey(SetupDiCreateDevRegKeyA(set.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr));
    if (!driverKey)
        return LastError("SetupDiCreateDevRegKey");
    for (int i = 0; i < captureInterfaces; ++i) {
        SP_DEVICE_INTERFACE_DATA data = {};
        data.cbSize = sizeof(data);
        if (!SetupDiCreateDeviceInterfaceA(set.get(), &device, &kCaptureCategory, ReferenceString(i).c_str(), 0, &data))
            return LastError("SetupDiCreateDeviceInterface");
    }
    SetCameraState(instanceId, true);
    WriteProperty(instanceId, 2, {0x20, 0, 0, 0, 0x21, 0, 0, 0, 0x22, 0, 0, 0, 0x23, 0, 0, 0,
                                  0x24, 0, 0, 0, 0x25, 0, 0, 0, 0x26, 0, 0, 0, 0, 0, 0, 0});
    for (const std::string& path : DevicePaths(instanceId)) {
        std::string error = MakePathOpenable(path, instanceId);
        if (!error.empty())
            return error;
    }
    return PlugCamera(instanceId, true);
}

std::string RemoveCamera(const std::string& instanceId)
{
    for (const std::string& path : DevicePaths(instanceId))
        RemovePathFiles(path);
    PlugCamera(instanceId, false);
    DeleteCameraState(instanceId);
    UniqueDevInfo set;
    SP_DEVINFO_DATA device;
    std::string error = OpenDevice(instanceId, set, device);
    if (!error.empty())
        return error;
    if (!SetupDiRemoveDevice(set.get(), &device))
        return LastError("SetupDiRemoveDevice");
    return "";
}

std::string PlugCamera(const std::string& instanceId, bool plugged)
{
    if (CameraKnown(instanceId))
        SetCameraState(instanceId, plugged);
    return SetLinked(instanceId, plugged ? 1 : 0);
}

std::string SelectTransport(Transport transport)
{
    std::string target = SystemTransportPath();
    switch (transport) {
    case Transport::Full:
        return CopyModule(std::string(kModulesFolder) + "\\ksproxy-full.ax", target);
    case Transport::NoEntry:
        return CopyModule(std::string(kModulesFolder) + "\\ksproxy-noentry.ax", target);
    case Transport::Missing:
        if (!DeleteFileA(target.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            return LastError("deleting " + target);
        return "";
    }
    return "unknown transport";
}

std::string ResetAll()
{
    std::string error;
    for (const std::string& camera : KnownCameras()) {
        std::string removed = RemoveCamera(camera);
        if (error.empty())
            error = removed;
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\DuzOvu\\Vantrel");
    ClearStore();
    std::string selected = SelectTransport(Transport::Full);
    return error.empty() ? selected : error;
}

bool ReadDownloadFirmware(const std::string& instanceId, DWORD& value)
{
    UniqueDevInfo set;
    SP_DEVINFO_DATA device;
    if (!OpenDevice(instanceId, set, device).empty())
        return false;
    UniqueRegKey key(SetupDiOpenDevRegKey(set.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ));
    DWORD size = sizeof(value);
    return key && RegQueryValueExA(key.get(), "DownloadFirmware", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
}

std::string ClearDownloadFirmware(const std::string& instanceId)
{
    UniqueDevInfo set;
    SP_DEVINFO_DATA device;
    std::string error = OpenDevice(instanceId, set, device);
    if (!error.empty())
        return error;
    UniqueRegKey key(SetupDiOpenDevRegKey(set.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_ALL_ACCESS));
    if (!key)
        return LastError("SetupDiOpenDevRegKey");
    RegDeleteValueA(key.get(), "DownloadFirmware");
    return "";
}

std::string InterfacePaths(const std::string& instanceId, std::string& paths)
{
    paths.clear();
    for (const std::string& path : DevicePaths(instanceId))
        paths += path + "\n";
    return "";
}

}  // namespace sim
