// Library frame: load notification, the open/close pair and the teardown of
// the preview objects.
#include <windows.h>
#include <strmif.h>
#include <control.h>

#include <cstdio>

#include "DeviceLocator.h"
#include "LibraryState.h"
#include "VantrelCtl.h"

LibraryState g_library;

namespace {

// IID_IMediaControl {56A868B1-0AD4-11CE-B03A-0020AF0BA770}
const IID kIidMediaControl = {0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

template <typename Interface>
void ReleaseSlot(Interface*& slot)
{
    if (slot) {
        slot->Release();
        slot = nullptr;
    }
}

void StopPreviewGraph()
{
    if (!g_library.preview.graph)
        return;
    IMediaControl* control = nullptr;
    HRESULT status = g_library.preview.graph->QueryInterface(kIidMediaControl, reinterpret_cast<void**>(&control));
    if (SUCCEEDED(status)) {
        status = control->Stop();
        control->Release();
    }
    if (FAILED(status))
        ShowLibraryError("Cannot stop preview graph !");
}

// Tovrex_CreateDeviceHandle: loads the transport and opens the camera.
int CreateDeviceHandle(DeviceHandle* device)
{
    std::fputs("Enter Tovrex_CreateDeviceHandle", stdout);
    std::fflush(stdout);

    char path[MAX_PATH];
    GetSystemDirectoryA(path, sizeof(path));
    lstrcatA(path, "\\Ksproxy.ax");
    g_library.transportModule = LoadLibraryA(path);
    if (!g_library.transportModule)
        return 0;
    g_library.controlEntry = reinterpret_cast<KsSynchronousDeviceControlFn>(
        reinterpret_cast<void*>(GetProcAddress(g_library.transportModule, "KsSynchronousDeviceControl")));

    ResolveDeviceId(g_library.deviceIdText, kDefaultDeviceId);
    if (!device)
        return 0;  // a camera opened now could never be closed
    *device = OpenDevice(DeviceIdTextView(g_library.deviceIdText));
    return IsNoDevice(*device) ? 0 : 1;
}

}  // namespace

void ShowLibraryError(const char* text)
{
    MessageBoxA(nullptr, text, "ERROR", MB_OK | MB_ICONERROR);
}

void TearDownPreview()
{
    StopPreviewGraph();
    ReleaseSlot(g_library.preview.builder);
    ReleaseSlot(g_library.preview.captureFilter);
    ReleaseSlot(g_library.preview.graph);
    ReleaseSlot(g_library.preview.nullRenderer);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

extern "C" int VANTREL_API InitialDll(DeviceHandle* device, DWORD mode)
{
    CoInitialize(nullptr);
    g_library.mode = mode;
    return CreateDeviceHandle(device) == 1 ? 1 : 0;
}

extern "C" int VANTREL_API UninitialDll(DeviceHandle device)
{
    TearDownPreview();
    if (g_library.transportModule) {
        FreeLibrary(g_library.transportModule);
        g_library.transportModule = nullptr;
        g_library.controlEntry = nullptr;
    }
    if (!IsNoDevice(device))
        CloseHandle(device);
    MarkFirmwareDownload();
    CoUninitialize();
    return 1;
}
