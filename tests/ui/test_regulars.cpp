// The list of known stations under the callsign fields, as the operator meets it: keys
// pressed into the focused field, and what a screen reader reads in the list or what the
// fields hold, and where the keyboard is afterwards; the nets the file commands teach.
#include "files/RosterStore.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/CallsignSuggestions.h"
#include "ui/Controls.h"
#include "ui/frmTransfer.h"

#include <QAccessible>
#include <QApplication>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// The main window with K1ABC (3 nets), W2ABC (2), K1XYZ, K1AB and the newer W3AB (1, no handle
// or QTH), Q1A ... Q1J (1 ... 10, undated) known, Participant 1 holding K1NET in the running
// net and Participant 2 in front.
struct Rig : Regulars {
    MainRig rig{false, this};

    Rig()
    {
        auto roster = std::make_shared<Roster>();
        roster->add({"K1ABC", "Al", "Boston", 3, QDate(2026, 12, 1), {}});
        roster->add({"W2ABC", "Bob", "Albany", 2, QDate(2026, 12, 1), {}});
        for (const QString call : {"K1XYZ", "K1AB", "W3AB"})
            roster->add({call, {}, {}, 1, QDate(2026, 12, call == QLatin1String("W3AB") ? 6 : 1), {}});
        for (int i = 1; i <= 10; ++i)
            roster->add({QStringLiteral("Q1") + QChar(u'@' + i), {}, {}, i, QDate(), {}});
        roster->index();
        setRoster(roster);
        rig.main->Show();
        rig.net.setCallsign(1, QStringLiteral("K1NET"));
        rig.net.setHandle(1, QStringLiteral("Ned"));
        rig.net.setQTH(1, QStringLiteral("Denver"));
        rig.main->AddParticipant();
        rig.main->activateWindow();
    }
};

// "ab,Down,Return" typed into `call`: text in lower case, keys by name. Then what the
// operator perceives: the list as a screen reader reads it ('>' before the highlighted
// entry) when it is open, else "callsign/handle/QTH"; and ">" the widget with the keyboard.
QString typeInto(QLineEdit* call, QLineEdit* handle, QLineEdit* qth, const QString& keys)
{
    call->setFocus();
    if (!QTest::qWaitFor([call] { return call->hasFocus(); }))
        return QStringLiteral("no focus");
    for (const QString& step : keys.split(u',')) {
        if (step[0].isUpper())
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
        else
            QTest::keyClicks(QApplication::focusWidget(), step);
    }
    QStringList seen{call->text(), handle->text(), qth->text()};
    QListView* view = call->findChild<CallsignSuggestions*>()->list();
    if (view && view->isVisible()) {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view);
        seen = QStringList{list->role() == QAccessible::List ? list->text(QAccessible::Name) : QStringLiteral("?")};
        for (int i = 0; i < list->childCount(); ++i)
            seen << (list->child(i)->state().selected ? ">" : "") + list->child(i)->text(QAccessible::Name);
    }
    const QWidget* focus = QApplication::focusWidget();
    return seen.join(u'/') + u'>' + (focus ? focus->objectName() : QStringLiteral("nothing"));
}

}  // namespace

class TestRegulars : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void theCommandsTeachTheRosterOncePerNet();
};

void TestRegulars::keys_data()
{
    // The field (participant, netcontrol or transfer), the keys, and what the operator then
    // perceives.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, const char* field, const char* keys, const char* after) {
        QTest::newRow(name) << field << keys << after;
    };
    row("the list: the net's station first, then most nets, then most recent", "participant", "k1,Down",
        "Known stations/>K1NET, Ned, Denver, in the net, Participant 1/K1ABC, Al, Boston, 3 nets, 12/1/26/K1AB, 1 net, "
        "12/1/26/K1XYZ, 1 net, 12/1/26>txtCallsign");
    row("the list: a suffix finds every district", "participant", "ab",
        "Known stations/K1ABC, Al, Boston, 3 nets, 12/1/26/W2ABC, Bob, Albany, 2 nets, 12/1/26/W3AB, 1 net, "
        "12/6/26/K1AB, 1 net, 12/1/26>txtCallsign");
    row("the list: the best eight", "transfer", "q1,Down,Down",
        "Known stations/Q1J, 10 nets/>Q1I, 9 nets/Q1H, 8 nets/Q1G, 7 nets/Q1F, 6 nets/Q1E, 5 nets/Q1D, 4 nets/Q1C, "
        "3 nets>txtNewCallsign");
    row("Down, Return takes the first; on to Active", "participant", "ab,Down,Return", "K1ABC/Al/Boston>cmdActive");
    row("Down and Up move in the list", "participant", "ab,Down,Down,Down,Up,Return", "W2ABC/Bob/Albany>cmdActive");
    row("Return, nothing highlighted: as typed, on", "participant", "ab,Return", "AB//>txtHandle");
    row("Down without a list moves to Handle", "participant", "k,Down", "K//>txtHandle");
    row("a typed handle is kept", "participant", "Down,alfred,Up,ab,Down,Return", "K1ABC/alfred/Boston>cmdActive");
    row("nothing to fill: on to Handle", "participant", "xyz,Down,Return", "K1XYZ//>txtHandle");
    row("Shift+Delete forgets", "participant", "ab,Down,Shift+Del,Return", "W2ABC/Bob/Albany>cmdActive");
    row("Net Control: on to the comments", "netcontrol", "ab,Down,Return", "K1ABC/Al/Boston>txtComments");
    row("transfer: on to OK", "transfer", "ab,Down,Return", "K1ABC/Al/Boston>cmdOK");
    row("transfer: Escape closes only the list", "transfer", "ab,Down,Escape", "AB//>txtNewCallsign");
}

void TestRegulars::keys()
{
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // its short dates
    Rig r;
    frmMain& m = *r.rig.main;
    QVERIFY(QTest::qWaitForWindowActive(&m));
    QSignalSpy status(&r.rig.net, &Net::statusTextChanged);
    if (field == QLatin1String("participant")) {
        frmDocument* d = r.rig.doc(2);
        QCOMPARE(typeInto(d->txtCallsign, d->txtHandle, d->txtQTH, keys), after);
        // The net holds what the fields show; the status line heard nothing.
        const Participant* p = r.rig.net.participant(2);
        QCOMPARE(p->callsign + u'/' + p->qth, d->txtCallsign->text() + u'/' + d->txtQTH->text());
        QCOMPARE(status.size(), 0);
    } else if (field == QLatin1String("netcontrol")) {
        QCOMPARE(typeInto(m.txtCntrlCall, m.txtCntrlHandle, m.txtCntrlQTH, keys), after);
        QCOMPARE(m.header().cntrlHandle, m.txtCntrlHandle->text());
    } else {
        r.rig.net.setHeader({"Tuesday", "", "146.520", "FM", "W1XYZ", "Pat", "Riverton", ""});
        QString got;
        r.rig.layer.answerModal([&](QDialog* dialog) {
            auto* t = qobject_cast<frmTransfer*>(dialog);
            got = typeInto(t->txtNewCallsign, t->txtNewHandle, t->txtNewQTH, keys) + (t->isVisible() ? "" : " closed");
            t->cmdCancel_Click();
        });
        m.mnuToolsTransferNetControl_Click();
        QCOMPARE(got, after);
    }
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
    // Saved twice, opened again, handed over, the transfer file opened (on the machine that
    // wrote it, or by the new Net Control) and saved: one net for every station.
    const QString saved = dir.filePath(QStringLiteral("net.kvs"));
    const QString transfer = dir.filePath(QStringLiteral("transfer.kvs"));
    for (const QString& file : {saved, saved, transfer, transfer})
        rig.layer.answerFile(file);
    rig.layer.answerModal([](QDialog* dialog) {
        auto* t = qobject_cast<frmTransfer*>(dialog);
        t->txtNewCallsign->setText(QStringLiteral("K2NEW"));
        t->txtNewHandle->setText(QStringLiteral("Kim"));
        t->txtNewQTH->setText(QStringLiteral("Albany"));
        t->cmdOK_Click();
    });
    rig.main->mnuFileSave_Click();
    rig.main->mnuFileSave_Click();
    rig.main->mnuFileOpen_Click();
    rig.main->mnuToolsTransferNetControl_Click();
    rig.main->mnuFileOpen_Click();
    QCOMPARE(rig.net.header().cntrlCall, QStringLiteral("K2NEW"));
    rig.main->mnuFileSave_Click();
    store.waitForWrites();
    QStringList stations;
    for (const RosterStation& s : regulars.roster()->stations())
        stations << QStringLiteral("%1 %2 %3").arg(s.callsign).arg(s.nets).arg(s.last.toString(Qt::ISODate));
    QCOMPARE(stations.join(u'/'), QStringLiteral("W1XYZ 1 2026-12-08/K1ABC 1 2026-12-08/K2NEW 1 2026-12-08"));
}

KOLVANE_TEST_MAIN(TestRegulars)
#include "test_regulars.moc"
