#include "Waiting.h"

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}
