// HotkeyAgent.exe as a process: key presses and posted hotkeys against the
// simulated camera.
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "BoxWatcher.h"
#include "ChildProcess.h"
#include "HandleCount.h"
#include "SimFixture.h"
#include "Waiting.h"

namespace {

const char kTitle[] = "The Orvix Hotkey Function";
const WPARAM kHotkeyId = 12345678;
const std::vector<uint32_t> kFirstWords = {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26};

bool HotkeyHeldElsewhere()
{
    if (!RegisterHotKey(nullptr, 1, 0, 0x80))
        return true;
    UnregisterHotKey(nullptr, 1);
    return false;
}

void PressHotkey()
{
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = 0x80;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(2u, SendInput(2, keys, sizeof(INPUT)));
}

uint32_t ToggleWord() { return StoredWords(kCamera, 2).at(7); }

size_t CountRequests(uint32_t flags)
{
    size_t count = 0;
    for (const sim::LoggedRequest& request : sim::ReadRequestLog())
        if (request.input.size() == 56 && request.input[20] == flags)
            ++count;
    return count;
}

class AgentTest : public SimCameraTest {
protected:
    void SetUp() override
    {
        SimCameraTest::SetUp();
        ASSERT_FALSE(HotkeyHeldElsewhere()) << "another program holds the hotkey";
        ASSERT_NO_FATAL_FAILURE(StartAgent(agent_));
        ASSERT_TRUE(WaitUntil(10000, HotkeyHeldElsewhere)) << "the agent did not register its hotkey";
        boxes_ = std::make_unique<BoxWatcher>(agent_.Id());
    }

    void TearDown() override
    {
        boxes_.reset();
        CloseAgent(agent_);
        SimCameraTest::TearDown();
    }

    static void StartAgent(ChildProcess& agent)
    {
        ASSERT_TRUE(agent.Start("\"" + ProgramFolder() + "HotkeyAgent.exe\""));
        ASSERT_NE(nullptr, FindWindowOf(agent.Id(), nullptr, kTitle, 10000));
    }

    static void CloseAgent(ChildProcess& agent)
    {
        if (HWND window = FindWindowOf(agent.Id(), nullptr, kTitle, 0))
            PostMessageA(window, WM_CLOSE, 0, 0);
        agent.Wait(10000);
    }

    // Sent messages are answered only when the agent's loop retrieves
    // messages: the second answer comes after any press queued before.
    bool AgentCaughtUp()
    {
        HWND window = FindWindowOf(agent_.Id(), nullptr, kTitle, 0);
        DWORD_PTR answer = 0;
        for (int i = 0; i < 2; ++i)
            if (!window || !SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer))
                return false;
        return true;
    }

    // Runs `action`, then waits until the agent's close of the library wrote
    // the firmware flag, which ends every handled press.
    bool HandledAfter(const std::function<void()>& action)
    {
        if (!sim::ClearDownloadFirmware(kCamera).empty())
            return false;
        action();
        return WaitUntil(10000, [] {
            DWORD value = 0;
            return sim::ReadDownloadFirmware(kCamera, value) && value == 1;
        });
    }

    ChildProcess agent_;
    std::unique_ptr<BoxWatcher> boxes_;
};

}  // namespace

TEST_F(AgentTest, KeyPressFlipsToggleWordBetween0And3)
{
    ASSERT_TRUE(HandledAfter(PressHotkey));
    EXPECT_EQ(3u, ToggleWord());
    ASSERT_TRUE(HandledAfter(PressHotkey));
    EXPECT_EQ(0u, ToggleWord());
    std::vector<uint32_t> words = StoredWords(kCamera, 2);
    EXPECT_EQ(kFirstWords, std::vector<uint32_t>(words.begin(), words.begin() + 7));
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(AgentTest, OtherValuesAreLeftWithoutASet)
{
    for (uint32_t value : {1u, 2u, 4u, 0xFFFFFFFFu}) {
        StoreWords(kCamera, 2, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, value});
        sim::ClearRequestLog();
        ASSERT_TRUE(HandledAfter(PressHotkey)) << value;
        EXPECT_EQ(value, ToggleWord());
        EXPECT_EQ(1u, CountRequests(1)) << value;
        EXPECT_EQ(0u, CountRequests(2)) << value;
    }
}

TEST_F(AgentTest, PostedHotkeyTogglesWhateverItsLParamAndOtherIdsDoNothing)
{
    HWND window = FindWindowOf(agent_.Id(), nullptr, kTitle, 0);
    struct Case {
        const char* name;
        HWND target;  // null: the agent's thread
    } cases[] = {{"to the thread", nullptr}, {"to the window", window}};
    uint32_t expected = 0;
    for (const Case& c : cases) {
        auto post = [&](WPARAM id, LPARAM lParam) {
            if (c.target)
                PostMessageA(c.target, WM_HOTKEY, id, lParam);
            else
                PostThreadMessageA(agent_.ThreadId(), WM_HOTKEY, id, lParam);
        };
        sim::ClearRequestLog();
        ASSERT_TRUE(HandledAfter([&] {
            post(kHotkeyId + 1, MAKELPARAM(0, 0x80));  // another id: nothing
            post(kHotkeyId, 0x12345678);
        })) << c.name;
        expected = expected == 0 ? 3 : 0;
        EXPECT_EQ(expected, ToggleWord()) << c.name;
        EXPECT_EQ(2u, sim::ReadRequestLog().size()) << c.name;
    }
}

TEST_F(AgentTest, UnpluggedCameraPressChangesNothingAndTheAgentGoesOn)
{
    ASSERT_EQ("", sim::PlugCamera(kCamera, false));
    PressHotkey();
    ASSERT_TRUE(AgentCaughtUp());
    EXPECT_TRUE(sim::ReadRequestLog().empty());
    ASSERT_EQ("", sim::PlugCamera(kCamera, true));
    ASSERT_TRUE(HandledAfter(PressHotkey));
    EXPECT_EQ(3u, ToggleWord());
    EXPECT_EQ(2u, sim::ReadRequestLog().size());
    EXPECT_TRUE(boxes_->Boxes().empty());
    EXPECT_TRUE(agent_.Running());
}

TEST_F(AgentTest, PressWhileTheLibrarysBoxIsOpenIsLost)
{
    sim::ForceStatus(sim::Operation::Get, kRejected, 1);
    boxes_->Hold(true);
    PressHotkey();
    ASSERT_TRUE(boxes_->WaitForBoxes(1, 10000));
    SeenBox box = boxes_->Boxes()[0];
    EXPECT_EQ("ERROR", box.caption);
    EXPECT_EQ("Cannot Get CustomDefineProperty !", box.text);

    PressHotkey();
    ASSERT_TRUE(AgentCaughtUp());  // the box's own loop answers, and takes the press
    ASSERT_TRUE(HandledAfter([&] { boxes_->Hold(false); }));
    ASSERT_TRUE(boxes_->WaitForNoOpenBox(10000));
    EXPECT_EQ(0u, ToggleWord()) << "the press made while the box was open must be lost";

    ASSERT_TRUE(HandledAfter(PressHotkey));
    EXPECT_EQ(3u, ToggleWord());
    EXPECT_EQ(1u, CountRequests(2));
}

TEST_F(AgentTest, SecondCopyCannotRegisterAndHasNoEffect)
{
    ChildProcess second;
    ASSERT_NO_FATAL_FAILURE(StartAgent(second));
    ASSERT_TRUE(HandledAfter(PressHotkey));
    EXPECT_EQ(3u, ToggleWord()) << "exactly one agent handled the press";
    EXPECT_EQ(1u, CountRequests(2));
    EXPECT_TRUE(second.Running());
    EXPECT_TRUE(agent_.Running());
    CloseAgent(second);
    ASSERT_TRUE(HandledAfter(PressHotkey));
    EXPECT_EQ(0u, ToggleWord());
}

TEST_F(AgentTest, HiddenWindowIsFoundByTitleAndWmCloseEndsTheAgent)
{
    HWND window = FindWindowA(nullptr, kTitle);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(static_cast<LONG>(WS_OVERLAPPEDWINDOW), GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(agent_.Wait(10000));
    EXPECT_EQ(0u, agent_.ExitCode());
}

TEST_F(AgentTest, QuerySessionEndIsNeverRefused)
{
    HWND window = FindWindowOf(agent_.Id(), nullptr, kTitle, 0);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(TRUE, static_cast<BOOL>(answer));
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    ASSERT_TRUE(agent_.Wait(10000));
    EXPECT_EQ(0u, agent_.ExitCode());
}

TEST_F(AgentTest, ManyPressesLeaveTheHandleCountFlat)
{
    ASSERT_TRUE(HandledAfter(PressHotkey));
    long before = CountProcessHandles(agent_.Id());
    ASSERT_GT(before, 0);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(HandledAfter(PressHotkey)) << "press " << i;
    EXPECT_EQ(before, CountProcessHandles(agent_.Id()));
    EXPECT_EQ(3u, ToggleWord());
}

// Dark pixels of the window's client area as it stands on the screen, by
// horizontal and vertical third (0 top or left, 2 bottom or right).
struct Ink {
    int rows[3] = {};
    int columns[3] = {};
};

Ink InkOnScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    int width = client.right;
    int height = client.bottom;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    Ink ink;
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int y = 0; pixels && y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = pixels[y * width + x];
            if ((pixel & 0xFF) + (pixel >> 8 & 0xFF) + (pixel >> 16 & 0xFF) < 3 * 0x60) {
                ++ink.rows[3 * y / height];
                ++ink.columns[3 * x / width];
            }
        }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

TEST_F(AgentTest, ShownByAnotherProgramItDrawsItsGreetingCentred)
{
    HWND window = FindWindowOf(agent_.Id(), nullptr, kTitle, 0);
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 600, 300, SWP_SHOWWINDOW));
    ASSERT_TRUE(AgentCaughtUp());
    Ink ink;
    ASSERT_TRUE(WaitUntil(5000, [&] {
        ink = InkOnScreen(window);
        return ink.rows[1] > 0;
    })) << "no text in the middle of the window";
    EXPECT_EQ(0, ink.rows[0]);
    EXPECT_EQ(0, ink.rows[2]);
    EXPECT_GT(ink.columns[1], 0);
    EXPECT_EQ(ink.columns[0], 0) << "one short line, centred";
    EXPECT_EQ(ink.columns[2], 0);
}

TEST(AgentStartTest, DoesNotStartWithoutTheLibrary)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string folder = std::string(temp) + "agent-alone";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string copy = folder + "\\HotkeyAgent.exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "HotkeyAgent.exe").c_str(), copy.c_str(), FALSE));
    ChildProcess agent;
    if (agent.Start("\"" + copy + "\"")) {
        ASSERT_TRUE(agent.Wait(10000));
        EXPECT_NE(0u, agent.ExitCode());
    }
    EXPECT_EQ(nullptr, FindWindowA(nullptr, kTitle));
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
}
