// Test entry: GoogleTest with the quiet seams (message boxes recorded, not
// shown), and injected failures forgotten after each test.
#include <gtest/gtest.h>

#include "platform_fixture.h"

namespace {
// A failure asked of a call and never met does not reach the next test.
class ForgetFaults : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { TestResetFaults(); }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QuietPlatform();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetFaults);
    return RUN_ALL_TESTS();
}
