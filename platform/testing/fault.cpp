// The test seam of failing calls.
#include "seams.h"

void TestFailNext(FaultCall call, HRESULT result) {
    SetFault(call, result);
}

void TestResetFaults() {
    ClearFaults();
}
