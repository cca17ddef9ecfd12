// Opens and closes the camera once through VantrelCtl.dll, for tests that
// watch a whole process: prints the open's answer in brackets after whatever
// the library wrote to standard output.
#include <cstdio>
#include <cstring>

#include "VantrelCtl.h"

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "open-close") != 0)
        return 2;
    DeviceHandle device = nullptr;
    int opened = InitialDll(&device, 0);
    std::printf("[%d]", opened);
    std::fflush(stdout);
    UninitialDll(device);
    return 0;
}
