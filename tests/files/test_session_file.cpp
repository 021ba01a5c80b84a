// The session-file layer without windows: the layout byte for byte against golden files,
// the code page, line ends, refusals, files that end early, the transfer note and the
// atomic write.
#include "FileBytes.h"
#include "SessionPrinting.h"
#include "files/CodePage.h"
#include "files/SessionFile.h"
#include "files/SessionStorage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace kolvane;
using kolvane::test::golden;
using kolvane::test::readAll;
using kolvane::test::writeRaw;

namespace {

ParticipantRecord record(bool active, const QString& call, const QString& handle, const QString& qth)
{
    ParticipantRecord r;
    r.active = active;
    r.callsign = call;
    r.handle = handle;
    r.qth = qth;
    return r;
}

// The net of tests/data/session.kvs.
SessionData weeklyNet()
{
    SessionData s;
    s.header.start = QStringLiteral("Thursday, Jan/30/2003 9:05:07 PM");
    s.header.stop = QStringLiteral("Thursday, Jan/30/2003 10:15:00 PM");
    s.header.frequency = QStringLiteral("146.520");
    s.header.mode = QStringLiteral("FM");
    s.header.cntrlCall = QStringLiteral("W1AW");
    s.header.cntrlHandle = QStringLiteral("Hiram");
    s.header.cntrlQTH = QStringLiteral("Newington");
    s.header.comments = QStringLiteral("Comments\r\nWeekly check-in net");
    s.participants = {record(true, "K1ABC", "Al", "Hartford"), record(false, "N2DEF", "  Bea  ", ""),
                      record(true, "VE3GHI", "Carl", "Toronto, ON")};
    return s;
}

// tests/data/session-1252.kvs: every character fits Windows-1252, several above 0x7F.
SessionData europeanNet()
{
    SessionData s;
    s.header.start = QStringLiteral("Samstag, Feb.1.2003 20:00:00");
    s.header.frequency = QStringLiteral("3.650");
    s.header.mode = QStringLiteral("SSB");
    s.header.cntrlCall = QStringLiteral("DL1ABC");
    s.header.cntrlHandle = QString::fromUtf8("Jürgen");
    s.header.cntrlQTH = QString::fromUtf8("Köln");
    s.header.comments = QString::fromUtf8("Runde – Beitrag 5 €\r\nCafé «Stämmtisch»");
    s.participants = {record(true, "F5XYZ", QString::fromUtf8("José"), QString::fromUtf8("Façade, Évry")),
                      record(false, "OH2QQ", QString::fromUtf8("Päivi"), QString::fromUtf8("Åbo"))};
    return s;
}

// tests/data/session-utf8.kvs: Greek, Cyrillic and Japanese do not fit Windows-1252.
SessionData worldNet()
{
    SessionData s;
    s.header.start = QStringLiteral("Sunday, Feb/2/2003 7:00:00 PM");
    s.header.frequency = QStringLiteral("14.300");
    s.header.mode = QStringLiteral("SSB");
    s.header.cntrlCall = QStringLiteral("SV1AAA");
    s.header.cntrlHandle = QString::fromUtf8("Νίκος");
    s.header.cntrlQTH = QString::fromUtf8("Αθήνα");
    s.header.comments = QString::fromUtf8("東京 net — € 5");
    s.participants = {record(true, "UA3BBB", QString::fromUtf8("Дмитрий"), QString::fromUtf8("Москва")),
                      record(false, "JA1CCC", QString::fromUtf8("Ã©"), QString::fromUtf8("Tōkyō"))};
    return s;
}

QByteArray crlf(const QStringList& lines)
{
    QByteArray out;
    for (const QString& l : lines)
        out += l.toUtf8() + "\r\n";
    return out;
}

// A minimal complete file around the given comment and record lines.
QByteArray fileWith(const QStringList& comments, const QStringList& records, const QString& count)
{
    QStringList lines{
        "Kolvane Storage, file format 1.0", count, "start", "stop", "freq", "mode", "CALL", "handle", "qth"};
    lines << comments << "***/***" << records;
    return crlf(lines);
}

}  // namespace

class TestSessionFile : public QObject {
    Q_OBJECT

private slots:
    // ---------------------------------------------------------------- golden files

    void goldenFiles_matchByteForByte_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<SessionData>("session");
        QTest::addColumn<CodePage>("page");
        QTest::newRow("plain session") << golden("session.kvs") << weeklyNet() << CodePage::Windows1252;
        QTest::newRow("Windows-1252 above 0x7F")
            << golden("session-1252.kvs") << europeanNet() << CodePage::Windows1252;
        QTest::newRow("UTF-8") << golden("session-utf8.kvs") << worldNet() << CodePage::Utf8;
    }
    void goldenFiles_matchByteForByte()
    {
        QFETCH(QString, file);
        QFETCH(SessionData, session);
        QFETCH(CodePage, page);
        const QByteArray expected = readAll(file);

        CodePage written = page == CodePage::Utf8 ? CodePage::Windows1252 : CodePage::Utf8;
        QCOMPARE(writeSessionFile(session, &written), expected);
        QCOMPARE(written, page);

        const SessionReadResult read = readSessionFile(expected);
        QVERIFY2(read.ok(), qPrintable(read.reason));
        if (QString::fromLatin1(expected) != QString::fromUtf8(expected))  // ASCII reads alike both ways
            QCOMPARE(read.codePage, page);
        QCOMPARE(read.data, session);
    }

    void goldenTransferFile_matchesByteForByte()
    {
        const NetControlStation next{"K2XYZ", "Bob", "Boston"};
        const SessionData transfer =
            transferSession(weeklyNet(), next, QStringLiteral("Friday, Jan/31/2003 6:30:00 AM"));
        QCOMPARE(writeSessionFile(transfer), readAll(golden("transfer.kvs")));

        // The header, the comments and the records travel; only Net Control changes.
        const SessionReadResult read = readSessionFile(readAll(golden("transfer.kvs")));
        QVERIFY(read.ok());
        QCOMPARE(read.data.header.cntrlCall, QStringLiteral("K2XYZ"));
        QCOMPARE(read.data.header.cntrlHandle, QStringLiteral("Bob"));
        QCOMPARE(read.data.header.cntrlQTH, QStringLiteral("Boston"));
        QCOMPARE(read.data.header.start, weeklyNet().header.start);
        QCOMPARE(read.data.participants, weeklyNet().participants);
        QVERIFY(read.data.header.comments.startsWith(weeklyNet().header.comments + "\r\n//***On Friday"));
    }

    // ---------------------------------------------------------------- comments

    void comments_roundTripWithoutGrowing_data()
    {
        QTest::addColumn<QString>("comments");
        QTest::addColumn<QByteArray>("block");  // the file lines between QTH and separator
        QTest::newRow("empty") << QString() << QByteArray("\r\n");
        QTest::newRow("abc") << "abc" << QByteArray("abc\r\n");
        QTest::newRow("ending in a line break") << "abc\r\n" << QByteArray("abc\r\n\r\n");
        QTest::newRow("starting with a line break") << "\r\nabc" << QByteArray("\r\nabc\r\n");
        QTest::newRow("blank line inside") << "a\r\n\r\nb" << QByteArray("a\r\n\r\nb\r\n");
        QTest::newRow("only line breaks") << "\r\n\r\n" << QByteArray("\r\n\r\n\r\n");
        QTest::newRow("blanks kept") << "  lead\r\ntrail  " << QByteArray("  lead\r\ntrail  \r\n");
        QTest::newRow("default text") << "Comments\r\n" << QByteArray("Comments\r\n\r\n");
    }
    void comments_roundTripWithoutGrowing()
    {
        QFETCH(QString, comments);
        QFETCH(QByteArray, block);
        SessionData s = weeklyNet();
        s.header.comments = comments;
        const QByteArray first = writeSessionFile(s);
        QVERIFY2(first.contains("Newington\r\n" + block + "***/***\r\n"), first.constData());

        // save -> open -> save -> open: same text, same bytes, nothing added per cycle.
        const SessionReadResult once = readSessionFile(first);
        QVERIFY(once.ok());
        QCOMPARE(once.data.header.comments, comments);
        const QByteArray second = writeSessionFile(once.data);
        QCOMPARE(second, first);
        QCOMPARE(readSessionFile(second).data, s);
    }

    void comments_loneLineBreaksWrittenAsCrLf()
    {
        SessionData s = weeklyNet();
        s.header.comments = "one\ntwo\rthree\r\nfour";
        const QByteArray bytes = writeSessionFile(s);
        QVERIFY(bytes.contains("Newington\r\none\r\ntwo\r\nthree\r\nfour\r\n***/***\r\n"));
        QCOMPARE(readSessionFile(bytes).data.header.comments, QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
    }

    void comments_separatorLineEndsThem()
    {
        // A comment line reading exactly ***/*** ends the comments; what follows is records.
        const QByteArray bytes = fileWith({"before", "***/***", "True", "X1X", "h", "q"}, {}, "1");
        const SessionReadResult read = readSessionFile(bytes);
        QVERIFY(read.ok());
        QCOMPARE(read.data.header.comments, QStringLiteral("before"));
        QCOMPARE(read.data.participants, QList<ParticipantRecord>{record(true, "X1X", "h", "q")});
    }

    void comments_withoutSeparatorTakeTheRestOfTheFile()
    {
        const QByteArray bytes = crlf({"x", "2", "s", "t", "f", "m", "C", "H", "Q", "c1", "True", "A1A"});
        const SessionReadResult read = readSessionFile(bytes);
        QVERIFY(read.ok());
        QCOMPARE(read.data.header.comments, QStringLiteral("c1\r\nTrue\r\nA1A"));
        QCOMPARE(read.data.participants, (QList<ParticipantRecord>{ParticipantRecord(), ParticipantRecord()}));
    }

    // ---------------------------------------------------------------- values and lines

    void singleLineValues_lineBreaksBecomeBlanks()
    {
        SessionData s = weeklyNet();
        s.header.frequency = "146.520\r\nMHz";
        s.header.cntrlQTH = "New\nington";
        s.participants[0].handle = "A\rl";
        s.participants[2].qth = "Toronto\r\n\r\nON";
        const SessionReadResult read = readSessionFile(writeSessionFile(s));
        QVERIFY(read.ok());
        QCOMPARE(read.data.header.frequency, QStringLiteral("146.520 MHz"));
        QCOMPARE(read.data.header.cntrlQTH, QStringLiteral("New ington"));
        QCOMPARE(read.data.header.comments, s.header.comments);
        QCOMPARE(read.data.participants.size(), 3);
        QCOMPARE(read.data.participants[0].handle, QStringLiteral("A l"));
        QCOMPARE(read.data.participants[1], s.participants[1]);
        QCOMPARE(read.data.participants[2].qth, QStringLiteral("Toronto  ON"));
    }

    void lineEnds_allReadAlike_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<bool>("finalEnd");
        QTest::newRow("CR LF") << QByteArray("\r\n") << true;
        QTest::newRow("lone CR") << QByteArray("\r") << true;
        QTest::newRow("lone LF") << QByteArray("\n") << true;
        QTest::newRow("CR LF, last line open") << QByteArray("\r\n") << false;
        QTest::newRow("lone LF, last line open") << QByteArray("\n") << false;
    }
    void lineEnds_allReadAlike()
    {
        QFETCH(QByteArray, lineEnd);
        QFETCH(bool, finalEnd);
        QByteArray bytes = writeSessionFile(weeklyNet());
        bytes.replace("\r\n", lineEnd);
        if (!finalEnd)
            bytes.chop(lineEnd.size());
        const SessionReadResult read = readSessionFile(bytes);
        QVERIFY(read.ok());
        QCOMPARE(read.data, weeklyNet());
    }

    void mixedLineEnds_eachIsOneEnd()
    {
        // LF CR is two ends with an empty line between; CR LF is one.
        const QByteArray bytes = "x\n3\rs\r\nt\n\rm\rC\nH\r\nQ\n\n***/***\rTrue\nA1A\r\n\r\n\n";
        const SessionReadResult read = readSessionFile(bytes);
        QVERIFY(read.ok());
        QCOMPARE(read.data.header.start, QStringLiteral("s"));
        QCOMPARE(read.data.header.stop, QStringLiteral("t"));
        QCOMPARE(read.data.header.frequency, QString());
        QCOMPARE(read.data.header.mode, QStringLiteral("m"));
        QCOMPARE(read.data.header.cntrlQTH, QStringLiteral("Q"));
        QCOMPARE(read.data.header.comments, QString());
        QCOMPARE(read.data.participants.value(0), record(true, "A1A", "", ""));
    }

    void activeFlag_onlyExactTrue_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("active");
        QTest::newRow("True") << "True" << true;
        QTest::newRow("False") << "False" << false;
        QTest::newRow("true") << "true" << false;
        QTest::newRow("TRUE") << "TRUE" << false;
        QTest::newRow("leading blank") << " True" << false;
        QTest::newRow("trailing blank") << "True " << false;
        QTest::newRow("-1") << "-1" << false;
        QTest::newRow("empty") << "" << false;
    }
    void activeFlag_onlyExactTrue()
    {
        QFETCH(QString, flag);
        QFETCH(bool, active);
        const SessionReadResult read = readSessionFile(fileWith({"c"}, {flag, "K1A", "h", "q"}, "1"));
        QVERIFY(read.ok());
        QCOMPARE(read.data.participants.value(0).active, active);
        QCOMPARE(read.data.participants.value(0).callsign, QStringLiteral("K1A"));
    }

    void noParticipants_separatorIsTheLastLine()
    {
        SessionData s = weeklyNet();
        s.participants.clear();
        const QByteArray bytes = writeSessionFile(s);
        QVERIFY(bytes.startsWith("Kolvane Storage, file format 1.0\r\n0\r\n"));
        QVERIFY(bytes.endsWith("Weekly check-in net\r\n***/***\r\n"));
        const SessionReadResult read = readSessionFile(bytes);
        QVERIFY(read.ok());
        QVERIFY(read.data.participants.isEmpty());
    }

    void firstLine_isNeverCompared_data()
    {
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("other program") << QByteArray("Some Other Storage, format 9");
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFKolvane Storage, file format 1.0");
    }
    void firstLine_isNeverCompared()
    {
        QFETCH(QByteArray, firstLine);
        QByteArray bytes = writeSessionFile(weeklyNet());
        bytes = firstLine + bytes.mid(bytes.indexOf("\r\n"));
        const SessionReadResult read = readSessionFile(bytes);
        QVERIFY(read.ok());
        QCOMPARE(read.data, weeklyNet());
    }

    // ---------------------------------------------------------------- refusals

    void recordCount_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");  // -1: refused as not a session file
        const QByteArray l1 = "Kolvane Storage, file format 1.0\r\n";
        QTest::newRow("empty file") << QByteArray() << -1;
        QTest::newRow("line 1 only") << l1 << -1;
        QTest::newRow("line 1 without end") << QByteArray("Kolvane Storage") << -1;
        QTest::newRow("line 2 empty") << l1 + "\r\n" << -1;
        QTest::newRow("blanks only") << l1 + "   \r\n" << -1;
        QTest::newRow("letters") << l1 + "abc\r\n" << -1;
        QTest::newRow("digits then letters") << l1 + "3x\r\n" << -1;
        QTest::newRow("negative") << l1 + "-1\r\n" << -1;
        QTest::newRow("plus sign") << l1 + "+3\r\n" << -1;
        QTest::newRow("fraction") << l1 + "1.5\r\n" << -1;
        QTest::newRow("above 16 bits") << l1 + "32768\r\n" << -1;
        QTest::newRow("huge") << l1 + "99999999999999999999\r\n" << -1;
        QTest::newRow("Arabic-Indic digit") << l1 + "\xD9\xA3\r\n" << -1;
        QTest::newRow("zero") << l1 + "0\r\n" << 0;
        QTest::newRow("blanks around") << l1 + " \t2 \r\n" << 2;
        QTest::newRow("leading zeros") << l1 + "007\r\n" << 7;
        QTest::newRow("largest") << l1 + "32767" << 32767;
    }
    void recordCount()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, count);
        const SessionReadResult read = readSessionFile(file);
        if (count < 0) {
            QCOMPARE(read.error, SessionReadError::NotASessionFile);
            QVERIFY(read.reason.contains("line 2"));
            QVERIFY(read.data.participants.isEmpty());
        } else {
            QVERIFY(read.ok());
            // Records the file does not hold are there, empty and inactive.
            QCOMPARE(read.data.participants.size(), count);
            for (const ParticipantRecord& r : read.data.participants)
                QCOMPARE(r, ParticipantRecord());
        }
    }

    void sizeBound()
    {
        QByteArray atLimit = writeSessionFile(weeklyNet());
        atLimit.append(QByteArray(kMaxSessionFileBytes - atLimit.size(), 'x'));
        QCOMPARE(qint64(atLimit.size()), kMaxSessionFileBytes);
        QVERIFY(readSessionFile(atLimit).ok());

        atLimit.append('x');
        const SessionReadResult read = readSessionFile(atLimit);
        QCOMPARE(read.error, SessionReadError::TooLarge);
        QVERIFY(read.reason.contains("16 MiB"));
    }

    // ---------------------------------------------------------------- files that end early

    void fileEndingEarly_leavesTheRestEmpty()
    {
        // Only start and stop of the header, then the end: nothing repeats the last line read.
        SessionReadResult read = readSessionFile(crlf({"x", "2", "start", "stop"}));
        QVERIFY(read.ok());
        QCOMPARE(read.data.header.start, QStringLiteral("start"));
        QCOMPARE(read.data.header.stop, QStringLiteral("stop"));
        NetHeader expected;
        expected.start = "start";
        expected.stop = "stop";
        QCOMPARE(read.data.header, expected);
        QCOMPARE(read.data.participants, (QList<ParticipantRecord>{ParticipantRecord(), ParticipantRecord()}));

        // Three announced, one and a half present.
        read = readSessionFile(fileWith({"c"}, {"True", "A1A", "Al", "Here", "True", "B2B"}, "3"));
        QVERIFY(read.ok());
        QCOMPARE(read.data.participants, (QList<ParticipantRecord>{record(true, "A1A", "Al", "Here"),
                                                                   record(true, "B2B", "", ""), ParticipantRecord()}));
    }

    void moreRecordsThanAnnounced_areIgnored()
    {
        const SessionReadResult read =
            readSessionFile(fileWith({"c"}, {"True", "A", "B", "C", "True", "D", "E", "F"}, "1"));
        QVERIFY(read.ok());
        QCOMPARE(read.data.participants, QList<ParticipantRecord>{record(true, "A", "B", "C")});
    }

    // ---------------------------------------------------------------- code page

    void codePage_choice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<CodePage>("page");
        QTest::newRow("ASCII") << "W1AW Hiram" << CodePage::Windows1252;
        QTest::newRow("Latin letters") << QString::fromUtf8("Jürgen Köln Façade") << CodePage::Windows1252;
        QTest::newRow("euro and dashes") << QString::fromUtf8("5 € – “quoted”") << CodePage::Windows1252;
        QTest::newRow("looks like UTF-8 in 1252") << QString::fromUtf8("Ã©") << CodePage::Utf8;
        QTest::newRow("looks like UTF-8 among others") << QString::fromUtf8("Ã© and ü") << CodePage::Windows1252;
        QTest::newRow("Cyrillic") << QString::fromUtf8("Дмитрий") << CodePage::Utf8;
        QTest::newRow("one Greek letter among Latin") << QString::fromUtf8("Café π") << CodePage::Utf8;
        QTest::newRow("emoji") << QString::fromUtf8("net \U0001F4FB") << CodePage::Utf8;
        QTest::newRow("byte 0x81 of 1252") << QString(QChar(0x81)) << CodePage::Windows1252;
    }
    void codePage_choice()
    {
        QFETCH(QString, text);
        QFETCH(CodePage, page);
        QCOMPARE(codePageFor(text), page);
        CodePage written = page == CodePage::Utf8 ? CodePage::Windows1252 : CodePage::Utf8;
        const QByteArray bytes = encodeSessionText(text, &written);
        QCOMPARE(written, page);
        CodePage read = page == CodePage::Utf8 ? CodePage::Windows1252 : CodePage::Utf8;
        QCOMPARE(decodeSessionText(bytes, &read), text);
        // Pure ASCII reads the same either way; anything else must be read as written.
        if (bytes.contains('\x80') || text != QString::fromLatin1(bytes))
            QCOMPARE(read, page);
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    }

    void codePage_reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1252 e acute") << QByteArray("Caf\xE9") << QString::fromUtf8("Café");
        QTest::newRow("1252 euro") << QByteArray("\x80 5") << QString::fromUtf8("€ 5");
        QTest::newRow("UTF-8 e acute") << QByteArray("Caf\xC3\xA9") << QString::fromUtf8("Café");
        QTest::newRow("UTF-8 cut short is 1252") << QByteArray("Caf\xC3") << QString::fromUtf8("CafÃ");
        QTest::newRow("overlong UTF-8 is 1252") << QByteArray("\xC0\x80") << QString::fromUtf8("À€");
        QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBFK") << QStringLiteral("K");
    }
    void codePage_reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeSessionText(bytes), text);
    }

    void codePage_wholeSessionDecides()
    {
        // One character that does not fit sends the whole file to UTF-8, the header too.
        SessionData s = europeanNet();
        s.participants[1].qth = QString::fromUtf8("Åbo ✓");
        CodePage page = CodePage::Windows1252;
        const QByteArray bytes = writeSessionFile(s, &page);
        QCOMPARE(page, CodePage::Utf8);
        QVERIFY(bytes.contains("J\xC3\xBCrgen"));
        QCOMPARE(readSessionFile(bytes).data, s);
    }

    // ---------------------------------------------------------------- transfer

    void transfer_commentsBlock_data()
    {
        QTest::addColumn<QString>("comments");
        QTest::addColumn<QByteArray>("block");
        const QByteArray note = "//***On D T\r\nNet Control was transferred from\r\nW1AW, Hiram in Newington to\r\n"
                                "K2XYZ, Bob in Boston***//\r\n***/***\r\n";
        QTest::newRow("empty comments: empty line first") << QString() << "Newington\r\n\r\n" + note;
        QTest::newRow("abc") << "abc"
                             << "Newington\r\nabc\r\n" + note;
        QTest::newRow("ending in a line break: empty line between") << "abc\r\n"
                                                                    << "Newington\r\nabc\r\n\r\n" + note;
    }
    void transfer_commentsBlock()
    {
        QFETCH(QString, comments);
        QFETCH(QByteArray, block);
        SessionData s = weeklyNet();
        s.header.comments = comments;
        const QByteArray bytes = writeSessionFile(transferSession(s, {"K2XYZ", "Bob", "Boston"}, "D T"));
        QVERIFY2(bytes.contains("Boston\r\n" + block.mid(11)), bytes.constData());
        QVERIFY(bytes.contains("K2XYZ\r\nBob\r\nBoston\r\n"));
    }

    // ---------------------------------------------------------------- files on disk

    void atomicWrite_replacesWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("net.kvs");
        QVERIFY(writeRaw(path, QByteArray(5000, 'o')));
        QCOMPARE(writeFileAtomically(path, "short"), QString());
        QCOMPARE(readAll(path), QByteArray("short"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"net.kvs"});
    }

    void atomicWrite_failures_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << "nowhere/net.kvs";
        QTest::newRow("path is a folder") << "folder";
        QTest::newRow("below a file") << "plain/net.kvs";
    }
    void atomicWrite_failures()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("folder"));
        QVERIFY(writeRaw(dir.filePath("folder/inside.kvs"), "kept"));
        QVERIFY(writeRaw(dir.filePath("plain"), "old"));

        const QString reason = writeFileAtomically(dir.filePath(relative), "new bytes");
        QVERIFY(!reason.isEmpty());
        // Nothing new appeared and nothing old changed.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"folder", "plain"}));
        QCOMPARE(readAll(dir.filePath("folder/inside.kvs")), QByteArray("kept"));
        QCOMPARE(readAll(dir.filePath("plain")), QByteArray("old"));
        QVERIFY(!writeFileAtomically(QString(), "x").isEmpty());
    }

#ifdef Q_OS_UNIX
    void atomicWrite_interruptedWriteKeepsOldFile()
    {
        // A write that fails half-way (the file-size limit stands in for a full disk) must
        // leave the previous file as it was and no temporary file behind.
        QTemporaryDir dir;
        const QString path = dir.filePath("net.kvs");
        const QByteArray old = writeSessionFile(weeklyNet());
        QVERIFY(writeRaw(path, old));
        const QByteArray bigger = QByteArray(old) + QByteArray(100000, 'x');

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString reason = writeFileAtomically(path, bigger);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);

        QVERIFY(!reason.isEmpty());
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"net.kvs"});
    }
#endif
};

QTEST_GUILESS_MAIN(TestSessionFile)
#include "test_session_file.moc"
