// Entry of the Qt tests: a private configuration folder, so no test touches the user's
// settings or ports folder, then the application object and the tests. QSettings takes
// the folder once per process, so it is set before anything else runs.

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/TempConfigHome.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const TempConfigHome home;
    // Test discovery runs without the tests' environment; a window test never needs a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
