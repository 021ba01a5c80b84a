// The net survives the program's death: the program is started for real in a process of
// its own, the operator builds a net and saves it, changes it again, and the process is
// killed outright (or closed with File > Exit). The next start offers the net; Enter
// restores it and Save writes, where the first Save did, the very bytes a program that was
// never killed saves for the same net.
//
// The suite starts itself as the program's process: with KOLVANE_KILL_CHILD set it plays
// the operator instead of running the test cases.
#include "app/Program.h"
#include "dialogs/frmSplash.h"
#include "net/AppInfo.h"
#include "support/ScriptedWindowLayer.h"
#include "ui/Controls.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// ------------------------------------------------------------------ the program's side

void say(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// Lets events run until `done` holds or the time is up.
bool waitFor(const std::function<bool()>& done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(5);
    }
    return true;
}

void type(QWidget* field, const QString& text)
{
    field->setFocus();
    // After what the field holds already, as the operator clicks into it.
    QTest::keyClick(field, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_End);
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, lines.at(i));
    }
}

// True when the operator met no dialog the script did not expect; otherwise says what.
bool clean(const ScriptedWindowLayer& layer)
{
    QString why;
    if (layer.isClean(&why))
        return true;
    say(QStringLiteral("not clean: ") + why);
    return false;
}

QString folderOfCopies()
{
    return qEnvironmentVariable("KOLVANE_KILL_STATE");
}

// The operator's net, step by step as it is typed: what is saved half-way...
void firstHalf(frmMain& m, Module1& windows)
{
    m.cmdStart_Click();
    type(m.txtCntrlCall, QStringLiteral("w1xyz"));
    type(m.txtCntrlHandle, QStringLiteral("Pat"));
    type(m.txtCntrlQTH, QStringLiteral("Riverton"));
    type(m.txtFrequency, QStringLiteral("146.520"));
    type(m.txtComments, QStringLiteral("Weekly net"));
    frmDocument* first = windows.slot(1);
    type(first->txtCallsign, QStringLiteral("k1abc"));
    type(first->txtHandle, QStringLiteral("Al"));
    type(first->txtQTH, QStringLiteral("Boston"));
    first->cmdActive_Click();
    m.cmdAddParticipant_Click();
    type(windows.slot(2)->txtCallsign, QStringLiteral("n2def"));
    type(windows.slot(2)->txtHandle, QStringLiteral("Bea"));
}

// ...and what comes after the save: a station checks in and is made active, another
// leaves, a comment.
void secondHalf(frmMain& m, Module1& windows)
{
    m.cmdAddParticipant_Click();
    type(windows.slot(3)->txtCallsign, QStringLiteral("ve3ghi"));
    type(windows.slot(3)->txtQTH, QStringLiteral("Toronto"));
    windows.slot(3)->cmdActive_Click();
    m.closeParticipant(2);
    type(m.txtComments, QStringLiteral("\nN2DEF left early"));
}

// What the program's process does, by KOLVANE_KILL_CHILD:
//   victim     builds the net, saving half-way to KOLVANE_KILL_FILE, says "ready" once the
//              copy holds the rest, then waits to be killed (or, with KOLVANE_KILL_EXIT,
//              leaves by File > Exit);
//   reference  opens the half-way file KOLVANE_KILL_OPEN, does the rest again and saves it
//              as KOLVANE_KILL_FILE: the net of a program that was never killed;
//   restore    answers the offer with Enter, saves with File > Save and leaves by File > Exit.
int playTheOperator(const QString& role)
{
    ScriptedWindowLayer layer;
    Program program(layer, folderOfCopies());
    program.Main();
    frmMain& m = *program.mainWindow();
    const QString file = qEnvironmentVariable("KOLVANE_KILL_FILE");

    if (role == QLatin1String("reference")) {
        layer.answerFile(qEnvironmentVariable("KOLVANE_KILL_OPEN"));
        m.mnuFileOpen_Click();
        secondHalf(m, program.state());
        layer.answerFile(file);
        m.mnuFileSaveAs_Click();
        m.mnuFileSave_Click();
        return clean(layer) ? 0 : 3;
    }
    if (role == QLatin1String("victim")) {
        firstHalf(m, program.state());
        layer.answerFile(file);
        m.mnuFileSave_Click();
        secondHalf(m, program.state());
        // The copy is written within the second; wait until it holds the last change.
        const bool kept = waitFor(
            [] {
                const QDir dir(folderOfCopies());
                for (const QString& name : dir.entryList({QStringLiteral("*.kvs")}, QDir::Files)) {
                    QFile f(dir.filePath(name));
                    if (f.open(QIODevice::ReadOnly) && f.readAll().contains("N2DEF left early"))
                        return true;
                }
                return false;
            },
            5000);
        if (!kept || !clean(layer))
            return 4;
        if (qEnvironmentVariableIsSet("KOLVANE_KILL_EXIT")) {
            m.mnuFileExit_Click();
            QCoreApplication::processEvents();
            return 0;
        }
        say(QStringLiteral("ready"));
        return QCoreApplication::exec();  // until the process is killed
    }
    // restore
    layer.answerQuestion(true);
    if (!waitFor([&] { return !layer.questions.isEmpty(); }, 15000))
        return 5;
    say(QStringLiteral("offered: ") + layer.questions.first().join(QStringLiteral(" | ")).replace(u'\n', u' '));
    m.mnuFileSave_Click();
    const bool askedForAName = !layer.fileRequests.isEmpty();
    m.mnuFileExit_Click();
    QCoreApplication::processEvents();
    if (askedForAName)
        return 6;
    return clean(layer) ? 0 : 7;
}

// ------------------------------------------------------------------ the test's side

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Run {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::NormalExit;
    QString output;
};

}  // namespace

class TestRecoveryKill : public QObject {
    Q_OBJECT

private slots:
    void init();
    void theNetComesBackByteForByte_data();
    void theNetComesBackByteForByte();

private:
    QProcessEnvironment environment(const QString& role, const QString& file) const;
    Run runToEnd(const QProcessEnvironment& env) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRecoveryKill::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QProcessEnvironment TestRecoveryKill::environment(const QString& role, const QString& file) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KOLVANE_KILL_CHILD"), role);
    env.insert(QStringLiteral("KOLVANE_KILL_FILE"), file);
    // The reference keeps its copies apart, so it is not offered the killed program's net.
    env.insert(QStringLiteral("KOLVANE_KILL_STATE"),
               m_dir->filePath(role == QLatin1String("reference") ? QStringLiteral("reference-state")
                                                                  : QStringLiteral("state")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

Run TestRecoveryKill::runToEnd(const QProcessEnvironment& env) const
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {});
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitCode();
    r.status = p.exitStatus();
    r.output = QString::fromLocal8Bit(p.readAllStandardOutput());
    return r;
}

void TestRecoveryKill::theNetComesBackByteForByte_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("killed outright") << true;
    QTest::newRow("closed with File > Exit") << false;
}

void TestRecoveryKill::theNetComesBackByteForByte()
{
    QFETCH(bool, killed);
    const QString reference = m_dir->filePath(QStringLiteral("reference.kvs"));
    const QString net = m_dir->filePath(QStringLiteral("net.kvs"));

    if (killed) {
        QProcess victim;
        victim.setProcessEnvironment(environment(QStringLiteral("victim"), net));
        victim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        victim.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(victim.waitForStarted());
        QElapsedTimer t;
        t.start();
        while (!victim.readAllStandardOutput().contains("ready")) {
            QVERIFY2(t.elapsed() < 60000 && victim.state() == QProcess::Running, "the program never got ready");
            victim.waitForReadyRead(500);
        }
        victim.kill();  // SIGKILL: nothing of the program runs after this
        QVERIFY(victim.waitForFinished(10000));
        QCOMPARE(victim.exitStatus(), QProcess::CrashExit);
    } else {
        QProcessEnvironment env = environment(QStringLiteral("victim"), net);
        env.insert(QStringLiteral("KOLVANE_KILL_EXIT"), QStringLiteral("1"));
        Run v = runToEnd(env);
        QVERIFY2(v.exitCode == 0, qPrintable(v.output));
        QCOMPARE(v.status, QProcess::NormalExit);
    }
    // What the file holds is the net as it was at the first save, without what came after.
    const QByteArray halfWay = readAll(net);
    QVERIFY(halfWay.contains("N2DEF") && !halfWay.contains("VE3GHI"));

    // The same net in a program that lives through it: the half-way file opened, the rest
    // done again, saved.
    const QString halfWayCopy = m_dir->filePath(QStringLiteral("half-way.kvs"));
    QVERIFY(QFile::copy(net, halfWayCopy));
    QProcessEnvironment refEnv = environment(QStringLiteral("reference"), reference);
    refEnv.insert(QStringLiteral("KOLVANE_KILL_OPEN"), halfWayCopy);
    Run ref = runToEnd(refEnv);
    QVERIFY2(ref.exitCode == 0, qPrintable(ref.output));
    const QByteArray expected = readAll(reference);
    QVERIFY(expected.contains("VE3GHI") && expected.contains("N2DEF left early"));

    Run restore = runToEnd(environment(QStringLiteral("restore"), net));
    QVERIFY2(restore.exitCode == 0, qPrintable(restore.output));
    QVERIFY2(restore.output.contains(QStringLiteral("Net Control: W1XYZ"))
                 && restore.output.contains(QStringLiteral("Frequency: 146.520"))
                 && restore.output.contains(QStringLiteral("Stations: 2")),
             qPrintable(restore.output));
    QCOMPARE(readAll(net), expected);
    // Saved after the restore and closed: nothing is left to offer at the next start.
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("state"))).entryList({QStringLiteral("*.kvs")}).isEmpty());
}

int main(int argc, char** argv)
{
    const QString role = qEnvironmentVariable("KOLVANE_KILL_CHILD");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QApplication app(argc, argv);
    if (!role.isEmpty())
        return playTheOperator(role);
    TestRecoveryKill tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "test_recovery_kill.moc"
