#include "HotkeyAgent.h"

#include "ToggleRule.h"
#include "VantrelCtl.h"

namespace {

const int kHotkeyId = 12345678;
const UINT kHotkeyVirtualKey = 0x80;
const DWORD kTogglePropertyId = 2;
const int kToggleWord = 7;

// One complete open/close pair of the library per press.
BOOL ToggleCameraWord()
{
    DeviceHandle device = nullptr;
    InitialDll(&device, 0);
    PropertyBlock block;
    if (CustomDefineProperty_Get(device, kTogglePropertyId, &block) != 0) {
        UninitialDll(device);
        return FALSE;
    }
    if (std::optional<uint32_t> next = NextToggleWord(block.words[kToggleWord])) {
        block.words[kToggleWord] = *next;
        CustomDefineProperty_Set(device, kTogglePropertyId, &block);
    }
    UninitialDll(device);
    return TRUE;
}

}  // namespace

HotkeyApp theApp;

BOOL HotkeyApp::InitInstance()
{
    HotkeyFrame* frame = new HotkeyFrame;
    if (!frame || !frame->GetSafeHwnd()) {
        delete frame;
        return FALSE;
    }
    m_pMainWnd = frame;
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();
    RegisterHotKey(nullptr, kHotkeyId, 0, kHotkeyVirtualKey);
    return TRUE;
}

const MessageMapEntry HotkeyFrame::messageEntries[] = {
    {WM_PAINT, static_cast<void (CFrameWnd::*)()>(&HotkeyFrame::OnPaint)},
    {0, nullptr},
};
const MessageMap HotkeyFrame::messageMap = {&CFrameWnd::messageMap, messageEntries};

const MessageMap* HotkeyFrame::GetMessageMap() const { return &messageMap; }

HotkeyFrame::HotkeyFrame()
{
    Create(nullptr, "The Orvix Hotkey Function", WS_OVERLAPPEDWINDOW, rectDefault, nullptr, nullptr, 0, nullptr);
}

BOOL HotkeyFrame::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_HOTKEY && msg->wParam == kHotkeyId)
        return ToggleCameraWord();
    return FALSE;
}

void HotkeyFrame::OnPaint()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    dc.DrawText("Hello, Orvix User", -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}
