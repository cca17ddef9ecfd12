// A minimal application framework in the shape of MFC's CWinApp / CFrameWnd:
// an application object whose InitInstance runs before the main message loop,
// frame windows with PreTranslateMessage and a chained message map, and a
// paint context. It routes messages the way the hotkey agent relies on.
#pragma once

#include <windows.h>

class CWnd {
public:
    virtual ~CWnd() = default;

    // Window objects live on the process heap; null when it is exhausted.
    static void* operator new(size_t size) noexcept { return HeapAlloc(GetProcessHeap(), 0, size); }
    static void operator delete(void* object) noexcept { HeapFree(GetProcessHeap(), 0, object); }

    // Answer TRUE to keep a retrieved message from being dispatched.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }

    // The framework object of a window, or null for windows it did not create.
    static CWnd* FromHandle(HWND window);

    HWND m_hWnd = nullptr;

    // The window procedure of the framework's window classes: hands each
    // message to the window's object.
    static LRESULT CALLBACK RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone; frame windows delete themselves here.
    virtual void PostNcDestroy() {}
};

class CFrameWnd;

struct MessageMapEntry {
    UINT message;
    void (CFrameWnd::*handler)();
};

// A frame's message map: its entries, ending with a null handler, then its base's.
struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
};

class CFrameWnd : public CWnd {
public:
    static const RECT rectDefault;  // leaves position and size to the system

    // A null class name uses the framework's default frame-window class; any
    // other class must have RouteWindowMessage as its procedure.
    BOOL Create(LPCSTR className, LPCSTR title, DWORD style = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CWnd* parent = nullptr, LPCSTR menuName = nullptr, DWORD exStyle = 0, void* context = nullptr);

protected:
    virtual const MessageMap* GetMessageMap() const;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

    static const MessageMap messageMap;
};

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    // Runs once before the message loop; FALSE ends the program with exit code 1.
    virtual BOOL InitInstance() { return TRUE; }
    // The main message loop; answers the quit message's code.
    virtual int Run();
    // Pre-translation of a retrieved message, in the framework's order.
    virtual BOOL PreTranslateMessage(MSG* msg);

    CWnd* m_pMainWnd = nullptr;

protected:
    // Thread messages (no window) the application handles itself: none here.
    virtual BOOL OnThreadMessage(MSG*) { return FALSE; }
};

CWinApp* AfxGetApp();

// A paint context for the duration of one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    int DrawText(LPCSTR text, int length, RECT* rect, UINT format) { return ::DrawTextA(m_hDC, text, length, rect, format); }

    HDC m_hDC;

private:
    HWND window_;
    PAINTSTRUCT paint_;
};
