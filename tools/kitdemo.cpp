// kitdemo: drives the kit the way a camera program would, for tools/demo.
//   kitdemo toggle   opens the camera, reads property 2, flips word 7, writes it, closes
//   kitdemo press    presses the agent's hotkey (virtual key 0x80)
//   kitdemo query-suspend
//                    asks the suspend guard whether the system may suspend, as
//                    the system does, and reports and dismisses its warning
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "VantrelCtl.h"

namespace {

void PrintBlock(const char* label, const PropertyBlock& block)
{
    std::printf("%s", label);
    for (DWORD word : block.words)
        std::printf(" %lu", static_cast<unsigned long>(word));
    std::printf("\n");
}

int Toggle()
{
    DeviceHandle device = nullptr;
    int opened = InitialDll(&device, 0);
    std::printf("\nInitialDll answered %d\n", opened);
    PropertyBlock block = {};
    HRESULT status = CustomDefineProperty_Get(device, 2, &block);
    std::printf("CustomDefineProperty_Get(2) answered 0x%08lx\n", static_cast<unsigned long>(status));
    if (status == 0) {
        PrintBlock("  property 2 words:", block);
        block.words[7] = block.words[7] == 0 ? 3 : 0;
        status = CustomDefineProperty_Set(device, 2, &block);
        std::printf("CustomDefineProperty_Set(2) with word 7 = %lu answered 0x%08lx\n",
                    static_cast<unsigned long>(block.words[7]), static_cast<unsigned long>(status));
        status = CustomDefineProperty_Get(device, 2, &block);
        PrintBlock("  property 2 words read back:", block);
    }
    std::printf("UninitialDll answered %d\n", UninitialDll(device));
    return opened == 1 && status == 0 ? 0 : 1;
}

int Press()
{
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = 0x80;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, keys, sizeof(INPUT)) == 2 ? 0 : 1;
}

struct SuspendQuery {
    HWND guard;
    DWORD_PTR answer;
    BOOL delivered;
};

DWORD WINAPI SendSuspendQuery(void* context)
{
    auto* query = static_cast<SuspendQuery*>(context);
    query->delivered = SendMessageTimeoutA(query->guard, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 1, SMTO_NORMAL, 30000,
                                           &query->answer);
    return 0;
}

// The guard's warning box, once it is open; null if none opens in time.
HWND WaitForGuardBox(DWORD guardProcess, HANDLE queryThread)
{
    while (WaitForSingleObject(queryThread, 20) == WAIT_TIMEOUT) {
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner == guardProcess && IsWindowVisible(box))
                return box;
        }
    }
    return nullptr;
}

int QuerySuspend()
{
    SuspendQuery query = {FindWindowA("OrvixIcon", "StretchBlt Demo"), 0, FALSE};
    if (!query.guard) {
        std::printf("no suspend guard is running\n");
        return 1;
    }
    DWORD guardProcess = 0;
    GetWindowThreadProcessId(query.guard, &guardProcess);
    HANDLE thread = CreateThread(nullptr, 0, SendSuspendQuery, &query, 0, nullptr);
    if (!thread)
        return 1;
    if (HWND box = WaitForGuardBox(guardProcess, thread)) {
        char caption[128] = {};
        char text[256] = {};
        GetWindowTextA(box, caption, sizeof(caption));
        // The box's text control is 0xFFFF on Windows and 100 under Wine.
        if (!GetDlgItemTextA(box, 0xFFFF, text, sizeof(text)))
            GetDlgItemTextA(box, 100, text, sizeof(text));
        std::printf("  the guard shows \"%s\" (caption \"%s\"); dismissing it\n", text, caption);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    WaitForSingleObject(thread, 35000);
    CloseHandle(thread);
    if (!query.delivered)
        return 1;
    std::printf("  the guard answers 0x%08lx (%s)\n", static_cast<unsigned long>(query.answer),
                query.answer == BROADCAST_QUERY_DENY ? "suspend refused" : "suspend allowed");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "toggle") == 0)
        return Toggle();
    if (argc == 2 && std::strcmp(argv[1], "press") == 0)
        return Press();
    if (argc == 2 && std::strcmp(argv[1], "query-suspend") == 0)
        return QuerySuspend();
    std::fprintf(stderr, "usage: kitdemo toggle|press|query-suspend\n");
    return 2;
}
