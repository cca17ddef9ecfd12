// SuspendGuard.exe as a process: suspend queries against "StartPreview".
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BoxWatcher.h"
#include "ChildProcess.h"
#include "HandleCount.h"
#include "ScopedHandles.h"

namespace {

const char kClass[] = "OrvixIcon";
const char kTitle[] = "StretchBlt Demo";
const char kFlagKey[] = "SOFTWARE\\OrvixCam";
const LRESULT kDeny = 0x424D5144;
const DWORD kTicksMs = 500;  // a few 100 ms refreshes

void DeleteFlagKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kFlagKey); }

void WriteStartPreview(DWORD type, const std::vector<uint8_t>& bytes)
{
    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFlagKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "StartPreview", 0, type, bytes.data(), static_cast<DWORD>(bytes.size())));
}

std::vector<uint8_t> Dword(uint32_t value)
{
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

struct Answer {
    bool delivered = false;
    LRESULT result = 0;
    DWORD returnedAt = 0;
};

Answer SendPowerBroadcast(HWND window, WPARAM event, LPARAM lParam)
{
    Answer answer;
    DWORD_PTR result = 0;
    answer.delivered = SendMessageTimeoutA(window, WM_POWERBROADCAST, event, lParam, SMTO_NORMAL, 20000, &result) != 0;
    answer.result = static_cast<LRESULT>(result);
    answer.returnedAt = GetTickCount();
    return answer;
}

class GuardTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFlagKey(); }

    void TearDown() override
    {
        if (guard_.Running()) {
            if (window_)
                PostMessageA(window_, WM_CLOSE, 0, 0);
            guard_.Wait(10000);
        }
        watcher_.reset();
        DeleteFlagKey();
    }

    void StartGuard(DWORD findTimeoutMs = 10000)
    {
        ASSERT_TRUE(guard_.Start("\"" + ProgramFolder() + "SuspendGuard.exe\""));
        window_ = FindWindowOf(guard_.Id(), kClass, kTitle, findTimeoutMs);
        ASSERT_NE(nullptr, window_);
        watcher_ = std::make_unique<BoxWatcher>(guard_.Id());
    }

    ChildProcess guard_;
    HWND window_ = nullptr;
    std::unique_ptr<BoxWatcher> watcher_;
};

struct FlagCase {
    const char* name;
    std::vector<std::pair<DWORD, std::vector<uint8_t>>> writes;  // REG_NONE: delete the key
    LPARAM queryFlags;                                         // bit 0: the user may be asked
    bool denied;
};

void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.name; }

class SuspendQuery : public GuardTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(SuspendQuery, Case)
{
    const FlagCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartGuard());
    for (const auto& write : c.writes) {
        if (write.first == REG_NONE)
            DeleteFlagKey();
        else
            ASSERT_NO_FATAL_FAILURE(WriteStartPreview(write.first, write.second));
        Sleep(kTicksMs);
    }
    Answer answer = SendPowerBroadcast(window_, PBT_APMQUERYSUSPEND, c.queryFlags);
    ASSERT_TRUE(answer.delivered);
    EXPECT_EQ(c.denied ? kDeny : 0, answer.result);

    std::vector<SeenBox> boxes = watcher_->Boxes();
    ASSERT_EQ(c.denied ? 1u : 0u, boxes.size());
    if (c.denied) {
        EXPECT_EQ("Warning", boxes[0].caption);
        EXPECT_EQ("Please close DuzOvu AP before suspend!", boxes[0].text);
        // Wine's message box ignores MB_TOPMOST, so topmost cannot be seen here.
        EXPECT_NE(0u, boxes[0].dismissedAt);
        EXPECT_GE(static_cast<LONG>(answer.returnedAt - boxes[0].dismissedAt), 0) << "answered before the box was dismissed";
    }
}

const uint8_t kQwordOne[8] = {1, 0, 0, 0, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, SuspendQuery,
    ::testing::Values(
        FlagCase{"Dword0", {{REG_DWORD, Dword(0)}}, 1, false},
        FlagCase{"Dword1", {{REG_DWORD, Dword(1)}}, 1, true},
        FlagCase{"Dword1WithoutUserInteraction", {{REG_DWORD, Dword(1)}}, 0, true},
        FlagCase{"Dword2FromStart", {{REG_DWORD, Dword(2)}}, 1, false},
        FlagCase{"Dword2After1", {{REG_DWORD, Dword(1)}, {REG_DWORD, Dword(2)}}, 1, true},
        FlagCase{"Dword0After1", {{REG_DWORD, Dword(1)}, {REG_DWORD, Dword(0)}}, 1, false},
        FlagCase{"RawBytes01000000", {{REG_BINARY, {1, 0, 0, 0}}}, 1, true},
        FlagCase{"BigEndian1", {{REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}}}, 1, false},
        FlagCase{"EightByteValue", {{REG_QWORD, std::vector<uint8_t>(kQwordOne, kQwordOne + 8)}}, 1, false},
        FlagCase{"OneByte01", {{REG_BINARY, {1}}}, 1, true},
        FlagCase{"OneByte00After1", {{REG_DWORD, Dword(1)}, {REG_BINARY, {0}}}, 1, false},
        FlagCase{"KeyDeletedAfter1", {{REG_DWORD, Dword(1)}, {REG_NONE, {}}}, 1, true}),
    [](const ::testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

TEST_F(GuardTest, QueryBeforeTheFirstTickIsAllowed)
{
    ASSERT_NO_FATAL_FAILURE(WriteStartPreview(REG_DWORD, Dword(1)));
    ASSERT_TRUE(guard_.Start("\"" + ProgramFolder() + "SuspendGuard.exe\""));
    HWND window = nullptr;
    DWORD start = GetTickCount();
    while (!(window = FindWindowOf(guard_.Id(), kClass, kTitle, 0)) && GetTickCount() - start < 10000)
        Sleep(1);
    ASSERT_NE(nullptr, window);
    window_ = window;
    EXPECT_EQ(0, SendPowerBroadcast(window, PBT_APMQUERYSUSPEND, 1).result);
    Sleep(kTicksMs);
    watcher_ = std::make_unique<BoxWatcher>(guard_.Id());
    EXPECT_EQ(kDeny, SendPowerBroadcast(window, PBT_APMQUERYSUSPEND, 1).result);
}

TEST_F(GuardTest, OtherPowerBroadcastsAreAnswered0WithoutABox)
{
    ASSERT_NO_FATAL_FAILURE(StartGuard());
    ASSERT_NO_FATAL_FAILURE(WriteStartPreview(REG_DWORD, Dword(1)));
    Sleep(kTicksMs);
    const WPARAM events[] = {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND, PBT_APMPOWERSTATUSCHANGE, PBT_APMSUSPEND,
                             PBT_APMQUERYSUSPENDFAILED};
    for (WPARAM event : events) {
        Answer answer = SendPowerBroadcast(window_, event, 0);
        ASSERT_TRUE(answer.delivered);
        EXPECT_EQ(0, answer.result) << "event " << event;
    }
    EXPECT_TRUE(watcher_->Boxes().empty());
}

TEST_F(GuardTest, WmCloseEndsWithExitCode0)
{
    ASSERT_NO_FATAL_FAILURE(StartGuard());
    PostMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(guard_.Wait(10000));
    EXPECT_EQ(0u, guard_.ExitCode());
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(GuardTest, QuitPostedToItsThreadEndsWithItsCode)
{
    ASSERT_NO_FATAL_FAILURE(StartGuard());
    ASSERT_TRUE(PostThreadMessageA(guard_.ThreadId(), WM_QUIT, 7, 0));
    ASSERT_TRUE(guard_.Wait(10000));
    EXPECT_EQ(7u, guard_.ExitCode());
}

TEST_F(GuardTest, TicksLeaveHandlesAndMemoryFlat)
{
    ASSERT_NO_FATAL_FAILURE(StartGuard());
    ASSERT_NO_FATAL_FAILURE(WriteStartPreview(REG_DWORD, Dword(1)));
    Sleep(1000);
    char seconds[16] = {};
    DWORD soak = GetEnvironmentVariableA("GUARD_SOAK_SECONDS", seconds, sizeof(seconds)) ? atoi(seconds) : 4;
    auto memory = [this] {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(guard_.Handle(), &counters, sizeof(counters));
        return counters.PagefileUsage;
    };
    long handles = CountProcessHandles(guard_.Id());
    SIZE_T committed = memory();
    ASSERT_GT(handles, 0);
    for (DWORD elapsed = 0; elapsed < soak * 1000; elapsed += 500) {
        // Flip the flag now and then, so ticks take both paths and the power hold comes and goes.
        ASSERT_NO_FATAL_FAILURE(WriteStartPreview(REG_DWORD, Dword((elapsed / 500) % 2)));
        Sleep(500);
    }
    ASSERT_NO_FATAL_FAILURE(WriteStartPreview(REG_DWORD, Dword(1)));
    Sleep(kTicksMs);
    long handlesAfter = CountProcessHandles(guard_.Id());
    SIZE_T committedAfter = memory();
    std::printf("%s\n", ("after " + std::to_string(soak) + " s of ticks: handles " + std::to_string(handles) + " -> " +
                         std::to_string(handlesAfter) + ", committed bytes " + std::to_string(committed) + " -> " +
                         std::to_string(committedAfter)).c_str());
    EXPECT_EQ(handles, handlesAfter);
    EXPECT_LE(committedAfter, committed + 64 * 1024) << "committed memory grew";
    EXPECT_TRUE(guard_.Running());
}

}  // namespace
