// Keeps the system from sleeping while held. Current Windows no longer asks
// programs before suspending, so a veto alone protects nothing there.
#pragma once

#include <windows.h>

class SuspendBlocker {
public:
    SuspendBlocker() = default;
    ~SuspendBlocker() { Release(); }
    SuspendBlocker(const SuspendBlocker&) = delete;
    SuspendBlocker& operator=(const SuspendBlocker&) = delete;

    // A system-required power request with a reason that power diagnostics
    // show; where power requests are unavailable, the calling thread's
    // execution state instead (so Hold and Release belong on one thread).
    void Hold();
    void Release();
    bool Held() const { return request_ != nullptr || viaExecutionState_; }

private:
    HANDLE request_ = nullptr;
    bool viaExecutionState_ = false;
};
