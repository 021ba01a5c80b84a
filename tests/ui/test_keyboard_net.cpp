// A whole net run with the keyboard alone, as an operator without a mouse runs it, and the
// keys of the roll in a table: every step is a key press on whatever has the focus, and every
// check is what the operator (or a screen reader) finds afterwards.
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/frmTransfer.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

using namespace kolvane;
using namespace kolvane::test;

namespace {

QWidget* focus()
{
    return QApplication::focusWidget();
}

// One key press where the operator's keys go: an open menu, else the focused control.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : focus();
    QVERIFY2(target, "nothing takes the keys");
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void type(const QString& text)
{
    QVERIFY2(focus(), "nothing takes the keys");
    QTest::keyClicks(focus(), text);
}

QString a11y(QWidget* w, QAccessible::Text what = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(w)->text(what);
}

bool checked(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w)->state().checked;
}

// In a participant window, from its callsign to its Talk (or Clear) button.
void callsignToButton(int tabs)
{
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Return);
    for (int i = 0; i < tabs; ++i)
        press(Qt::Key_Tab);
}

void checkIn(frmDocument* d, const QString& call, const QString& handle, const QString& qth)
{
    QCOMPARE(focus(), d->txtCallsign);
    type(call);
    press(Qt::Key_Return);
    QCOMPARE(focus(), d->txtHandle);
    type(handle);
    press(Qt::Key_Down);
    QCOMPARE(focus(), d->txtQTH);
    type(qth);
    press(Qt::Key_Up);
    QCOMPARE(focus(), d->txtHandle);
    press(Qt::Key_Up);
    QCOMPARE(focus(), d->txtCallsign);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    QCOMPARE(focus(), d->txtQTH);
    press(Qt::Key_Return);
    QCOMPARE(focus(), d->cmdActive);
    press(Qt::Key_Space);
    QCOMPARE(focus(), d->txtCallsign);
    QCOMPARE(a11y(d, QAccessible::Description), QStringLiteral("Active"));
    QVERIFY(checked(d->cmdActive));
}

// Keys by their names, one after another ("Ctrl+Shift+Backtab" is Ctrl+Shift+Tab as X11
// sends it).
void pressAll(const QString& keys)
{
    for (const QString& name : keys.split(u' ')) {
        const QKeyCombination key = QKeySequence(name)[0];
        press(key.key(), key.keyboardModifiers());
    }
}

// What the operator sees of a field: the same as a plain field showing its text from the start.
bool showsBeginning(QLineEdit* field)
{
    QLineEdit start(field->text(), field->parentWidget());  // drawn as in the same window
    start.setPalette(field->palette());
    start.resize(field->size());
    start.setCursorPosition(0);
    return start.grab().toImage() == field->grab().toImage();
}

}  // namespace

class TestKeyboardNet : public QObject {
    Q_OBJECT

private slots:
    void wholeNetFromTheKeyboard()
    {
        QTemporaryDir dir;
        MainRig rig;
        frmMain& m = *rig.main;
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QCOMPARE(focus(), m.txtGirlFriend);

        // Start and Stop. F6 leads from the parked focus to the participant window and on
        // to the net panel, where nothing has had the focus yet: Start.
        press(Qt::Key_F6);
        QCOMPARE(focus(), rig.doc(1)->txtCallsign);
        press(Qt::Key_F6);
        QCOMPARE(focus(), m.cmdStart);
        press(Qt::Key_Space);
        QVERIFY(!m.txtStart->text().isEmpty());
        QCOMPARE(focus(), m.txtGirlFriend);
        QCOMPARE(a11y(m.txtGirlFriend), QStringLiteral("Net panel, Start stamped ") + m.txtStart->text());
        type(QStringLiteral("x"));
        QCOMPARE(m.txtGirlFriend->text(), QString());
        press(Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(focus(), rig.doc(1)->txtCallsign);
        press(Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(focus(), m.cmdStart);  // the panel control that had the focus last
        press(Qt::Key_Tab);
        press(Qt::Key_Space);
        QVERIFY(!m.txtStop->text().isEmpty());
        QCOMPARE(a11y(m.txtGirlFriend), QStringLiteral("Net panel, Stop stamped ") + m.txtStop->text());

        // The header, along the tab order from Stop; the comments are continued at their end.
        press(Qt::Key_F6);
        press(Qt::Key_F6);
        QCOMPARE(focus(), m.cmdStop);
        press(Qt::Key_Tab);
        type(QStringLiteral("146.520"));
        press(Qt::Key_Tab);
        type(QStringLiteral("FM"));
        press(Qt::Key_Tab);
        type(QStringLiteral("w1aw"));
        press(Qt::Key_Tab);
        type(QStringLiteral("Hiram"));
        press(Qt::Key_Tab);
        type(QStringLiteral("Newington"));
        press(Qt::Key_Tab);
        type(QStringLiteral("Weekly net"));
        QCOMPARE(m.header().frequency, QStringLiteral("146.520"));
        QCOMPARE(m.header().mode, QStringLiteral("FM"));
        QCOMPARE(m.header().cntrlCall, QStringLiteral("W1AW"));
        QCOMPARE(m.header().cntrlHandle, QStringLiteral("Hiram"));
        QCOMPARE(m.header().cntrlQTH, QStringLiteral("Newington"));
        QCOMPARE(m.commentsText(), QStringLiteral("Comments\r\nWeekly net"));

        // The ID timer.
        press(Qt::Key_Tab);
        QCOMPARE(focus(), m.cmdIDTimer);
        press(Qt::Key_Space);
        QVERIFY(m.timID->isActive());
        QVERIFY(checked(m.cmdIDTimer));
        QCOMPARE(a11y(m.txtGirlFriend), QStringLiteral("Net panel, ID timer running"));

        // Two stations check in: Ctrl+A opens a window with the focus in its callsign.
        press(Qt::Key_A, Qt::ControlModifier);
        checkIn(rig.doc(2), QStringLiteral("w2def"), QStringLiteral("Bob"), QStringLiteral("Boston"));
        press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        checkIn(rig.doc(1), QStringLiteral("k1abc"), QStringLiteral("Al"), QStringLiteral("Hartford"));

        // Give the turn, move it, end it.
        callsignToButton(2);
        QCOMPARE(focus(), rig.doc(1)->cmdTalk);
        press(Qt::Key_Space);
        QCOMPARE(m.statusText(), QStringLiteral("At turn: K1ABC - Al from Hartford"));
        QCOMPARE(m.announcer->lastMessage(), m.statusText());
        QCOMPARE(a11y(rig.doc(1), QAccessible::Description), QStringLiteral("Talking"));
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(focus(), rig.doc(2)->txtCallsign);
        callsignToButton(2);
        press(Qt::Key_Space);
        QCOMPARE(m.statusText(), QStringLiteral("At turn: W2DEF - Bob from Boston"));
        QCOMPARE(a11y(rig.doc(1), QAccessible::Description), QStringLiteral("Active"));
        QVERIFY(checked(rig.doc(2)->cmdTalk));
        QVERIFY(!checked(rig.doc(1)->cmdTalk));
        callsignToButton(2);
        press(Qt::Key_Space);
        QCOMPARE(m.statusText(), QStringLiteral("Status: Idle"));
        QCOMPARE(m.announcer->lastMessage(), QStringLiteral("Status: Idle"));

        // The ID period ends while the operator types; the button acknowledges it.
        callsignToButton(0);
        for (int i = 0; i < 600; ++i)
            m.timID_Timer();
        QCOMPARE(m.announcer->lastMessage(), QStringLiteral("ID timer expired"));
        QCOMPARE(a11y(m.cmdIDTimer, QAccessible::Description), QStringLiteral("ID timer expired"));
        QCOMPARE(focus(), m.txtGirlFriend);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focus(), m.cmdIDTimer);
        press(Qt::Key_Space);
        QVERIFY(m.timID->isActive());
        QVERIFY(a11y(m.cmdIDTimer, QAccessible::Description) != QStringLiteral("ID timer expired"));

        // Save, clear a station, open the saved net again.
        const QString saved = dir.filePath(QStringLiteral("net.kvs"));
        rig.layer.answerFile(saved);
        press(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(saved));
        press(Qt::Key_F6);
        QCOMPARE(focus(), rig.doc(2)->txtCallsign);
        callsignToButton(1);
        QCOMPARE(focus(), rig.doc(2)->cmdClear);
        press(Qt::Key_Space);
        QCOMPARE(rig.doc(2)->txtCallsign->text(), QString());
        rig.layer.answerFile(saved);
        press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(rig.doc(2)->txtCallsign->text(), QStringLiteral("W2DEF"));
        QCOMPARE(rig.doc(2)->txtQTH->text(), QStringLiteral("Boston"));

        // Hand the net over: Tools > Transfer Net Control by its access keys.
        const QString transfer = dir.filePath(QStringLiteral("transfer.kvs"));
        rig.layer.answerModal([](QDialog* dialog) {
            auto* dlg = qobject_cast<kolvane::frmTransfer*>(dialog);
            // The dialog takes the focus once the menu that opened it has gone.
            QTRY_COMPARE(focus(), dlg->txtNewCallsign);
            type(QStringLiteral("k2xyz"));
            press(Qt::Key_Tab);
            type(QStringLiteral("Kim"));
            press(Qt::Key_Tab);
            type(QStringLiteral("Albany"));
            press(Qt::Key_Return);
        });
        rig.layer.answerFile(transfer);
        press(Qt::Key_T, Qt::AltModifier);
        press(Qt::Key_T);
        QFile file(transfer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("K2XYZ\r\nKim\r\nAlbany\r\n"));
        QString why;
        QVERIFY2(rig.layer.isClean(&why), qPrintable(why));
    }

    // The roll: participants 1 to 5, 4 closed, 3 inactive, used last in the order 5, 2, then
    // the one the keys start in, with the keyboard in its callsign.
    void rollByKeys_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("front");
        QTest::addColumn<QString>("calls");  // every window's callsign, in number order
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("said");  // to a screen reader
        const QString calls = "K1ABC W2DEF N3GHI WA5MNO", idle = "Status: Idle";
        const QString k1 = "At turn: K1ABC - Al from Harrisburg, Pennsylvania";
        const QString w2 = "At turn: W2DEF - Bob from Springfield, Massachusetts";
        const QString toTalk = "Return Return Return Tab Tab";  // from the callsign
        QTest::newRow("Ctrl+Tab by number") << 1 << "Ctrl+Tab Ctrl+Tab" << 3 << calls << idle << "";
        QTest::newRow("over a closed one, round") << 3 << "Ctrl+Tab Ctrl+Tab" << 1 << calls << idle << "";
        QTest::newRow("back, round") << 1 << "Ctrl+Shift+Backtab Ctrl+Shift+Backtab" << 3 << calls << idle << "";
        QTest::newRow("Ctrl+T gives the turn") << 2 << "Ctrl+T" << 2 << calls << w2 << w2;
        QTest::newRow("and ends it") << 2 << "Ctrl+T Ctrl+T" << 2 << calls << idle << idle;
        QTest::newRow("passed on") << 1 << "Ctrl+T Ctrl+Tab Ctrl+T" << 2 << calls << w2 << w2;
        QTest::newRow("none for the inactive") << 3 << "Ctrl+T" << 3 << calls << idle << "Participant 3, Inactive";
        QTest::newRow("Space after Ctrl+T") << 1 << "Ctrl+T Space Space" << 1 << calls << k1 << k1;
        QTest::newRow("Space after Talk") << 1 << toTalk + " Space Space" << 1 << calls << k1 << k1;
        QTest::newRow("Space after Clear")
            << 2 << "Return Return Return Tab Space Space" << 2 << "K1ABC  N3GHI WA5MNO" << idle << "";
        QTest::newRow("typing goes on at the caret")
            << 1 << "Return Up X" << 1 << "K1ABCX W2DEF N3GHI WA5MNO" << idle << "";
    }
    void rollByKeys()
    {
        QFETCH(int, from);
        QFETCH(QString, keys);
        MainRig rig;
        frmMain& m = *rig.main;
        const QStringList station[] = {{"K1ABC", "Al", "Harrisburg, Pennsylvania"},
                                       {"W2DEF", "Bob", "Springfield, Massachusetts"},
                                       {"N3GHI", "Cy", "Albuquerque, New Mexico"},
                                       {"KB4JKL", "Dee", "Philadelphia, Pennsylvania"},
                                       {"WA5MNO", "Ed", "Minneapolis, Minnesota"}};
        rig.addUpTo(5);
        for (int n = 1; n <= 5; ++n) {
            rig.doc(n)->txtCallsign->setText(station[n - 1][0]);
            rig.doc(n)->txtHandle->setText(station[n - 1][1]);
            rig.doc(n)->txtQTH->setText(station[n - 1][2]);
            rig.activate(n);
            if (n != 3)
                rig.doc(n)->cmdActive_Click();
        }
        rig.doc(4)->close();
        for (int n : {5, 2, from})
            rig.activate(n);
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        rig.doc(from)->txtCallsign->setFocus();
        m.announcer->setAccessibleName(QString());

        pressAll(keys);
        QCoreApplication::processEvents();
        frmDocument* front = m.activeParticipant();
        QTEST(front->number(), "front");
        QVERIFY(front->isAncestorOf(focus()));
        QStringList calls;
        for (frmDocument* d : m.openParticipants()) {
            calls << d->txtCallsign->text();
            if (d->txtQTH != focus())
                QVERIFY2(showsBeginning(d->txtQTH), qPrintable(d->txtQTH->text()));
        }
        QTEST(calls.join(u' '), "calls");
        QTEST(m.statusText(), "status");
        QTEST(m.announcer->lastMessage(), "said");
        QCOMPARE(a11y(front->cmdTalk, QAccessible::Accelerator), QStringLiteral("Ctrl+T"));
    }
};

KOLVANE_TEST_MAIN(TestKeyboardNet)
#include "test_keyboard_net.moc"
