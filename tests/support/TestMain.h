#pragma once

#include "net/AppInfo.h"
#include "ui/CachingStyle.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace kolvane::test {

// The data folder (the roster of regulars) of a suite's own: XDG_DATA_HOME on Linux; Windows
// knows no such variable, so there Qt's folders for tests.
inline void useOwnDataFolder(const QString& path)
{
    qputenv("XDG_DATA_HOME", path.toLocal8Bit());
#ifdef Q_OS_WIN
    QStandardPaths::setTestModeEnabled(true);
#endif
}

}  // namespace kolvane::test

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
        /* So does the roster of regulars (the data folder), never the operator's. */                                  \
        kolvane::test::useOwnDataFolder(stateHome.path());                                                             \
        QApplication app(argc, argv);                                                                                  \
        QCoreApplication::setApplicationName(kolvane::appTitle());                                                     \
        /* What is drawn is checked in the style the program draws with. */                                            \
        if (QApplication::style()->name() != kolvane::baseStyleName())                                                 \
            QApplication::setStyle(kolvane::baseStyleName());                                                          \
        TestClass tc;                                                                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
