// A fixture that gives each test a fresh window stand-in, the game's
// resources as the module, and a recording window procedure.
#ifndef QEL_TESTS_PLATFORM_FIXTURE_H
#define QEL_TESTS_PLATFORM_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "testing/user.h"
#include "user/resource_internal.h"

extern const unsigned char qelResourceData[];
extern const size_t qelResourceSize;

inline HINSTANCE GameModule() {
    static HINSTANCE module =
        UserCreateModule(qelResourceData, qelResourceSize);
    return module;
}

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestResetUser();
        TestRecordMessageBoxes(true);
        TestSetPresentPacing(false);
    }
    void TearDown() override { TestResetUser(); }
};

#endif
