// Watches for the message boxes of one process, records them and dismisses
// them, so that a test can assert on a box and never hangs on one.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    bool topmost = false;
    DWORD appearedAt = 0;   // GetTickCount when first seen
    DWORD dismissedAt = 0;  // when the watcher dismissed it
};

class BoxWatcher {
public:
    explicit BoxWatcher(DWORD processId = GetCurrentProcessId());
    ~BoxWatcher();

    // While held, boxes are recorded but left open.
    void Hold(bool hold) { hold_ = hold; }

    // Waits until at least `count` boxes were seen; false on timeout.
    bool WaitForBoxes(size_t count, DWORD timeoutMs) const;
    // Waits until no box of the process is open any more.
    bool WaitForNoOpenBox(DWORD timeoutMs) const;

    std::vector<SeenBox> Boxes() const;

private:
    void Watch();
    void Scan();

    DWORD processId_;
    std::atomic<bool> hold_{false};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<SeenBox> boxes_;
    std::thread thread_;
};

// The dialog boxes (class #32770) that a process has open now.
std::vector<HWND> OpenBoxesOf(DWORD processId);
