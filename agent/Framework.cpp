#include "Framework.h"

namespace {

CWinApp* g_app = nullptr;
const char kFrameClass[] = "KitFrameWnd";

bool RegisterDefaultFrameClass()
{
    WNDCLASSA frameClass = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kFrameClass, &frameClass))
        return true;
    frameClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    frameClass.lpfnWndProc = CWnd::RouteWindowMessage;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    frameClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = kFrameClass;
    return RegisterClassA(&frameClass) != 0;
}

}  // namespace

CWnd* CWnd::FromHandle(HWND window)
{
    if (!window || GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(RouteWindowMessage))
        return nullptr;
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* created = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        created->m_hWnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    CWnd* target = reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!target)
        return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = target->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        target->m_hWnd = nullptr;
        target->PostNcDestroy();
    }
    return result;
}

const RECT CFrameWnd::rectDefault = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0, 0};

const MessageMapEntry kFrameEntries[] = {{0, nullptr}};
const MessageMap CFrameWnd::messageMap = {nullptr, kFrameEntries};

const MessageMap* CFrameWnd::GetMessageMap() const { return &messageMap; }

BOOL CFrameWnd::Create(LPCSTR className, LPCSTR title, DWORD style, const RECT& rect, CWnd* parent,
                       LPCSTR menuName, DWORD exStyle, void*)
{
    if (!className) {
        if (!RegisterDefaultFrameClass())
            return FALSE;
        className = kFrameClass;
    }
    HMENU menu = menuName ? LoadMenuA(GetModuleHandleA(nullptr), menuName) : nullptr;
    bool byDefault = EqualRect(&rect, &rectDefault) != FALSE;
    HWND window = CreateWindowExA(exStyle, className, title, style, byDefault ? CW_USEDEFAULT : rect.left,
                                  byDefault ? CW_USEDEFAULT : rect.top,
                                  byDefault ? CW_USEDEFAULT : rect.right - rect.left,
                                  byDefault ? CW_USEDEFAULT : rect.bottom - rect.top,
                                  parent ? parent->m_hWnd : nullptr, menu, GetModuleHandleA(nullptr), this);
    return window != nullptr;
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (const MessageMap* map = GetMessageMap(); map; map = map->base)
        for (const MessageMapEntry* entry = map->entries; entry->handler; ++entry)
            if (entry->message == message) {
                (this->*entry->handler)();
                return 0;
            }
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            DestroyWindow(m_hWnd);
        return 0;
    case WM_NCDESTROY:
        if (g_app && g_app->m_pMainWnd == this) {
            g_app->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1)
            return -1;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

BOOL CWinApp::PreTranslateMessage(MSG* msg)
{
    if (!msg->hwnd && OnThreadMessage(msg))
        return TRUE;
    HWND main = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    for (HWND window = msg->hwnd; window; window = GetParent(window)) {
        CWnd* target = CWnd::FromHandle(window);
        if (target && target->PreTranslateMessage(msg))
            return TRUE;
        if (window == main)
            return FALSE;
    }
    if (main && (!msg->hwnd || !IsChild(main, msg->hwnd)))
        return m_pMainWnd->PreTranslateMessage(msg);
    return FALSE;
}

CPaintDC::CPaintDC(CWnd* window) : window_(window->m_hWnd) { m_hDC = BeginPaint(window_, &paint_); }

CPaintDC::~CPaintDC() { EndPaint(window_, &paint_); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app || !app->InitInstance())
        return 1;
    return app->Run();
}
