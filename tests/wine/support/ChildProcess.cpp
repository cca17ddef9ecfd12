#include "ChildProcess.h"

#include <vector>

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

ChildProcess::~ChildProcess()
{
    if (info_.hProcess) {
        if (Running()) {
            TerminateProcess(info_.hProcess, 255);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    if (outputRead_)
        CloseHandle(outputRead_);
}

bool ChildProcess::Start(const std::string& commandLine, bool captureOutput)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    HANDLE outputWrite = nullptr;
    if (captureOutput) {
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        if (!CreatePipe(&outputRead_, &outputWrite, &inherit, 0))
            return false;
        SetHandleInformation(outputRead_, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = outputWrite;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, captureOutput, 0, nullptr, nullptr,
                                  &startup, &info_);
    if (outputWrite)
        CloseHandle(outputWrite);
    return started != FALSE;
}

void ChildProcess::DrainOutput()
{
    DWORD available = 0;
    while (outputRead_ && PeekNamedPipe(outputRead_, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(outputRead_, buffer, sizeof(buffer), &read, nullptr) || read == 0)
            break;
        output_.append(buffer, read);
    }
}

bool ChildProcess::Wait(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DrainOutput();
        if (WaitForSingleObject(info_.hProcess, 20) == WAIT_OBJECT_0) {
            DrainOutput();
            return true;
        }
        if (GetTickCount() - start > timeoutMs)
            return false;
    }
}

bool ChildProcess::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

DWORD ChildProcess::ExitCode() const
{
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HWND FindWindowOf(DWORD processId, const char* className, const char* title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, className, title)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId)
                return window;
        }
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(20);
    }
}
