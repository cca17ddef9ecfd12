/* VantrelCtl.dll: finds and opens the camera and exchanges vendor property
 * blocks with its driver. Every use is bracketed by InitialDll / UninitialDll
 * on one thread. */
#ifndef VANTRELCTL_H
#define VANTRELCTL_H

#include <windows.h>

#define VANTREL_API WINAPI

/* Handle of the camera's opened capture interface; null and
 * INVALID_HANDLE_VALUE both mean "no device". */
typedef HANDLE DeviceHandle;

/* The value of one vendor property: eight 32-bit words. */
typedef struct PropertyBlock {
    DWORD words[8];
} PropertyBlock;

#ifdef __cplusplus
extern "C" {
#endif

/* 1: opens the camera into *device; answers 1 when a device was opened. */
int VANTREL_API InitialDll(DeviceHandle* device, DWORD mode);
/* 2: closes what InitialDll opened; always answers 1. */
int VANTREL_API UninitialDll(DeviceHandle device);
/* 19, 20: the driver's status (negative is failure), or ERROR_INVALID_HANDLE
 * when there is no device or no transport. */
HRESULT VANTREL_API CustomDefineProperty_Get(DeviceHandle device, DWORD propertyId, PropertyBlock* block);
HRESULT VANTREL_API CustomDefineProperty_Set(DeviceHandle device, DWORD propertyId, const PropertyBlock* block);

#ifdef __cplusplus
}
#endif

#endif
