// Test seam shared by every service: a stand-in call that fails once.
#ifndef QEL_PLATFORM_TESTING_FAULT_H
#define QEL_PLATFORM_TESTING_FAULT_H

#include "../kernel/fault.h"

// The next call of `call` returns `result`: a failure without doing
// anything (creation calls also null their out pointer), a success code
// after doing its work. Forgotten by TestResetFaults, between tests.
void TestFailNext(FaultCall call, HRESULT result);
void TestResetFaults();

#endif
