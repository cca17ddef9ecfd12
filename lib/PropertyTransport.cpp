// Vendor property exchange: one synchronous kernel-streaming property request
// per call through the transport's control entry.
#include <windows.h>

#include "LibraryState.h"
#include "PropertyRequest.h"
#include "VantrelCtl.h"

namespace {

const ULONG kIoctlKsProperty = 0x002F0003;

static_assert(sizeof(PropertyBlock) == kPropertyWords * sizeof(uint32_t), "PropertyBlock is eight 32-bit words");

HRESULT Exchange(DeviceHandle device, PropertyRequest& request)
{
    ULONG returned = 0;
    return g_library.controlEntry(device, kIoctlKsProperty, request.bytes, kPropertyRequestSize, request.bytes,
                                  kPropertyRequestSize, &returned);
}

bool CannotExchange(DeviceHandle device) { return !g_library.controlEntry || IsNoDevice(device); }

}  // namespace

extern "C" HRESULT VANTREL_API CustomDefineProperty_Get(DeviceHandle device, DWORD propertyId, PropertyBlock* block)
{
    if (CannotExchange(device))
        return ERROR_INVALID_HANDLE;
    if (!block)
        return ERROR_INVALID_PARAMETER;
    PropertyRequest request = MakePropertyRequest(propertyId, kPropertyFlagGet, nullptr);
    HRESULT status = Exchange(device, request);
    if (FAILED(status)) {
        ShowLibraryError("Cannot Get CustomDefineProperty !");
        return status;
    }
    uint32_t words[kPropertyWords];
    ReadPropertyValue(request, words);
    for (uint32_t i = 0; i < kPropertyWords; ++i)
        block->words[i] = words[i];
    return status;
}

extern "C" HRESULT VANTREL_API CustomDefineProperty_Set(DeviceHandle device, DWORD propertyId, const PropertyBlock* block)
{
    if (CannotExchange(device))
        return ERROR_INVALID_HANDLE;
    if (!block)
        return ERROR_INVALID_PARAMETER;
    uint32_t words[kPropertyWords];
    for (uint32_t i = 0; i < kPropertyWords; ++i)
        words[i] = block->words[i];
    PropertyRequest request = MakePropertyRequest(propertyId, kPropertyFlagSet, words);
    HRESULT status = Exchange(device, request);
    if (FAILED(status))
        ShowLibraryError("Cannot Set CustomDefineProperty !");
    return status;
}
