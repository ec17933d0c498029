// main() for widget tests: one QApplication around the whole run, destroyed
// before the process exits (a static one would outlive Qt's own globals).

#include <gtest/gtest.h>

#include "device/common/Conversion.h"
#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs outside ctest's environment, without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseClassicNumericLocale(); // QApplication set LC_NUMERIC from the user's locale
    return RUN_ALL_TESTS();
}
