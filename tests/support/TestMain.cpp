// SPDX-License-Identifier: MIT
// Test entry: a Qt application around GoogleTest. QM_TEST_APP picks which: 0 a core one (event
// loops, timers, the network), 1 a Gui one (the clipboard), 2 a Widgets one. Without a
// display they draw offscreen.
#include <gtest/gtest.h>
#if QM_TEST_APP == 2
#include <QApplication>
using TestApplication = QApplication;
#elif QM_TEST_APP == 1
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#if QM_TEST_APP == 2
    // Widgets respect a platform the caller chose.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#elif QM_TEST_APP == 1
    // Listing the tests (as the build does to register them) needs no application.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
#endif
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
