#include <gtest/gtest.h>

#include <cstring>

#include "DeviceIdMatch.h"

namespace {

struct MatchCase {
    const char* instanceId;
    const char* deviceId;
    bool matches;
};

class InstanceMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(InstanceMatch, FollowsContainmentAndTheMi01Exclusion)
{
    const MatchCase& c = GetParam();
    EXPECT_EQ(c.matches, InstanceMatchesDeviceId(c.instanceId, c.deviceId)) << c.instanceId << " / " << c.deviceId;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceMatch,
    ::testing::Values(
        MatchCase{"USB\\VID_0402&PID_5602\\SIM0001", "VID_0402&PID_5602", true},
        MatchCase{"usb\\vid_0402&pid_5602\\sim0001", "VID_0402&PID_5602", true},
        MatchCase{"USB\\VID_0402&PID_5602\\SIM0001", "vid_0402&pid_5602", true},
        MatchCase{"USB\\VID_0402&PID_5602&MI_00\\SIM0001", "VID_0402&PID_5602", true},
        MatchCase{"USB\\VID_0402&PID_5602&MI_01\\SIM0001", "VID_0402&PID_5602", false},
        MatchCase{"USB\\VID_0402&PID_5602&mi_01\\SIM0001", "VID_0402&PID_5602", false},
        MatchCase{"USB\\VID_0402&PID_5602&Mi_01\\SIM0001", "", false},
        MatchCase{"USB\\VID_0402&PID_5602&MI_01\\SIM0001", "VID_0402&PID_5602&MI_01", false},
        MatchCase{"USB\\VID_0402&PID_5603\\SIM0001", "VID_0402&PID_5602", false},
        MatchCase{"USB\\VID_1111&PID_2222\\X", "", true},
        MatchCase{"", "", true},
        MatchCase{"", "VID_0402&PID_5602", false},
        MatchCase{"VID_0402&PID_560", "VID_0402&PID_5602", false},
        MatchCase{"USB\\VID_0402&PID_5602\\\xC4\xE4", "\xC4", true},       // bytes beyond ASCII compare exactly
        MatchCase{"USB\\VID_0402&PID_5602\\\xC4", "\xE4", false},
        MatchCase{"USB\\VID_0402&PID_5602[\\]", "vid_0402&pid_5602{|}", false}));  // no folding of [\] onto {|}

TEST(DeviceIdTextView, EndsAtTheFirstNul)
{
    char buffer[kDeviceIdTextSize] = {};
    std::memcpy(buffer, "VID_0402&PID_5602\0stale", 24);
    EXPECT_EQ("VID_0402&PID_5602", DeviceIdTextView(buffer));
}

TEST(DeviceIdTextView, NeverRunsPastABufferWithoutNul)
{
    char buffer[kDeviceIdTextSize];
    std::memset(buffer, 'A', sizeof(buffer));
    EXPECT_EQ(kDeviceIdTextSize, DeviceIdTextView(buffer).size());
}

}  // namespace
