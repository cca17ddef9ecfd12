// Resource counts of a process that work under Wine, where
// GetProcessHandleCount and GetGuiResources answer 0.
#pragma once

#include <windows.h>

// Number of kernel handles the process holds, from the system handle table.
long CountProcessHandles(DWORD processId = GetCurrentProcessId());

// Number of loaded modules named `name` (0 or 1) and its reference count
// as seen through GetModuleHandleEx, without changing it.
bool ModuleLoaded(const char* name);
