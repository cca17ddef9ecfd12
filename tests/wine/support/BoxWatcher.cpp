#include "BoxWatcher.h"

#include "Waiting.h"

#include <algorithm>

namespace {

struct BoxSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    if (owner == search->processId && lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK FindText(HWND child, LPARAM context)
{
    char className[16] = {};
    GetClassNameA(child, className, sizeof(className));
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof(text));
    if (lstrcmpiA(className, "Static") == 0 && text[0] != '\0') {
        *reinterpret_cast<std::string*>(context) = text;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> OpenBoxesOf(DWORD processId)
{
    BoxSearch search{processId, {}};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BoxWatcher::BoxWatcher(DWORD processId) : processId_(processId), thread_([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher()
{
    hold_ = false;
    stop_ = true;
    thread_.join();
}

void BoxWatcher::Watch()
{
    while (!stop_) {
        Scan();
        Sleep(15);
    }
    Scan();
}

void BoxWatcher::Scan()
{
    for (HWND window : OpenBoxesOf(processId_)) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto known = std::find_if(boxes_.begin(), boxes_.end(), [window](const SeenBox& box) { return box.window == window; });
        if (known == boxes_.end()) {
            SeenBox box;
            box.window = window;
            char caption[256] = {};
            GetWindowTextA(window, caption, sizeof(caption));
            box.caption = caption;
            EnumChildWindows(window, FindText, reinterpret_cast<LPARAM>(&box.text));
            box.topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            box.appearedAt = GetTickCount();
            boxes_.push_back(box);
            known = boxes_.end() - 1;
        }
        // A dismissed box can stay listed a while before Wine destroys it.
        if (!hold_) {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            if (known->dismissedAt == 0)
                known->dismissedAt = GetTickCount();
        }
    }
}

bool BoxWatcher::WaitForBoxes(size_t count, DWORD timeoutMs) const
{
    return WaitUntil(timeoutMs, [&] {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_.size() >= count;
    });
}

bool BoxWatcher::WaitForNoOpenBox(DWORD timeoutMs) const
{
    return WaitUntil(timeoutMs, [&] { return OpenBoxesOf(processId_).empty(); });
}

std::vector<SeenBox> BoxWatcher::Boxes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}
