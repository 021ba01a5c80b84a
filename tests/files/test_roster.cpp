// The regulars' roster: what learning nets does to a station, the file as an operator, a
// spreadsheet or a damaged disk leaves it, two programs writing the same file and one that
// cannot.
#include "files/RosterFile.h"
#include "files/RosterStore.h"

#include <QFileInfo>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace kolvane;

namespace {

// "start@day of December@K1ABC/Al/Boston;W2ABC//Salem" (a missing part is empty).
NetSighting net(const QString& line)
{
    NetSighting n{
        line.section(u'@', 0, 0), QStringLiteral("W1XYZ"), QDate(2026, 12, line.section(u'@', 1, 1).toInt()), {}};
    for (const QString& s : line.section(u'@', 2).split(u';'))
        n.stations.append({s.section(u'/', 0, 0), s.section(u'/', 1, 1), s.section(u'/', 2, 2)});
    return n;
}

}  // namespace

class TestRoster : public QObject {
    Q_OBJECT

private slots:
    void file_data();
    void file();
    void twoProgramsKeepEachOthersStations();
};

void TestRoster::file_data()
{
    // The file as an operator, a spreadsheet or a damaged disk leaves it ('|' for a tab), the
    // nets then learnt, and the file as the next write leaves it, header and net keys aside.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("nets");
    QTest::addColumn<QString>("written");
    const auto tsv = [](QByteArray b) { return b.replace('|', '\t'); };
    const auto row = [](const char* name, const QByteArray& bytes, const char* nets, const QString& written) {
        QTest::newRow(name) << bytes << QString::fromLatin1(nets) << written;
    };
    row("two nets; the newest non-empty handle and QTH win", {}, "1@1@K1ABC/Al/Boston|2@8@k1abc/Alan/",
        "K1ABC|Alan|Boston|2|2026-12-08");
    row("an older net learnt later only fills gaps", {}, "2@8@K1ABC/Alan/|1@1@K1ABC/Al/Boston",
        "K1ABC|Alan|Boston|2|2026-12-08");
    row("a net learnt twice, a station twice in it: once; no callsign, no station", {},
        "1@1@K1ABC/Al/; /Nobody/;K1ABC//Boston|1@1@K1ABC", "K1ABC|Al|Boston|1|2026-12-01");
    QByteArray full = "K1ABC|Al|Boston|16|2026-12-18|";
    for (int day = 3; day <= 18; ++day)
        full += QByteArray::number(day, 16).rightJustified(8, '0') + ":202612"
                + QByteArray::number(day).rightJustified(2, '0') + ' ';
    row("memory full: a net older than all it remembers is not counted, a new one is", tsv(full),
        "w0@2@K1ABC|9@20@K1ABC", "K1ABC|Al|Boston|17|2026-12-20");
    row("saved by a spreadsheet: BOM, CR LF, quotes, lower case",
        tsv("\xEF\xBB\xBF"
            "Callsign|Handle\r\nk1abc|\"Al \"\"Big\"\"\"|Boston|3|2026-12-08\r\n"),
        "", "K1ABC|Al \"Big\"|Boston|3|2026-12-08");
    row("added by hand: one net, the day unknown", tsv("W2ABC|Bob|Albany\nK3X\n"), "", "W2ABC|Bob|Albany|1|\nK3X|||1|");
    row("dates as a spreadsheet saves them; an ambiguous one kept as written",
        tsv("A1|||3|12/8/2026\nA2|||0|12/8/26\nA3|||x|25/12/2026\nA4|||2|2026/1/5\nA5|||2|8.12.26\n"), "",
        "A1|||3|2026-12-08\nA2|||1|2026-12-08\nA3|||1|2026-12-25\nA4|||2|2026-01-05\nA5|||2|8.12.26");
    row("no callsign, or a station's second line: kept after the stations", tsv("|Al|Boston\nk1abc|Al\nK1ABC|X|Y|9\n"),
        "", "K1ABC|Al||1|\n|Al|Boston\nK1ABC|X|Y|9");
    row("UTF-16 with a BOM, a spreadsheet's Unicode Text",
        QStringEncoder(QStringConverter::Utf16LE,
                       QStringConverter::Flag::WriteBom)(u"Callsign\tHandle\r\nVE3A\tJos\u00e9\r\n"),
        "", QStringLiteral("VE3A|Jos\u00e9||1|"));
    row("the system's ANSI code page", tsv("K1A|Jos\xE9\n"), "", QStringLiteral("K1A|Jos\u00e9||1|"));
}

void TestRoster::file()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, nets);
    QFETCH(QString, written);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // as a spreadsheet shows dates
    RosterReadResult read = readRoster(bytes);
    for (const QString& n : nets.split(u'|', Qt::SkipEmptyParts))
        read.roster.learn(net(n));
    QStringList lines = QString::fromUtf8(rosterFileText(read.roster, read.leftovers)).split(u'\n').mid(1);
    for (QString& line : lines)
        line = line.section(u'\t', 0, 4).replace(u'\t', u'|');
    QCOMPARE(lines.join(u'\n').chopped(1), written);
}

void TestRoster::twoProgramsKeepEachOthersStations()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("roster.tsv")));
    // Edited by hand: a station without nets or date, and a line that is no station.
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("W9OLD\tOld\n\tno callsign\n") > 0);
    file.close();
    Regulars first;
    Regulars second;
    RosterStore a(first, file.fileName());
    RosterStore b(second, file.fileName());
    // Both programs write at the same moment, each from a roster that lacks the other's net.
    QSemaphore bothReady;
    const auto together = [&bothReady] {
        bothReady.release();
        bothReady.acquire(2);
        bothReady.release(2);
    };
    a.setWriteHook(together);
    b.setWriteHook(together);
    first.learn(net(QStringLiteral("Mon@7@K1ABC/Al/Boston;K9GONE")));
    second.learn(net(QStringLiteral("Tue@8@K1ABC//Salem;W2ABC/Bob/Albany")));
    a.start();
    b.start();
    a.waitForWrites();
    b.waitForWrites();
    a.setWriteHook({});
    first.forget(QStringLiteral("K9GONE"));
    a.waitForWrites();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const RosterReadResult onDisk = readRoster(file.readAll());
    QCOMPARE(onDisk.roster.size(), 3);
    QCOMPARE(onDisk.roster.find(QStringLiteral("K1ABC"))->nets, 2);
    QCOMPARE(onDisk.leftovers.lines, QStringList{"\tno callsign"});
    // Each program's suggestions hold what the file held when it last wrote.
    QCOMPARE(first.suggest(QStringLiteral("AB"), nullptr, 0).size(), 2);
    // A third whose roster is a folder is told once, and writes nothing over it.
    Regulars third;
    RosterStore c(third, dir.path());
    QSignalSpy told(&c, &RosterStore::unusable);
    c.start();
    c.waitForWrites();
    third.learn(net(QStringLiteral("Wed@9@K1ABC")));
    c.waitForWrites();
    QCOMPARE(told.size(), 1);
    QVERIFY(third.suggest(QStringLiteral("K1"), nullptr, 0).isEmpty() && QFileInfo(dir.path()).isDir());
}

QTEST_GUILESS_MAIN(TestRoster)
#include "test_roster.moc"
