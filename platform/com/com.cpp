// COM start-up and class creation: the filter graph is the one class.
#include <objbase.h>
#include <dshow.h>

#include "../dshow/dshow_private.h"

#include "../kernel/fault.h"

namespace {

// COM is started per thread.
thread_local bool comStarted = false;

} // namespace

// Starts COM on this thread: S_OK the first time, S_FALSE again.
HRESULT WINAPI CoInitialize(LPVOID) {
    if (comStarted) return S_FALSE;
    comStarted = true;
    return S_OK;
}

// Ends COM on this thread.
void WINAPI CoUninitialize(void) {
    comStarted = false;
}

// Creates the filter graph, the one class the game asks for, on a thread
// that started COM.
HRESULT WINAPI CoCreateInstance(REFCLSID, LPUNKNOWN, DWORD, REFIID riid,
                                LPVOID* object) {
    *object = nullptr;
    if (!comStarted) return CO_E_NOTINITIALIZED;
    HRESULT fault = TakeFault(FAULT_COCREATEINSTANCE);
    if (FAILED(fault)) return fault;
    return FilterGraphCreate(riid, object);
}
