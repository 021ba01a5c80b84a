// The regulars' roster: which stations a typed text finds and in what order, what learning
// a net does to a station, the file as a spreadsheet or a damaged disk leaves it, and two
// programs writing the same file.
#include "files/RosterFile.h"
#include "files/RosterStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kolvane;

namespace {

// "K1ABC/Al/Boston" and so on, separated by ';' (a missing part is empty).
NetSighting net(const QString& start, const QString& stations, const QDate& date = QDate(2026, 12, 8))
{
    // Stamps like "Tue 1" name no day: the net is dated the day it is learnt.
    NetSighting n;
    n.start = start;
    n.cntrlCall = QStringLiteral("W1XYZ");
    n.learntOn = date;
    for (const QString& s : stations.split(u';', Qt::SkipEmptyParts)) {
        const QStringList p = s.split(u'/');
        n.stations.append({p.value(0), p.value(1), p.value(2)});
    }
    return n;
}

QString describe(const RosterStation* s)
{
    if (!s)
        return QStringLiteral("(none)");
    return QStringLiteral("%1/%2/%3 nets=%4 last=%5")
        .arg(s->callsign, s->handle, s->qth)
        .arg(s->nets)
        .arg(s->last.toString(Qt::ISODate));
}
}  // namespace

class TestRoster : public QObject {
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void learning_data();
    void learning();
    void fullRosterDropsTheLeastRecentlyHeard();
    void damagedFile_data();
    void damagedFile();
    void twoProgramsKeepEachOthersStations();
    void unusableRosterIsToldOnceAndLeftAlone();
};

void TestRoster::matching_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    // K1ABC in 3 nets, W2ABC in 2, W3AB, KA1B, K1AB and N0CALL in 1 (W3AB after K1AB);
    // Q1A in 1 net ... Q1J in 10.
    QTest::newRow("one character: nothing yet") << "K" << QStringList();
    QTest::newRow("suffix finds both districts") << "ABC" << QStringList{"K1ABC", "W2ABC"};
    QTest::newRow("suffix from two letters: most nets, then most recent")
        << "AB" << QStringList{"K1ABC", "W2ABC", "W3AB", "K1AB"};
    QTest::newRow("prefix, most nets first") << "K1" << QStringList{"K1ABC", "K1AB"};
    QTest::newRow("a suffix of one letter") << "KA" << QStringList{"KA1B"};
    QTest::newRow("lower case as typed") << "w2" << QStringList{"W2ABC"};
    QTest::newRow("suffix after the last digit") << "CA" << QStringList{"N0CALL"};
    QTest::newRow("more than eight: the best eight")
        << "Q1" << QStringList{"Q1J", "Q1I", "Q1H", "Q1G", "Q1F", "Q1E", "Q1D", "Q1C"};
}

void TestRoster::matching()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    Regulars regulars;
    auto roster = std::make_shared<Roster>();
    const QDate d(2026, 1, 1);
    for (int i = 1; i <= 3; ++i)
        roster->learn(net(QString::number(i), QStringLiteral("K1ABC;W2ABC"), d.addDays(i)));
    roster->forget(QStringLiteral("W2ABC"));
    roster->learn(net(QStringLiteral("a"), QStringLiteral("W2ABC;K1AB"), d));
    roster->learn(net(QStringLiteral("b"), QStringLiteral("W2ABC;N0CALL"), d));
    roster->learn(net(QStringLiteral("c"), QStringLiteral("KA1B"), d.addDays(9)));
    roster->learn(net(QStringLiteral("d"), QStringLiteral("W3AB"), d.addDays(5)));
    // Q1A heard once ... Q1J ten times.
    for (int i = 0; i < 10; ++i) {
        for (int k = 0; k <= i; ++k)
            roster->learn(net(QStringLiteral("q%1").arg(k), QStringLiteral("Q1") + QChar(u'A' + i), d));
    }
    roster->index();
    regulars.setRoster(roster);
    QStringList got;
    for (const Suggestion& s : regulars.suggest(typed, nullptr, 0))
        got << s.callsign;
    QCOMPARE(got, found);
}

void TestRoster::learning_data()
{
    // The nets learnt in turn, "start@day of December:stations", and what K1ABC is then.
    QTest::addColumn<QString>("nets");
    QTest::addColumn<QString>("station");
    QTest::newRow("the same net twice is one net") << "Tue 1@1:K1ABC/Al/Boston|Tue 1@1:K1ABC/Al/Boston"
                                                   << "K1ABC/Al/Boston nets=1 last=2026-12-01";
    QTest::newRow("two nets, two counts") << "Tue 1@1:K1ABC/Al/Boston|Tue 2@8:K1ABC/Al/Boston"
                                          << "K1ABC/Al/Boston nets=2 last=2026-12-08";
    QTest::newRow("the newest non-empty handle and QTH win") << "Tue 1@1:K1ABC/Al/Boston|Tue 2@8:K1ABC/Alan/"
                                                             << "K1ABC/Alan/Boston nets=2 last=2026-12-08";
    QTest::newRow("an older net learnt later only fills gaps") << "Tue 2@8:K1ABC/Alan/|Tue 1@1:K1ABC/Al/Boston"
                                                               << "K1ABC/Alan/Boston nets=2 last=2026-12-08";
    QTest::newRow("twice in one net counts once") << "Tue 1@1:K1ABC/Al/;k1abc//Boston"
                                                  << "K1ABC/Al/Boston nets=1 last=2026-12-01";
    QTest::newRow("an empty callsign is no station") << "Tue 1@1: /Nobody/Nowhere"
                                                     << "(none)";
}

void TestRoster::learning()
{
    QFETCH(QString, nets);
    QFETCH(QString, station);
    Roster roster;
    for (const QString& n : nets.split(u'|')) {
        const QStringList parts = n.split(QRegularExpression(QStringLiteral("[@:]")));
        roster.learn(net(parts[0], parts[2], QDate(2026, 12, parts[1].toInt())));
    }
    QCOMPARE(describe(roster.size() ? &roster.stations().first() : nullptr), station);
}

void TestRoster::fullRosterDropsTheLeastRecentlyHeard()
{
    Roster roster;
    const QDate first(2000, 1, 1);
    for (int i = 0; i <= Roster::kCapacity; ++i)
        roster.learn(net(QString::number(i), QStringLiteral("K%1Z").arg(i), first.addDays(i)));
    roster.trim();
    QCOMPARE(roster.size(), Roster::kCapacity);
    QVERIFY(!roster.find(QStringLiteral("K0Z")));
    QVERIFY(roster.find(QStringLiteral("K1Z")));
    QVERIFY(roster.find(QStringLiteral("K%1Z").arg(Roster::kCapacity)));
}

void TestRoster::damagedFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("stations");
    QTest::addColumn<int>("skipped");
    const QByteArray header = "Callsign\tHandle\tQTH\tNets\tLast heard\tNet keys\n";
    QTest::newRow("empty file") << QByteArray() << QStringList() << 0;
    QTest::newRow("saved by a spreadsheet: BOM, CR LF, quotes, no keys")
        << QByteArray("\xEF\xBB\xBF" + header + "k1abc\t\"Al \"\"Big\"\"\"\tBoston\t3\t2026-12-08\r\n")
        << QStringList{"K1ABC/Al \"Big\"/Boston nets=3 last=2026-12-08"} << 0;
    QTest::newRow("short, unnumbered, undated or nameless lines are skipped")
        << QByteArray(header + "K1ABC\tAl\n" + "K2ABC\tAl\tBoston\tmany\t2026-12-08\n"
                      + "K3ABC\tAl\tBoston\t2\t8 Dec 2026\n" + "\tAl\tBoston\t2\t2026-12-08\n"
                      + "K4ABC\tAl\tBoston\t0\t2026-12-08\n" + "K5ABC\tAl\tBoston\t2\t2026-12-08\tnot-hex\n")
        << QStringList{"K5ABC/Al/Boston nets=2 last=2026-12-08"} << 5;
    QTest::newRow("a second line for a station is skipped")
        << QByteArray(header + "K1ABC\tAl\tBoston\t2\t2026-12-08\nK1ABC\tX\tY\t9\t2026-12-09\n")
        << QStringList{"K1ABC/Al/Boston nets=2 last=2026-12-08"} << 1;
    QTest::newRow("broken UTF-8 is read around")
        << QByteArray(header + "K1ABC\tJos\xE9\tBoston\t2\t2026-12-08\n")
        << QStringList{QStringLiteral("K1ABC/Jos\uFFFD/Boston nets=2 last=2026-12-08")} << 0;
    QTest::newRow("binary garbage") << QByteArray("\0\t\t\t\t\n\xFF\xFE\t1\t2\t3\t4", 16) << QStringList() << 2;
}

void TestRoster::damagedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, stations);
    QFETCH(int, skipped);
    const RosterReadResult read = readRoster(bytes);
    QStringList got;
    for (const RosterStation& s : read.roster.stations())
        got << describe(&s);
    QCOMPARE(got, stations);
    QCOMPARE(read.skippedLines, skipped);
}

void TestRoster::twoProgramsKeepEachOthersStations()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/roster.tsv"));
    Regulars first;
    Regulars second;
    RosterStore a(first, path);
    RosterStore b(second, path);
    a.start();
    b.start();
    a.waitForWrites();
    b.waitForWrites();
    // Both programs write at the same moment, each from a roster that lacks the other's net.
    QSemaphore bothReady;
    const auto together = [&bothReady] {
        bothReady.release();
        bothReady.acquire(2);
        bothReady.release(2);
    };
    a.setWriteHook(together);
    b.setWriteHook(together);
    first.learn(net(QStringLiteral("Mon"), QStringLiteral("K1ABC/Al/Boston;K9GONE")));
    second.learn(net(QStringLiteral("Tue"), QStringLiteral("K1ABC//Salem;W2ABC/Bob/Albany")));
    a.waitForWrites();
    b.waitForWrites();
    a.setWriteHook({});
    first.forget(QStringLiteral("K9GONE"));
    a.waitForWrites();

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Roster onDisk = readRoster(file.readAll()).roster;
    QCOMPARE(onDisk.size(), 2);
    QCOMPARE(onDisk.find(QStringLiteral("K1ABC"))->nets, 2);
    QVERIFY(onDisk.find(QStringLiteral("W2ABC")));
    // Each program's suggestions hold what the file held when it last wrote.
    QCOMPARE(first.suggest(QStringLiteral("AB"), nullptr, 0).size(), 2);
    QVERIFY(first.suggest(QStringLiteral("K9"), nullptr, 0).isEmpty());
}

void TestRoster::unusableRosterIsToldOnceAndLeftAlone()
{
    QTemporaryDir dir;
    // A folder where the file should be: it cannot be read, and nothing is written over it.
    const QString path = dir.filePath(QStringLiteral("roster.tsv"));
    QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
    Regulars regulars;
    RosterStore store(regulars, path);
    QSignalSpy told(&store, &RosterStore::unusable);
    store.start();
    store.waitForWrites();
    regulars.learn(net(QStringLiteral("Mon"), QStringLiteral("K1ABC/Al/Boston")));
    store.waitForWrites();
    QCOMPARE(told.size(), 1);
    QVERIFY(told.first().first().toString().contains(QDir::toNativeSeparators(path)));
    QVERIFY(regulars.suggest(QStringLiteral("K1"), nullptr, 0).isEmpty());
    QVERIFY(QFileInfo(path).isDir());
}

QTEST_GUILESS_MAIN(TestRoster)
#include "test_roster.moc"
