// The participant registry and the participant window: numbering, the limit, sizing,
// the callsign rule, activation and closing.
#include "net/Colors.h"
#include "support/Drawn.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace kolvane;
using namespace kolvane::test;

class TestParticipants : public QObject {
    Q_OBJECT

private slots:
    void numbering_keepsGapsAfterCloses()
    {
        MainRig rig;
        rig.addUpTo(5);
        QVERIFY(rig.doc(3)->close());
        QVERIFY(!rig.state.slot(3));
        QCOMPARE(rig.net.lDocumentCount(), 5);
        rig.main->cmdAddParticipant->click();
        QCOMPARE(rig.net.lDocumentCount(), 6);
        QCOMPARE(rig.doc(6)->windowTitle(), QStringLiteral("Participant 6"));
        QCOMPARE(rig.state.iActiveDocument, qint16(6));  // shown windows become active
        QCOMPARE(rig.main->openParticipants().size(), 5);
        QVERIFY(rig.layer.isClean());
    }

    void limit_refusesThe101stEvenAfterCloses()
    {
        MainRig rig;
        rig.layer.processEventsForReal = false;  // a hundred windows: keep it quick
        rig.addUpTo(100);
        for (int i = 1; i <= 90; ++i)
            rig.doc(i)->close();
        rig.main->AddParticipant();
        QCOMPARE(rig.layer.takeMessages(), QStringList{QStringLiteral("Participant limit exceeded")});
        QCOMPARE(rig.layer.messages.size(), 0);
        QCOMPARE(rig.net.lDocumentCount(), 100);
        QCOMPARE(rig.main->openParticipants().size(), 10);

        // Only New starts the numbering again.
        rig.main->mnuFileNew_Click();
        QCOMPARE(rig.net.lDocumentCount(), 1);
        QCOMPARE(rig.doc(1)->windowTitle(), QStringLiteral("Participant 1"));
        rig.main->AddParticipant();
        QCOMPARE(rig.doc(2)->windowTitle(), QStringLiteral("Participant 2"));
        QVERIFY(rig.layer.isClean());
    }

    void newWindow_startsInactiveWithItsControls()
    {
        MainRig rig;
        frmDocument* d = rig.doc(1);
        QCOMPARE(d->size(), twips::size(3750, 1290));
        QVERIFY(!d->shpActive->Visible());
        QVERIFY(!d->shpTalk->Visible());
        QVERIFY(d->cmdActive->isEnabled());
        QVERIFY(!d->cmdClear->isEnabled());
        QVERIFY(!d->cmdTalk->isEnabled());
        for (TextBox* f : {d->txtCallsign, d->txtHandle, d->txtQTH})
            QCOMPARE(drawnBackground(f), toQColor(bgr::Slate));
        QCOMPARE(drawnBackground(d->lblTalkTimer), toQColor(bgr::Slate));
        QCOMPARE(d->lblTalkTimer->text(), QStringLiteral("00:00"));
        QCOMPARE(d->cmdActive->text(), QStringLiteral("'''"));
        QCOMPARE(d->shpActive->fillColor(), bgr::Yellow);
        QCOMPARE(d->shpTalk->fillColor(), bgr::Orange);
        // The frames lie 30 twips outside their buttons, behind them.
        QCOMPARE(d->shpActive->geometry(), twips::rect(765, 555, 315, 255));
        QCOMPARE(d->cmdActive->geometry(), twips::rect(795, 585, 255, 195));
        QCOMPARE(d->shpTalk->geometry(), twips::rect(3135, 555, 315, 255));
        QVERIFY(!d->Label1->isEnabled());
        QCOMPARE(d->Label6->text(), QStringLiteral("Active:"));
        QVERIFY(!(d->txtCallsign->focusPolicy() & Qt::TabFocus));
    }

    void resize_snapsToMinimumAndKeepsPanelCentred()
    {
        MainRig rig;
        frmDocument* d = rig.doc(1);
        d->resize(40, 20);
        QCOMPARE(d->size(), twips::size(3750, 900));

        d->resize(twips::size(3750, 1290));
        QCOMPARE(d->framParticipant->x(), twips::toPx(60));  // outer width 3750, panel 3630
        d->resize(twips::size(6000, 2400));
        QCOMPARE(d->framParticipant->x(), (d->width() - d->framParticipant->width()) / 2);
        QCOMPARE(d->framParticipant->y(), (d->client->height() - d->framParticipant->height()) / 2);
    }

    void callsign_upperCaseWithoutLoopAndCaretRule()
    {
        MainRig rig;
        TextBox* call = rig.doc(1)->txtCallsign;
        QSignalSpy changes(call, &QLineEdit::textChanged);
        call->setText(QStringLiteral("w1aw"));
        QCOMPARE(call->text(), QStringLiteral("W1AW"));
        QCOMPARE(changes.size(), 2);  // the typed text, then its upper case; no further round
        QCOMPARE(call->cursorPosition(), 4);

        changes.clear();
        call->setText(QStringLiteral("K1ABC"));
        QCOMPARE(changes.size(), 1);

        // Typing in the middle sends the caret to the end.
        call->setFocus();
        call->setCursorPosition(2);
        QTest::keyClick(call, Qt::Key_X);
        QCOMPARE(call->text(), QStringLiteral("K1XABC"));
        QCOMPARE(call->cursorPosition(), 6);

        // A longer text: the caret after the 20th character.
        call->setText(QStringLiteral("abcdefghijklmnopqrstuvwxy"));
        QCOMPARE(call->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"));
        QCOMPARE(call->cursorPosition(), 20);
    }

    void closingTheWindowAtTurn_stopsTheTalkTimer()
    {
        MainRig rig;
        rig.addUpTo(3);
        rig.activate(2);
        rig.doc(2)->cmdActive_Click();
        rig.doc(2)->cmdTalk_Click();
        QVERIFY(rig.main->timTalk->isActive());
        rig.main->timTalk_Timer();
        rig.doc(2)->close();
        QVERIFY(!rig.main->timTalk->isActive());
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));
        QVERIFY(!rig.state.slot(2));
        // Counters and the turn's owner are left; the next Talk treats the turn as free.
        QCOMPARE(rig.net.iTalkDocument(), qint16(2));
        QCOMPARE(rig.net.iTalkElapsed(), qint16(1));
        QCOMPARE(rig.net.lDocumentCount(), 3);
    }

    void closingTheWindowThatLastHeldTheTurn_writesIdle()
    {
        MainRig rig;
        rig.addUpTo(2);
        rig.activate(2);
        rig.doc(2)->cmdActive_Click();
        rig.doc(2)->cmdTalk_Click();
        rig.doc(2)->cmdTalk_Click();  // the turn ends
        rig.main->setStatusText(QStringLiteral("Status: Sorting windows"));
        rig.doc(2)->close();
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));

        // Any other window closes without touching the status line.
        rig.main->setStatusText(QStringLiteral("something else"));
        rig.doc(1)->close();
        QCOMPARE(rig.main->statusText(), QStringLiteral("something else"));
    }

    void clickIntoAnotherWindow_activatesItBeforeTheButtonRuns()
    {
        MainRig rig;
        rig.addUpTo(2);
        rig.activate(1);
        QCOMPARE(rig.state.iActiveDocument, qint16(1));
        QTest::mouseClick(rig.doc(2)->cmdActive, Qt::LeftButton);
        QCOMPARE(rig.state.iActiveDocument, qint16(2));
        QVERIFY(rig.doc(2)->shpActive->Visible());
        QVERIFY(!rig.doc(1)->shpActive->Visible());
        QCOMPARE(rig.main->activeParticipant(), rig.doc(2));
    }

    void disabledButtonsCannotBePressed()
    {
        MainRig rig;
        QTest::mouseClick(rig.doc(1)->cmdTalk, Qt::LeftButton);
        QTest::mouseClick(rig.doc(1)->cmdClear, Qt::LeftButton);
        QVERIFY(!rig.main->timTalk->isActive());
        QVERIFY(!rig.doc(1)->shpTalk->Visible());
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));
    }
};

KOLVANE_TEST_MAIN(TestParticipants)
#include "test_participants.moc"
