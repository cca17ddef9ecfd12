// Starting the kit's programs and test helpers as processes, with bounded waits.
#pragma once

#include <windows.h>

#include <string>

// Folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();  // ends a process still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `commandLine`; with `captureOutput`, its standard output goes to a pipe.
    bool Start(const std::string& commandLine, bool captureOutput = false);
    // Waits for the end; false on timeout. Reads the captured output meanwhile.
    bool Wait(DWORD timeoutMs);
    bool Running() const;
    DWORD ExitCode() const;
    DWORD Id() const { return info_.dwProcessId; }
    DWORD ThreadId() const { return info_.dwThreadId; }
    HANDLE Handle() const { return info_.hProcess; }
    const std::string& Output() const { return output_; }

private:
    void DrainOutput();

    PROCESS_INFORMATION info_ = {};
    HANDLE outputRead_ = nullptr;
    std::string output_;
};

// Polls for a top-level window of the process by class and title; null on timeout.
HWND FindWindowOf(DWORD processId, const char* className, const char* title, DWORD timeoutMs);
