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
    writeAll(folder + u'/' + id + QStringLiteral(".info"),
             recoveryInfoText(vouchingFor(info, writeSessionFile(session))));
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
    RecoveryInfo info{savedAs, QDateTime(QDate(2026, 12, 8), QTime(21, 14, 5, 123), Qt::UTC), saved};
    info.copies = {copyCheck(savedAs.toUtf8()), copyCheck(QByteArray())};
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
    QTest::newRow("checksum cut short") << "Kolvane recovery copy 1\r\ncopy=12 ab12" + rest;
    QTest::newRow("length not a number") << "Kolvane recovery copy 1\r\ncopy=-3 " + QByteArray(64, 'a') + rest;
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
    QTest::newRow("cut short on disk") << "cut" << false << true;
    QTest::newRow("Save writes to a long Cyrillic path") << "long name" << true << true;
    // Killed while it took its place: only its lock, empty.
    QTest::newRow("an empty lock, a minute old") << "empty lock" << false << false;
    QTest::newRow("an empty lock made just now") << "empty lock now" << false << true;
#ifndef Q_OS_WIN  // a held lock cannot be emptied there
    QTest::newRow("still running, its lock emptied a minute ago") << "running, empty lock" << false << true;
#endif
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
    const QString lock = dir.filePath(id + QStringLiteral(".lock"));
    QLockFile runningOwner(lock);
    if (left.startsWith(QLatin1String("running")))
        QVERIFY(runningOwner.tryLock(0));
    const QString savedAs =
        left == QLatin1String("long name") ? QString(2000, QChar(0x0421)) : QStringLiteral("/nets/a.kvs");
    leaveCopy(dir.path(), id, session, {savedAs, when, left == QLatin1String("saved")},
              left.startsWith(QLatin1String("running")));
    if (left == QLatin1String("own number"))
        QVERIFY(test::leaveStaleLock(dir.filePath(id + QStringLiteral(".lock")), QCoreApplication::applicationPid()));
    if (left == QLatin1String("no copy"))
        QFile::remove(dir.filePath(id + QStringLiteral(".kvs")));
    if (left == QLatin1String("foreign info"))
        writeAll(dir.filePath(id + QStringLiteral(".info")), "something else\n");
    if (left == QLatin1String("cut"))
        QVERIFY(QFile::resize(dir.filePath(id + QStringLiteral(".kvs")), 40));
    // Beside it, what a write cut short left, and the operator's own backup.
    writeAll(dir.filePath(id + QStringLiteral(".kvs.k3Xq9Z")), "half a copy");
    writeAll(dir.filePath(id + QStringLiteral(".kvs.bak")), "kept by hand");
    if (left == QLatin1String("empty lock"))
        QVERIFY(QFile::remove(dir.filePath(id + ".kvs")) && QFile::remove(dir.filePath(id + ".info")));
    QFile lockFile(lock);
    if (left.contains(QLatin1String("empty lock")))
        QVERIFY(
            lockFile.resize(0) && lockFile.open(QIODevice::ReadWrite)
            && (left.endsWith(QLatin1String("now"))
                || lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime)));
    lockFile.close();

    Net net;
    RecoveryCopy recovery(net, dir.path());
    QVERIFY(recovery.start());
    const QList<LeftCopy> found = recovery.claimLeftCopies();
    QCOMPARE(found.size(), offered ? 1 : 0);
    // Told, once a run, is a copy that cannot be offered and is kept.
    QCOMPARE(recovery.takeUnreadableCopies().size(), int(left == QLatin1String("cut") || left == "foreign info"));
    recovery.claimLeftCopies();
    QVERIFY(recovery.takeUnreadableCopies().isEmpty());
    QVERIFY(QFile::exists(dir.filePath(id + QStringLiteral(".kvs.bak"))));
    if (left == QLatin1String("cut"))
        QVERIFY(!QFile::exists(dir.filePath(id + QStringLiteral(".kvs.k3Xq9Z"))));
    if (offered) {
        QCOMPARE(found[0].id, id);
        QCOMPARE(found[0].session, session);
        QCOMPARE(found[0].info.savedAs, savedAs);
        QCOMPARE(found[0].info.changed, when);
        const QString question = leftNetQuestion(found[0]);
        for (const QString& part : {QStringLiteral("W1XYZ"), QStringLiteral("7.200"), QStringLiteral("Stations: 3"),
                                    QDir::toNativeSeparators(savedAs)})
            QVERIFY2(question.contains(part), qPrintable(question));
        recovery.dropLeftCopy(found[0]);
        QVERIFY(!QFile::exists(dir.filePath(id + QStringLiteral(".kvs"))));
        QVERIFY(!QFile::exists(dir.filePath(id + QStringLiteral(".info"))));
        return;
    }
    QCOMPARE(QFile::exists(dir.filePath(id + QStringLiteral(".info"))) || QFile::exists(lock), filesRemain);
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
