// Running a net: the header and its check, turn-taking with the talk timer, the ID
// reminder, Clear All and New Session.
#include "net/Colors.h"
#include "support/Drawn.h"
#include "support/MainRig.h"
#include "support/NetFixtures.h"
#include "support/TestMain.h"
#include "ui/Colors.h"
#include "ui/Controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// A complete header; the stop stamp and the comments stay as they are.
void fillHeader(frmMain& m)
{
    typeHeader(m, {QStringLiteral("Thursday, Jan/30/2003 9:05:07 AM"), m.txtStop->text(), QStringLiteral("146.520"),
                   QStringLiteral("FM"), QStringLiteral("W1AW"), QStringLiteral("Hiram"), QStringLiteral("Newington"),
                   m.commentsText()});
}

// Puts participant n on the air as a click would: activate its window, press Active.
void makeActive(MainRig& rig, int n)
{
    press(*rig.main, rig.doc(n), &frmDocument::cmdActive_Click);
}

void talk(MainRig& rig, int n)
{
    press(*rig.main, rig.doc(n), &frmDocument::cmdTalk_Click);
}

}  // namespace

class TestRunningNet : public QObject {
    Q_OBJECT

    MainRig* m_rig = nullptr;

private slots:
    void init() { m_rig = new MainRig; }
    void cleanup()
    {
        QString why;
        QVERIFY2(m_rig->layer.isClean(&why), qPrintable(why));
        delete m_rig;
        m_rig = nullptr;
    }

    // ------------------------------------------------------------ header

    void validate_firstEmptyFieldOnly_messageBoxStatusAndFocus()
    {
        frmMain& m = *m_rig->main;
        m.setCommentsText(QString());
        m.ValidateNetHeader();
        QCOMPARE(m.statusText(), QStringLiteral("Please enter Net's start time"));
        QCOMPARE(m_rig->layer.messages.size(), 1);
        QCOMPARE(m_rig->layer.messages[0].caption, QStringLiteral("Kolvane"));
        QCOMPARE(m_rig->layer.messages[0].icon, MessageIcon::None);
        QCOMPARE(m_rig->layer.takeMessages(), QStringList{"Please enter Net's start time"});
        QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.txtStart));

        fillHeader(m);
        m.cmbMode->setEditText(QString());
        m.ValidateNetHeader();
        QCOMPARE(m_rig->layer.takeMessages(),
                 QStringList{"Please select the Net's Mode (SSB, FM, etc) or type in your own"});
        QVERIFY(m.focusWidget() == m.cmbMode || m.focusWidget()->parentWidget() == m.cmbMode);

        m.cmbMode->setEditText(QStringLiteral("RTTY"));
        m.txtCntrlQTH->setText(QString());
        m.ValidateNetHeader();
        QCOMPARE(m_rig->layer.takeMessages(), QStringList{"Please enter current Net Control QTH"});
        QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.txtCntrlQTH));
    }

    void validate_completeHeaderLeavesExactlyIdle()
    {
        frmMain& m = *m_rig->main;
        fillHeader(m);
        m.txtFrequency->setText(QStringLiteral(" "));  // a blank is filled
        m.txtStop->clear();
        m.setCommentsText(QString());
        m.setStatusText(QStringLiteral("At turn: K1ABC - Al from Boston"));
        m.ValidateNetHeader();
        QCOMPARE(m.statusText(), QStringLiteral("Status: Idle"));
        QVERIFY(m_rig->layer.messages.isEmpty());
    }

    void startAndStop_stampAndParkTheFocus()
    {
        frmMain& m = *m_rig->main;
        m.txtFrequency->setFocus();
        m.cmdStart_Click();
        // "dddd, mmm/d/yyyy" and the time with seconds, in the running locale.
        const QLocale loc;
        const QDate today = QDate::currentDate();
        QVERIFY2(m.txtStart->text().startsWith(loc.dayName(today.dayOfWeek()) + QStringLiteral(", ")),
                 qPrintable(m.txtStart->text()));
        QVERIFY(m.txtStart->text().contains(QRegularExpression(QStringLiteral("\\d{1,2}:\\d{2}:\\d{2}"))));
        QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.txtGirlFriend));
        QVERIFY(m.txtStop->text().isEmpty());
        m.cmdStop_Click();
        QVERIFY(!m.txtStop->text().isEmpty());
        // Start and Stop neither touch the ID reminder nor the status line.
        QVERIFY(!m.timID->isActive());
        QVERIFY(!m.shpIDTimer->Visible());
        QCOMPARE(m.statusText(), QStringLiteral("Status: Idle"));
    }

    void mode_keepsWhatIsTyped()
    {
        frmMain& m = *m_rig->main;
        m.cmbMode->setFocus();
        m.cmbMode->lineEdit()->selectAll();
        QTest::keyClicks(m.cmbMode->lineEdit(), QStringLiteral("fm"));
        QTest::keyClick(m.cmbMode->lineEdit(), Qt::Key_Return);
        m.txtFrequency->setFocus();
        QCOMPARE(m.cmbMode->currentText(), QStringLiteral("fm"));
        m.cmbMode->lineEdit()->selectAll();
        QTest::keyClicks(m.cmbMode->lineEdit(), QStringLiteral("P"));  // no completion to "PSK-31"
        QCOMPARE(m.cmbMode->currentText(), QStringLiteral("P"));
    }

    void netControlCallsign_upperCase()
    {
        frmMain& m = *m_rig->main;
        m.txtCntrlCall->setFocus();
        QTest::keyClicks(m.txtCntrlCall, QStringLiteral("w1aw"));
        QCOMPARE(m.txtCntrlCall->text(), QStringLiteral("W1AW"));
        QCOMPARE(m.txtCntrlCall->cursorPosition(), 4);
    }

    // ------------------------------------------------------------ turns

    void activeToggle_coloursFramesAndButtons()
    {
        MainRig& rig = *m_rig;
        frmDocument* d = rig.doc(1);
        makeActive(rig, 1);
        QVERIFY(d->shpActive->Visible());
        QVERIFY(d->cmdTalk->isEnabled());
        QVERIFY(d->cmdClear->isEnabled());
        QCOMPARE(drawnBackground(d->txtHandle), toQColor(bgr::LightCyan));
        QCOMPARE(drawnBackground(d->lblTalkTimer), toQColor(bgr::LightCyan));
        QCOMPARE(rig.main->focusWidget(), static_cast<QWidget*>(d->txtCallsign));
        d->cmdActive_Click();
        QVERIFY(!d->shpActive->Visible());
        QVERIFY(!d->cmdTalk->isEnabled());
        QVERIFY(!d->cmdClear->isEnabled());
        QCOMPARE(drawnBackground(d->txtQTH), toQColor(bgr::Slate));
    }

    void talk_putsStationAtTurnAndCounts()
    {
        MainRig& rig = *m_rig;
        rig.addUpTo(2);
        frmDocument* d = rig.doc(2);
        d->txtCallsign->setText(QStringLiteral("k1abc"));
        d->txtHandle->setText(QStringLiteral("Al"));
        d->txtQTH->setText(QStringLiteral("Boston"));
        makeActive(rig, 2);
        talk(rig, 2);
        QVERIFY(d->shpTalk->Visible());
        QVERIFY(rig.main->timTalk->isActive());
        for (TextBox* f : {d->txtCallsign, d->txtHandle, d->txtQTH})
            QCOMPARE(drawnBackground(f), toQColor(bgr::Orange));
        QCOMPARE(drawnBackground(d->lblTalkTimer), toQColor(bgr::Orange));
        QCOMPARE(rig.main->statusText(), QStringLiteral("At turn: K1ABC - Al from Boston"));
        QCOMPARE(rig.net.iTalkDocument(), qint16(2));
        ticks(*rig.main, &frmMain::timTalk_Timer, 61);
        QCOMPARE(d->lblTalkTimer->text(), QStringLiteral("01:01"));

        // Talk again: the turn ends, the label keeps its time.
        talk(rig, 2);
        QVERIFY(!d->shpTalk->Visible());
        QVERIFY(!rig.main->timTalk->isActive());
        QCOMPARE(drawnBackground(d->txtCallsign), toQColor(bgr::LightCyan));
        QCOMPARE(d->lblTalkTimer->text(), QStringLiteral("01:01"));
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));
        QCOMPARE(rig.net.iTalkElapsed(), qint16(0));
    }

    void talk_withEmptyFieldsShowsTheFixedPiecesOnly()
    {
        makeActive(*m_rig, 1);
        talk(*m_rig, 1);
        QCOMPARE(m_rig->main->statusText(), QStringLiteral("At turn:  -  from "));
    }

    void talk_movesBetweenStations()
    {
        MainRig& rig = *m_rig;
        rig.addUpTo(5);
        makeActive(rig, 2);
        makeActive(rig, 5);
        talk(rig, 2);
        ticks(*rig.main, &frmMain::timTalk_Timer, 7);
        rig.doc(5)->txtCallsign->setText(QStringLiteral("N5XYZ"));
        talk(rig, 5);
        frmDocument* two = rig.doc(2);
        frmDocument* five = rig.doc(5);
        QVERIFY(!two->shpTalk->Visible());
        QVERIFY(two->shpActive->Visible());
        QCOMPARE(drawnBackground(two->txtCallsign), toQColor(bgr::LightCyan));
        QCOMPARE(drawnBackground(two->lblTalkTimer), toQColor(bgr::LightCyan));
        QCOMPARE(two->lblTalkTimer->text(), QStringLiteral("00:07"));  // frozen at the time reached
        QVERIFY(five->shpTalk->Visible());
        QVERIFY(rig.main->timTalk->isActive());
        QCOMPARE(rig.net.iTalkElapsed(), qint16(0));
        QVERIFY(rig.main->statusText().startsWith(QStringLiteral("At turn: N5XYZ - ")));
        rig.main->timTalk_Timer();
        QCOMPARE(five->lblTalkTimer->text(), QStringLiteral("00:01"));
        QCOMPARE(two->lblTalkTimer->text(), QStringLiteral("00:07"));
    }

    void talk_afterThePreviousTurnsWindowClosed_startsFromZero()
    {
        MainRig& rig = *m_rig;
        rig.addUpTo(3);
        makeActive(rig, 2);
        makeActive(rig, 3);
        talk(rig, 2);
        ticks(*rig.main, &frmMain::timTalk_Timer, 42);
        rig.doc(2)->close();
        QVERIFY(!rig.main->timTalk->isActive());
        talk(rig, 3);
        QCOMPARE(rig.net.iTalkDocument(), qint16(3));
        QCOMPARE(rig.net.iTalkElapsed(), qint16(0));
        rig.main->timTalk_Timer();
        QCOMPARE(rig.doc(3)->lblTalkTimer->text(), QStringLiteral("00:01"));
    }

    void talkTimer_wrapsAtTheHourAndStopsAtTheCeiling()
    {
        MainRig& rig = *m_rig;
        makeActive(rig, 1);
        talk(rig, 1);
        ticks(*rig.main, &frmMain::timTalk_Timer, 3600);
        QCOMPARE(rig.doc(1)->lblTalkTimer->text(), QStringLiteral("00:00"));
        ticks(*rig.main, &frmMain::timTalk_Timer, 32766 - 3600 + 3);
        QCOMPARE(rig.net.iTalkElapsed(), qint16(32767));
        QCOMPARE(rig.doc(1)->lblTalkTimer->text(), QStringLiteral("06:07"));
    }

    void talkTimer_tickWithTheTurnsWindowGoneShowsNothing()
    {
        MainRig& rig = *m_rig;
        rig.addUpTo(2);
        rig.net.setTalkDocument(2);
        rig.doc(2)->close();
        rig.main->timTalk_Timer();  // must not crash
        QCOMPARE(rig.net.iTalkElapsed(), qint16(1));
        QCOMPARE(rig.doc(1)->lblTalkTimer->text(), QStringLiteral("00:00"));
    }

    void activeOnTheTalkingStation_endsTurnKeepsStatus()
    {
        MainRig& rig = *m_rig;
        makeActive(rig, 1);
        rig.doc(1)->txtCallsign->setText(QStringLiteral("W1AW"));
        talk(rig, 1);
        const QString atTurn = rig.main->statusText();
        ticks(*rig.main, &frmMain::timTalk_Timer, 5);
        rig.doc(1)->cmdActive_Click();
        frmDocument* d = rig.doc(1);
        QVERIFY(!d->shpActive->Visible());
        QVERIFY(!d->shpTalk->Visible());
        QVERIFY(!d->cmdTalk->isEnabled());
        QCOMPARE(drawnBackground(d->txtCallsign), toQColor(bgr::Slate));
        QVERIFY(!rig.main->timTalk->isActive());
        QCOMPARE(rig.net.iTalkElapsed(), qint16(0));
        QCOMPARE(rig.main->statusText(), atTurn);
    }

    void clearOnTheTalkingStation_emptiesAndStaysActive()
    {
        MainRig& rig = *m_rig;
        makeActive(rig, 1);
        frmDocument* d = rig.doc(1);
        d->txtCallsign->setText(QStringLiteral("W1AW"));
        d->txtHandle->setText(QStringLiteral("Hiram"));
        talk(rig, 1);
        const QString atTurn = rig.main->statusText();
        ticks(*rig.main, &frmMain::timTalk_Timer, 9);
        d->cmdClear_Click();
        QVERIFY(d->txtCallsign->text().isEmpty());
        QVERIFY(d->txtHandle->text().isEmpty());
        QCOMPARE(d->lblTalkTimer->text(), QStringLiteral("00:00"));
        QCOMPARE(drawnBackground(d->txtQTH), toQColor(bgr::LightCyan));
        QVERIFY(d->shpActive->Visible());
        QVERIFY(!d->shpTalk->Visible());
        QVERIFY(d->cmdTalk->isEnabled());
        QVERIFY(!rig.main->timTalk->isActive());
        QCOMPARE(rig.main->statusText(), atTurn);
    }

    void clearOnAnotherStation_leavesTheTurnRunning()
    {
        MainRig& rig = *m_rig;
        rig.addUpTo(2);
        makeActive(rig, 1);
        makeActive(rig, 2);
        talk(rig, 1);
        rig.activate(2);
        rig.doc(2)->cmdClear_Click();
        QVERIFY(rig.main->timTalk->isActive());
        QVERIFY(rig.doc(1)->shpTalk->Visible());
    }

    // ------------------------------------------------------------ ID timer

    void idTimer_stopAfter599LeavesTheTime()
    {
        frmMain& m = *m_rig->main;
        m.cmdIDTimer_Click();
        QVERIFY(m.timID->isActive());
        QVERIFY(m.shpIDTimer->Visible());
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::White));
        QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.txtGirlFriend));
        ticks(m, &frmMain::timID_Timer, 599);
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("09:59"));
        QVERIFY(m.timID->isActive());
        m.cmdIDTimer_Click();
        QVERIFY(!m.timID->isActive());
        QVERIFY(!m.shpIDTimer->Visible());
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("09:59"));
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::SysInactiveBorder));
        QCOMPARE(m_rig->net.iIDElapsed(), qint16(0));
        m.cmdIDTimer_Click();
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("09:59"));  // until the first tick
        m.timID_Timer();
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("00:01"));
    }

    void idTimer_expiresAt600AndBlinksUntilPressed()
    {
        frmMain& m = *m_rig->main;
        makeActive(*m_rig, 1);  // the operator is typing in a participant window
        m.cmdIDTimer_Click();
        m_rig->doc(1)->txtCallsign->setFocus();
        ticks(m, &frmMain::timID_Timer, 600);
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("10:00"));
        QVERIFY(!m.timID->isActive());
        QVERIFY(!m.shpIDTimer->Visible());
        QVERIFY(m.timBlink->isActive());
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::SysInactiveBorder));
        QCOMPARE(m_rig->net.iIDElapsed(), qint16(0));
        QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.txtGirlFriend));

        m.timBlink_Timer();
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::White));
        m.timBlink_Timer();
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::Orange));
        m.timBlink_Timer();
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::White));

        // Pressing the button starts the next period at once.
        m.timBlink_Timer();
        m.cmdIDTimer_Click();
        QVERIFY(!m.timBlink->isActive());
        QVERIFY(m.timID->isActive());
        QVERIFY(m.shpIDTimer->Visible());
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::White));
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("10:00"));
        m.timID_Timer();
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("00:01"));
    }

    void idTimer_invariantFrameVisibleExactlyWhileRunning()
    {
        frmMain& m = *m_rig->main;
        for (int step = 0; step < 5; ++step) {
            m.cmdIDTimer_Click();
            QCOMPARE(m.shpIDTimer->Visible(), m.timID->isActive());
            QVERIFY(!m.timBlink->isActive());
        }
    }

    // ------------------------------------------------------------ reset

    void clearAll_resetsEverythingAndSkipsClosedWindows()
    {
        MainRig& rig = *m_rig;
        frmMain& m = *rig.main;
        rig.addUpTo(3);
        fillHeader(m);
        m.setCommentsText(QStringLiteral("net notes"));
        for (int i = 1; i <= 3; ++i) {
            makeActive(rig, i);
            rig.doc(i)->txtCallsign->setText(QStringLiteral("K%1ABC").arg(i));
        }
        talk(rig, 3);
        ticks(m, &frmMain::timTalk_Timer, 4);
        m.cmdIDTimer_Click();
        ticks(m, &frmMain::timID_Timer, 600);  // blinking
        rig.doc(2)->close();

        m.mnuClearAll_Click();
        QVERIFY(!m.timID->isActive());
        QVERIFY(!m.timTalk->isActive());
        QVERIFY(!m.timBlink->isActive());
        QVERIFY(!m.shpIDTimer->Visible());
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("00:00"));
        QCOMPARE(drawnBackground(m.lblIDTimer), toQColor(bgr::SysInactiveBorder));
        QCOMPARE(rig.net.iTalkElapsed(), qint16(0));
        QCOMPARE(rig.net.iIDElapsed(), qint16(0));
        const NetHeader h = m.header();
        QVERIFY(h.start.isEmpty() && h.frequency.isEmpty() && h.cntrlCall.isEmpty() && h.cntrlQTH.isEmpty());
        QCOMPARE(h.mode, QStringLiteral("SSB"));
        QCOMPARE(h.comments, QString());  // empty, not "Comments"
        for (int i : {1, 3}) {
            frmDocument* d = rig.doc(i);
            QCOMPARE(d->windowTitle(), QStringLiteral("Participant %1").arg(i));
            QVERIFY(d->txtCallsign->text().isEmpty());
            QCOMPARE(d->lblTalkTimer->text(), QStringLiteral("00:00"));
            QVERIFY(!d->shpActive->Visible());
            QVERIFY(!d->shpTalk->Visible());
            QVERIFY(!d->cmdTalk->isEnabled());
            QVERIFY(!d->cmdClear->isEnabled());
            QVERIFY(d->cmdActive->isEnabled());
            QCOMPARE(drawnBackground(d->txtCallsign), toQColor(bgr::Slate));
        }
        QCOMPARE(rig.net.lDocumentCount(), 3);
        QCOMPARE(rig.state.iActiveDocument, qint16(1));
        QCOMPARE(m.activeParticipant(), rig.doc(1));
        QCOMPARE(m.statusText(), QStringLiteral("Status: Idle"));
    }

    void newSession_leavesOneFreshWindow()
    {
        MainRig& rig = *m_rig;
        frmMain& m = *rig.main;
        rig.addUpTo(5);
        fillHeader(m);
        m.setWindowTitle(QStringLiteral("Kolvane - /tmp/net.kvs"));
        rig.net.setSessionFileName(QStringLiteral("/tmp/net.kvs"));
        makeActive(rig, 4);
        talk(rig, 4);
        QList<QPointer<frmDocument>> old;
        for (int i = 1; i <= 5; ++i)
            old << rig.doc(i);

        m.mnuFileNew_Click();
        QCOMPARE(rig.net.lDocumentCount(), 1);
        QCOMPARE(m.openParticipants().size(), 1);
        QCOMPARE(rig.doc(1)->windowTitle(), QStringLiteral("Participant 1"));
        QVERIFY(!old.contains(QPointer<frmDocument>(rig.doc(1))));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const auto& d : old)
            QVERIFY(d.isNull());
        QCOMPARE(m.windowTitle(), QStringLiteral("Kolvane"));
        QCOMPARE(m.commentsText(), QString());
        QCOMPARE(m.cmbMode->currentText(), QStringLiteral("SSB"));
        QCOMPARE(m.statusText(), QStringLiteral("Status: Idle"));
        QVERIFY(!m.timTalk->isActive());
        // New keeps the remembered file name: the next Save writes there without asking.
        QCOMPARE(rig.net.sSessionFileName(), QStringLiteral("/tmp/net.kvs"));
    }
};

KOLVANE_TEST_MAIN(TestRunningNet)
#include "test_running_net.moc"
