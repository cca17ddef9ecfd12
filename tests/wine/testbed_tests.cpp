// The simulated camera as the system and the library see it.
#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <vector>

#include "BoxWatcher.h"
#include "ChildProcess.h"
#include "ScopedHandles.h"
#include "SimFixture.h"

namespace {

const GUID kCaptureCategory = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
const ULONG kIoctlKsProperty = 0x002F0003;

struct PresentInterface {
    std::string instanceId;
    std::string path;
};

// Present capture interfaces, listed as the library lists them.
std::vector<PresentInterface> PresentCaptureInterfaces()
{
    std::vector<PresentInterface> found;
    UniqueDevInfo set(SetupDiGetClassDevsA(&kCaptureCategory, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    for (DWORD i = 0; set; ++i) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(set.get(), i, &device))
            break;
        char instanceId[MAX_PATH] = {};
        SetupDiGetDeviceInstanceIdA(set.get(), &device, instanceId, sizeof(instanceId), nullptr);
        for (DWORD j = 0;; ++j) {
            SP_DEVICE_INTERFACE_DATA data = {};
            data.cbSize = sizeof(data);
            if (!SetupDiEnumDeviceInterfaces(set.get(), &device, &kCaptureCategory, j, &data))
                break;
            DWORD size = 0;
            SetupDiGetDeviceInterfaceDetailA(set.get(), &data, nullptr, 0, &size, nullptr);
            std::vector<char> buffer(size);
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
            detail->cbSize = sizeof(*detail);
            if (SetupDiGetDeviceInterfaceDetailA(set.get(), &data, detail, size, nullptr, nullptr))
                found.push_back({instanceId, detail->DevicePath});
        }
    }
    return found;
}

std::string PathOf(const std::string& instanceId)
{
    for (const PresentInterface& entry : PresentCaptureInterfaces())
        if (entry.instanceId == instanceId)
            return entry.path;
    return "";
}

HANDLE OpenLikeTheLibrary(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string SystemTransportPath()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, sizeof(folder));
    return std::string(folder) + "\\Ksproxy.ax";
}

using ControlEntry = HRESULT(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PVOID, ULONG, PULONG);

struct Request {
    uint8_t bytes[56] = {};
    Request(uint32_t id, uint32_t flags, const std::vector<uint32_t>& words = {})
    {
        std::memcpy(bytes, kVendorSet, 16);
        std::memcpy(bytes + 16, &id, 4);
        std::memcpy(bytes + 20, &flags, 4);
        for (size_t i = 0; i < words.size() && i < 8; ++i)
            std::memcpy(bytes + 24 + 4 * i, &words[i], 4);
    }
    uint32_t Word(int i) const
    {
        uint32_t word;
        std::memcpy(&word, bytes + 24 + 4 * i, 4);
        return word;
    }
};

class TransportTest : public SimCameraTest {
protected:
    void SetUp() override
    {
        SimCameraTest::SetUp();
        module_.reset(LoadLibraryA(SystemTransportPath().c_str()));
        ASSERT_TRUE(module_) << "error " << GetLastError();
        entry_ = reinterpret_cast<ControlEntry>(reinterpret_cast<void*>(GetProcAddress(module_.get(), "KsSynchronousDeviceControl")));
        ASSERT_NE(nullptr, entry_);
        camera_.reset(OpenLikeTheLibrary(PathOf(kCamera)));
        ASSERT_TRUE(camera_);
        sim::ClearRequestLog();
    }

    // The module is released before the fixture puts the transport back.
    void TearDown() override
    {
        camera_.reset();
        module_.reset();
        SimCameraTest::TearDown();
    }

    HRESULT Send(HANDLE handle, Request& request, ULONG code = kIoctlKsProperty, ULONG length = 56)
    {
        ULONG returned = 0;
        return entry_(handle, code, request.bytes, length, request.bytes, length, &returned);
    }

    UniqueModule module_;
    ControlEntry entry_ = nullptr;
    UniqueHandle camera_;
};

}  // namespace

TEST_F(SimCameraTest, ListedWithItsInstanceIdOnlyWhilePlugged)
{
    std::string path = PathOf(kCamera);
    EXPECT_EQ("\\\\?\\usb#vid_0402&pid_5602#sim0001#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global", path);

    ASSERT_EQ("", sim::PlugCamera(kCamera, false));
    EXPECT_EQ("", PathOf(kCamera));
    ASSERT_EQ("", sim::PlugCamera(kCamera, true));
    EXPECT_EQ(path, PathOf(kCamera));
}

TEST_F(SimCameraTest, InterfacesAreListedInOrderAndAbsentWhenNone)
{
    ASSERT_EQ("", sim::AddCamera("USB\\VID_0402&PID_5602\\SIM0002", 2));
    ASSERT_EQ("", sim::AddCamera("USB\\VID_0402&PID_5602\\SIM0003", 0));
    std::vector<std::string> paths;
    for (const PresentInterface& entry : PresentCaptureInterfaces())
        if (entry.instanceId == "USB\\VID_0402&PID_5602\\SIM0002")
            paths.push_back(entry.path);
    ASSERT_EQ(2u, paths.size());
    EXPECT_NE(paths[0], paths[1]);
    for (const std::string& path : paths)
        EXPECT_TRUE(UniqueHandle(OpenLikeTheLibrary(path))) << path;
    EXPECT_EQ("", PathOf("USB\\VID_0402&PID_5602\\SIM0003"));
}

TEST_F(SimCameraTest, DevicePathOpensOnceForReadingWithoutSharing)
{
    std::string path = PathOf(kCamera);
    UniqueHandle first(OpenLikeTheLibrary(path));
    ASSERT_TRUE(first) << "error " << GetLastError();

    SetLastError(0xdeadbeef);
    UniqueHandle second(OpenLikeTheLibrary(path));
    EXPECT_FALSE(second);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());

    first.reset();
    EXPECT_TRUE(UniqueHandle(OpenLikeTheLibrary(path)));
}

TEST_F(SimCameraTest, DriverKeyOpensWithFullAccess)
{
    UniqueDevInfo set(SetupDiGetClassDevsA(&kCaptureCategory, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    ASSERT_TRUE(set);
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    ASSERT_TRUE(SetupDiEnumDeviceInfo(set.get(), 0, &device));
    UniqueRegKey key(SetupDiOpenDevRegKey(set.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_ALL_ACCESS));
    ASSERT_TRUE(key);
    const DWORD value = 7;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "DownloadFirmware", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&value), sizeof(value)));
    DWORD read = 0;
    ASSERT_TRUE(sim::ReadDownloadFirmware(kCamera, read));
    EXPECT_EQ(7u, read);
}

TEST_F(TransportTest, GetAnswersTheStoredBlockAndSetStoresIt)
{
    Request get(2, 1);
    ASSERT_EQ(S_OK, Send(camera_.get(), get));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(0x20u + i, get.Word(i));
    EXPECT_EQ(0u, get.Word(7));

    Request set(2, 2, {1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_EQ(S_OK, Send(camera_.get(), set));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8}), StoredWords(kCamera, 2));

    std::vector<sim::LoggedRequest> log = sim::ReadRequestLog();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(kIoctlKsProperty, log[1].code);
    EXPECT_EQ(56u, log[1].outputLength);
    Request sent(2, 2, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(std::vector<uint8_t>(sent.bytes, sent.bytes + 56), log[1].input);
}

TEST_F(TransportTest, RejectsWhatIsNotAVendorPropertyRequestOnACamera)
{
    char file[MAX_PATH];
    GetTempFileNameA(".", "sim", 0, file);
    UniqueHandle other(CreateFileA(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_TRUE(other);

    struct Case {
        const char* name;
        HANDLE handle;
        ULONG code;
        ULONG length;
        uint32_t flags;
        bool wrongSet;
    } cases[] = {
        {"unknown handle", other.get(), kIoctlKsProperty, 56, 1, false},
        {"null handle", nullptr, kIoctlKsProperty, 56, 1, false},
        {"wrong control code", camera_.get(), 0x002F0007, 56, 1, false},
        {"short request", camera_.get(), kIoctlKsProperty, 40, 1, false},
        {"wrong property set", camera_.get(), kIoctlKsProperty, 56, 1, true},
        {"unknown flags", camera_.get(), kIoctlKsProperty, 56, 4, false},
    };
    for (const Case& c : cases) {
        Request request(2, c.flags);
        if (c.wrongSet)
            request.bytes[0] ^= 0xFF;
        EXPECT_LT(Send(c.handle, request, c.code, c.length), 0) << c.name;
    }
    EXPECT_EQ(std::size(cases), sim::ReadRequestLog().size());
}

TEST_F(TransportTest, HonoursForcedStatusesAndUnplug)
{
    sim::ForceStatus(sim::Operation::Get, kRejected, 1);
    sim::ForceStatus(sim::Operation::Set, 5, 1);
    Request get(2, 1);
    EXPECT_EQ(kRejected, Send(camera_.get(), get));
    EXPECT_EQ(S_OK, Send(camera_.get(), get));
    Request set(2, 2, {9, 9, 9, 9, 9, 9, 9, 3});
    EXPECT_EQ(5, Send(camera_.get(), set));
    EXPECT_EQ(3u, StoredWords(kCamera, 2)[7]);

    ASSERT_EQ("", sim::PlugCamera(kCamera, false));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED), Send(camera_.get(), get));
}

TEST_F(SimCameraTest, TransportModuleVariants)
{
    ASSERT_EQ("", sim::SelectTransport(sim::Transport::NoEntry));
    {
        UniqueModule module(LoadLibraryA(SystemTransportPath().c_str()));
        ASSERT_TRUE(module);
        EXPECT_EQ(nullptr, GetProcAddress(module.get(), "KsSynchronousDeviceControl"));
    }
    ASSERT_EQ("", sim::SelectTransport(sim::Transport::Missing));
    EXPECT_FALSE(UniqueModule(LoadLibraryA(SystemTransportPath().c_str())));
    ASSERT_EQ("", sim::SelectTransport(sim::Transport::Full));
    EXPECT_TRUE(UniqueModule(LoadLibraryA(SystemTransportPath().c_str())));
}

TEST(BoxWatcherTest, RecordsAndDismissesABox)
{
    BoxWatcher watcher;
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Box text", "Box caption", MB_OK | MB_ICONERROR));
    ASSERT_TRUE(watcher.WaitForBoxes(1, 5000));
    std::vector<SeenBox> boxes = watcher.Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Box caption", boxes[0].caption);
    EXPECT_EQ("Box text", boxes[0].text);
    EXPECT_FALSE(boxes[0].topmost);
}

TEST(SimcamCommandTest, BadArgumentsGiveOneLineAndExitCode2)
{
    const char* commands[] = {"", " frobnicate", " add", " fail get notanumber", " add X 99", " transport sideways"};
    for (const char* arguments : commands) {
        ChildProcess simcam;
        ASSERT_TRUE(simcam.Start(ProgramFolder() + "simcam.exe" + arguments));
        ASSERT_TRUE(simcam.Wait(30000)) << arguments;
        EXPECT_EQ(2u, simcam.ExitCode()) << arguments;
    }
}
