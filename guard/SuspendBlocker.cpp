#include "SuspendBlocker.h"

namespace {

// Power requests exist from Windows 7 on; older systems lack the exports.
using CreateRequestFn = HANDLE(WINAPI*)(PREASON_CONTEXT);
using ChangeRequestFn = BOOL(WINAPI*)(HANDLE, POWER_REQUEST_TYPE);

template <typename Function>
Function Kernel32Export(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

wchar_t kReason[] = L"The camera preview of DuzOvu AP is running";

}  // namespace

void SuspendBlocker::Hold()
{
    if (Held())
        return;
    auto create = Kernel32Export<CreateRequestFn>("PowerCreateRequest");
    auto set = Kernel32Export<ChangeRequestFn>("PowerSetRequest");
    if (create && set) {
        REASON_CONTEXT reason = {};
        reason.Version = POWER_REQUEST_CONTEXT_VERSION;
        reason.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
        reason.Reason.SimpleReasonString = kReason;
        HANDLE request = create(&reason);
        if (request != INVALID_HANDLE_VALUE && request != nullptr) {
            if (set(request, PowerRequestSystemRequired)) {
                request_ = request;
                return;
            }
            CloseHandle(request);
        }
    }
    viaExecutionState_ = SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
}

void SuspendBlocker::Release()
{
    if (request_) {
        if (auto clear = Kernel32Export<ChangeRequestFn>("PowerClearRequest"))
            clear(request_, PowerRequestSystemRequired);
        CloseHandle(request_);
        request_ = nullptr;
    }
    if (viaExecutionState_) {
        SetThreadExecutionState(ES_CONTINUOUS);
        viaExecutionState_ = false;
    }
}
