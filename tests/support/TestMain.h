#pragma once

#include "net/AppInfo.h"
#include "ui/CachingStyle.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// Like QTEST_MAIN, but headless by default: a suite started by hand without a display
// must not abort looking for one.
#define KOLVANE_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);                                                         \
        /* Recovery copies of the program started here go to a folder of the suite's own. */                           \
        QTemporaryDir stateHome;                                                                                       \
        qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());                                                     \
        QApplication app(argc, argv);                                                                                  \
        QCoreApplication::setApplicationName(kolvane::appTitle());                                                     \
        /* What is drawn is checked in the style the program draws with. */                                            \
        if (QApplication::style()->name() != kolvane::baseStyleName())                                                 \
            QApplication::setStyle(kolvane::baseStyleName());                                                          \
        TestClass tc;                                                                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
