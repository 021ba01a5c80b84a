// The recovery copy without any window: what is written and when, that a stalled disk never
// holds up the net, what is left behind when the program stops, which copies are offered
// back, and the failures the operator must hear of. Linked without Qt Widgets.
#include "files/NetSession.h"
#include "files/RecoveryCopy.h"
#include "files/SessionStorage.h"
#include "net/Net.h"
#include "support/SampleNet.h"
#include "support/StaleLock.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

using namespace kolvane;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A net as the operator has it after a few check-ins.
void fillNet(Net& net)
{
    net.setTalkDocument(1);
    while (net.lDocumentCount() < 3)
        net.addParticipant();
    net.setHeader(test::weeklyNetHeader(QStringLiteral("Weekly net")));
    net.setCallsign(1, QStringLiteral("k1abc"));
    net.pressActive(1, 1);
    net.setCallsign(3, QStringLiteral("n2def"));
}

void leaveStaleLock(const QString& path)
{
    QVERIFY(test::leaveStaleLock(path));
}

// A copy left behind by another program, as that program wrote it.
LeftCopy leaveCopy(const QString& folder, const QString& id, const SessionData& session, const RecoveryInfo& info,
                   bool ownerAlive = false)
{
    LeftCopy copy{id, info, session};
    writeAll(folder + u'/' + id + QStringLiteral(".kvs"), writeSessionFile(session));
    writeAll(folder + u'/' + id + QStringLiteral(".info"), recoveryInfoText(info));
    if (!ownerAlive)
        leaveStaleLock(folder + u'/' + id + QStringLiteral(".lock"));
    return copy;
}

SessionData netNamed(const QString& call, int stations)
{
    SessionData s;
    s.header.start = QStringLiteral("start");
    s.header.frequency = QStringLiteral("7.200");
    s.header.mode = QStringLiteral("SSB");
    s.header.cntrlCall = call;
    for (int i = 0; i < stations; ++i)
        s.participants << ParticipantRecord{i == 0, QStringLiteral("K%1X").arg(i), QString(), QString()};
    return s;
}

}  // namespace

class TestRecoveryCopy : public QObject {
    Q_OBJECT

private slots:
    void infoReadsBackAsWritten_data();
    void infoReadsBackAsWritten();
    void infoThatIsNotOursIsRefused_data();
    void infoThatIsNotOursIsRefused();
    void everyChangeReachesTheCopy_data();
    void everyChangeReachesTheCopy();
    void aChangeIsOnDiskWithinTwoSeconds();
    void aStalledDiskHoldsNothingUp();
    void whatIsLeftWhenTheNetCloses_data();
    void whatIsLeftWhenTheNetCloses();
    void leftCopiesOffered_data();
    void leftCopiesOffered();
    void damagedCopiesAreToldNotOffered_data();
    void damagedCopiesAreToldNotOffered();
    void leftLocksTidied_data();
    void leftLocksTidied();
    void aClaimedCopyIsNotOfferedTwice();
    void twoProgramsKeepTheirOwnCopies();
    void failuresAreToldOnce_data();
    void failuresAreToldOnce();
    void defaultFolderIsTheStateFolder();
};

void TestRecoveryCopy::infoReadsBackAsWritten_data()
{
    QTest::addColumn<QString>("savedAs");
    QTest::addColumn<bool>("saved");
    QTest::newRow("no name") << QString() << false;
    QTest::newRow("plain path") << "/home/op/nets/tuesday.kvs" << true;
    QTest::newRow("blanks, percent, equals, line break") << QStringLiteral("/nets/a b%20=c\nd.kvs") << false;
    QTest::newRow("outside Latin-1") << QStringLiteral("/nets/\u0421\u0435\u0442\u044c.kvs") << true;
}

void TestRecoveryCopy::infoReadsBackAsWritten()
{
    QFETCH(QString, savedAs);
    QFETCH(bool, saved);
    const RecoveryInfo info{savedAs,
                            QDateTime(QDate(2026, 12, 8), QTime(21, 14, 5, 123), Qt::UTC),
                            saved,
                            {copyCheck(savedAs.toUtf8()), copyCheck(QByteArray())}};
    const std::optional<RecoveryInfo> back = parseRecoveryInfo(recoveryInfoText(info));
    QVERIFY(back);
    QCOMPARE(*back, info);
}

void TestRecoveryCopy::infoThatIsNotOursIsRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a session file") << QByteArray("Kolvane Storage, file format 1.0\r\n0\r\n");
    QTest::newRow("no time") << QByteArray("Kolvane recovery copy 1\r\nsaved-as=\r\nsaved=false\r\n");
    QTest::newRow("bad time") << QByteArray("Kolvane recovery copy 1\r\nchanged=yesterday\r\nsaved=false\r\n");
    QTest::newRow("no saved flag") << QByteArray("Kolvane recovery copy 1\r\nchanged=2026-12-08T21:14:05.000Z\r\n");
    QTest::newRow("odd saved flag") << QByteArray(
        "Kolvane recovery copy 1\r\nchanged=2026-12-08T21:14:05.000Z\r\nsaved=yes\r\n");
    const QByteArray rest = "\r\nchanged=2026-12-08T21:14:05.000Z\r\nsaved=false\r\n";
    const QByteArray sha(64, 'a');
    QTest::newRow("copy without checksum") << "Kolvane recovery copy 1\r\ncopy=12" + rest;
    QTest::newRow("checksum cut short") << "Kolvane recovery copy 1\r\ncopy=12 ab12" + rest;
    QTest::newRow("length not a number") << "Kolvane recovery copy 1\r\ncopy=-3 " + sha + rest;
    QTest::newRow("cut after the checksum") << "Kolvane recovery copy 1\r\ncopy=12 " + sha + "\r\n";
}

void TestRecoveryCopy::infoThatIsNotOursIsRefused()
{
    QFETCH(QByteArray, text);
    QVERIFY(!parseRecoveryInfo(text));
}

void TestRecoveryCopy::everyChangeReachesTheCopy_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("kept");  // false: nothing worth keeping, the copy is gone
    QTest::newRow("typing in the header") << "header" << true;
    QTest::newRow("a new station") << "add" << true;
    QTest::newRow("typing a callsign") << "callsign" << true;
    QTest::newRow("Active") << "active" << true;
    QTest::newRow("Talk") << "talk" << true;
    QTest::newRow("Clear") << "clear" << true;
    QTest::newRow("a window closed") << "close" << true;
    QTest::newRow("a Save As name chosen") << "save as" << true;
    QTest::newRow("saved") << "saved" << true;
    QTest::newRow("Clear All") << "clear all" << false;
    QTest::newRow("New Session") << "new" << false;
}

void TestRecoveryCopy::everyChangeReachesTheCopy()
{
    QFETCH(QString, change);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    Net net;
    RecoveryCopy recovery(net, dir.path());
    QVERIFY(recovery.start());
    fillNet(net);
    recovery.writeNow();
    recovery.waitForWrites();
    QVERIFY(QFile::exists(recovery.copyPath()));

    if (change == QLatin1String("header"))
        net.setHeaderText(HeaderItem::Comments, QStringLiteral("Weekly net\r\nW2XYZ checked in late"));
    else if (change == QLatin1String("add"))
        net.addParticipant();
    else if (change == QLatin1String("callsign"))
        net.setCallsign(2, QStringLiteral("w3ghi"));
    else if (change == QLatin1String("active"))
        net.pressActive(3, 3);
    else if (change == QLatin1String("talk"))
        net.pressTalk(1, 1);
    else if (change == QLatin1String("clear"))
        net.pressClear(1, 1);
    else if (change == QLatin1String("close"))
        net.participantClosed(1);
    else if (change == QLatin1String("save as"))
        net.setSessionFileName(QStringLiteral("/nets/tuesday.kvs"));
    else if (change == QLatin1String("saved"))
        net.markSaved();
    else if (change == QLatin1String("clear all"))
        net.clearAll();
    else if (change == QLatin1String("new")) {
        net.resetRegistry();
        net.addParticipant();
        net.clearAll();
    }
    recovery.writeNow();
    recovery.waitForWrites();

    QCOMPARE(QFile::exists(recovery.copyPath()), kept);
    QCOMPARE(QFile::exists(recovery.infoPath()), kept);
    if (!kept)
        return;
    // The copy is the net in the session-file layout: File > Open reads it.
    QCOMPARE(readAll(recovery.copyPath()), writeSessionFile(sessionFromNet(net)));
    const SessionReadResult opened = readSessionFileAt(recovery.copyPath());
    QVERIFY(opened.ok());
    QCOMPARE(opened.data, sessionFromNet(net));
    const std::optional<RecoveryInfo> info = parseRecoveryInfo(readAll(recovery.infoPath()));
    QVERIFY(info);
    QCOMPARE(info->savedAs, net.sSessionFileName());
    QCOMPARE(info->saved, change == QLatin1String("saved"));
    QVERIFY(!info->copies.isEmpty() && vouchesFor(*info, readAll(recovery.copyPath())));
    QVERIFY(qAbs(info->changed.secsTo(QDateTime::currentDateTimeUtc())) < 60);
}

void TestRecoveryCopy::aChangeIsOnDiskWithinTwoSeconds()
{
    QTemporaryDir dir;
    Net net;
    RecoveryCopy recovery(net, dir.path());
    QVERIFY(recovery.start());
    QSignalSpy written(&recovery, &RecoveryCopy::written);
    fillNet(net);
    QVERIFY(written.wait(2000));
    QCOMPARE(readAll(recovery.copyPath()), writeSessionFile(sessionFromNet(net)));
    // Typing on: each keystroke rides along with the copy already asked for.
    written.clear();
    for (const QChar c : QStringLiteral("w2new"))
        net.setQTH(2, net.participant(2)->qth + c);
    QVERIFY(written.wait(2000));
    QCOMPARE(readAll(recovery.copyPath()), writeSessionFile(sessionFromNet(net)));
}

void TestRecoveryCopy::aStalledDiskHoldsNothingUp()
{
    QTemporaryDir dir;
    Net net;
    RecoveryCopy recovery(net, dir.path());
    QVERIFY(recovery.start());
    QSemaphore disk;  // the disk answers only when the test releases it
    std::atomic<int> writes{0};
    recovery.setWriteHook([&disk, &writes] {
        ++writes;
        disk.acquire();
    });
    fillNet(net);
    recovery.writeNow();  // the writer takes this one and stalls on it
    QTRY_COMPARE(writes.load(), 1);
    // The net goes on and asks for copies while the disk is stalled; none of it waits.
    for (int i = 0; i < 20; ++i) {
        net.setHandle(2, QStringLiteral("Bea %1").arg(i));
        recovery.writeNow();
    }
    QCOMPARE(writes.load(), 1);
    disk.release(10);
    recovery.waitForWrites();
    // Only the newest state was written after the stall, and it is the one on disk.
    QCOMPARE(writes.load(), 2);
    QCOMPARE(net.participant(2)->handle, QStringLiteral("Bea 19"));
    QCOMPARE(readAll(recovery.copyPath()), writeSessionFile(sessionFromNet(net)));
}

void TestRecoveryCopy::whatIsLeftWhenTheNetCloses_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("kept");
    QTest::newRow("changed since the last save") << "changed" << true;
    QTest::newRow("changed just now, not written yet") << "just now" << true;
    QTest::newRow("saved and not changed since") << "saved" << false;
    QTest::newRow("untouched start-up net") << "start-up" << false;
    QTest::newRow("after New Session") << "new" << false;
}

void TestRecoveryCopy::whatIsLeftWhenTheNetCloses()
{
    QFETCH(QString, state);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    Net net;
    RecoveryCopy recovery(net, dir.path());
    QVERIFY(recovery.start());
    net.addParticipant();
    if (state != QLatin1String("start-up")) {
        fillNet(net);
        recovery.writeNow();
        recovery.waitForWrites();
    }
    if (state == QLatin1String("just now"))
        net.setQTH(3, QStringLiteral("Albany"));  // closed before the copy's second went by
    else if (state == QLatin1String("saved"))
        net.markSaved();
    else if (state == QLatin1String("new")) {
        net.resetRegistry();
        net.addParticipant();
        net.clearAll();
    }
    const SessionData before = sessionFromNet(net);

    recovery.finish();
    // The windows closing afterwards take the stations away; that is no change to keep.
    for (int n : net.participantNumbers())
        net.participantClosed(n);
    net.resetRegistry();

    QCOMPARE(QFile::exists(recovery.copyPath()), kept);
    QCOMPARE(QFile::exists(recovery.infoPath()), kept);
    if (kept) {
        QCOMPARE(readAll(recovery.copyPath()), writeSessionFile(before));
        QCOMPARE(parseRecoveryInfo(readAll(recovery.infoPath()))->saved, false);
    }
    // The lock has gone with the program, so the next start may offer what was kept.
    QLockFile next(dir.filePath(recovery.id() + QStringLiteral(".lock")));
    QVERIFY(next.tryLock(0));
}

void TestRecoveryCopy::leftCopiesOffered_data()
{
    QTest::addColumn<QString>("left");  // what another program left
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("filesRemain");
    QTest::newRow("stopped unsaved") << "unsaved" << true << true;
    QTest::newRow("stopped saved") << "saved" << false << false;
    QTest::newRow("still running") << "running" << false << true;
    // After a restart in a container, or on Windows, the program gets the number its
    // predecessor had.
    QTest::newRow("stopped, its number now this program's") << "own number" << true << true;
    QTest::newRow("stopped before its first copy") << "no copy" << false << false;
    QTest::newRow("not a copy of ours") << "foreign info" << false << true;
}

void TestRecoveryCopy::leftCopiesOffered()
{
    QFETCH(QString, left);
    QFETCH(bool, offered);
    QFETCH(bool, filesRemain);
    QTemporaryDir dir;
    const QString id = QStringLiteral("net-20261208-211405000-4242");
    const SessionData session = netNamed(QStringLiteral("W1XYZ"), 3);
    const QDateTime when(QDate(2026, 12, 8), QTime(21, 14, 5), Qt::UTC);
    // A running program holds its lock; here this very process stands in for it.
    QLockFile runningOwner(dir.filePath(id + QStringLiteral(".lock")));
    if (left == QLatin1String("running"))
        QVERIFY(runningOwner.tryLock(0));
    leaveCopy(dir.path(), id, session, {QStringLiteral("/nets/a.kvs"), when, left == QLatin1String("saved")},
              left == QLatin1String("running"));
    if (left == QLatin1String("own number"))
        QVERIFY(test::leaveStaleLock(dir.filePath(id + QStringLiteral(".lock")), QCoreApplication::applicationPid()));
    if (left == QLatin1String("no copy"))
        QFile::remove(dir.filePath(id + QStringLiteral(".kvs")));
    if (left == QLatin1String("foreign info"))
        writeAll(dir.filePath(id + QStringLiteral(".info")), "something else\n");

    Net net;
    RecoveryCopy recovery(net, dir.path());
    QVERIFY(recovery.start());
    const QList<LeftCopy> found = recovery.claimLeftCopies();
    QCOMPARE(found.size(), offered ? 1 : 0);
    if (offered) {
        QCOMPARE(found[0].id, id);
        QCOMPARE(found[0].session, session);
        QCOMPARE(found[0].info.savedAs, QStringLiteral("/nets/a.kvs"));
        QCOMPARE(found[0].info.changed, when);
        const QString question = leftNetQuestion(found[0]);
        for (const QString& part : {QStringLiteral("W1XYZ"), QStringLiteral("7.200"), QStringLiteral("Stations: 3"),
                                    QDir::toNativeSeparators(QStringLiteral("/nets/a.kvs"))})
            QVERIFY2(question.contains(part), qPrintable(question));
        recovery.dropLeftCopy(found[0]);
        QVERIFY(!QFile::exists(dir.filePath(id + QStringLiteral(".kvs"))));
        QVERIFY(!QFile::exists(dir.filePath(id + QStringLiteral(".info"))));
        return;
    }
    QCOMPARE(QFile::exists(dir.filePath(id + QStringLiteral(".info"))), filesRemain);
}

void TestRecoveryCopy::damagedCopiesAreToldNotOffered_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("outcome");  // 0: offered, 1: told and kept as it is, 2: tidied away
    QTest::newRow("whole") << "" << 0;
    QTest::newRow("whole, Save writes to a long Cyrillic path") << "long name" << 0;
    QTest::newRow("cut in half") << "half" << 1;
    QTest::newRow("one byte changed") << "byte" << 1;
    QTest::newRow("bytes added at the end") << "extra" << 1;
    QTest::newRow("copy missing") << "no copy" << 2;
    QTest::newRow("info missing") << "no info" << 1;
    QTest::newRow("info cut after its checksum") << "info cut" << 1;
    QTest::newRow("vouched for, but not a net") << "not a net" << 1;
    QTest::newRow("saved since, cut in half") << "saved half" << 2;
    // Stopped between the info and the copy after it: the copy before is on disk.
    QTest::newRow("the copy before the info") << "before" << 0;
    // Left by a program that kept no checksum: taken as it is.
    QTest::newRow("older info") << "older" << 0;
    QTest::newRow("older info, cut in half") << "older half" << 0;
}

void TestRecoveryCopy::damagedCopiesAreToldNotOffered()
{
    QFETCH(QString, damage);
    QFETCH(int, outcome);
    QTemporaryDir dir;
    const QString copyPath = dir.filePath(QStringLiteral("net-left.kvs"));
    QByteArray copy = writeSessionFile(netNamed(QStringLiteral("W1XYZ"), 4));
    if (damage == QLatin1String("not a net"))
        copy = "Kolvane Storage, file format 1.0\r\nfour\r\n";
    const QString name = damage == QLatin1String("long name") ? QString(2000, QChar(0x0421)) : QString();
    RecoveryInfo info{name, QDateTime::currentDateTimeUtc(), damage.startsWith(QLatin1String("saved"))};
    if (damage == QLatin1String("before"))
        info.copies = {copyCheck(writeSessionFile(netNamed(QStringLiteral("W1XYZ"), 5))), copyCheck(copy)};
    else if (!damage.startsWith(QLatin1String("older")))
        info = vouchingFor(info, copy);
    QByteArray infoText = recoveryInfoText(info);
    if (damage.endsWith(QLatin1String("half")))
        copy.truncate(copy.size() / 2);
    if (damage == QLatin1String("byte"))
        copy[copy.size() / 2] = char(copy[copy.size() / 2] ^ 1);
    if (damage == QLatin1String("extra"))
        copy += "\r\n";
    if (damage == QLatin1String("info cut"))
        infoText.truncate(infoText.indexOf("saved-as"));
    if (damage != QLatin1String("no copy"))
        QVERIFY(writeAll(copyPath, copy));
    if (damage != QLatin1String("no info"))
        QVERIFY(writeAll(dir.filePath(QStringLiteral("net-left.info")), infoText));
    leaveStaleLock(dir.filePath(QStringLiteral("net-left.lock")));
    const QStringList patterns{QStringLiteral("*.kvs"), QStringLiteral("*.info")};
    const QStringList left = QDir(dir.path()).entryList(patterns);

    for (int start = 0; start < 2; ++start) {  // every start tells it, once
        Net net;
        RecoveryCopy recovery(net, dir.path());
        QVERIFY(recovery.start());
        QCOMPARE(recovery.claimLeftCopies().size(), outcome == 0 ? 1 : 0);
        QCOMPARE(recovery.takeUnreadableCopies(), outcome == 1 ? QStringList{copyPath} : QStringList());
        recovery.claimLeftCopies();
        QVERIFY(recovery.takeUnreadableCopies().isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(patterns), outcome == 2 ? QStringList() : left);
        if (outcome == 1)
            QCOMPARE(readAll(copyPath), copy);
    }
}

void TestRecoveryCopy::leftLocksTidied_data()
{
    QTest::addColumn<QString>("lock");
    QTest::addColumn<bool>("tidied");
    QTest::newRow("a stopped program's") << "stopped" << true;
    // A program killed between making its lock and writing into it.
    QTest::newRow("empty, a minute old") << "empty" << true;
    QTest::newRow("empty, made just now") << "empty now" << false;
    QTest::newRow("a running program's") << "running" << false;
#ifndef Q_OS_WIN  // a held lock cannot be emptied there
    QTest::newRow("a running program's, empty and a minute old") << "running empty" << false;
#endif
}

void TestRecoveryCopy::leftLocksTidied()
{
    QFETCH(QString, lock);
    QFETCH(bool, tidied);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("net-left.lock"));
    QLockFile running(path);
    if (lock.startsWith(QLatin1String("running")))
        QVERIFY(running.tryLock(0));
    else if (lock == QLatin1String("stopped"))
        leaveStaleLock(path);
    else
        QVERIFY(writeAll(path, QByteArray()));
    if (lock == QLatin1String("running empty"))
        QVERIFY(QFile::resize(path, 0));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    if (lock != QLatin1String("empty now"))
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    file.close();
    Net net;
    RecoveryCopy recovery(net, dir.path());
    QVERIFY(recovery.start());
    QVERIFY(recovery.claimLeftCopies().isEmpty());
    QCOMPARE(QFile::exists(path), !tidied);
}

void TestRecoveryCopy::aClaimedCopyIsNotOfferedTwice()
{
    QTemporaryDir dir;
    const QDateTime older(QDate(2026, 12, 1), QTime(20, 0), Qt::UTC);
    const QDateTime newer(QDate(2026, 12, 8), QTime(20, 0), Qt::UTC);
    leaveCopy(dir.path(), QStringLiteral("net-a"), netNamed(QStringLiteral("W1OLD"), 1), {QString(), older, false});
    leaveCopy(dir.path(), QStringLiteral("net-b"), netNamed(QStringLiteral("W1NEW"), 2), {QString(), newer, false});

    Net first;
    RecoveryCopy one(first, dir.path());
    QVERIFY(one.start());
    const QList<LeftCopy> found = one.claimLeftCopies();
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].session.header.cntrlCall, QStringLiteral("W1NEW"));  // newest first
    QCOMPARE(found[1].session.header.cntrlCall, QStringLiteral("W1OLD"));

    // A second program started meanwhile finds them claimed.
    Net second;
    RecoveryCopy two(second, dir.path());
    QVERIFY(two.start());
    QVERIFY(two.claimLeftCopies().isEmpty());

    // One kept for later is offered again once let go; one dropped never is.
    one.keepLeftCopy(found[1]);
    one.dropLeftCopy(found[0]);
    const QList<LeftCopy> later = two.claimLeftCopies();
    QCOMPARE(later.size(), 1);
    QCOMPARE(later[0].session.header.cntrlCall, QStringLiteral("W1OLD"));
}

void TestRecoveryCopy::twoProgramsKeepTheirOwnCopies()
{
    QTemporaryDir dir;
    Net netA;
    Net netB;
    RecoveryCopy a(netA, dir.path());
    RecoveryCopy b(netB, dir.path());
    QVERIFY(a.start());
    QVERIFY(b.start());
    QVERIFY(a.id() != b.id());
    fillNet(netA);
    netB.addParticipant();
    netB.setCallsign(1, QStringLiteral("w9zzz"));
    a.writeNow();
    b.writeNow();
    a.waitForWrites();
    b.waitForWrites();
    QCOMPARE(readAll(a.copyPath()), writeSessionFile(sessionFromNet(netA)));
    QCOMPARE(readAll(b.copyPath()), writeSessionFile(sessionFromNet(netB)));
    // Neither is offered while its program runs.
    QVERIFY(a.claimLeftCopies().isEmpty());
    QVERIFY(b.claimLeftCopies().isEmpty());
    b.finish();
    const QList<LeftCopy> found = a.claimLeftCopies();
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].session, sessionFromNet(netB));
}

void TestRecoveryCopy::failuresAreToldOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("the folder is a file") << "folder is a file";
    QTest::newRow("the folder's parent is a file") << "parent is a file";
    QTest::newRow("the copy's name is taken by a folder") << "copy is a folder";
}

void TestRecoveryCopy::failuresAreToldOnce()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("state"));
    if (how == QLatin1String("folder is a file"))
        QVERIFY(writeAll(folder, "not a folder"));
    if (how == QLatin1String("parent is a file")) {
        QVERIFY(writeAll(folder, "not a folder"));
        folder += QStringLiteral("/kolvane");
    }
    Net net;
    RecoveryCopy recovery(net, folder);
    QSignalSpy told(&recovery, &RecoveryCopy::notKept);
    const bool started = recovery.start();
    if (how == QLatin1String("copy is a folder")) {
        QVERIFY(started);
        QVERIFY(QDir().mkpath(recovery.copyPath()));
    } else {
        QVERIFY(!started);
    }
    for (int i = 0; i < 3; ++i) {
        fillNet(net);
        net.setQTH(1, QString::number(i));
        recovery.writeNow();
        recovery.waitForWrites();
    }
    QCOMPARE(told.size(), 1);
    const QString message = told.at(0).at(0).toString();
    QVERIFY2(message.contains(QStringLiteral("File > Save keeps the net")), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(folder)), qPrintable(message));
}

void TestRecoveryCopy::defaultFolderIsTheStateFolder()
{
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const QString absolute = QDir::rootPath() + QStringLiteral("state");
    qputenv("XDG_STATE_HOME", QDir::toNativeSeparators(absolute).toLocal8Bit());
    QCOMPARE(defaultRecoveryFolder(), absolute + QStringLiteral("/kolvane"));
#ifdef Q_OS_WIN
    // Otherwise the local application data folder, never the roaming one.
    const QString otherwise =
        QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA")) + QStringLiteral("/Kolvane");
    QVERIFY(otherwise != QStringLiteral("/Kolvane"));
#else
    const QString otherwise = QDir::homePath() + QStringLiteral("/.local/state/kolvane");
#endif
    qputenv("XDG_STATE_HOME", "relative/ignored");
    QCOMPARE(defaultRecoveryFolder().toLower(), otherwise.toLower());
    qunsetenv("XDG_STATE_HOME");
    QCOMPARE(defaultRecoveryFolder().toLower(), otherwise.toLower());
    qputenv("XDG_STATE_HOME", saved);
}

QTEST_GUILESS_MAIN(TestRecoveryCopy)
#include "test_recovery_copy.moc"
