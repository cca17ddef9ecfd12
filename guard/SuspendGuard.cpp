#include <windows.h>

#include "GuardWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return RunSuspendGuard(instance);
}
