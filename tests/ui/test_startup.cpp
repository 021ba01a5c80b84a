// Start-up, the main window's composition and shutdown, the splash, SetTopMost.
#include "app/Program.h"
#include "dialogs/frmSplash.h"
#include "net/Colors.h"
#include "net/DateStamp.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "support/TopMostCases.h"
#include "ui/AlwaysOnTop.h"
#include "ui/Controls.h"
#include "ui/QtWindowLayer.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// Records the order in which watched widgets receive their close events.
class CloseRecorder : public QObject {
public:
    QStringList order;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Close)
            order << o->objectName();
        return false;
    }
};

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void freshWindow_hasTheStartState()
    {
        MainRig rig;
        frmMain& m = *rig.main;
        QCOMPARE(rig.net.lDocumentCount(), 1);
        QCOMPARE(rig.net.iTalkDocument(), qint16(1));
        QCOMPARE(rig.state.iActiveDocument, qint16(1));
        QCOMPARE(m.openParticipants().size(), 1);
        QCOMPARE(rig.doc(1)->windowTitle(), QStringLiteral("Participant 1"));
        QVERIFY(!m.timTalk->isActive());
        QVERIFY(!m.timID->isActive());
        QVERIFY(!m.timBlink->isActive());
        QCOMPARE(m.statusText(), QStringLiteral("Status: Idle"));
        QCOMPARE(m.sbPanel1->text(), QStringLiteral("Status: Idle"));
        QCOMPARE(m.cmbMode->currentText(), QStringLiteral("SSB"));
        QCOMPARE(m.commentsText(), QStringLiteral("Comments\r\n"));
        QCOMPARE(m.windowTitle(), QStringLiteral("Kolvane"));
        QCOMPARE(m.lblIDTimer->text(), QStringLiteral("00:00"));
        QVERIFY(!m.shpIDTimer->Visible());
        // The focus is parked off-screen, so no visible field shows a caret.
        QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.txtGirlFriend));
        QVERIFY(m.txtGirlFriend->geometry().right() < 0);
        QVERIFY(rig.layer.isClean());
    }

    void timers_arePreciseWithTheirPeriods()
    {
        MainRig rig(false);
        QCOMPARE(rig.main->timTalk->interval(), 1000);
        QCOMPARE(rig.main->timID->interval(), 1000);
        QCOMPARE(rig.main->timBlink->interval(), 500);
        for (QTimer* t : {rig.main->timTalk, rig.main->timID, rig.main->timBlink})
            QCOMPARE(t->timerType(), Qt::PreciseTimer);
    }

    void netPanel_controlsInPlaceWithCaptionsAndTabOrder()
    {
        MainRig rig;
        frmMain& m = *rig.main;
        QVERIFY(m.tbToolBar == nullptr || m.tbToolBar->isHidden());
        QVERIFY(!m.tbCntrl->isHidden());
        QCOMPARE(m.cmdStart->text(), QStringLiteral("Start"));
        QCOMPARE(m.cmdStop->text(), QStringLiteral("Stop"));
        QCOMPARE(m.cmdAddParticipant->text(), QStringLiteral("'''"));
        QCOMPARE(m.cmdIDTimer->text(), QStringLiteral("'''"));
        QCOMPARE(m.Label9->text(), QStringLiteral("ID Timer:"));
        QCOMPARE(m.Label11->text(), QStringLiteral("Add Prtcpt:"));
        QCOMPARE(m.txtFrequency->geometry(), twips::rect(585, 675, 870, 285));
        QCOMPARE(m.txtCntrlQTH->geometry(), twips::rect(4650, 695, 900, 285));
        QCOMPARE(m.txtComments->geometry(), twips::rect(7185, 75, 3885, 870));
        QCOMPARE(m.cmdIDTimer->geometry(), twips::rect(6630, 630, 255, 195));
        QCOMPARE(m.shpIDTimer->geometry(), twips::rect(6600, 600, 315, 255));
        QStringList items;
        for (int i = 0; i < m.cmbMode->count(); ++i)
            items << m.cmbMode->itemText(i);
        QCOMPARE(items, (QStringList{"SSB", "FM", "AM", "CW", "PSK-31"}));
        QVERIFY(m.cmbMode->isEditable());

        // Tab walks the panel in its order; Start/Stop text fields and the sink are skipped.
        const QList<QWidget*> expected{m.cmdStart,     m.cmdStop,          m.txtFrequency, m.cmbMode,
                                       m.txtCntrlCall, m.txtCntrlHandle,   m.txtCntrlQTH,  m.txtComments,
                                       m.cmdIDTimer,   m.cmdAddParticipant};
        for (int i = 0; i + 1 < expected.size(); ++i) {
            QWidget* next = expected[i]->nextInFocusChain();
            while (next && next != expected[i + 1] && next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            // The combo box's own line edit sits in the chain right after the combo box.
            if (next && next->parentWidget() == m.cmbMode)
                next = next->nextInFocusChain();
            QCOMPARE(next, expected[i + 1]);
        }
        for (QWidget* w : {static_cast<QWidget*>(m.txtStart), static_cast<QWidget*>(m.txtStop),
                           static_cast<QWidget*>(m.txtGirlFriend)})
            QVERIFY(!(w->focusPolicy() & Qt::TabFocus));
    }

    void statusLine_readsBackExactly()
    {
        MainRig rig;
        const QString text = QStringLiteral("At turn:  -  from   ");
        rig.main->setStatusText(text);
        QCOMPARE(rig.main->statusText(), text);
        // Hidden, the bar keeps its text; writes and reads go on.
        rig.main->sbStatusBar->hide();
        rig.main->setStatusText(QStringLiteral("Status: Saving session"));
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Saving session"));
        rig.main->sbStatusBar->show();
        QCOMPARE(rig.main->sbPanel1->text(), QStringLiteral("Status: Saving session"));
    }

    void comments_keepEveryCharacterAndLineBreak()
    {
        MainRig rig;
        const QString text = QStringLiteral("line\u00A0one\r\n\r\n  two  \r\nthree\u2014");
        rig.main->setCommentsText(text);
        QCOMPARE(rig.main->commentsText(), text);
        rig.main->setCommentsText(QStringLiteral("a\rb\nc"));  // lone CR and LF are line breaks too
        QCOMPARE(rig.main->commentsText(), QStringLiteral("a\r\nb\r\nc"));
        // Unicode's own line and paragraph separators are characters of a line, not breaks.
        const QString separators = QStringLiteral("a\u2028b\u2029c\r\n\u2029\u2028d\u2029");
        rig.main->setCommentsText(separators);
        QCOMPARE(rig.main->commentsText(), separators);
        // Typed, Shift+Enter is a line break like Enter.
        rig.main->setCommentsText(QString());
        rig.main->txtComments->setFocus();
        QTest::keyClicks(rig.main->txtComments, QStringLiteral("x"));
        QTest::keyClick(rig.main->txtComments, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(rig.main->txtComments, QStringLiteral("y"));
        QCOMPARE(rig.main->commentsText(), QStringLiteral("x\r\ny"));
        rig.main->setCommentsText(QString());
        QCOMPARE(rig.main->commentsText(), QString());
    }

    void fileDialogFilter_showsEachPatternOnce()
    {
        QCOMPARE(qtFilterFromPipes(QStringLiteral("All Files (*.kvs)|*.kvs")), QStringLiteral("All Files (*.kvs)"));
        QCOMPARE(qtFilterFromPipes(QStringLiteral("Sessions|*.kvs;*.txt|Any|*")),
                 QStringLiteral("Sessions (*.kvs *.txt);;Any (*)"));
    }

    void statusBar_datePanelsShowTodayAndTheTime()
    {
        MainRig rig;
        QVERIFY(!rig.main->sbPanel2->text().isEmpty());
        QVERIFY(!rig.main->sbPanel3->text().isEmpty());
        QVERIFY2(rig.main->sbPanel2->text().contains(QString::number(QDate::currentDate().year())),
                 qPrintable(rig.main->sbPanel2->text()));
    }

    void setTopMost_onlyExactTrueGoesOnTop_data() { addTopMostRows(); }
    void setTopMost_onlyExactTrueGoesOnTop()
    {
        QFETCH(qint32, flag);
        QFETCH(bool, onTop);
        QFETCH(qint32, result);
        ScriptedWindowLayer layer;
        QWidget w;
        QCOMPARE(SetTopMost(layer, &w, flag), result);
        QCOMPARE(layer.topMostCalls.size(), 1);
        QCOMPARE(layer.topMostCalls[0].second, onTop);
    }

    void mainWindow_loadsOnceHoweverItIsShown()
    {
        for (const bool qtShow : {true, false}) {
            MainRig rig(false);
            if (qtShow)
                rig.main->show();
            else
                rig.main->Show();
            rig.main->Show();
            rig.main->show();
            rig.main->MDIForm_Load();
            QCOMPARE(rig.net.lDocumentCount(), 1);
            QCOMPARE(rig.net.iTalkDocument(), qint16(1));
            QCOMPARE(rig.main->focusWidget(), static_cast<QWidget*>(rig.main->txtGirlFriend));
        }
    }

    void main_showsSplashOnTopThenTheMainWindow()
    {
        ScriptedWindowLayer layer;
        Program program(layer);
        program.Main();
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Kolvane"));
        // The launcher the package installs is named for this, or the desktop cannot match
        // the window to it.
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral(KOLVANE_APP_ID));
        QVERIFY(program.splash());
        QVERIFY(program.splash()->isVisible());
        QCOMPARE(layer.topMostCalls.size(), 1);
        QCOMPARE(layer.topMostCalls[0].first.data(), static_cast<QWidget*>(program.splash()));
        QVERIFY(layer.topMostCalls[0].second);
        // On top first, then one round of events so the splash paints, then the main window.
        QVERIFY(layer.callLog.size() >= 2);
        QCOMPARE(layer.callLog.mid(0, 2), (QStringList{"topmost on", "events"}));
        frmMain* m = program.mainWindow();
        QVERIFY(m && m->isVisible());
        // The outer size, frame and title bar included, centred by the frame.
        QVERIFY(m->frameGeometry() != m->geometry());  // this platform reports a frame
        QCOMPARE(m->frameGeometry().size(), twips::size(11925, 9140));
        const QPoint offCentre =
            m->frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        QCOMPARE(program.splash()->lblProductName->text(), QStringLiteral("Kolvane"));
        QCOMPARE(program.splash()->lblVersion->text(), QStringLiteral("v1.0.0"));
        QCOMPARE(program.net().lDocumentCount(), 1);
        m->close();
    }

    void splash_closesAfterFourSecondsAndLeavesTheTopBand()
    {
        ScriptedWindowLayer layer;
        QPointer<frmSplash> s = new frmSplash(layer);
        s->setAttribute(Qt::WA_DeleteOnClose);
        s->show();
        QVERIFY(s->timSplash->isActive());
        QCOMPARE(s->timSplash->interval(), 4000);
        s->timSplash_Timer();
        QTRY_VERIFY(s.isNull());
        QCOMPARE(layer.topMostCalls.size(), 1);
        QVERIFY(!layer.topMostCalls[0].second);
    }

    void splash_clickRules_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("farEnd");  // click near the right end instead of the left
        for (const char* name : {"picLogo", "lblProductName", "lblVersion", "lblPlatform", "lblCopyright", "lblCompany",
                                 "fraMainFrame", "window"})
            QTest::newRow(name) << QString::fromLatin1(name) << true << false;
        QTest::newRow("Label1 (contact address)") << "Label1" << false << false;
        // The empty warning line lies partly over the logo: there the logo takes the click.
        QTest::newRow("lblWarning over the logo") << "lblWarning" << true << false;
        QTest::newRow("lblWarning beside the logo") << "lblWarning" << false << true;
    }
    void splash_clickRules()
    {
        QFETCH(QString, target);
        QFETCH(bool, closes);
        QFETCH(bool, farEnd);
        ScriptedWindowLayer layer;
        QPointer<frmSplash> s = new frmSplash(layer);
        s->setAttribute(Qt::WA_DeleteOnClose);
        s->show();
        QWidget* w = target == "picLogo"          ? static_cast<QWidget*>(s->picLogo)
                     : target == "lblProductName" ? s->lblProductName
                     : target == "lblVersion"     ? s->lblVersion
                     : target == "lblPlatform"    ? s->lblPlatform
                     : target == "lblCopyright"   ? s->lblCopyright
                     : target == "lblCompany"     ? s->lblCompany
                     : target == "fraMainFrame"   ? s->fraMainFrame
                     : target == "Label1"         ? s->Label1
                     : target == "lblWarning"     ? s->lblWarning
                                                  : static_cast<QWidget*>(s.data());
        QTest::mouseClick(w, Qt::LeftButton, {}, farEnd ? QPoint(w->width() - 3, 2) : QPoint(2, 2));
        if (closes) {
            QTRY_VERIFY(s.isNull());
        } else {
            QCoreApplication::processEvents();
            QVERIFY(!s.isNull());
            QVERIFY(s->isVisible());
            QVERIFY(s->timSplash->isActive());
            delete s.data();
        }
    }

    void shutdown_participantsCloseThroughTheirOwnHandlingFirst()
    {
        MainRig rig;
        rig.addUpTo(3);
        CloseRecorder rec;
        QWidget splash;
        splash.setObjectName(QStringLiteral("splash"));
        splash.show();
        splash.installEventFilter(&rec);
        rig.main->frmSplash = &splash;
        for (int i = 1; i <= 3; ++i) {
            rig.doc(i)->setObjectName(QStringLiteral("doc%1").arg(i));
            rig.doc(i)->installEventFilter(&rec);
        }
        // Participant 2 talks while the program closes: its own close handling stops the timer.
        rig.activate(2);
        rig.doc(2)->cmdActive_Click();
        rig.doc(2)->cmdTalk_Click();
        QVERIFY(rig.main->timTalk->isActive());

        rig.main->close();
        QCOMPARE(rec.order, (QStringList{"doc1", "doc2", "doc3", "splash"}));
        QVERIFY(!rig.main->timTalk->isActive());
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));
        for (int i = 1; i <= 3; ++i)
            QVERIFY(!rig.state.slot(i));
        QVERIFY(!splash.isVisible());
        QVERIFY(rig.layer.isClean());  // no question asked
    }
};

KOLVANE_TEST_MAIN(TestStartup)
#include "test_startup.moc"
