// The suspend guard: a hidden window that caches the camera application's
// preview flag and refuses the system's suspend query while it is 1.
#pragma once

#include <windows.h>

// Registers the class, creates the hidden window and runs the message loop;
// answers the program's exit code.
int RunSuspendGuard(HINSTANCE instance);
