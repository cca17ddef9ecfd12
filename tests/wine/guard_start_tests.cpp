// The guard's start-up and its power hold, run inside the test process.
#include <windows.h>

#include "BoxWatcher.h"
#include "GuardWindow.h"
#include "SuspendBlocker.h"

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Whether this system grants power requests (Wine answers "not implemented").
bool PowerRequestsWork()
{
    using CreateRequestFn = HANDLE(WINAPI*)(PREASON_CONTEXT);
    auto create = reinterpret_cast<CreateRequestFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "PowerCreateRequest")));
    REASON_CONTEXT reason = {};
    reason.Version = POWER_REQUEST_CONTEXT_VERSION;
    reason.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    wchar_t text[] = L"probe";
    reason.Reason.SimpleReasonString = text;
    HANDLE request = create ? create(&reason) : INVALID_HANDLE_VALUE;
    if (request == INVALID_HANDLE_VALUE || request == nullptr)
        return false;
    CloseHandle(request);
    return true;
}

// The thread's execution state, read by setting it and putting it back.
EXECUTION_STATE CurrentExecutionState()
{
    EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
    SetThreadExecutionState(state);
    return state;
}

}  // namespace

TEST(GuardStartTest, FailedClassRegistrationShowsTheBoxAndEndsWith0WithoutAWindow)
{
    // The class already exists for this instance, so the guard cannot register it.
    WNDCLASSA taken = {};
    taken.lpfnWndProc = PlainWindowProc;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = "OrvixIcon";
    ASSERT_NE(0, RegisterClassA(&taken));

    BoxWatcher watcher;
    EXPECT_EQ(0, RunSuspendGuard(GetModuleHandleA(nullptr)));
    ASSERT_TRUE(watcher.WaitForBoxes(1, 5000));
    SeenBox box = watcher.Boxes()[0];
    EXPECT_EQ("OrvixIcon", box.caption);
    EXPECT_EQ("This program requires Windows NT!", box.text);
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "StretchBlt Demo"));
    UnregisterClassA("OrvixIcon", GetModuleHandleA(nullptr));
}

TEST(SuspendBlockerTest, HoldsTheSystemAwakeUntilReleased)
{
    SetThreadExecutionState(ES_CONTINUOUS);
    SuspendBlocker blocker;
    blocker.Hold();
    ASSERT_TRUE(blocker.Held());
    // Where power requests work the thread's state is left alone; elsewhere
    // (Wine) the blocker holds the system through the execution state.
    EXECUTION_STATE required = PowerRequestsWork() ? 0 : ES_CONTINUOUS | ES_SYSTEM_REQUIRED;
    EXPECT_EQ(required, CurrentExecutionState() & (ES_CONTINUOUS | ES_SYSTEM_REQUIRED) & required);
    blocker.Hold();  // holding twice holds once
    blocker.Release();
    EXPECT_FALSE(blocker.Held());
    EXPECT_EQ(static_cast<EXECUTION_STATE>(ES_CONTINUOUS), CurrentExecutionState() & (ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
}
