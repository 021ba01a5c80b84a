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
#include <QStringEncoder>
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
    // K1ABC heard first in `weekly` nets (December 2, 3, ...), then the nets learnt in turn,
    // "start@day of December:stations", and what K1ABC is then.
    QTest::addColumn<int>("weekly");
    QTest::addColumn<QString>("nets");
    QTest::addColumn<QString>("station");
    QTest::newRow("the same net twice is one net") << 0 << "Tue 1@1:K1ABC/Al/Boston|Tue 1@1:K1ABC/Al/Boston"
                                                   << "K1ABC/Al/Boston nets=1 last=2026-12-01";
    QTest::newRow("two nets, two counts") << 0 << "Tue 1@1:K1ABC/Al/Boston|Tue 2@8:K1ABC/Al/Boston"
                                          << "K1ABC/Al/Boston nets=2 last=2026-12-08";
    QTest::newRow("the newest non-empty handle and QTH win") << 0 << "Tue 1@1:K1ABC/Al/Boston|Tue 2@8:K1ABC/Alan/"
                                                             << "K1ABC/Alan/Boston nets=2 last=2026-12-08";
    QTest::newRow("an older net learnt later only fills gaps") << 0 << "Tue 2@8:K1ABC/Alan/|Tue 1@1:K1ABC/Al/Boston"
                                                               << "K1ABC/Alan/Boston nets=2 last=2026-12-08";
    QTest::newRow("twice in one net counts once") << 0 << "Tue 1@1:K1ABC/Al/;k1abc//Boston"
                                                  << "K1ABC/Al/Boston nets=1 last=2026-12-01";
    QTest::newRow("an empty callsign is no station") << 0 << "Tue 1@1: /Nobody/Nowhere"
                                                     << "(none)";
    QTest::newRow("memory full: its oldest net opened again is not counted again")
        << 17 << "w0@2:K1ABC/Al/Boston"
        << "K1ABC/Al/Boston nets=17 last=2026-12-18";
    QTest::newRow("memory full: a new net counts") << 17 << "Tue 9@20:K1ABC"
                                                   << "K1ABC/Al/Boston nets=18 last=2026-12-20";
}

void TestRoster::learning()
{
    QFETCH(int, weekly);
    QFETCH(QString, nets);
    QFETCH(QString, station);
    Roster roster;
    for (int i = 0; i < weekly; ++i)
        roster.learn(net(QStringLiteral("w%1").arg(i), QStringLiteral("K1ABC/Al/Boston"), QDate(2026, 12, 2 + i)));
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
    // The file as an operator, a spreadsheet or a damaged disk leaves it ('|' for a tab), and
    // as the next write leaves it, header aside: no line is lost.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("written");
    const auto tsv = [](QByteArray b) { return b.replace('|', '\t'); };
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("saved by a spreadsheet: BOM, CR LF, quotes, lower case")
        << tsv("\xEF\xBB\xBF"
               "Callsign|Handle\r\nk1abc|\"Al \"\"Big\"\"\"|Boston|3|2026-12-08\r\n")
        << "K1ABC|Al \"Big\"|Boston|3|2026-12-08|";
    QTest::newRow("added by hand: one net, the day unknown")
        << tsv("W2ABC|Bob|Albany\nK3X\n") << "W2ABC|Bob|Albany|1||\nK3X|||1||";
    QTest::newRow("dates as a spreadsheet saves them; an ambiguous one kept as written")
        << tsv("K1A|||3|12/8/2026\nK2A|||0|12/8/26\nK3A|||many|25/12/2026\nK4A|||2|2026/1/"
               "5\nK5A|||2|8.12.26|0badc0de\n")
        << "K1A|||3|2026-12-08|\nK2A|||1|2026-12-08|\nK3A|||1|2026-12-25|\nK4A|||2|2026-01-05|\nK5A|||2|8.12.26|"
           "0badc0de";
    QTest::newRow("no callsign, or a station's second line: kept after the stations")
        << tsv("|Al|Boston\nk1abc|Al\nK1ABC|X|Y|9\n") << "K1ABC|Al||1||\n|Al|Boston\nK1ABC|X|Y|9";
    QTest::newRow("UTF-16 with a BOM, a spreadsheet's Unicode Text")
        << QByteArray(QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(
               QStringLiteral("Callsign\tHandle\r\nVE3ABC\tJos\u00e9\r\n")))
        << QStringLiteral("VE3ABC|Jos\u00e9||1||");
    QTest::newRow("the system's ANSI code page") << tsv("K1A|Jos\xE9|Montr\xE9"
                                                        "al\n")
                                                 << QStringLiteral("K1A|Jos\u00e9|Montr\u00e9al|1||");
}

void TestRoster::damagedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, written);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // as a spreadsheet shows dates
    const RosterReadResult read = readRoster(bytes);
    const QString text = QString::fromUtf8(rosterFileText(read.roster, read.leftovers));
    QCOMPARE(text.section(u'\n', 1).chopped(1).replace(u'\t', u'|'), written);
}

void TestRoster::twoProgramsKeepEachOthersStations()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("roster.tsv"));
    // Edited by hand: a station without nets or date, and a line that is no station.
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("W9OLD\tOld\n\tno callsign\n") > 0);
    file.close();
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

    QVERIFY(file.open(QIODevice::ReadOnly));
    const RosterReadResult onDisk = readRoster(file.readAll());
    QCOMPARE(onDisk.roster.size(), 3);
    QCOMPARE(onDisk.leftovers.lines, QStringList{"\tno callsign"});
    QCOMPARE(onDisk.roster.find(QStringLiteral("K1ABC"))->nets, 2);
    QVERIFY(onDisk.roster.find(QStringLiteral("W2ABC")));
    // Each program's suggestions hold what the file held when it last wrote.
    QCOMPARE(first.suggest(QStringLiteral("AB"), nullptr, 0).size(), 2);
    QCOMPARE(first.suggest(QStringLiteral("W9"), nullptr, 0).size(), 1);
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
