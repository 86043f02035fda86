// SPDX-License-Identifier: MIT
// Test entry for tests that need Qt Gui (the clipboard): a QGuiApplication around
// GoogleTest. Unit builds draw offscreen; desktop builds use the X display when there is
// one, and their tests skip themselves when there is none.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as the build does to register them) needs no application.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
#ifdef QUILLMARK_TEST_OFFSCREEN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#else
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
