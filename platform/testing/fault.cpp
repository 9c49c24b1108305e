// The test seam of failing calls.
#include "fault.h"

void TestFailNext(FaultCall call, HRESULT result) {
    SetFault(call, result);
}

void TestResetFaults() {
    ClearFaults();
}
