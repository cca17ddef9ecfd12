// The hotkey agent: a hidden frame whose hotkey flips ToggleWord of the camera.
#pragma once

#include "Framework.h"

class HotkeyApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

class HotkeyFrame : public CFrameWnd {
public:
    HotkeyFrame();
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint();

private:
    static const MessageMapEntry messageEntries[];
    static const MessageMap messageMap;
};
