// Results a test asks of the stand-in's calls (platform/testing/seams.h sets
// them); the game never does, and then every call does its work.
#ifndef QEL_PLATFORM_KERNEL_FAULT_H
#define QEL_PLATFORM_KERNEL_FAULT_H

#include <windows.h>

enum FaultCall {
    FAULT_DIRECTDRAWCREATE,
    FAULT_DDRAW_QUERYINTERFACE,
    FAULT_DDRAW_SETCOOPERATIVELEVEL,
    FAULT_SETDISPLAYMODE,
    FAULT_CREATESURFACE_PRIMARY,
    FAULT_CREATESURFACE_OFFSCREEN,
    FAULT_GETATTACHEDSURFACE,
    FAULT_DSOUND_SETCOOPERATIVELEVEL,
    FAULT_COCREATEINSTANCE,
    FAULT_COUNT
};

// The result asked of the next call of `call`, forgotten once taken; S_OK
// when none was. A failure is returned at once, the call doing nothing; a
// success code lets the call do its work and return that code.
HRESULT TakeFault(FaultCall call);
void SetFault(FaultCall call, HRESULT result);
void ClearFaults();

#endif
