// The net without any window: the turn and its counters, the ID reminder, the header and
// its check, Clear All and starting over, the limit of 100, what the net tells its
// listeners, and the session a file would hold. Linked without Qt Widgets.
#include "files/NetSession.h"
#include "net/Colors.h"
#include "net/Net.h"

#include <QSignalSpy>
#include <QTest>

using namespace kolvane;

namespace {

// Runs a script of operator actions on a net, one per entry:
//   "add 3"       add participants until 3 windows have been created
//   "active 2"    participant 2's Active button (window 2 activated first, as a click does)
//   "talk 2", "clear 2", "close 2" (window 2 closes), "tick 61" (talk timer ticks),
//   "call 2 k1abc", "handle 2 Al", "qth 2 Boston", "turnOwner 2"
void run(Net& net, const QStringList& script)
{
    for (const QString& step : script) {
        const QStringList w = step.split(u' ');
        const QString& verb = w.at(0);
        const int n = w.size() > 1 ? w.at(1).toInt() : 0;
        const QString text = w.mid(2).join(u' ');
        if (verb == QLatin1String("add")) {
            while (net.lDocumentCount() < n)
                net.addParticipant();
        } else if (verb == QLatin1String("active")) {
            net.pressActive(n, n);
        } else if (verb == QLatin1String("talk")) {
            net.pressTalk(n, n);
        } else if (verb == QLatin1String("clear")) {
            net.pressClear(n, n);
        } else if (verb == QLatin1String("close")) {
            net.participantClosed(n);
        } else if (verb == QLatin1String("tick")) {
            for (int i = 0; i < n; ++i)
                net.talkTick();
        } else if (verb == QLatin1String("call")) {
            net.setCallsign(n, text);
        } else if (verb == QLatin1String("handle")) {
            net.setHandle(n, text);
        } else if (verb == QLatin1String("qth")) {
            net.setQTH(n, text);
        } else if (verb == QLatin1String("turnOwner")) {
            net.setTalkDocument(qint16(n));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
}

// "1I 2A 3T 4-": each open window's number and its station's state (I, A, T); - when closed.
QString states(const Net& net)
{
    QStringList out;
    for (int n = 1; n <= net.lDocumentCount(); ++n) {
        const Participant* p = net.participant(n);
        const QChar s = !p                                       ? u'-'
                        : p->state == ParticipantState::Inactive ? u'I'
                        : p->state == ParticipantState::Active   ? u'A'
                                                                 : u'T';
        out << QString::number(n) + s;
    }
    return out.join(u' ');
}

QString talkTimes(const Net& net)
{
    QStringList out;
    for (int n : net.participantNumbers())
        out << net.participant(n)->talkTime;
    return out.join(u' ');
}

}  // namespace

class TestNetModel : public QObject {
    Q_OBJECT

private slots:
    void turnTaking_data();
    void turnTaking();
    void turnSwitchesTheTimerOffAndOnWhenItMoves();
    void talkCountWrapsAtTheHourAndStopsAtItsCeiling();
    void idReminder_data();
    void idReminder();
    void headerCheckAndUpperCase_data();
    void headerCheckAndUpperCase();
    void clearAllEmptiesTheNetButKeepsItsWindows();
    void limitOfOneHundredUntilTheNumberingRestarts();
    void listenersHearWhatChanged();
    void modifiedAndBlank_data();
    void modifiedAndBlank();
    void sessionHoldsOpenStationsInNumberOrder();
    void transferAnswerForgetsCallsignAndHandleOnCancel();
};

void TestNetModel::turnTaking_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("states");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("timer");
    QTest::addColumn<int>("owner");    // iTalkDocument
    QTest::addColumn<int>("elapsed");  // iTalkElapsed
    QTest::addColumn<QString>("times");

    const QStringList onAir = {"add 5", "call 2 k1abc", "handle 2 Al", "qth 2 Boston", "active 2", "active 5"};
    QTest::newRow("active then talk") << onAir + QStringList{"talk 2", "tick 61"} << "1I 2T 3I 4I 5A"
                                      << "At turn: K1ABC - Al from Boston" << true << 2 << 61
                                      << "00:00 01:01 00:00 00:00 00:00";
    QTest::newRow("empty fields: the fixed pieces alone") << QStringList{"add 2", "active 1", "talk 1"} << "1T 2I"
                                                          << "At turn:  -  from " << true << 1 << 0 << "00:00 00:00";
    QTest::newRow("talk moves: the first keeps its time, the next counts from zero")
        << onAir + QStringList{"talk 2", "tick 7", "talk 5", "tick 2"} << "1I 2A 3I 4I 5T"
        << "At turn:  -  from " << true << 5 << 2 << "00:00 00:07 00:00 00:00 00:02";
    QTest::newRow("talk again ends the turn") << onAir + QStringList{"talk 2", "tick 9", "talk 2"} << "1I 2A 3I 4I 5A"
                                              << "Status: Idle" << false << 2 << 0 << "00:00 00:09 00:00 00:00 00:00";
    QTest::newRow("active on the talking station: inactive, status kept")
        << onAir + QStringList{"talk 2", "tick 5", "active 2"} << "1I 2I 3I 4I 5A"
        << "At turn: K1ABC - Al from Boston" << false << 2 << 0 << "00:00 00:05 00:00 00:00 00:00";
    QTest::newRow("clear on the talking station: empty, still active, status kept")
        << onAir + QStringList{"talk 2", "tick 5", "clear 2"} << "1I 2A 3I 4I 5A"
        << "At turn: K1ABC - Al from Boston" << false << 2 << 0 << "00:00 00:00 00:00 00:00 00:00";
    QTest::newRow("closing the talking window stops the timer, keeps the count")
        << onAir + QStringList{"talk 2", "tick 5", "close 2"} << "1I 2- 3I 4I 5A"
        << "Status: Idle" << false << 2 << 5 << "00:00 00:00 00:00 00:00";
    QTest::newRow("talk after the turn's window closed starts from zero")
        << onAir + QStringList{"talk 2", "tick 5", "close 2", "talk 5", "tick 1"} << "1I 2- 3I 4I 5T"
        << "At turn:  -  from " << true << 5 << 1 << "00:00 00:00 00:00 00:01";
    QTest::newRow("closing the window that last held the turn rests the status")
        << onAir + QStringList{"talk 2", "talk 2", "talk 5", "talk 5", "close 5"} << "1I 2A 3I 4I 5-"
        << "Status: Idle" << false << 5 << 0 << "00:00 00:00 00:00 00:00";
    QTest::newRow("closing another window leaves the turn alone")
        << onAir + QStringList{"talk 2", "close 4", "tick 3"} << "1I 2T 3I 4- 5A"
        << "At turn: K1ABC - Al from Boston" << true << 2 << 3 << "00:00 00:03 00:00 00:00";
    QTest::newRow("deactivating another station leaves the turn alone")
        << onAir + QStringList{"talk 2", "active 5", "tick 3"} << "1I 2T 3I 4I 5I"
        << "At turn: K1ABC - Al from Boston" << true << 2 << 3 << "00:00 00:03 00:00 00:00 00:00";
    QTest::newRow("tick with no station at turn shows nothing")
        << QStringList{"add 2", "turnOwner 2", "close 2", "tick 1"} << "1I 2-"
        << "Status: Idle" << false << 2 << 1 << "00:00";
}

void TestNetModel::turnTaking()
{
    QFETCH(QStringList, script);
    Net net;
    net.setTalkDocument(1);
    run(net, script);
    QTEST(states(net), "states");
    QTEST(net.statusText(), "status");
    QTEST(net.talkTimerEnabled(), "timer");
    QTEST(int(net.iTalkDocument()), "owner");
    QFETCH(int, elapsed);
    QCOMPARE(int(net.iTalkElapsed()), elapsed);
    QCOMPARE(int(net.iTalkSeconds()), elapsed % 60);
    QCOMPARE(int(net.iTalkMinutes()), elapsed / 60 % 60);
    QTEST(talkTimes(net), "times");
    for (int n : net.participantNumbers())
        QCOMPARE(fieldColor(net.participant(n)->state),
                 net.participant(n)->state == ParticipantState::Inactive ? bgr::Slate
                 : net.participant(n)->state == ParticipantState::Active ? bgr::LightCyan
                                                                         : bgr::Orange);
}

void TestNetModel::turnSwitchesTheTimerOffAndOnWhenItMoves()
{
    // The timer restarts with a moved turn, so its first second is a whole one.
    Net net;
    net.setTalkDocument(1);
    run(net, {"add 3", "active 1", "active 3", "talk 1"});
    QSignalSpy switched(&net, &Net::talkTimerSwitched);
    run(net, {"talk 3"});
    QCOMPARE(switched.size(), 2);
    QCOMPARE(switched.at(0).at(0).toBool(), false);
    QCOMPARE(switched.at(1).at(0).toBool(), true);
}

void TestNetModel::talkCountWrapsAtTheHourAndStopsAtItsCeiling()
{
    Net net;
    net.setTalkDocument(1);
    run(net, {"add 1", "active 1", "talk 1", "tick 3600"});
    QCOMPARE(net.participant(1)->talkTime, QStringLiteral("00:00"));
    run(net, {"tick 29170"});
    QCOMPARE(int(net.iTalkElapsed()), 32767);
    QCOMPARE(net.participant(1)->talkTime, QStringLiteral("06:07"));
}

void TestNetModel::idReminder_data()
{
    QTest::addColumn<QStringList>("script");  // "press", "tick n", "blink n"
    QTest::addColumn<int>("state");           // IdTimerState
    QTest::addColumn<QString>("caption");
    QTest::addColumn<quint32>("back");
    QTest::addColumn<int>("elapsed");

    const auto stopped = int(IdTimerState::Stopped);
    const auto running = int(IdTimerState::Running);
    const auto expired = int(IdTimerState::Expired);
    QTest::newRow("at start") << QStringList{} << stopped << "00:00" << bgr::SysInactiveBorder << 0;
    QTest::newRow("started") << QStringList{"press"} << running << "00:00" << bgr::White << 0;
    QTest::newRow("counting") << QStringList{"press", "tick 61"} << running << "01:01" << bgr::White << 61;
    QTest::newRow("stopped at 599 keeps 09:59")
        << QStringList{"press", "tick 599", "press"} << stopped << "09:59" << bgr::SysInactiveBorder << 0;
    QTest::newRow("restarted: the old caption until the first tick")
        << QStringList{"press", "tick 599", "press", "press"} << running << "09:59" << bgr::White << 0;
    QTest::newRow("restarted counts from zero")
        << QStringList{"press", "tick 599", "press", "press", "tick 1"} << running << "00:01" << bgr::White << 1;
    QTest::newRow("ten minutes end the period")
        << QStringList{"press", "tick 600"} << expired << "10:00" << bgr::SysInactiveBorder << 0;
    QTest::newRow("first blink turns white")
        << QStringList{"press", "tick 600", "blink 1"} << expired << "10:00" << bgr::White << 0;
    QTest::newRow("then orange and white in turn")
        << QStringList{"press", "tick 600", "blink 2"} << expired << "10:00" << bgr::Orange << 0;
    QTest::newRow("a press while blinking starts the next period")
        << QStringList{"press", "tick 600", "blink 3", "press"} << running << "10:00" << bgr::White << 0;
}

void TestNetModel::idReminder()
{
    QFETCH(QStringList, script);
    Net net;
    bool ended = false;
    for (const QString& step : script) {
        const QStringList w = step.split(u' ');
        const int count = w.size() > 1 ? w.at(1).toInt() : 1;
        for (int i = 0; i < count; ++i) {
            if (w.at(0) == QLatin1String("press"))
                net.pressIdTimer();
            else if (w.at(0) == QLatin1String("tick"))
                ended = net.idTick() || ended;
            else
                net.blinkTick();
        }
    }
    QTEST(int(net.idTimerState()), "state");
    QTEST(net.idTimerCaption(), "caption");
    QTEST(net.idTimerBackColor(), "back");
    QTEST(int(net.iIDElapsed()), "elapsed");
    QCOMPARE(ended, script.contains(QStringLiteral("tick 600")));
}

void TestNetModel::headerCheckAndUpperCase_data()
{
    QTest::addColumn<QList<int>>("emptied");  // HeaderItem values left empty
    QTest::addColumn<QString>("message");
    const auto i = [](HeaderItem item) { return int(item); };
    QTest::newRow("complete") << QList<int>{i(HeaderItem::Stop), i(HeaderItem::Comments)} << QString();
    QTest::newRow("all empty: the start only")
        << QList<int>{i(HeaderItem::Start), i(HeaderItem::Frequency), i(HeaderItem::Mode), i(HeaderItem::CntrlCall)}
        << "Please enter Net's start time";
    QTest::newRow("mode") << QList<int>{i(HeaderItem::Mode), i(HeaderItem::CntrlQTH)}
                          << "Please select the Net's Mode (SSB, FM, etc) or type in your own";
    QTest::newRow("handle") << QList<int>{i(HeaderItem::CntrlHandle)} << "Please enter current Net Control Handle";
}

void TestNetModel::headerCheckAndUpperCase()
{
    QFETCH(QList<int>, emptied);
    QFETCH(QString, message);
    Net net;
    net.setHeader({QStringLiteral("Thursday, Jan/30/2003 9:05:07 AM"), QStringLiteral("later"), QStringLiteral(" "),
                   QStringLiteral("RTTY"), QStringLiteral("w1aw"), QStringLiteral("Hiram"), QStringLiteral("Newington"),
                   QStringLiteral("net")});
    QCOMPARE(net.header().cntrlCall, QStringLiteral("W1AW"));
    for (int item : emptied)
        net.setHeaderText(HeaderItem(item), QString());
    const auto missing = net.firstMissingHeaderField();
    QCOMPARE(missing ? missingFieldMessage(*missing) : QString(), message);
}

void TestNetModel::clearAllEmptiesTheNetButKeepsItsWindows()
{
    Net net;
    net.setTalkDocument(1);
    run(net, {"add 3", "call 1 k1abc", "qth 3 Boston", "active 1", "active 3", "talk 3", "tick 4", "close 2"});
    net.setHeader({QStringLiteral("start"), QStringLiteral("stop"), QStringLiteral("146.52"), QStringLiteral("FM"),
                   QStringLiteral("W1AW"), QStringLiteral("Hiram"), QStringLiteral("Newington"),
                   QStringLiteral("Comments\r\n")});
    net.pressIdTimer();
    for (int i = 0; i < 600; ++i)
        net.idTick();
    net.setSessionFileName(QStringLiteral("/nets/tuesday.kvs"));

    net.clearAll();

    QCOMPARE(states(net), QStringLiteral("1I 2- 3I"));
    QCOMPARE(talkTimes(net), QStringLiteral("00:00 00:00"));
    for (int n : net.participantNumbers()) {
        const Participant* p = net.participant(n);
        QVERIFY(p->callsign.isEmpty() && p->handle.isEmpty() && p->qth.isEmpty());
    }
    NetHeader empty;
    empty.mode = QStringLiteral("SSB");
    QCOMPARE(net.header(), empty);  // the comments too, unlike at start-up
    QVERIFY(!net.talkTimerEnabled());
    QCOMPARE(int(net.iTalkElapsed()), 0);
    QCOMPARE(net.idTimerState(), IdTimerState::Stopped);
    QCOMPARE(net.idTimerCaption(), QStringLiteral("00:00"));
    QCOMPARE(net.idTimerBackColor(), bgr::SysInactiveBorder);
    // The windows, their numbers, the turn's owner and the name Save writes to stay.
    QCOMPARE(net.lDocumentCount(), 3);
    QCOMPARE(int(net.iTalkDocument()), 3);
    QCOMPARE(net.sSessionFileName(), QStringLiteral("/nets/tuesday.kvs"));
}

void TestNetModel::limitOfOneHundredUntilTheNumberingRestarts()
{
    Net net;
    run(net, {"add 100", "close 50", "close 100"});
    QVERIFY(!net.canAddParticipant());
    QCOMPARE(net.addParticipant(), 0);  // closing windows makes no room
    QCOMPARE(net.lDocumentCount(), 100);
    QCOMPARE(net.participantNumbers().size(), 98);
    net.resetRegistry();
    QCOMPARE(net.lDocumentCount(), 0);
    QVERIFY(net.participantNumbers().isEmpty());
    QCOMPARE(net.addParticipant(), 1);
    QVERIFY(!net.participant(0) && !net.participant(2) && !net.participant(101));
}

void TestNetModel::listenersHearWhatChanged()
{
    Net net;
    net.setTalkDocument(1);
    run(net, {"add 2"});
    QSignalSpy station(&net, &Net::participantChanged);
    QSignalSpy changed(&net, &Net::changed);
    QSignalSpy header(&net, &Net::headerChanged);

    run(net, {"call 2 k1abc", "call 2 K1ABC"});  // the same text, upper-cased, is no change
    QCOMPARE(station.size(), 1);
    QCOMPARE(station.at(0).at(0).toInt(), 2);
    QCOMPARE(station.at(0).at(1).value<Net::Aspects>(), Net::Aspects(Net::Callsign));
    QCOMPARE(changed.size(), 1);

    run(net, {"active 2", "talk 2", "tick 1"});
    QCOMPARE(station.last().at(1).value<Net::Aspects>(), Net::Aspects(Net::TalkTime));
    const int changes = int(changed.size());
    run(net, {"tick 5"});
    QCOMPARE(changed.size(), changes);  // the count is not something a file holds

    net.setHeaderText(HeaderItem::Frequency, QStringLiteral("146.520"));
    net.setHeaderText(HeaderItem::Frequency, QStringLiteral("146.520"));
    QCOMPARE(header.size(), 1);
    QCOMPARE(header.at(0).at(0).value<HeaderItem>(), HeaderItem::Frequency);

    QSignalSpy status(&net, &Net::statusTextChanged);
    net.setStatusText(QStringLiteral("Status: Idle"));
    net.setStatusText(QStringLiteral("Status: Idle"));
    QCOMPARE(status.size(), 2);  // told each time: a screen reader repeats it
}

void TestNetModel::modifiedAndBlank_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("blank");
    QTest::newRow("start-up net") << QStringList{"add 1"} << true << true;
    QTest::newRow("empty windows") << QStringList{"add 4"} << true << true;
    QTest::newRow("a callsign") << QStringList{"add 2", "call 2 k1abc"} << true << false;
    QTest::newRow("an active station") << QStringList{"add 2", "active 1"} << true << false;
    QTest::newRow("typed and taken back") << QStringList{"add 1", "qth 1 x", "qth 1"} << true << true;
}

void TestNetModel::modifiedAndBlank()
{
    QFETCH(QStringList, script);
    Net net;
    QVERIFY(!net.isModified());
    QVERIFY(net.isBlank());
    run(net, script);
    QTEST(net.isModified(), "modified");
    QTEST(net.isBlank(), "blank");
    net.markSaved();
    QVERIFY(!net.isModified());
    net.setHeaderText(HeaderItem::Mode, QStringLiteral("FM"));
    QVERIFY(net.isModified());
    QVERIFY(!net.isBlank());
}

void TestNetModel::sessionHoldsOpenStationsInNumberOrder()
{
    Net net;
    net.setTalkDocument(1);
    run(net, {"add 3", "call 1 k1abc", "active 1", "talk 1", "call 3 n2def", "handle 3  Bea ", "close 2"});
    const SessionData session = sessionFromNet(net);
    QCOMPARE(session.header, net.header());
    const QList<ParticipantRecord> expected = {
        {true, QStringLiteral("K1ABC"), QString(), QString()},  // talking counts as active
        {false, QStringLiteral("N2DEF"), QStringLiteral(" Bea "), QString()},
    };
    QCOMPARE(session.participants, expected);
}

void TestNetModel::transferAnswerForgetsCallsignAndHandleOnCancel()
{
    Net net;
    net.setNewNetControl(NetControlStation{QStringLiteral("K2XYZ"), QStringLiteral("Bob"), QStringLiteral("Boston")});
    QCOMPARE(net.sNewQTH(), QStringLiteral("Boston"));
    net.setNewNetControl(std::nullopt);
    QVERIFY(net.sNewCallsign().isEmpty());
    QVERIFY(net.sNewHandle().isEmpty());
    QCOMPARE(net.sNewQTH(), QStringLiteral("Boston"));  // only ever read with a callsign
}

QTEST_GUILESS_MAIN(TestNetModel)
#include "test_net_model.moc"
