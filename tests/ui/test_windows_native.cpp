// The program on Qt's Windows platform itself, with real window handles and the system's
// own fonts (under Wine, its X11 driver): the topmost band through SetWindowPos, the splash
// on top at start-up, the fixed colours drawn by the program's style, and the About box's
// long texts inside their boxes. Run with "-platform windows" on a display.
#include "app/Program.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmSplash.h"
#include "files/NetSession.h"
#include "files/RecoveryCopy.h"
#include "files/SessionFile.h"
#include "net/Colors.h"
#include "support/Drawn.h"
#include "support/MainRig.h"
#include "support/NetFixtures.h"
#include "support/SampleNet.h"
#include "support/TestMain.h"
#include "support/TopMostCases.h"
#include "ui/AlwaysOnTop.h"
#include "ui/Colors.h"
#include "ui/QtWindowLayer.h"
#include "ui/Twips.h"

#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <qt_windows.h>

using namespace kolvane;
using namespace kolvane::test;

namespace {

bool isTopMost(QWidget* w)
{
    const auto hwnd = reinterpret_cast<HWND>(w->winId());
    return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool closeTo(const QColor& a, const QColor& b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
           && qAbs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

class TestWindowsNative : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("windows")); }

    // Only the exact truth value puts a window into the band; anything else takes it out.
    void setTopMost_changesTheWindowsBand_data() { addTopMostRows(); }
    void setTopMost_changesTheWindowsBand()
    {
        QFETCH(qint32, flag);
        QFETCH(bool, onTop);
        QFETCH(qint32, result);
        QtWindowLayer layer;
        QWidget w;
        w.resize(200, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // From the other side first, so that the call below has something to change.
        SetTopMost(layer, &w, onTop ? 0 : kTrue);
        QCOMPARE(isTopMost(&w), !onTop);
        QCOMPARE(SetTopMost(layer, &w, flag), result);
        QCOMPARE(isTopMost(&w), onTop);
    }

    // Start-up puts the splash, and only the splash, into the band.
    void startup_splashOnTop()
    {
        QtWindowLayer layer;
        Program program(layer);
        program.Main();
        QWidget* splash = nullptr;
        QWidget* main = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmSplash*>(w))
                splash = w;
            else if (w->objectName() == QStringLiteral("frmMain"))
                main = w;
        }
        QVERIFY(splash && splash->isVisible());
        QVERIFY(main && main->isVisible());
        QVERIFY(isTopMost(splash));
        QVERIFY(!isTopMost(main));
        // The window as the system has it, its whole frame included (Qt counts less of the
        // frame here), is the form's 11925 x 9140 twips, centred on the screen.
        RECT outer;
        QVERIFY(GetWindowRect(reinterpret_cast<HWND>(main->winId()), &outer));
        const QRect whole(outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
        QCOMPARE(whole.size(), twips::size(11925, 9140));
        const QPoint offCentre = whole.center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    }

    // A net left by a program that was killed, restored at start-up as the operator does it:
    // the offer answered with Enter the moment it is there, while the system is still
    // handing the activation back to the main window whose windows are rebuilt. On a busy
    // machine the offer could otherwise start inside Participant 1's activation handling,
    // and the restore delete the window while Qt still activates it.
    void startup_restoresALeftNet()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("state"));
        SessionData left;
        left.header = weeklyNetHeader(QStringLiteral("Weekly net\r\nW2XYZ late"));
        left.participants = {{true, QStringLiteral("K1ABC"), QStringLiteral("Al"), QStringLiteral("Z\u00fcrich")},
                             {false, QStringLiteral("N2DEF"), QString(), QString()},
                             {true, QStringLiteral("VE3GHI"), QString(), QString()}};
        const QString savedAs = dir.filePath(QStringLiteral("tuesday.kvs"));
        QVERIFY(leaveLeftNet(folder, QStringLiteral("net-left"), left, savedAs, QDateTime::currentDateTime()));

        // Answered the moment the box is there, before the system has given it the keyboard.
        int answered = 0;
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()); box && box->isVisible()) {
                ++answered;
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        answer.start();
        QtWindowLayer layer;
        Program program(layer, folder);
        program.Main();
        QTRY_VERIFY_WITH_TIMEOUT(answered > 0, 20000);
        frmMain& m = *program.mainWindow();
        QTRY_COMPARE(m.openParticipants().size(), 3);
        QTest::qWait(1000);  // the activation the system sends after the box has closed
        QCOMPARE(sessionFromNet(program.net()), left);
        QCOMPARE(answered, 1);
        // A window in front takes the keyboard, and Ctrl+S writes where the left net would have
        // been saved: in the system's code page with CR LF, as the Linux build writes it.
        QTRY_VERIFY(m.isActiveWindow());
        QVERIFY(m.activeParticipant());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QTRY_COMPARE(m.statusText(), QStringLiteral("Status: Session saved"));
        QFile saved(savedAs);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QCOMPARE(bytes, writeSessionFile(left));
        QVERIFY(bytes.contains("\r\nZ\xfcrich\r\n"));  // Windows-1252 under an English system

        // The operator switches to another program and back while stations keep checking in:
        // Qt's MDI area then brings forward the window it activated last.
        for (int round = 0; round < 3; ++round) {
            QEvent away(QEvent::ApplicationDeactivate);
            QCoreApplication::sendEvent(qApp, &away);
            QCoreApplication::processEvents();
            m.cmdAddParticipant_Click();
            QEvent back(QEvent::ApplicationActivate);
            QCoreApplication::sendEvent(qApp, &back);
            QCoreApplication::processEvents();
            QVERIFY(m.activeParticipant());
        }
        QCOMPARE(program.net().lDocumentCount(), 6);
        m.close();
    }

    // The fixed colours as the program's style draws them here, whatever the system's colours.
    void participantColours_data()
    {
        QTest::addColumn<int>("presses");  // 0 inactive, 1 Active, 2 Active and Talk
        QTest::addColumn<quint32>("fields");
        QTest::addColumn<quint32>("activeFrame");
        QTest::newRow("inactive") << 0 << bgr::Slate << bgr::DarkGrey;
        QTest::newRow("active") << 1 << bgr::LightCyan << bgr::Yellow;
        QTest::newRow("talking") << 2 << bgr::Orange << bgr::Yellow;
    }
    void participantColours()
    {
        QFETCH(int, presses);
        QFETCH(quint32, fields);
        QFETCH(quint32, activeFrame);
        MainRig rig;
        frmDocument* d = rig.doc(1);
        d->txtCallsign->setText(QStringLiteral("W1AW"));
        if (presses >= 1)
            press(*rig.main, d, &frmDocument::cmdActive_Click);
        if (presses >= 2)
            press(*rig.main, d, &frmDocument::cmdTalk_Click);
        QCOMPARE(drawnBackground(d->txtCallsign), toQColor(fields));
        QCOMPARE(drawnFrame(d->shpActive), toQColor(activeFrame));
        for (QWidget* b : {static_cast<QWidget*>(d->cmdActive), static_cast<QWidget*>(d->cmdClear),
                           static_cast<QWidget*>(d->cmdTalk)}) {
            const QColor face = drawnAt(b, QPoint(b->width() / 2, b->height() - 4));
            QVERIFY2(closeTo(face, toQColor(bgr::Silver), 24), qPrintable(b->objectName() + u' ' + face.name()));
        }
    }

    // The long texts fit their boxes in the system's own fonts.
    void aboutTexts_fit()
    {
        ScriptedWindowLayer layer;
        frmAbout about(layer, nullptr);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        for (QLabel* lbl : {static_cast<QLabel*>(about.lblDescription), static_cast<QLabel*>(about.lblDisclaimer)})
            QVERIFY2(lbl->heightForWidth(lbl->width()) <= lbl->height(),
                     qPrintable(QStringLiteral("%1 in %2 %3pt: %4 > %5")
                                    .arg(lbl->objectName(), lbl->font().family())
                                    .arg(lbl->font().pointSizeF())
                                    .arg(lbl->heightForWidth(lbl->width()))
                                    .arg(lbl->height())));
        about.close();
    }
};

KOLVANE_TEST_MAIN(TestWindowsNative)
#include "test_windows_native.moc"
