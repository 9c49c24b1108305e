// Test entry: GoogleTest with message boxes recorded instead of shown.
#include <gtest/gtest.h>

#include "testing/user.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TestRecordMessageBoxes(true);
    return RUN_ALL_TESTS();
}
