// Bounded polling for tests.
#pragma once

#include <windows.h>

#include <functional>

// Polls `done` every 10 ms; false when it is still false after `timeoutMs`.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done);
