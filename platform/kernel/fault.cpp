// The results tests ask of the stand-in's calls.
#include "fault.h"

namespace {
HRESULT faults[FAULT_COUNT];
}

HRESULT TakeFault(FaultCall call) {
    HRESULT result = faults[call];
    faults[call] = S_OK;
    return result;
}

void SetFault(FaultCall call, HRESULT result) {
    faults[call] = result;
}

void ClearFaults() {
    for (HRESULT& fault : faults)
        fault = S_OK;
}
