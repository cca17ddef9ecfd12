// A fixture that puts the simulated camera into a known state before each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "SimDevices.h"
#include "SimStore.h"

inline const std::string kCamera = "USB\\VID_0402&PID_5602\\SIM0001";

// The vendor property set as it travels in a request, stated here apart from
// the library so that a wrong identifier there is caught.
inline const uint8_t kVendorSet[16] = {0x56, 0x4C, 0x97, 0xA7, 0x7E, 0xA7, 0x90, 0x4B,
                                       0x8C, 0xBF, 0x1C, 0x71, 0xEC, 0x30, 0x20, 0x00};

// A status the tests make the simulated driver answer: HRESULT_FROM_WIN32(ERROR_NOT_READY).
inline const HRESULT kRejected = static_cast<HRESULT>(0x80070015);

class SimCameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", sim::ResetAll());
        ASSERT_EQ("", sim::AddCamera(kCamera));
    }
    void TearDown() override { EXPECT_EQ("", sim::ResetAll()); }
};

// Property words as stored in the simulated driver.
inline std::vector<uint32_t> StoredWords(const std::string& camera, uint32_t id)
{
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> words;
    if (sim::ReadProperty(camera, id, bytes))
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
            words.push_back(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | static_cast<uint32_t>(bytes[i + 3]) << 24);
    return words;
}

inline void StoreWords(const std::string& camera, uint32_t id, const std::vector<uint32_t>& words)
{
    std::vector<uint8_t> bytes;
    for (uint32_t word : words)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
    sim::WriteProperty(camera, id, bytes);
}
