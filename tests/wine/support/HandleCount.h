// Resource counts of a process that work under Wine, where
// GetProcessHandleCount and GetGuiResources answer 0.
#pragma once

#include <windows.h>

// Number of kernel handles the process holds, from the system handle table.
long CountProcessHandles(DWORD processId = GetCurrentProcessId());

// Whether a module of that name is loaded, asked without changing its
// reference count.
bool ModuleLoaded(const char* name);
