// VantrelCtl.dll opened and closed against the simulated camera.
#include <windows.h>

#include <string>
#include <vector>

#include "BoxWatcher.h"
#include "ChildProcess.h"
#include "HandleCount.h"
#include "ScopedHandles.h"
#include "SimFixture.h"
#include "VantrelCtl.h"

namespace {

const char kOverrideKey[] = "Software\\DuzOvu\\Vantrel";

// The instance identifier of the simulated camera behind an open handle.
std::string CameraBehind(HANDLE device)
{
    char text[MAX_PATH] = {};
    OVERLAPPED fromStart = {};
    DWORD read = 0;
    if (!ReadFile(device, text, sizeof(text) - 1, &read, &fromStart))
        return "";
    return std::string(text, read);
}

void SetOverride(DWORD type, const void* bytes, DWORD size)
{
    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kOverrideKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "DeviceId", 0, type, static_cast<const BYTE*>(bytes), size));
}

bool FirmwareFlagIs(const std::string& camera, DWORD expected)
{
    DWORD value = 0;
    return sim::ReadDownloadFirmware(camera, value) && value == expected;
}

bool FirmwareFlagAbsent(const std::string& camera)
{
    DWORD value = 0;
    return !sim::ReadDownloadFirmware(camera, value);
}

using LibraryTest = SimCameraTest;

}  // namespace

TEST_F(LibraryTest, OpenAndCloseWithTheCameraPresent)
{
    ASSERT_EQ("", sim::ClearDownloadFirmware(kCamera));
    DeviceHandle device = nullptr;
    ASSERT_EQ(1, InitialDll(&device, 0));
    ASSERT_NE(nullptr, device);
    EXPECT_EQ(kCamera, CameraBehind(device));
    EXPECT_TRUE(ModuleLoaded("Ksproxy.ax"));

    PropertyBlock block = {};
    EXPECT_EQ(S_OK, CustomDefineProperty_Get(device, 2, &block));

    EXPECT_EQ(1, UninitialDll(device));
    EXPECT_TRUE(FirmwareFlagIs(kCamera, 1));
    EXPECT_FALSE(ModuleLoaded("Ksproxy.ax"));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetHandleInformation(device, nullptr)) << "the device handle is still open";
}

TEST_F(LibraryTest, NoCameraGivesNullAndZero)
{
    ASSERT_EQ("", sim::PlugCamera(kCamera, false));
    DeviceHandle device = reinterpret_cast<DeviceHandle>(0x1234);
    EXPECT_EQ(0, InitialDll(&device, 0));
    EXPECT_EQ(nullptr, device);
    EXPECT_TRUE(ModuleLoaded("Ksproxy.ax")) << "the transport stays loaded until UninitialDll";
    EXPECT_EQ(1, UninitialDll(device));
    EXPECT_FALSE(ModuleLoaded("Ksproxy.ax"));
}

TEST_F(LibraryTest, MissingTransportLeavesTheCallersVariableAndStillMarksFirmware)
{
    ASSERT_EQ("", sim::SelectTransport(sim::Transport::Missing));
    ASSERT_EQ("", sim::ClearDownloadFirmware(kCamera));
    DeviceHandle device = reinterpret_cast<DeviceHandle>(0x1234);
    EXPECT_EQ(0, InitialDll(&device, 0));
    EXPECT_EQ(reinterpret_cast<DeviceHandle>(0x1234), device);
    EXPECT_EQ(1, UninitialDll(nullptr));
    EXPECT_TRUE(FirmwareFlagIs(kCamera, 1));
}

TEST_F(LibraryTest, TransportWithoutControlEntryStillOpens)
{
    ASSERT_EQ("", sim::SelectTransport(sim::Transport::NoEntry));
    DeviceHandle device = nullptr;
    EXPECT_EQ(1, InitialDll(&device, 0));
    EXPECT_EQ(kCamera, CameraBehind(device));
    PropertyBlock block = {};
    EXPECT_EQ(ERROR_INVALID_HANDLE, CustomDefineProperty_Get(device, 2, &block));
    EXPECT_EQ(1, UninitialDll(device));
}

TEST_F(LibraryTest, NullOutPointerOpensNothingAndStillPairs)
{
    EXPECT_EQ(0, InitialDll(nullptr, 0));
    EXPECT_TRUE(ModuleLoaded("Ksproxy.ax"));
    EXPECT_EQ(1, UninitialDll(nullptr));
    EXPECT_FALSE(ModuleLoaded("Ksproxy.ax"));

    // Nothing was opened behind the caller's back: the camera is still free.
    DeviceHandle device = nullptr;
    EXPECT_EQ(1, InitialDll(&device, 0));
    EXPECT_EQ(1, UninitialDll(device));
}

TEST_F(LibraryTest, AllOnesHandleClosesNothing)
{
    ASSERT_EQ("", sim::ClearDownloadFirmware(kCamera));
    DeviceHandle device = nullptr;
    ASSERT_EQ(1, InitialDll(&device, 0));
    EXPECT_EQ(1, UninitialDll(INVALID_HANDLE_VALUE));
    EXPECT_TRUE(FirmwareFlagIs(kCamera, 1));
    EXPECT_EQ(kCamera, CameraBehind(device)) << "the caller's handle is still open";
    CloseHandle(device);
}

TEST_F(LibraryTest, OpeningDoesNotNest)
{
    DeviceHandle first = nullptr;
    DeviceHandle second = nullptr;
    ASSERT_EQ(1, InitialDll(&first, 0));
    EXPECT_EQ(0, InitialDll(&second, 0)) << "the camera is opened without sharing";
    EXPECT_EQ(nullptr, second);
    EXPECT_EQ(1, UninitialDll(first));
    EXPECT_TRUE(ModuleLoaded("Ksproxy.ax")) << "a second open loads the module once more";
    PropertyBlock block = {};
    EXPECT_EQ(ERROR_INVALID_HANDLE, CustomDefineProperty_Get(first, 2, &block)) << "the record is cleared";
    FreeLibrary(GetModuleHandleA("Ksproxy.ax"));
    CoUninitialize();
}

TEST_F(LibraryTest, MarkFirmwareWritesNothingWithoutACamera)
{
    ASSERT_EQ("", sim::ClearDownloadFirmware(kCamera));
    ASSERT_EQ("", sim::PlugCamera(kCamera, false));
    DeviceHandle device = nullptr;
    EXPECT_EQ(0, InitialDll(&device, 0));
    EXPECT_EQ(1, UninitialDll(device));
    EXPECT_TRUE(FirmwareFlagAbsent(kCamera));
}

// Which camera InitialDll opens, for a set of simulated cameras and overrides.
struct OpenCase {
    const char* name;
    std::vector<std::pair<std::string, int>> cameras;  // instance, capture interfaces (after the default camera is removed)
    enum { NoOverride, Text, Binary, KeyOnly } override;
    std::string value;
    std::string opened;  // "" when nothing opens
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class WhichCameraOpens : public SimCameraTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(WhichCameraOpens, Case)
{
    const OpenCase& c = GetParam();
    ASSERT_EQ("", sim::RemoveCamera(kCamera));
    for (const auto& camera : c.cameras)
        ASSERT_EQ("", sim::AddCamera(camera.first, camera.second));
    if (c.override == OpenCase::Text)
        SetOverride(REG_SZ, c.value.c_str(), static_cast<DWORD>(c.value.size() + 1));
    else if (c.override == OpenCase::Binary)
        SetOverride(REG_BINARY, c.value.data(), static_cast<DWORD>(c.value.size()));
    else if (c.override == OpenCase::KeyOnly)
        RegCreateKeyA(HKEY_LOCAL_MACHINE, kOverrideKey, UniqueRegKey().put());

    DeviceHandle device = nullptr;
    int opened = InitialDll(&device, 0);
    EXPECT_EQ(c.opened.empty() ? 0 : 1, opened);
    EXPECT_EQ(c.opened, device ? CameraBehind(device) : "");
    EXPECT_EQ(1, UninitialDll(device));
}

const std::string kOther = "USB\\VID_1111&PID_2222\\OTHER1";
const std::string kLong(300, 'A');

INSTANTIATE_TEST_SUITE_P(
    Cases, WhichCameraOpens,
    ::testing::Values(
        OpenCase{"DefaultFindsTheCamera", {{kCamera, 1}}, OpenCase::NoOverride, "", kCamera},
        OpenCase{"DefaultIgnoresOtherVendors", {{kOther, 1}}, OpenCase::NoOverride, "", ""},
        OpenCase{"LowerCaseOverride", {{kCamera, 1}}, OpenCase::Text, "vid_0402&pid_5602", kCamera},
        OpenCase{"EmptyOverrideMatchesAnyVendor", {{kOther, 1}}, OpenCase::Text, "", kOther},
        OpenCase{"EmptyOverrideStillSkipsMi01", {{"USB\\VID_1111&PID_2222&MI_01\\X", 1}}, OpenCase::Text, "", ""},
        OpenCase{"OverrideWithMi01MatchesNothing", {{"USB\\VID_0402&PID_5602&MI_01\\SIM0002", 1}}, OpenCase::Text,
                 "VID_0402&PID_5602&MI_01", ""},
        OpenCase{"Mi01InLowerCaseNeverUsed", {{"USB\\VID_0402&PID_5602&mi_01\\SIM0002", 1}}, OpenCase::NoOverride, "", ""},
        OpenCase{"Mi00IsUsed", {{"USB\\VID_0402&PID_5602&MI_00\\SIM0002", 1}}, OpenCase::NoOverride, "",
                 "USB\\VID_0402&PID_5602&MI_00\\SIM0002"},
        OpenCase{"OverrideForAnotherDevice", {{kCamera, 1}, {kOther, 1}}, OpenCase::Text, "VID_1111", kOther},
        OpenCase{"KeyWithoutValueUsesTheDefault", {{kCamera, 1}}, OpenCase::KeyOnly, "", kCamera},
        OpenCase{"TooLongOverrideUsesTheDefault", {{kCamera, 1}}, OpenCase::Text, kLong, kCamera},
        OpenCase{"BinaryOverrideWithoutNul", {{kOther, 1}}, OpenCase::Binary, "PID_2222", kOther},
        OpenCase{"DeviceWithoutCaptureInterfaceSkipped", {{"USB\\VID_0402&PID_5602\\SIM0000", 0}, {kCamera, 1}},
                 OpenCase::NoOverride, "", kCamera},
        OpenCase{"SecondInterfaceOfACameraOpens", {{kCamera, 2}}, OpenCase::NoOverride, "", kCamera}),
    [](const ::testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

TEST_F(LibraryTest, FirstMatchingCameraThatOpensWins)
{
    const std::string second = "USB\\VID_0402&PID_5602\\SIM0002";
    ASSERT_EQ("", sim::AddCamera(second));
    DeviceHandle first = nullptr;
    ASSERT_EQ(1, InitialDll(&first, 0));
    std::string firstCamera = CameraBehind(first);

    // While the first camera is held open, the next open takes the other one.
    DeviceHandle next = nullptr;
    EXPECT_EQ(1, InitialDll(&next, 0));
    EXPECT_EQ(firstCamera == kCamera ? second : kCamera, CameraBehind(next));
    EXPECT_EQ(1, UninitialDll(next));
    EXPECT_EQ(1, UninitialDll(first));
    FreeLibrary(GetModuleHandleA("Ksproxy.ax"));  // the second open's load, which no close undoes
}

TEST_F(LibraryTest, OverrideChangesTakeEffectAtTheNextOpen)
{
    ASSERT_EQ("", sim::AddCamera(kOther));
    DeviceHandle device = nullptr;
    ASSERT_EQ(1, InitialDll(&device, 0));
    EXPECT_EQ(kCamera, CameraBehind(device));
    EXPECT_EQ(1, UninitialDll(device));

    // A shorter binary value after a longer text leaves nothing of the text behind.
    SetOverride(REG_SZ, "VID_0402&PID_5602", 18);
    ASSERT_EQ(1, InitialDll(&device, 0));
    EXPECT_EQ(1, UninitialDll(device));
    SetOverride(REG_BINARY, "VID_1111", 8);
    ASSERT_EQ(1, InitialDll(&device, 0));
    EXPECT_EQ(kOther, CameraBehind(device));
    EXPECT_EQ(1, UninitialDll(device));
}

TEST_F(LibraryTest, OrdinalAndNameResolveToTheSameFunction)
{
    HMODULE library = GetModuleHandleA("VantrelCtl.dll");
    ASSERT_NE(nullptr, library);
    const std::pair<int, const char*> exports[] = {
        {1, "InitialDll"}, {2, "UninitialDll"}, {19, "CustomDefineProperty_Get"}, {20, "CustomDefineProperty_Set"}};
    for (const auto& entry : exports) {
        FARPROC byOrdinal = GetProcAddress(library, MAKEINTRESOURCEA(entry.first));
        EXPECT_NE(nullptr, byOrdinal) << entry.second;
        EXPECT_EQ(byOrdinal, GetProcAddress(library, entry.second)) << entry.second;
    }
    for (int empty : {3, 12, 13, 14, 15, 16, 17, 18, 21})
        EXPECT_EQ(nullptr, GetProcAddress(library, MAKEINTRESOURCEA(empty))) << "ordinal " << empty;
}

TEST_F(LibraryTest, ManyCyclesLeakNoHandleAndNoModule)
{
    auto cycle = [] {
        DeviceHandle device = nullptr;
        InitialDll(&device, 0);
        PropertyBlock block = {};
        CustomDefineProperty_Get(device, 2, &block);
        UninitialDll(device);
    };
    cycle();  // first use loads what stays loaded for the process
    long before = CountProcessHandles();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 50; ++i)
        cycle();
    EXPECT_EQ(before, CountProcessHandles());
    EXPECT_FALSE(ModuleLoaded("Ksproxy.ax"));
}

TEST_F(LibraryTest, TraceIsWrittenOncePerOpenWithoutLineEnd)
{
    for (bool present : {true, false}) {
        ASSERT_EQ("", sim::PlugCamera(kCamera, present));
        ChildProcess probe;
        ASSERT_TRUE(probe.Start(ProgramFolder() + "library_probe.exe open-close", true));
        ASSERT_TRUE(probe.Wait(30000));
        EXPECT_EQ(0u, probe.ExitCode());
        EXPECT_EQ(std::string("Enter Tovrex_CreateDeviceHandle") + (present ? "[1]" : "[0]"), probe.Output());
    }
}
