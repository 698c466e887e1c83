#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "dialogs/resultboxes.h"
#include "support/tempconfig.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    vela::test::UseFreshConfigDir();
    QApplication app(argc, argv);
    // The window's engine reports through boxes, as in the program.
    vela::ShowEngineEventsAsBoxes();
    return RUN_ALL_TESTS();
}
