// A transport module that loads but lacks the device control entry.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI KsOpenDefaultDevice(REFGUID, ACCESS_MASK, PHANDLE)
{
    return E_NOTIMPL;
}
