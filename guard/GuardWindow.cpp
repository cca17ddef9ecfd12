#include "GuardWindow.h"

#include "PreviewFlagRule.h"
#include "ScopedHandles.h"
#include "SuspendBlocker.h"

namespace {

const char kClassName[] = "OrvixIcon";
const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshPeriodMs = 100;
const UINT kWarningFlags = MB_ICONWARNING | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST;
static_assert(kWarningFlags == 0x00052030, "the warning's box flags");

int32_t g_previewFlag = 0;
SuspendBlocker g_suspendBlocker;

void RefreshPreviewFlag()
{
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\OrvixCam", 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    // Zeroed first, so that a value shorter than four bytes reads as a small number.
    uint8_t value[4] = {};
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.get(), "StartPreview", nullptr, nullptr, value, &size) == ERROR_SUCCESS)
        g_previewFlag = NextPreviewFlag(g_previewFlag, StartPreviewNumber(value));
}

void KeepSystemAwakeWhilePreviewing()
{
    if (g_previewFlag == 1)
        g_suspendBlocker.Hold();
    else
        g_suspendBlocker.Release();
}

LRESULT CALLBACK GuardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetTimer(window, kRefreshTimer, kRefreshPeriodMs, nullptr);
        return 0;
    case WM_TIMER:
        RefreshPreviewFlag();
        KeepSystemAwakeWhilePreviewing();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND && g_previewFlag == 1) {
            MessageBoxA(nullptr, "Please close DuzOvu AP before suspend!", "Warning", kWarningFlags);
            return BROADCAST_QUERY_DENY;
        }
        return 0;
    case WM_DESTROY:
        KillTimer(window, kRefreshTimer);
        g_suspendBlocker.Release();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int RunSuspendGuard(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = GuardWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) {
        MessageBoxA(nullptr, "This program requires Windows NT!", kClassName, MB_ICONERROR);
        return 0;
    }
    HWND window = CreateWindowA(kClassName, "StretchBlt Demo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;  // nothing could ever end a loop without a window

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // A quit posted from outside ends the loop with the window still there.
    g_suspendBlocker.Release();
    return got == -1 ? 1 : static_cast<int>(msg.wParam);
}
