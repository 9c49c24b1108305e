// Test entry: GoogleTest with message boxes recorded instead of shown, and
// injected failures forgotten after each test.
#include <gtest/gtest.h>

#include "testing/fault.h"
#include "testing/user.h"

namespace {
// A failure asked of a call and never met does not reach the next test.
class ForgetFaults : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { TestResetFaults(); }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TestRecordMessageBoxes(true);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetFaults);
    return RUN_ALL_TESTS();
}
