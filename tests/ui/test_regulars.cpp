// The list of known stations under the callsign fields, as the operator meets it: keys
// pressed into the focused field, and what the fields hold and where the keyboard is
// afterwards; what a screen reader finds in the list; the nets the file commands teach.
#include "files/RosterFile.h"
#include "files/RosterStore.h"
#include "net/DateStamp.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/CallsignSuggestions.h"
#include "ui/Controls.h"
#include "ui/frmTransfer.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// Keys by name, anything else typed as text: "ab,Down,Enter".
void play(const QString& script)
{
    static const QHash<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> keys{
        {"Down", {Qt::Key_Down, Qt::NoModifier}},    {"Up", {Qt::Key_Up, Qt::NoModifier}},
        {"Enter", {Qt::Key_Return, Qt::NoModifier}}, {"Escape", {Qt::Key_Escape, Qt::NoModifier}},
        {"Tab", {Qt::Key_Tab, Qt::NoModifier}},      {"Shift+Delete", {Qt::Key_Delete, Qt::ShiftModifier}},
    };
    for (const QString& step : script.split(u',')) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus, qPrintable(QStringLiteral("nothing takes the keys at ") + step));
        if (keys.contains(step))
            QTest::keyClick(focus, keys[step].first, keys[step].second);
        else
            QTest::keyClicks(focus, step);
    }
}

CallsignSuggestions* listOf(QLineEdit* field)
{
    return field->findChild<CallsignSuggestions*>();
}

// K1ABC in 3 nets, W2ABC in 2, K1XYZ (no handle, no QTH) in 1.
std::shared_ptr<Roster> sampleRoster()
{
    auto roster = std::make_shared<Roster>();
    const auto learn = [&roster](const QString& start, QList<NetSighting::Station> stations) {
        roster->learn(NetSighting{start, QStringLiteral("W1XYZ"), QDate(2026, 12, 1), stations});
    };
    for (const QString& start : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")})
        learn(start, {{"K1ABC", "Al", "Boston"}});
    for (const QString& start : {QStringLiteral("1"), QStringLiteral("2")})
        learn(start, {{"W2ABC", "Bob", "Albany"}});
    learn(QStringLiteral("1"), {{"K1XYZ", "", ""}});
    roster->index();
    return roster;
}

// The main window with the sample roster, Participant 1 holding K1NET in the running net
// and Participant 2 in front.
struct Rig {
    Regulars regulars;
    std::unique_ptr<MainRig> rig;

    Rig()
    {
        regulars.setRoster(sampleRoster());
        rig = std::make_unique<MainRig>(true, &regulars);
        rig->net.setCallsign(1, QStringLiteral("K1NET"));
        rig->net.setHandle(1, QStringLiteral("Ned"));
        rig->net.setQTH(1, QStringLiteral("Denver"));
        rig->main->AddParticipant();
        rig->main->activateWindow();
    }
};

}  // namespace

class TestRegulars : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void screenReaderReadsTheList();
    void theCommandsTeachTheRosterOncePerNet();
};

void TestRegulars::keys_data()
{
    // Where: participant, netcontrol or transfer; the handle typed first; the keys; then the
    // callsign/handle/QTH and the focus afterwards.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("handleBefore");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("focus");
    const auto row = [](const char* name, const char* field, const char* handle, const char* script, const char* after,
                        const char* focus) { QTest::newRow(name) << field << handle << script << after << focus; };
    row("Down, Enter takes the first; on to Active", "participant", "", "ab,Down,Enter", "K1ABC/Al/Boston",
        "cmdActive");
    row("Down, Down, Enter takes the second", "participant", "", "ab,Down,Down,Enter", "W2ABC/Bob/Albany", "cmdActive");
    row("Up above the first: the typed text", "participant", "", "ab,Down,Up,Enter", "AB//", "txtHandle");
    row("Enter, nothing highlighted, moves on", "participant", "", "ab,Enter", "AB//", "txtHandle");
    row("a new callsign in full, Enter", "participant", "", "k1new,Enter", "K1NEW//", "txtHandle");
    row("Escape closes, the text stays", "participant", "", "ab,Down,Escape", "AB//", "txtCallsign");
    row("Down without a list moves to Handle", "participant", "", "k,Down", "K//", "txtHandle");
    row("a typed handle is kept", "participant", "Alfred", "ab,Down,Enter", "K1ABC/Alfred/Boston", "cmdActive");
    row("nothing to fill: on to Handle", "participant", "", "xyz,Down,Enter", "K1XYZ//", "txtHandle");
    row("a station of the running net", "participant", "", "k1,Down,Enter", "K1NET/Ned/Denver", "cmdActive");
    row("Shift+Delete forgets", "participant", "", "ab,Down,Shift+Delete,Down,Enter", "W2ABC/Bob/Albany", "cmdActive");
    row("Net Control: on to the comments", "netcontrol", "", "ab,Down,Enter", "K1ABC/Al/Boston", "txtComments");
    row("Net Control: Enter as before", "netcontrol", "", "ab,Enter", "AB//", "txtCntrlCall");
    row("transfer: on to OK", "transfer", "", "ab,Down,Enter", "K1ABC/Al/Boston", "cmdOK");
    row("transfer: Escape closes only the list", "transfer", "", "ab,Down,Escape", "AB//", "txtNewCallsign");
}

void TestRegulars::keys()
{
    QFETCH(QString, field);
    QFETCH(QString, handleBefore);
    QFETCH(QString, script);
    QFETCH(QString, after);
    QFETCH(QString, focus);
    Rig r;
    frmMain& m = *r.rig->main;
    QVERIFY(QTest::qWaitForWindowActive(&m));
    QStringList result;
    QString focusName;
    const auto run = [&](QLineEdit* call, QLineEdit* handle, QLineEdit* qth) {
        handle->setText(handleBefore);
        call->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), call);
        play(script);
        result = QStringList{call->text(), handle->text(), qth->text()};
        focusName = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    };
    QSignalSpy status(&r.rig->net, &Net::statusTextChanged);
    if (field == QLatin1String("participant")) {
        frmDocument* d = r.rig->doc(2);
        run(d->txtCallsign, d->txtHandle, d->txtQTH);
        // What the fields show is what the net holds; the status line heard nothing.
        QCOMPARE(r.rig->net.participant(2)->callsign + u'/' + r.rig->net.participant(2)->qth,
                 d->txtCallsign->text() + u'/' + d->txtQTH->text());
        QCOMPARE(status.size(), 0);
    } else if (field == QLatin1String("netcontrol")) {
        run(m.txtCntrlCall, m.txtCntrlHandle, m.txtCntrlQTH);
        QCOMPARE(m.header().cntrlHandle, m.txtCntrlHandle->text());
    } else {
        r.rig->net.setHeader({"Tuesday", "", "146.520", "FM", "W1XYZ", "Pat", "Riverton", ""});
        bool stillOpen = false;
        r.rig->layer.answerModal([&](QDialog* dialog) {
            auto* t = qobject_cast<frmTransfer*>(dialog);
            run(t->txtNewCallsign, t->txtNewHandle, t->txtNewQTH);
            stillOpen = t->isVisible();
            t->cmdCancel_Click();
        });
        m.mnuToolsTransferNetControl_Click();
        QVERIFY(stillOpen);
    }
    QCOMPARE(result.join(u'/'), after);
    QCOMPARE(focusName, focus);
}

void TestRegulars::screenReaderReadsTheList()
{
    Rig r;
    QVERIFY(QTest::qWaitForWindowActive(r.rig->main.get()));
    frmDocument* d = r.rig->doc(2);
    d->txtCallsign->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), d->txtCallsign);
    play(QStringLiteral("k1,Down"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(listOf(d->txtCallsign)->list());
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Known stations"));
    // The station already in the net first, saying so; then the roster's, most nets first.
    const QString date = stampLocale().toString(QDate(2026, 12, 1), QLocale::ShortFormat);
    const QStringList entries{QStringLiteral("K1NET, Ned, Denver, in the net, Participant 1"),
                              QStringLiteral("K1ABC, Al, Boston, 3 nets, ") + date,
                              QStringLiteral("K1XYZ, 1 net, ") + date};
    QCOMPARE(list->childCount(), entries.size());
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(list->child(i)->text(QAccessible::Name), entries[i]);
    // The highlighted entry is the selected one, though the keyboard stays in the field.
    QVERIFY(list->child(0)->state().selected);
    QCOMPARE(QApplication::focusWidget(), d->txtCallsign);
}

void TestRegulars::theCommandsTeachTheRosterOncePerNet()
{
    QTemporaryDir dir;
    Regulars regulars;
    RosterStore store(regulars, dir.filePath(QStringLiteral("roster.tsv")));
    store.start();
    MainRig rig(true, &regulars);
    rig.net.setHeader({"Tuesday, Dec/8/2026 9:00:17 PM", "", "146.520", "FM", "W1XYZ", "Pat", "Riverton", ""});
    rig.net.setCallsign(1, QStringLiteral("K1ABC"));
    rig.net.setHandle(1, QStringLiteral("Al"));
    const QString saved = dir.filePath(QStringLiteral("net.kvs"));
    // Saved twice, opened again, handed over: one net for each station; the new Net Control's
    // first.
    rig.layer.answerFile(saved);
    rig.main->mnuFileSave_Click();
    rig.main->mnuFileSave_Click();
    rig.layer.answerFile(saved);
    rig.main->mnuFileOpen_Click();
    rig.layer.answerModal([](QDialog* dialog) {
        auto* t = qobject_cast<frmTransfer*>(dialog);
        t->txtNewCallsign->setText(QStringLiteral("K2NEW"));
        t->txtNewHandle->setText(QStringLiteral("Kim"));
        t->txtNewQTH->setText(QStringLiteral("Albany"));
        t->cmdOK_Click();
    });
    const QString transfer = dir.filePath(QStringLiteral("transfer.kvs"));
    rig.layer.answerFile(transfer);
    rig.main->mnuToolsTransferNetControl_Click();
    // The transfer file opened (on the machine that wrote it, or by K2NEW) and handed on
    // again is still that net.
    rig.layer.answerFile(transfer);
    rig.main->mnuFileOpen_Click();
    QCOMPARE(rig.net.header().cntrlCall, QStringLiteral("K2NEW"));
    rig.layer.answerModal([](QDialog* dialog) {
        auto* t = qobject_cast<frmTransfer*>(dialog);
        t->txtNewCallsign->setText(QStringLiteral("K3NEXT"));
        t->txtNewHandle->setText(QStringLiteral("Sam"));
        t->txtNewQTH->setText(QStringLiteral("Troy"));
        t->cmdOK_Click();
    });
    rig.layer.answerFile(dir.filePath(QStringLiteral("again.kvs")));
    rig.main->mnuToolsTransferNetControl_Click();
    store.waitForWrites();
    const std::shared_ptr<const Roster> roster = regulars.roster();
    QCOMPARE(roster->size(), 4);
    for (const QString& call :
         {QStringLiteral("K1ABC"), QStringLiteral("W1XYZ"), QStringLiteral("K2NEW"), QStringLiteral("K3NEXT")}) {
        QVERIFY2(roster->find(call), qPrintable(call));
        QCOMPARE(roster->find(call)->nets, 1);
        QCOMPARE(roster->find(call)->last, QDate(2026, 12, 8));
    }
}

KOLVANE_TEST_MAIN(TestRegulars)
#include "test_regulars.moc"
