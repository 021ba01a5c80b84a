// A net given back: the program started after a crash or a close without saving offers
// the net once the splash is gone, restores it as Open rebuilds a net, and the next Save
// writes where it would have. Also when the copy is kept and when the operator is told
// that it cannot be.
#include "FileRig.h"

#include "app/Program.h"
#include "dialogs/frmSplash.h"
#include "files/NetSession.h"
#include "files/RecoveryCopy.h"
#include "files/SessionStorage.h"
#include "net/AppInfo.h"
#include "net/DateStamp.h"
#include "support/SampleNet.h"
#include "support/StaleLock.h"
#include "support/TestMain.h"

#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>

using namespace kolvane;
using namespace kolvane::test;

namespace {

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void leaveNet(const QString& folder, const QString& id, const SessionData& session, const QString& savedAs,
              const QDateTime& changed, bool saved = false)
{
    QVERIFY(leaveLeftNet(folder, id, session, savedAs, changed, saved));
}

SessionData leftNet()
{
    SessionData s;
    s.header = weeklyNetHeader(QStringLiteral("Weekly net\r\nW2XYZ late"));
    s.participants = {{true, QStringLiteral("K1ABC"), QStringLiteral("Al"), QStringLiteral("Boston")},
                      {false, QStringLiteral("N2DEF"), QStringLiteral(" Bea "), QString()},
                      {true, QStringLiteral("VE3GHI"), QStringLiteral("Carl"), QStringLiteral("Toronto")}};
    return s;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// A program started as the operator starts it, with its copies in `folder`, the splash
// already gone so the offer comes at once.
struct Started {
    ScriptedWindowLayer layer;
    std::unique_ptr<Program> program;

    explicit Started(const QString& folder, bool waitForOffer = true)
    {
        program = std::make_unique<Program>(layer, folder);
        program->Main();
        if (waitForOffer && program->splash())
            program->splash()->close();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    ~Started()
    {
        if (program && program->mainWindow())
            program->mainWindow()->close();
    }
    frmMain& main() { return *program->mainWindow(); }
    Net& net() { return program->net(); }
};

}  // namespace

class TestRecoveryOffer : public QObject {
    Q_OBJECT

private slots:
    void restoreRebuildsTheNetAndSaveWritesWhereItWould();
    void discardDeletesTheCopyAndLeavesTheStartUpNet();
    void offeredNewestFirstAndOnlyUntilOneIsRestored();
    void neverOffered_data();
    void neverOffered();
    void damagedCopiesAreNamedOncePerStart();
    void theOfferWaitsForTheSplash();
    void theOfferWaitsWhileTheWindowsLetEventsRun();
    void closingKeepsOnlyAnUnsavedNet_data();
    void closingKeepsOnlyAnUnsavedNet();
    void theOperatorIsToldOnceWhenNoCopyCanBeKept();
};

void TestRecoveryOffer::restoreRebuildsTheNetAndSaveWritesWhereItWould()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    const QString savedAs = dir.filePath(QStringLiteral("tuesday.kvs"));
    const QDateTime changed(QDate(2026, 12, 8), QTime(21, 14, 5), Qt::LocalTime);
    leaveNet(folder, QStringLiteral("net-killed"), leftNet(), savedAs, changed);

    ScriptedWindowLayer layer;
    layer.answerQuestion(true);
    Program program(layer, folder);
    program.Main();
    QVERIFY(layer.questions.isEmpty());  // not while the splash is up
    program.splash()->close();
    QTRY_COMPARE(layer.questions.size(), 1);

    // The question names when the net changed last, its Net Control, frequency and stations.
    const QStringList& q = layer.questions.first();
    QCOMPARE(q.at(1), QStringLiteral("Restore"));
    QCOMPARE(q.at(2), QStringLiteral("Discard"));
    for (const QString& part : {dateTimeStamp(changed), QStringLiteral("Net Control: W1XYZ"),
                                QStringLiteral("Frequency: 146.520"), QStringLiteral("Stations: 3")})
        QVERIFY2(q.at(0).contains(part), qPrintable(q.at(0)));

    // Rebuilt as Open rebuilds: header, comments, windows with their Active states, tiled.
    frmMain& m = *program.mainWindow();
    QCOMPARE(sessionFromNet(program.net()), leftNet());
    QCOMPARE(m.commentsText(), leftNet().header.comments);
    const QList<frmDocument*> docs = m.openParticipants();
    QCOMPARE(docs.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(docs[i]->windowTitle(), QStringLiteral("Participant %1").arg(i + 1));
        QCOMPARE(shown(docs[i]), leftNet().participants[i]);
        QCOMPARE(docs[i]->width(), m.mdiArea->viewport()->width());  // tiled one per row
    }
    QVERIFY(!m.timTalk->isActive() && !m.timID->isActive());
    QCOMPARE(m.windowTitle(), QStringLiteral("Kolvane - ") + QDir::toNativeSeparators(savedAs));
    QCOMPARE(program.net().sSessionFileName(), savedAs);
    // The killed program's copy is gone, and only once this program's own copy holds the net.
    QTRY_VERIFY(!filesIn(folder).join(u' ').contains(QStringLiteral("net-killed")));
    QCOMPARE(readAll(program.recovery()->copyPath()), writeSessionFile(leftNet()));

    // Ctrl+S writes where the killed program would have, with no dialog.
    m.activateWindow();
    QTest::keyClick(&m, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(layer.fileRequests.isEmpty());
    QCOMPARE(m.statusText(), QStringLiteral("Status: Session saved"));
    QCOMPARE(readAll(savedAs), writeSessionFile(leftNet()));
    QString why;
    QVERIFY2(layer.isClean(&why), qPrintable(why));
    m.close();
}

void TestRecoveryOffer::discardDeletesTheCopyAndLeavesTheStartUpNet()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    leaveNet(folder, QStringLiteral("net-killed"), leftNet(), QString(), QDateTime::currentDateTime());
    ScriptedWindowLayer layer;
    layer.answerQuestion(false);
    Program program(layer, folder);
    program.Main();
    program.splash()->close();
    QTRY_COMPARE(layer.questions.size(), 1);
    QVERIFY2(!layer.questions.first().at(0).contains(QStringLiteral("Save writes to")),
             "no name to save to was remembered");
    QCOMPARE(program.net().lDocumentCount(), 1);
    QVERIFY(program.net().isBlank());
    QCOMPARE(program.mainWindow()->windowTitle(), QStringLiteral("Kolvane"));
    QVERIFY(filesIn(folder).filter(QStringLiteral("net-killed")).isEmpty());
    program.mainWindow()->close();
}

void TestRecoveryOffer::offeredNewestFirstAndOnlyUntilOneIsRestored()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    const QDateTime now = QDateTime::currentDateTime();
    SessionData oldest = leftNet();
    oldest.header.cntrlCall = QStringLiteral("W1OLD");
    SessionData middle = leftNet();
    middle.header.cntrlCall = QStringLiteral("W1MID");
    SessionData newest = leftNet();
    newest.header.cntrlCall = QStringLiteral("W1NEW");
    leaveNet(folder, QStringLiteral("net-a"), oldest, QString(), now.addDays(-2));
    leaveNet(folder, QStringLiteral("net-b"), newest, QString(), now.addSecs(-60));
    leaveNet(folder, QStringLiteral("net-c"), middle, QString(), now.addDays(-1));

    Started first(folder, false);
    first.layer.answerQuestion(false);  // the newest: discarded
    first.layer.answerQuestion(true);   // the next: restored
    first.program->splash()->close();
    QTRY_COMPARE(first.layer.questions.size(), 2);
    QCoreApplication::processEvents();
    QVERIFY(first.layer.questions[0].at(0).contains(QStringLiteral("W1NEW")));
    QVERIFY(first.layer.questions[1].at(0).contains(QStringLiteral("W1MID")));
    QCOMPARE(first.net().header().cntrlCall, QStringLiteral("W1MID"));
    // The oldest waits: a second program started now offers it.
    const QStringList left = filesIn(folder);
    QVERIFY(left.contains(QStringLiteral("net-a.kvs")));
    QVERIFY(!left.contains(QStringLiteral("net-b.kvs")) && !left.contains(QStringLiteral("net-c.kvs")));
    Started second(folder, false);
    second.layer.answerQuestion(true);
    second.program->splash()->close();
    QTRY_COMPARE(second.layer.questions.size(), 1);
    QVERIFY(second.layer.questions[0].at(0).contains(QStringLiteral("W1OLD")));
    QCOMPARE(second.net().header().cntrlCall, QStringLiteral("W1OLD"));
}

void TestRecoveryOffer::neverOffered_data()
{
    QTest::addColumn<QString>("left");
    QTest::newRow("saved and not changed since") << "saved";
    QTest::newRow("a program still running") << "running";
    QTest::newRow("nothing at all") << "none";
}

void TestRecoveryOffer::neverOffered()
{
    QFETCH(QString, left);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    std::unique_ptr<Started> running;
    if (left == QLatin1String("saved"))
        leaveNet(folder, QStringLiteral("net-saved"), leftNet(), QString(), QDateTime::currentDateTime(), true);
    if (left == QLatin1String("running")) {
        running = std::make_unique<Started>(folder);
        typeHeader(running->main());
        running->program->recovery()->writeNow();
        running->program->recovery()->waitForWrites();
        QCOMPARE(filesIn(folder).filter(QStringLiteral(".kvs")).size(), 1);
    }
    Started program(folder);  // an unscripted question fails the test
    QVERIFY(program.layer.questions.isEmpty());
    QVERIFY(program.net().isBlank());
}

void TestRecoveryOffer::damagedCopiesAreNamedOncePerStart()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    const QString cut = folder + QStringLiteral("/net-cut.kvs");
    leaveNet(folder, QStringLiteral("net-whole"), leftNet(), QString(), QDateTime::currentDateTime());
    leaveNet(folder, QStringLiteral("net-cut"), leftNet(), QString(), QDateTime::currentDateTime());
    QVERIFY(QFile::resize(cut, 200));
    // Named before the whole one is offered (and discarded), and again at the next start.
    for (const QStringList& asked :
         {QStringList{QStringLiteral("message"), QStringLiteral("question")}, QStringList{QStringLiteral("message")}}) {
        Started program(folder, false);
        program.layer.answerQuestion(false);
        program.program->splash()->close();
        QTRY_COMPARE(program.layer.callLog.filter(QRegularExpression(QStringLiteral("^(message|question)$"))), asked);
        const ScriptedWindowLayer::Message told = program.layer.messages.first();
        QCOMPARE(told.caption, appTitle());
        QVERIFY2(told.text.contains(QStringLiteral("could not be read"))
                     && told.text.contains(QStringLiteral("File > Open"))
                     && told.text.contains(QDir::toNativeSeparators(cut)),
                 qPrintable(told.text));
    }
}

void TestRecoveryOffer::theOfferWaitsForTheSplash()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    leaveNet(folder, QStringLiteral("net-killed"), leftNet(), QString(), QDateTime::currentDateTime());
    ScriptedWindowLayer layer;
    Program program(layer, folder);
    program.Main();
    QPointer<frmSplash> splash = program.splash();
    QVERIFY(splash && splash->isVisible());
    // The splash closes itself after four seconds; until then nothing is asked.
    QTest::qWait(300);
    QVERIFY(layer.questions.isEmpty());
    layer.answerQuestion(true);
    splash->timSplash_Timer();
    QTRY_COMPARE(layer.questions.size(), 1);
    QVERIFY(!splash);
    QCOMPARE(program.net().header().cntrlCall, QStringLiteral("W1XYZ"));
    program.mainWindow()->close();
}

// A command or a window's activation handling that lets events run holds the offer back: the
// restore closes windows that the code further up may still be working on.
void TestRecoveryOffer::theOfferWaitsWhileTheWindowsLetEventsRun()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    leaveNet(folder, QStringLiteral("net-killed"), leftNet(), QString(), QDateTime::currentDateTime());
    ScriptedWindowLayer layer;
    layer.answerQuestion(true);
    Program program(layer, folder);
    program.Main();
    frmMain& m = *program.mainWindow();
    QPointer<frmDocument> first = m.openParticipants().first();
    {
        BusyScope busy(m);
        program.splash()->close();
        QTest::qWait(300);
        QVERIFY(layer.questions.isEmpty());
        QVERIFY(first);
    }
    QTRY_COMPARE(layer.questions.size(), 1);
    QCOMPARE(program.net().header().cntrlCall, QStringLiteral("W1XYZ"));
    m.close();
}

void TestRecoveryOffer::closingKeepsOnlyAnUnsavedNet_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("kept");
    QTest::newRow("changed, then File > Exit") << "changed" << true;
    QTest::newRow("saved, then File > Exit") << "saved" << false;
    QTest::newRow("untouched") << "untouched" << false;
    QTest::newRow("New Session, then File > Exit") << "new" << false;
}

void TestRecoveryOffer::closingKeepsOnlyAnUnsavedNet()
{
    QFETCH(QString, before);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    SessionData atClose;
    {
        Started program(folder);
        frmMain& m = program.main();
        if (before != QLatin1String("untouched")) {
            typeHeader(m);
            m.AddParticipant();
            program.net().setCallsign(2, QStringLiteral("k1abc"));
            m.pressParticipantActive(2);
        }
        if (before == QLatin1String("saved")) {
            program.net().setSessionFileName(dir.filePath(QStringLiteral("net.kvs")));
            m.mnuFileSave_Click();
            QVERIFY(QFile::exists(dir.filePath(QStringLiteral("net.kvs"))));
        }
        if (before == QLatin1String("new"))
            m.mnuFileNew_Click();
        atClose = sessionFromNet(program.net());
        m.mnuFileExit_Click();
    }
    const QStringList copies = filesIn(folder).filter(QStringLiteral(".kvs"));
    QCOMPARE(copies.size(), kept ? 1 : 0);
    QVERIFY(filesIn(folder).filter(QStringLiteral(".lock")).isEmpty());
    if (kept) {
        // The stations are there: the windows closing with the program took none of them.
        QCOMPARE(readAll(folder + u'/' + copies.first()), writeSessionFile(atClose));
        QCOMPARE(atClose.participants.size(), 2);
        Started next(folder, false);
        next.layer.answerQuestion(true);
        next.program->splash()->close();
        QTRY_COMPARE(next.layer.questions.size(), 1);
        QCOMPARE(sessionFromNet(next.net()), atClose);
    }
}

void TestRecoveryOffer::theOperatorIsToldOnceWhenNoCopyCanBeKept()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    QVERIFY(writeAll(folder, "a file where the folder should be"));
    ScriptedWindowLayer layer;
    Program program(layer, folder);
    program.Main();
    QVERIFY(layer.messages.isEmpty());  // not behind the splash
    program.splash()->close();
    QTRY_COMPARE(layer.messages.size(), 1);
    const QString text = layer.takeMessages().first();
    QVERIFY2(text.contains(QStringLiteral("not being kept")) && text.contains(QStringLiteral("File > Save")),
             qPrintable(text));
    // The status line, which commands read back, says nothing of it.
    QCOMPARE(program.mainWindow()->statusText(), QStringLiteral("Status: Idle"));
    typeHeader(*program.mainWindow());
    QTest::qWait(50);
    QVERIFY(layer.messages.isEmpty());
    program.mainWindow()->close();
}

KOLVANE_TEST_MAIN(TestRecoveryOffer)
#include "test_recovery_offer.moc"
