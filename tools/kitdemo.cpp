// kitdemo: drives the kit the way a camera program would, for tools/demo.
//   kitdemo toggle   opens the camera, reads property 2, flips word 7, writes it, closes
//   kitdemo press    presses the agent's hotkey (virtual key 0x80)
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "toggle") == 0)
        return Toggle();
    if (argc == 2 && std::strcmp(argv[1], "press") == 0)
        return Press();
    std::fprintf(stderr, "usage: kitdemo toggle|press\n");
    return 2;
}
