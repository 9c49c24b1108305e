// COM start-up and class creation: the filter graph is the one class.
#include <objbase.h>
#include <dshow.h>

#include "../dshow/dshow_private.h"

#include "../kernel/fault.h"
#include "../trace/trace.h"

namespace {

// COM is started per thread.
thread_local bool comStarted = false;

} // namespace

// Starts COM on this thread: S_OK the first time, S_FALSE again.
HRESULT WINAPI CoInitialize(LPVOID reserved) {
    TRACE(TRACE_COM, "reserved=%p", reserved);
    if (comStarted) return S_FALSE;
    comStarted = true;
    return S_OK;
}

// Ends COM on this thread.
void WINAPI CoUninitialize(void) {
    TRACE(TRACE_COM, "()");
    comStarted = false;
}

// Creates the filter graph, the one class the game asks for, in process on
// a thread that started COM; it cannot be aggregated. Any other class is
// one the stand-in lacks: REGDB_E_CLASSNOTREG, as for a class not
// installed.
HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context,
                                REFIID riid, LPVOID* object) {
    TRACE(TRACE_COM, "clsid=%s outer=%p context=0x%x riid=%s",
          TraceGuid(clsid).c_str(), (void*)outer, (unsigned)context,
          TraceGuid(riid).c_str());
    *object = nullptr;
    if (!comStarted) return CO_E_NOTINITIALIZED;
    if (clsid != CLSID_FilterGraph) {
        FIXME(TRACE_COM, "clsid=%s is no class of the stand-in",
              TraceGuid(clsid).c_str());
        return REGDB_E_CLASSNOTREG;
    }
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC_SERVER)) {
        FIXME(TRACE_COM, "context=0x%x: the graph runs in process only",
              (unsigned)context);
        return REGDB_E_CLASSNOTREG;
    }
    HRESULT fault = TakeFault(FAULT_COCREATEINSTANCE);
    if (FAILED(fault)) return fault;
    return FilterGraphCreate(riid, object);
}
