// File > Open, Save, Save As and Close on a real main window with the scripted window
// layer: what is written, what is rebuilt on opening, the name rules, and refusals and
// failed saves that must leave the session and the old file alone.
#include "FileRig.h"
#include "files/SessionStorage.h"
#include "support/TestMain.h"

#include <QTemporaryDir>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace kolvane;
using namespace kolvane::test;

class TestSessionCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;

    // A fresh folder per test function.
    QString folder() const { return m_tmp->path(); }
    QString path(const QString& name) const { return m_tmp->filePath(name); }

    // Save As with an answered dialog, then Save.
    static void saveAs(MainRig& rig, const QString& file)
    {
        rig.layer.answerFile(file);
        rig.main->mnuFileSaveAs_Click();
        rig.main->mnuFileSave_Click();
    }

    static void open(MainRig& rig, const QString& file)
    {
        rig.layer.answerFile(file);
        rig.main->mnuFileOpen_Click();
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
    }

    // ---------------------------------------------------------------- saving

    void save_writesWindowsInNumberOrder()
    {
        MainRig rig;
        typeNet(rig);
        typeStation(rig, 4, QStringLiteral("W4JKL"), QStringLiteral("Dee"), QStringLiteral("Macon"), false);
        rig.doc(2)->close();  // a closed window leaves neither record nor gap

        saveAs(rig, path("net.kvs"));
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Session saved"));
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane - ") + QDir::toNativeSeparators(path("net.kvs")));

        const QByteArray bytes = readAll(path("net.kvs"));
        QVERIFY(bytes.startsWith("Kolvane Storage, file format 1.0\r\n3\r\nThursday, Jan/30/2003 9:05:07 PM\r\n\r\n"
                                 "146.520\r\nFM\r\nW1AW\r\nHiram\r\nNewington\r\n"
                                 "Weekly net\r\n  second line  \r\n***/***\r\n"));
        QVERIFY(bytes.endsWith("***/***\r\nTrue\r\nK1ABC\r\nAl\r\nHartford\r\n"
                               "True\r\nVE3GHI\r\nCarl\r\nToronto, ON\r\n"
                               "False\r\nW4JKL\r\nDee\r\nMacon\r\n"));
        QVERIFY(rig.layer.isClean());
    }

    void save_incompleteHeader_writesNothingAndKeepsName()
    {
        MainRig rig;
        typeNet(rig);
        rig.main->txtFrequency->setText(QString());
        rig.layer.answerFile(path("net.kvs"));
        rig.main->mnuFileSave_Click();  // asks for the name, then validation stops it
        QCOMPARE(rig.layer.takeMessages(), QStringList{"Please enter Net's Frequency"});
        QCOMPARE(rig.main->statusText(), QStringLiteral("Please enter Net's Frequency"));
        QVERIFY(!QFile::exists(path("net.kvs")));
        QCOMPARE(rig.net.sSessionFileName(), path("net.kvs"));
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane"));

        // The name stays for the next attempt: no dialog this time.
        rig.main->txtFrequency->setText(QStringLiteral(" "));
        rig.main->mnuFileSave_Click();
        QCOMPARE(rig.layer.fileRequests.size(), 1);
        QVERIFY(QFile::exists(path("net.kvs")));
    }

    // ---------------------------------------------------------------- name rules

    void saveWithoutName_asksAndSaves()
    {
        MainRig rig;
        typeNet(rig);
        rig.layer.answerFile(path("net1"));  // typed without extension: a file Open shows
        rig.main->mnuFileSave_Click();
        QCOMPARE(rig.layer.fileRequests.size(), 1);
        QCOMPARE(rig.layer.fileRequests[0].save, true);
        QCOMPARE(rig.layer.fileRequests[0].title, QStringLiteral("Save As"));
        QCOMPARE(rig.layer.fileRequests[0].filter, QStringLiteral("All Files (*.kvs)|*.kvs"));
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{"net1.kvs"});
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane - ") + QDir::toNativeSeparators(path("net1.kvs")));
    }

    void saveWithoutName_cancelled_savesNothing()
    {
        MainRig rig;
        typeNet(rig);
        rig.layer.cancelFile();
        rig.main->mnuFileSave_Click();
        QVERIFY(rig.net.sSessionFileName().isEmpty());
        QVERIFY(QDir(folder()).isEmpty());
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane"));
        QVERIFY(rig.main->statusText() != QStringLiteral("Status: Session saved"));
    }

    void saveAs_cancelledDropsTheNameAndSaveAsksAgain()
    {
        MainRig rig;
        typeNet(rig);
        saveAs(rig, path("a.kvs"));
        rig.layer.cancelFile();
        rig.main->mnuFileSaveAs_Click();
        QVERIFY(rig.net.sSessionFileName().isEmpty());
        rig.layer.answerFile(path("b.kvs"));
        rig.main->mnuFileSave_Click();
        QCOMPARE(rig.layer.fileRequests.size(), 3);
        QVERIFY(QFile::exists(path("b.kvs")));
    }

    void saveAs_onlyChoosesTheName()
    {
        MainRig rig;
        typeNet(rig);
        rig.main->setStatusText(QStringLiteral("before"));
        rig.layer.answerFile(path("net.kvs"));
        rig.main->mnuFileSaveAs_Click();
        QCOMPARE(rig.net.sSessionFileName(), path("net.kvs"));
        QVERIFY(!QFile::exists(path("net.kvs")));
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane"));
        QCOMPARE(rig.main->statusText(), QStringLiteral("before"));
    }

    void saveAs_withoutParticipantWindow_showsNoDialog()
    {
        MainRig rig;
        typeHeader(*rig.main);
        rig.net.setSessionFileName(path("old.kvs"));
        rig.doc(1)->close();
        rig.main->mnuFileSaveAs_Click();
        QVERIFY(rig.net.sSessionFileName().isEmpty());
        QVERIFY(rig.layer.fileRequests.isEmpty());
        // Save cannot save until a window is open again.
        rig.main->mnuFileSave_Click();
        QVERIFY(rig.layer.fileRequests.isEmpty());
        QVERIFY(QDir(folder()).isEmpty());
    }

    void open_thenSave_writesToTheSavedName()
    {
        MainRig rig;
        typeNet(rig);
        saveAs(rig, path("saved.kvs"));
        QVERIFY(QFile::copy(golden("session.kvs"), path("opened.kvs")));
        const QByteArray opened = readAll(path("opened.kvs"));

        open(rig, path("opened.kvs"));
        QCOMPARE(rig.net.sSessionFileName(), path("saved.kvs"));  // Open leaves it alone
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane - ") + QDir::toNativeSeparators(path("opened.kvs")));
        rig.main->mnuFileSave_Click();
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane - ") + QDir::toNativeSeparators(path("saved.kvs")));
        QCOMPARE(readAll(path("opened.kvs")), opened);
        QCOMPARE(readAll(path("saved.kvs")), opened);  // the opened net, saved again as it was
    }

    void open_dialogAndCancel()
    {
        MainRig rig;
        typeNet(rig);
        rig.net.sOpenFileName = QStringLiteral("earlier");
        const SessionSnapshot before = SessionSnapshot::of(rig);
        rig.layer.cancelFile();
        rig.main->mnuFileOpen_Click();
        QCOMPARE(rig.layer.fileRequests.size(), 1);
        QCOMPARE(rig.layer.fileRequests[0].save, false);
        QCOMPARE(rig.layer.fileRequests[0].title, QStringLiteral("Open"));
        QCOMPARE(rig.layer.fileRequests[0].filter, QStringLiteral("All Files (*.kvs)|*.kvs"));
        QVERIFY(rig.net.sOpenFileName.isEmpty());
        QCOMPARE(before.differenceTo(SessionSnapshot::of(rig)), QString());
    }

    void close_closesOnlyTheActiveWindow()
    {
        MainRig rig;
        rig.addUpTo(3);
        rig.activate(2);
        rig.main->mnuFileClose_Click();
        QVERIFY(rig.doc(1));
        QVERIFY(!rig.doc(2));
        QVERIFY(rig.doc(3));
        QCOMPARE(rig.net.lDocumentCount(), 3);

        rig.doc(1)->close();
        rig.doc(3)->close();
        rig.main->mnuFileClose_Click();  // nothing open: nothing happens
        QCOMPARE(rig.net.lDocumentCount(), 3);
        QVERIFY(rig.layer.isClean());
    }

    // ---------------------------------------------------------------- opening

    void open_rebuildsTheSession()
    {
        MainRig rig;
        rig.addUpTo(5);
        rig.net.setTalkDocument(9);  // no open window holds the turn, so closing them says nothing
        rig.main->setStatusText(QStringLiteral("before"));
        open(rig, golden("hand-edited-lf.kvs"));  // lower-case callsigns, LF line ends

        QCOMPARE(rig.net.lDocumentCount(), 3);
        QCOMPARE(rig.main->openParticipants().size(), 3);
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(rig.doc(i)->windowTitle(), QStringLiteral("Participant %1").arg(i));
        QCOMPARE(shown(rig.doc(1)), (ParticipantRecord{true, "K1ABC", "Al", "Hartford"}));
        QCOMPARE(shown(rig.doc(2)), (ParticipantRecord{false, "N2DEF", "  Bea  ", ""}));
        QCOMPARE(shown(rig.doc(3)), (ParticipantRecord{true, "VE3GHI", "Carl", "Toronto, ON"}));
        QVERIFY(rig.doc(1)->cmdTalk->isEnabled());
        QVERIFY(!rig.doc(2)->cmdTalk->isEnabled());

        const NetHeader h = rig.main->header();
        QCOMPARE(h.start, QStringLiteral("Thursday, Jan/30/2003 9:05:07 PM"));
        QCOMPARE(h.stop, QStringLiteral("Thursday, Jan/30/2003 10:15:00 PM"));
        QCOMPARE(h.frequency, QStringLiteral("146.520"));
        QCOMPARE(h.mode, QStringLiteral("FM"));
        QCOMPARE(h.cntrlCall, QStringLiteral("W1AW"));
        QCOMPARE(h.cntrlHandle, QStringLiteral("Hiram"));
        QCOMPARE(h.cntrlQTH, QStringLiteral("Newington"));
        QCOMPARE(h.comments, QStringLiteral("Comments\r\nWeekly check-in net"));
        QCOMPARE(rig.main->windowTitle(),
                 QStringLiteral("Kolvane - ") + QDir::toNativeSeparators(golden("hand-edited-lf.kvs")));
        QCOMPARE(rig.net.sOpenFileName, golden("hand-edited-lf.kvs"));
        // The loader writes no status of its own; the tile that orders the new windows
        // ends with the resting text.
        QCOMPARE(rig.main->statusText(), statusIdle());
        QVERIFY(rig.layer.isClean());
    }

    void open_closesWindowsThroughTheirOwnCloseHandling()
    {
        MainRig rig;
        typeNet(rig);
        rig.activate(3);
        rig.doc(3)->cmdTalk_Click();
        QVERIFY(rig.main->timTalk->isActive());
        QVERIFY(rig.main->statusText().startsWith("At turn: VE3GHI"));

        open(rig, golden("session.kvs"));
        QVERIFY(!rig.main->timTalk->isActive());
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));
        QCOMPARE(rig.net.lDocumentCount(), 3);
        // The new window 3 is a fresh window, not the talking one.
        QVERIFY(!rig.doc(3)->shpTalk->Visible());
        QCOMPARE(rig.doc(3)->lblTalkTimer->text(), QStringLiteral("00:00"));
    }

    void saveOpenSave_sameBytes_data()
    {
        QTest::addColumn<QString>("comments");
        QTest::newRow("empty") << QString();
        QTest::newRow("abc") << "abc";
        QTest::newRow("ending in a line break") << "abc\r\n";
        QTest::newRow("blanks around lines") << "  one  \r\n\r\n  two";
        QTest::newRow("non-Latin text") << QString::fromUtf8("Привет, ещё раз");
        QTest::newRow("Unicode line and paragraph separators") << QStringLiteral("a\u2028b\r\nc\u2029d\u2029");
    }
    void saveOpenSave_sameBytes()
    {
        QFETCH(QString, comments);
        MainRig rig;
        typeNet(rig);
        rig.main->txtCntrlQTH->setText(QStringLiteral("  Newington "));
        rig.main->setCommentsText(comments);
        saveAs(rig, path("first.kvs"));

        open(rig, path("first.kvs"));
        QCOMPARE(rig.main->commentsText(), comments);
        saveAs(rig, path("second.kvs"));
        open(rig, path("second.kvs"));
        saveAs(rig, path("third.kvs"));
        QCOMPARE(readAll(path("second.kvs")), readAll(path("first.kvs")));
        QCOMPARE(readAll(path("third.kvs")), readAll(path("first.kvs")));
        QCOMPARE(rig.main->txtCntrlQTH->text(), QStringLiteral("  Newington "));
    }

    void open_closedWindowInTheMiddleIsRenumbered()
    {
        MainRig rig;
        typeNet(rig);
        rig.doc(2)->close();
        saveAs(rig, path("net.kvs"));

        open(rig, path("net.kvs"));
        QCOMPARE(rig.net.lDocumentCount(), 2);
        QCOMPARE(rig.main->openParticipants().size(), 2);
        QCOMPARE(rig.doc(1)->windowTitle(), QStringLiteral("Participant 1"));
        QCOMPARE(rig.doc(2)->windowTitle(), QStringLiteral("Participant 2"));
        QCOMPARE(shown(rig.doc(1)), (ParticipantRecord{true, "K1ABC", "Al", "Hartford"}));
        QCOMPARE(shown(rig.doc(2)), (ParticipantRecord{true, "VE3GHI", "Carl", "Toronto, ON"}));
        // Numbering goes on after the loaded windows.
        rig.main->AddParticipant();
        QCOMPARE(rig.doc(3)->windowTitle(), QStringLiteral("Participant 3"));
        QVERIFY(!rig.doc(4));
    }

    void open_activeOnlyForExactTrue()
    {
        QVERIFY(writeRaw(path("flags.kvs"), "x\r\n5\r\ns\r\n\r\nf\r\nm\r\nc\r\nh\r\nq\r\n\r\n***/***\r\n"
                                            "True\r\nA\r\n\r\n\r\ntrue\r\nB\r\n\r\n\r\nTRUE\r\nC\r\n\r\n\r\n"
                                            "False\r\nD\r\n\r\n\r\nTrue \r\nE\r\n\r\n\r\n"));
        MainRig rig;
        open(rig, path("flags.kvs"));
        QCOMPARE(rig.net.lDocumentCount(), 5);
        const bool expected[] = {true, false, false, false, false};
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(rig.doc(i)->shpActive->Visible(), expected[i - 1]);
    }

    void open_fileEndingEarly_leavesWindowsEmptyAndInactive()
    {
        QVERIFY(writeRaw(path("short.kvs"), "x\r\n3\r\nstart\r\n\r\nf\r\nm\r\nc\r\nh\r\nq\r\nnote\r\n***/***\r\n"
                                            "True\r\nw5abc\r\n"));
        MainRig rig;
        typeNet(rig);
        open(rig, path("short.kvs"));
        QCOMPARE(rig.net.lDocumentCount(), 3);
        QCOMPARE(shown(rig.doc(1)), (ParticipantRecord{true, "W5ABC", "", ""}));
        QCOMPARE(shown(rig.doc(2)), ParticipantRecord());
        QCOMPARE(shown(rig.doc(3)), ParticipantRecord());
        QCOMPARE(rig.main->commentsText(), QStringLiteral("note"));
    }

    void open_noParticipants()
    {
        MainRig rig;
        typeNet(rig);
        SessionData s;
        s.header = rig.main->header();
        QVERIFY(writeRaw(path("empty-net.kvs"), writeSessionFile(s)));
        open(rig, path("empty-net.kvs"));
        QCOMPARE(rig.net.lDocumentCount(), 0);
        QVERIFY(rig.main->openParticipants().isEmpty());
        QCOMPARE(rig.main->windowTitle(),
                 QStringLiteral("Kolvane - ") + QDir::toNativeSeparators(path("empty-net.kvs")));
    }

    void open_moreThan100_limitMessageOnce()
    {
        SessionData s;
        for (int i = 1; i <= 103; ++i)
            s.participants << ParticipantRecord{i == 100, QStringLiteral("K%1").arg(i), QString(), QString()};
        QVERIFY(writeRaw(path("big-net.kvs"), writeSessionFile(s)));

        MainRig rig;
        open(rig, path("big-net.kvs"));
        QCOMPARE(rig.layer.takeMessages(), QStringList{"Participant limit exceeded"});
        QCOMPARE(rig.net.lDocumentCount(), 100);
        QCOMPARE(rig.main->openParticipants().size(), 100);
        QCOMPARE(shown(rig.doc(1)).callsign, QStringLiteral("K1"));
        QCOMPARE(shown(rig.doc(100)), (ParticipantRecord{true, "K100", "", ""}));
        QVERIFY(!rig.doc(99)->shpActive->Visible());
    }

    void open_theFirstTurnOfTheLoadedNetStartsFromZero()
    {
        writeRaw(path("net.kvs"), "x\r\n2\r\ns\r\n\r\nf\r\nFM\r\nW1AW\r\nH\r\nQ\r\n\r\n***/***\r\n"
                                  "True\r\nK1A\r\n\r\n\r\nTrue\r\nK2B\r\n\r\n\r\n");
        MainRig rig;
        typeNet(rig);
        rig.activate(1);
        rig.doc(1)->cmdTalk_Click();
        for (int i = 0; i < 300; ++i)
            rig.main->timTalk_Timer();
        open(rig, path("net.kvs"));
        QVERIFY(!rig.main->timTalk->isActive());
        rig.activate(2);
        rig.doc(2)->cmdTalk_Click();
        rig.main->timTalk_Timer();
        QCOMPARE(rig.doc(2)->lblTalkTimer->text(), QStringLiteral("00:01"));
    }

    void open_longValuesComeBackWhole()
    {
        // Longer than a line edit keeps by default: nothing may be cut on the way through.
        const QByteArray qth(40000, 'q');
        writeRaw(path("long.kvs"), "x\r\n1\r\ns\r\n\r\nf\r\nFM\r\nW1AW\r\nH\r\n" + qth
                                       + "\r\n\r\n***/***\r\nFalse\r\nK1A\r\nAl\r\n" + qth + "\r\n");
        MainRig rig;
        open(rig, path("long.kvs"));
        QCOMPARE(rig.main->txtCntrlQTH->text().size(), 40000);
        QCOMPARE(rig.doc(1)->txtQTH->text().size(), 40000);
    }

    void open_refusals_keepTheSession_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");  // "<none>": no file; "<folder>": a folder
        QTest::newRow("missing file") << "missing.kvs" << QByteArray("<none>");
        QTest::newRow("a folder") << "folder.kvs" << QByteArray("<folder>");
        QTest::newRow("empty file") << "empty.kvs" << QByteArray();
        QTest::newRow("line 1 only") << "one.kvs" << QByteArray("Kolvane Storage, file format 1.0\r\n");
        QTest::newRow("count not a number") << "text.txt" << QByteArray("Dear Al,\r\nthanks for the QSO\r\n");
        QTest::newRow("count negative") << "neg.kvs" << QByteArray("x\r\n-2\r\n");
        QTest::newRow("count above 16 bits") << "big.kvs" << QByteArray("x\r\n40000\r\n");
        QTest::newRow("too large") << "huge.kvs" << QByteArray("<huge>");
#ifndef Q_OS_WIN  // a Windows named pipe lives in its own namespace, not among files
        QTest::newRow("named pipe (would block)") << "pipe.kvs" << QByteArray("<fifo>");
#endif
    }
    void open_refusals_keepTheSession()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString file = path(name);
        if (content == "<folder>") {
            QVERIFY(QDir(folder()).mkdir(name));
        } else if (content == "<huge>") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.write("x\r\n1\r\n") > 0);
            QVERIFY(f.resize(kMaxSessionFileBytes + 1));
#ifndef Q_OS_WIN
        } else if (content == "<fifo>") {
            QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
#endif
        } else if (content != "<none>") {
            QVERIFY(writeRaw(file, content));
        }

        MainRig rig;
        typeNet(rig);
        rig.doc(2)->close();
        saveAs(rig, path("mine.kvs"));
        const SessionSnapshot before = SessionSnapshot::of(rig);
        const QString status = rig.main->statusText();

        open(rig, file);
        QCOMPARE(rig.layer.messages.size(), 1);
        QCOMPARE(rig.layer.messages[0].caption, QStringLiteral("Kolvane"));
        QVERIFY2(rig.layer.messages[0].text.contains(file), qPrintable(rig.layer.messages[0].text));
        QCOMPARE(before.differenceTo(SessionSnapshot::of(rig)), QString());
        QCOMPARE(rig.main->statusText(), status);
        rig.layer.messages.clear();
        QVERIFY(rig.layer.isClean());
    }

    // ---------------------------------------------------------------- failed saves

    void save_failure_reportedAndNothingClaimed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << "no such folder/net.kvs";
        QTest::newRow("path is a folder") << "a folder";
    }
    void save_failure_reportedAndNothingClaimed()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(folder()).mkpath("a folder/inside"));
        MainRig rig;
        typeNet(rig);
        saveAs(rig, path(name));

        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Session not saved"));
        QCOMPARE(rig.main->windowTitle(), QStringLiteral("Kolvane"));
        QCOMPARE(rig.layer.messages.size(), 1);
        QCOMPARE(rig.layer.messages[0].caption, QStringLiteral("Kolvane"));
        QVERIFY(rig.layer.messages[0].text.contains(path(name)));
        QVERIFY(rig.layer.messages[0].text.contains("Reason: "));
        QVERIFY(rig.layer.messages[0].text.endsWith(
            "\n\nTo save it to another file, choose that file with File > Save As, then save again."));
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"a folder"});
        QCOMPARE(QDir(path("a folder")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"inside"});
        rig.layer.messages.clear();

        // The name stays; once the folder exists the same Save succeeds.
        if (name.startsWith("no such")) {
            QVERIFY(QDir(folder()).mkdir("no such folder"));
            rig.main->mnuFileSave_Click();
            QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Session saved"));
            QVERIFY(QFile::exists(path(name)));
        }
    }

#ifdef Q_OS_UNIX
    void save_interruptedWrite_keepsOldFile()
    {
        MainRig rig;
        typeNet(rig);
        saveAs(rig, path("net.kvs"));
        const QByteArray old = readAll(path("net.kvs"));
        const QString title = rig.main->windowTitle();

        // A bigger session that cannot be written in full (the file-size limit stands in
        // for a full disk).
        rig.main->txtComments->setPlainText(
            QStringLiteral("a line of comments to make the file big\r\n").repeated(5000));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 65536;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        rig.main->mnuFileSave_Click();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);

        QCOMPARE(readAll(path("net.kvs")), old);
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"net.kvs"});
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Session not saved"));
        QCOMPARE(rig.main->windowTitle(), title);
        QCOMPARE(rig.layer.messages.size(), 1);
        QVERIFY(rig.layer.messages[0].text.contains(path("net.kvs")));
        rig.layer.messages.clear();
    }
#endif
};

KOLVANE_TEST_MAIN(TestSessionCommands)
#include "test_session_commands.moc"
