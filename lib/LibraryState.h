// The library's one process-wide record.
#pragma once

#include <windows.h>

#include "DeviceIdMatch.h"

struct ICaptureGraphBuilder;
struct IBaseFilter;
struct IGraphBuilder;

using KsSynchronousDeviceControlFn = HRESULT(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PVOID, ULONG, PULONG);

struct PreviewObjects {
    ICaptureGraphBuilder* builder;
    IBaseFilter* captureFilter;
    IGraphBuilder* graph;
    IBaseFilter* nullRenderer;
};

struct LibraryState {
    DWORD mode;
    HMODULE transportModule;
    KsSynchronousDeviceControlFn controlEntry;
    char deviceIdText[kDeviceIdTextSize];
    PreviewObjects preview;
};

// Zero when the library is loaded.
extern LibraryState g_library;

inline bool IsNoDevice(HANDLE device) { return device == nullptr || device == INVALID_HANDLE_VALUE; }

// Stops the preview graph, then releases the preview objects in order and
// clears their slots; run by UninitialDll and by the stop of a stream.
void TearDownPreview();

// Error boxes of the library: caption "ERROR", error icon, no owner.
void ShowLibraryError(const char* text);
