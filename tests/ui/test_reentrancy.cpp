// Commands let events run at many points (each participant window's load, activation and
// close do). Whatever happens at such a point - the frame asked to close, a participant
// window closing - must not pull windows away from under the command that yields.
#include "support/MainRig.h"
#include "support/NetFixtures.h"
#include "support/TestMain.h"
#include "ui/Controls.h"

#include <QFile>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace kolvane;
using namespace kolvane::test;

namespace {

QString writeNet(const QTemporaryDir& dir, int stations)
{
    SessionData net;
    net.header = {QStringLiteral("start"),     QString(),
                  QStringLiteral("146.52"),    QStringLiteral("FM"),
                  QStringLiteral("W1AW"),      QStringLiteral("Hiram"),
                  QStringLiteral("Newington"), QStringLiteral("notes")};
    for (int i = 1; i <= stations; ++i)
        net.participants.append(
            {true, QStringLiteral("K%1ABC").arg(i), QStringLiteral("Al"), QStringLiteral("Boston")});
    const QString path = dir.filePath(QStringLiteral("net.kvs"));
    return writeNetFile(path, net) ? path : QString();
}

// Every participant in frmD carries its own number, and no participant window is
// outside the registry.
bool registryConsistent(MainRig& rig, QString* why)
{
    int registered = 0;
    for (int i = 1; i <= 100; ++i) {
        frmDocument* d = rig.state.slot(i);
        if (!d)
            continue;
        ++registered;
        if (d->number() != i) {
            *why = QStringLiteral("slot %1 holds %2").arg(i).arg(d->windowTitle());
            return false;
        }
    }
    int shown = 0;
    for (QMdiSubWindow* w : rig.main->mdiArea->subWindowList()) {
        if (!w->isHidden())
            ++shown;
    }
    if (shown != registered) {
        *why = QStringLiteral("%1 windows shown, %2 registered").arg(shown).arg(registered);
        return false;
    }
    return true;
}

}  // namespace

class TestReentrancy : public QObject {
    Q_OBJECT

private slots:
    // Windows makes the program inactive for a moment when a dialog closes, and active
    // again after the command that follows has rebuilt the windows.
    void theProgramInactiveWhileTheWindowsAreRebuilt_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("1 to 3") << 1 << 3;
        QTest::newRow("4 to 12") << 4 << 12;
        QTest::newRow("3 to 1") << 3 << 1;
    }
    void theProgramInactiveWhileTheWindowsAreRebuilt()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QTemporaryDir dir;
        MainRig rig;
        rig.addUpTo(before);
        rig.activate(before);
        const QString net = writeNet(dir, after);
        QEvent deactivate(QEvent::ApplicationDeactivate);
        QCoreApplication::sendEvent(qApp, &deactivate);
        rig.net.sOpenFileName = net;
        rig.main->LoadSessionFile();
        QEvent activate(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(qApp, &activate);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QCOMPARE(rig.main->openParticipants().size(), after);
        QVERIFY(rig.main->activeParticipant());
        QString why;
        QVERIFY2(registryConsistent(rig, &why), qPrintable(why));
    }

    // The system may activate a participant window that has closed and waits to be
    // deleted, and the events its activation lets run may delete it.
    void activatingAWindowThatGoesMeanwhile_data()
    {
        QTest::addColumn<bool>("closedBefore");
        QTest::newRow("closed, waiting to be deleted") << true;
        QTest::newRow("closed and deleted while its activation lets events run") << false;
    }
    void activatingAWindowThatGoesMeanwhile()
    {
        QFETCH(bool, closedBefore);
        MainRig rig;
        rig.addUpTo(3);
        rig.activate(3);
        QPointer<frmDocument> going = rig.doc(2);
        if (closedBefore) {
            going->close();
            QVERIFY(going);  // its deletion is still pending
        }
        const int start = rig.layer.pendingEventRounds;
        rig.layer.onPendingEvents = [&](int r) {
            if (r == start + 1 && going)
                going->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        emit rig.main->mdiArea->subWindowActivated(going.data());
        rig.layer.onPendingEvents = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!going);
        QVERIFY(rig.state.iActiveDocument != 2);
        QString why;
        QVERIFY2(registryConsistent(rig, &why), qPrintable(why));
    }

    void closingTheFrameWaitsForTheCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("round");
        for (const char* c : {"add", "open", "clear all", "new", "tile with a maximised window", "talk button"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, first yield").arg(c))) << QString::fromLatin1(c) << 1;
            QTest::newRow(qPrintable(QStringLiteral("%1, second yield").arg(c))) << QString::fromLatin1(c) << 2;
        }
        for (const char* c : {"open", "clear all", "new", "tile with a maximised window"})
            QTest::newRow(qPrintable(QStringLiteral("%1, fifth yield").arg(c))) << QString::fromLatin1(c) << 5;
    }
    void closingTheFrameWaitsForTheCommand()
    {
        QFETCH(QString, command);
        QFETCH(int, round);
        QTemporaryDir dir;
        MainRig rig;
        rig.addUpTo(4);
        rig.activate(2);
        rig.doc(2)->cmdActive_Click();
        const QString net = writeNet(dir, 12);
        QVERIFY(!net.isEmpty());
        if (command == "tile with a maximised window")
            rig.doc(3)->showMaximized();

        int closeAsked = 0;
        int start = rig.layer.pendingEventRounds;
        const auto armed = [&](int r) {
            if (r - start == round && rig.main->isVisible()) {
                ++closeAsked;
                rig.main->close();
            }
        };
        rig.layer.onPendingEvents = armed;
        if (command == "add") {
            rig.main->AddParticipant();
        } else if (command == "open") {
            rig.net.sOpenFileName = net;
            rig.main->LoadSessionFile();
        } else if (command == "clear all") {
            rig.main->mnuClearAll_Click();
        } else if (command == "new") {
            rig.main->mnuFileNew_Click();
        } else if (command == "tile with a maximised window") {
            rig.main->mnuWindowTileHorizontal_Click();
        } else {
            rig.layer.onPendingEvents = nullptr;
            rig.activate(1);  // the click first activates participant 2, which yields
            start = rig.layer.pendingEventRounds;
            rig.layer.onPendingEvents = armed;
            QTest::mouseClick(rig.doc(2)->cmdTalk, Qt::LeftButton);
        }
        rig.layer.onPendingEvents = nullptr;
        QCOMPARE(closeAsked, 1);

        // The command ran to its end with every window in place...
        QVERIFY(!rig.main->isBusy());
        QString why;
        QVERIFY2(registryConsistent(rig, &why), qPrintable(why));
        if (command == "open") {
            QCOMPARE(rig.net.lDocumentCount(), 12);
            QCOMPARE(rig.doc(12)->txtCallsign->text(), QStringLiteral("K12ABC"));
        }
        // ...and the close it held back follows once it has finished.
        QTRY_VERIFY(!rig.main->isVisible());
        for (int i = 1; i <= 100; ++i)
            QVERIFY(!rig.state.slot(i));
        rig.layer.takeMessages();
    }

    void windowClosedWhileAnotherIsActivated_isSkipped_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* c : {"clear all", "sort", "tile vertical", "cascade", "minimize all"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void windowClosedWhileAnotherIsActivated_isSkipped()
    {
        QFETCH(QString, command);
        MainRig rig;
        rig.addUpTo(5);
        // A timer closing a window in the middle of the command stands in for anything that
        // can happen while it yields.
        bool closed = false;
        rig.layer.onPendingEvents = [&](int) {
            if (!closed && rig.doc(2)) {
                closed = true;
                rig.doc(2)->close();
            }
        };
        if (command == "clear all")
            rig.main->mnuClearAll_Click();
        else if (command == "sort")
            rig.main->SortWindows();
        else if (command == "tile vertical")
            rig.main->mnuWindowTileVertical_Click();
        else if (command == "cascade")
            rig.main->mnuWindowCascade_Click();
        else
            rig.main->mnuWindowMinimizeAll_Click();
        rig.layer.onPendingEvents = nullptr;
        QVERIFY(closed);
        QVERIFY(!rig.state.slot(2));
        QString why;
        QVERIFY2(registryConsistent(rig, &why), qPrintable(why));
        QCOMPARE(rig.main->openParticipants().size(), 4);
    }
};

KOLVANE_TEST_MAIN(TestReentrancy)
#include "test_reentrancy.moc"
