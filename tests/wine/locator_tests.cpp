// The device identifier text exactly as the locator resolves it.
#include <windows.h>

#include <cstring>
#include <string>

#include "DeviceLocator.h"
#include "ScopedHandles.h"
#include "SimFixture.h"

namespace {

const char kOverrideKey[] = "Software\\DuzOvu\\Vantrel";

struct ResolveCase {
    const char* name;
    bool keyExists;
    DWORD type;
    std::string value;  // bytes of "DeviceId"; none when empty and type is REG_NONE
    int answer;
    std::string text;   // DeviceIdText as the matcher sees it
};

void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.name; }

class ResolveDeviceIdTest : public SimCameraTest, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(ResolveDeviceIdTest, Case)
{
    const ResolveCase& c = GetParam();
    if (c.keyExists) {
        UniqueRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kOverrideKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, key.put(), nullptr));
        if (c.type != REG_NONE) {
            ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "DeviceId", 0, c.type,
                                                    reinterpret_cast<const BYTE*>(c.value.data()),
                                                    static_cast<DWORD>(c.value.size())));
        }
    }
    // The buffer holds a longer text from an earlier resolution.
    char buffer[kDeviceIdTextSize];
    std::memset(buffer, 'x', sizeof(buffer));
    buffer[sizeof(buffer) - 1] = '\0';

    EXPECT_EQ(c.answer, ResolveDeviceId(buffer, kDefaultDeviceId));
    EXPECT_EQ(c.text, std::string(DeviceIdTextView(buffer)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveDeviceIdTest,
    ::testing::Values(
        ResolveCase{"KeyAbsent", false, REG_NONE, "", 0, "VID_0402&PID_5602"},
        ResolveCase{"ValueAbsent", true, REG_NONE, "", 0, "VID_0402&PID_5602"},
        ResolveCase{"Text", true, REG_SZ, std::string("vid_0402&pid_5602", 18), 1, "vid_0402&pid_5602"},
        ResolveCase{"EmptyText", true, REG_SZ, std::string("", 1), 1, ""},
        ResolveCase{"TextOf259Characters", true, REG_SZ, std::string(259, 'B') + '\0', 1, std::string(259, 'B')},
        ResolveCase{"TextTooLong", true, REG_SZ, std::string(260, 'B') + '\0', 0, "VID_0402&PID_5602"},
        ResolveCase{"BinaryWithoutNul", true, REG_BINARY, "VID_0402", 1, "VID_0402"},
        ResolveCase{"BinaryOf260WithoutNul", true, REG_BINARY, std::string(260, 'C'), 1, std::string(260, 'C')},
        ResolveCase{"DwordValue", true, REG_DWORD, std::string("AB\0\0", 4), 1, "AB"}),
    [](const ::testing::TestParamInfo<ResolveCase>& info) { return std::string(info.param.name); });

}  // namespace
