#include "HandleCount.h"

#include <vector>

namespace {

// SystemExtendedHandleInformation (class 64).
struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

}  // namespace

long CountProcessHandles(DWORD processId)
{
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<unsigned char> buffer(1 << 16);
    for (int attempt = 0; attempt < 16; ++attempt) {
        ULONG needed = 0;
        LONG status = query(64, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            auto* table = reinterpret_cast<HandleTable*>(buffer.data());
            long count = 0;
            for (ULONG_PTR i = 0; i < table->count; ++i)
                if (table->entries[i].processId == processId)
                    ++count;
            return count;
        }
        buffer.resize(buffer.size() * 2 > needed ? buffer.size() * 2 : needed + 4096);
    }
    return -1;
}

bool ModuleLoaded(const char* name)
{
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, name, &module) && module != nullptr;
}
