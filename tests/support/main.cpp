#include <gtest/gtest.h>

#include "support/tempconfig.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Every test process starts on a config folder of its own.
    vela::test::UseFreshConfigDir();
    return RUN_ALL_TESTS();
}
