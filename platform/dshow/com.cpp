// COM start-up and class creation: the filter graph is the one class.
#include <objbase.h>
#include <dshow.h>

#include "../dsound/audio_record.h"
#include "dshow_private.h"

#include "../kernel/fault.h"

namespace {

// COM is initialised per thread: how often, and in which model.
thread_local int initCount = 0;
thread_local DWORD initModel = 0;

} // namespace

// Initialises COM on this thread in the apartment model.
HRESULT WINAPI CoInitialize(LPVOID reserved) {
    return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
}

// Initialises COM on this thread: S_OK the first time, S_FALSE again, and
// RPC_E_CHANGED_MODE when the model differs from the first call's.
HRESULT WINAPI CoInitializeEx(LPVOID, DWORD flags) {
    DWORD model = flags & COINIT_APARTMENTTHREADED;
    if (initCount > 0) {
        if (model != initModel) return RPC_E_CHANGED_MODE;
        ++initCount;
        return S_FALSE;
    }
    initCount = 1;
    initModel = model;
    return S_OK;
}

// Undoes one successful CoInitialize(Ex) on this thread.
void WINAPI CoUninitialize(void) {
    if (initCount > 0) --initCount;
}

// Creates CLSID_FilterGraph; every other class is not registered.
HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD,
                                REFIID riid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (initCount == 0) return CO_E_NOTINITIALIZED;
    HRESULT fault = TakeFault(FAULT_COCREATEINSTANCE);
    if (FAILED(fault)) return fault;
    if (clsid != CLSID_FilterGraph) return REGDB_E_CLASSNOTREG;
    if (outer) return CLASS_E_NOAGGREGATION;
    return FilterGraphCreate(riid, object);
}
