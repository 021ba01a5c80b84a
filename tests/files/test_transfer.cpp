// Tools > Transfer Net Control: the dialog's checks and keys, the refusals, the transfer
// file with its dated note, and that the local session stays as it was.
#include "FileRig.h"
#include "files/SessionStorage.h"
#include "net/DateStamp.h"
#include "support/TestMain.h"
#include "ui/frmTransfer.h"

#include <QDateTime>
#include <QTemporaryDir>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// A modal answer that types the new station and presses OK.
std::function<void(QDialog*)> enterStation(const QString& call, const QString& handle, const QString& qth)
{
    return [=](QDialog* dialog) {
        auto* dlg = qobject_cast<kolvane::frmTransfer*>(dialog);
        QVERIFY(dlg);
        dlg->txtNewCallsign->setText(call);
        dlg->txtNewHandle->setText(handle);
        dlg->txtNewQTH->setText(qth);
        dlg->cmdOK->click();
        QVERIFY(!dlg->isVisible());
    };
}

// Where Tab goes from `w`.
QWidget* nextTabStop(QWidget* w)
{
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain()) {
        if ((n->focusPolicy() & Qt::TabFocus) && n->isEnabled())
            return n;
    }
    return nullptr;
}

}  // namespace

class TestTransfer : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString path(const QString& name) const { return m_tmp->filePath(name); }
    QStringList filesInFolder() const { return QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    void transfer(MainRig& rig, const QString& call, const QString& handle, const QString& qth, const QString& file)
    {
        rig.layer.answerModal(enterStation(call, handle, qth));
        rig.layer.answerFile(file);
        rig.main->mnuToolsTransferNetControl_Click();
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
    }

    void transfer_writesNewNetControlAndDatedNote()
    {
        MainRig rig;
        typeNet(rig);
        rig.doc(2)->close();
        const SessionSnapshot before = SessionSnapshot::of(rig);
        const QString comments = rig.main->commentsText();

        const QString earliest = dateTimeStamp(QDateTime::currentDateTime());
        transfer(rig, "k2xyz", "Bob", "Boston", path("to-bob.kvs"));
        const QString latest = dateTimeStamp(QDateTime::currentDateTime());

        QCOMPARE(rig.main->statusText(),
                 QStringLiteral("Status: Net Control transferred to K2XYZ via file ") + path("to-bob.kvs"));
        QCOMPARE(rig.net.sNewCallsign(), QStringLiteral("K2XYZ"));
        QCOMPARE(rig.net.sTransferFileName, path("to-bob.kvs"));
        QCOMPARE(rig.layer.fileRequests.size(), 1);
        QCOMPARE(rig.layer.fileRequests[0].title, QStringLiteral("Transfer File Save As"));
        QCOMPARE(rig.layer.fileRequests[0].filter, QStringLiteral("All Files (*.kvs)|*.kvs"));
        QVERIFY(rig.layer.fileRequests[0].save);
        QCOMPARE(rig.layer.fileRequests[0].defaultSuffix, QStringLiteral("kvs"));  // Open shows the file

        const SessionReadResult file = readSessionFileAt(path("to-bob.kvs"));
        QVERIFY(file.ok());
        const NetHeader& h = file.data.header;
        QCOMPARE(h.cntrlCall, QStringLiteral("K2XYZ"));
        QCOMPARE(h.cntrlHandle, QStringLiteral("Bob"));
        QCOMPARE(h.cntrlQTH, QStringLiteral("Boston"));
        QCOMPARE(h.start, before.header.start);
        QCOMPARE(h.frequency, before.header.frequency);
        QCOMPARE(h.mode, before.header.mode);
        QCOMPARE(file.data.participants, before.records);

        const QString noteStart = comments + QStringLiteral("\r\n//***On ");
        QVERIFY2(h.comments.startsWith(noteStart), qPrintable(h.comments));
        const QStringList noteLines = h.comments.mid(comments.size() + 2).split(QStringLiteral("\r\n"));
        QCOMPARE(noteLines.size(), 4);
        const QString stamp = noteLines[0].mid(8);
        QVERIFY2(stamp == earliest || stamp == latest, qPrintable(stamp));
        QCOMPARE(noteLines[1], QStringLiteral("Net Control was transferred from"));
        QCOMPARE(noteLines[2], QStringLiteral("W1AW, Hiram in Newington to"));
        QCOMPARE(noteLines[3], QStringLiteral("K2XYZ, Bob in Boston***//"));

        // The sending station's session is not changed.
        QCOMPARE(before.differenceTo(SessionSnapshot::of(rig)), QString());
        QCOMPARE(rig.main->commentsText(), comments);
        QVERIFY(rig.layer.isClean());
    }

    void ownStation_refusedOnlyWhenCallAndHandleMatchExactly_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("handle");
        QTest::addColumn<bool>("carriedOut");
        QTest::newRow("same call and handle") << "W1AW"
                                              << "Hiram" << false;
        QTest::newRow("same call typed lower case") << "w1aw"
                                                    << "Hiram" << false;
        QTest::newRow("handle in other case") << "W1AW"
                                              << "HIRAM" << true;
        QTest::newRow("other handle") << "W1AW"
                                      << "Hank" << true;
        QTest::newRow("other call, same handle") << "K2XYZ"
                                                 << "Hiram" << true;
        QTest::newRow("trailing blank in handle") << "W1AW"
                                                  << "Hiram " << true;
    }
    void ownStation_refusedOnlyWhenCallAndHandleMatchExactly()
    {
        QFETCH(QString, call);
        QFETCH(QString, handle);
        QFETCH(bool, carriedOut);
        MainRig rig;
        typeNet(rig);
        rig.layer.answerModal(enterStation(call, handle, "Anywhere"));
        if (carriedOut)
            rig.layer.answerFile(path("out.kvs"));
        rig.main->mnuToolsTransferNetControl_Click();
        if (carriedOut) {
            QVERIFY(rig.main->statusText().startsWith("Status: Net Control transferred to "));
            QVERIFY(QFile::exists(path("out.kvs")));
        } else {
            QCOMPARE(rig.main->statusText(),
                     QStringLiteral("Status: Can't transfer Net Control to yourself. Please try again"));
            QVERIFY(rig.layer.fileRequests.isEmpty());
            QVERIFY(filesInFolder().isEmpty());
        }
        QVERIFY(rig.layer.isClean());
    }

    void noParticipantWindow_idleAndNoFile()
    {
        MainRig rig;
        typeHeader(*rig.main);
        rig.doc(1)->close();
        rig.net.sTransferFileName = QStringLiteral("earlier");
        rig.layer.answerModal(enterStation("K2XYZ", "Bob", "Boston"));
        rig.main->mnuToolsTransferNetControl_Click();
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));
        QVERIFY(rig.layer.fileRequests.isEmpty());
        QVERIFY(rig.net.sTransferFileName.isEmpty());
        QVERIFY(filesInFolder().isEmpty());
        QVERIFY(rig.layer.isClean());
    }

    void fileDialogCancelled_idleAndNoFile()
    {
        MainRig rig;
        typeNet(rig);
        rig.layer.answerModal(enterStation("K2XYZ", "Bob", "Boston"));
        rig.layer.cancelFile();
        rig.main->mnuToolsTransferNetControl_Click();
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));
        QVERIFY(rig.net.sTransferFileName.isEmpty());
        QVERIFY(filesInFolder().isEmpty());
    }

    void incompleteHeader_dialogNeverOpens()
    {
        MainRig rig;
        typeNet(rig);
        rig.main->txtCntrlQTH->setText(QString());
        rig.main->mnuToolsTransferNetControl_Click();  // an unscripted dialog would fail here
        QCOMPARE(rig.layer.takeMessages(), QStringList{"Please enter current Net Control QTH"});
        QCOMPARE(rig.main->statusText(), QStringLiteral("Please enter current Net Control QTH"));
        QVERIFY(rig.layer.isClean());
    }

    void twoTransfers_carryOneNoteEach()
    {
        MainRig rig;
        typeNet(rig);
        transfer(rig, "K2XYZ", "Bob", "Boston", path("first.kvs"));
        transfer(rig, "N3QQQ", "Cy", "Albany", path("second.kvs"));
        for (const char* name : {"first.kvs", "second.kvs"}) {
            const SessionReadResult r = readSessionFileAt(path(name));
            QVERIFY(r.ok());
            QCOMPARE(r.data.header.comments.count("//***On "), 1);
            QCOMPARE(r.data.header.comments.count("W1AW, Hiram in Newington to"), 1);
        }
        QVERIFY(readAll(path("second.kvs")).contains("N3QQQ, Cy in Albany***//"));
    }

    void transferOfAReceivedNet_carriesBothNotes()
    {
        {
            MainRig sender;
            typeNet(sender);
            transfer(sender, "K2XYZ", "Bob", "Boston", path("to-bob.kvs"));
        }
        // Bob opens the file and hands the net on.
        MainRig bob;
        bob.layer.answerFile(path("to-bob.kvs"));
        bob.main->mnuFileOpen_Click();
        QCOMPARE(bob.main->txtCntrlCall->text(), QStringLiteral("K2XYZ"));
        QCOMPARE(bob.main->txtCntrlQTH->text(), QStringLiteral("Boston"));
        QVERIFY(bob.main->commentsText().endsWith("K2XYZ, Bob in Boston***//"));
        QCOMPARE(bob.main->openParticipants().size(), 3);
        transfer(bob, "N3QQQ", "Cy", "Albany", path("to-cy.kvs"));

        const QString comments = readSessionFileAt(path("to-cy.kvs")).data.header.comments;
        QCOMPARE(comments.count("//***On "), 2);
        QVERIFY(comments.indexOf("W1AW, Hiram in Newington to") < comments.indexOf("K2XYZ, Bob in Boston to"));
        QVERIFY(comments.endsWith("N3QQQ, Cy in Albany***//"));
    }

    void writeFailure_reportedNotClaimed()
    {
        MainRig rig;
        typeNet(rig);
        transfer(rig, "K2XYZ", "Bob", "Boston", path("missing folder/t.kvs"));
        QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Net Control not transferred"));
        QCOMPARE(rig.layer.messages.size(), 1);
        QCOMPARE(rig.layer.messages[0].caption, QStringLiteral("Kolvane"));
        QVERIFY(rig.layer.messages[0].text.contains(path("missing folder/t.kvs")));
        QVERIFY(filesInFolder().isEmpty());
        rig.layer.messages.clear();
    }

    // ---------------------------------------------------------------- the dialog

    void dialog_layoutAndStartState()
    {
        MainRig rig;
        typeNet(rig);
        rig.net.setNewNetControl(NetControlStation{QString(), QString(), QStringLiteral("left from before")});
        rig.layer.answerModal([&rig](QDialog* dialog) {
            auto* dlg = qobject_cast<kolvane::frmTransfer*>(dialog);
            QVERIFY(dlg);
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Transfer Net Control To:"));
            QVERIFY(dlg->isModal());
            QCOMPARE(dlg->parentWidget(), rig.main.get());
            // Shutdown closes the dialog through this pointer while it is shown.
            QCOMPARE(rig.main->frmTransfer.data(), dialog);
            QVERIFY(dlg->txtNewCallsign->text().isEmpty());
            QVERIFY(dlg->txtNewHandle->text().isEmpty());
            QVERIFY(dlg->txtNewQTH->text().isEmpty());
            QCOMPARE(dlg->lblLabels[0]->buddy(), dlg->txtNewCallsign);  // Alt+C reaches the field
            QVERIFY(dlg->cmdOK->isDefault());
            QCOMPARE(dlg->focusWidget(), dlg->txtNewCallsign);
            QCOMPARE(nextTabStop(dlg->txtNewCallsign), dlg->txtNewHandle);
            QCOMPARE(nextTabStop(dlg->txtNewHandle), dlg->txtNewQTH);
            QCOMPARE(nextTabStop(dlg->txtNewQTH), dlg->cmdOK);
            QCOMPARE(nextTabStop(dlg->cmdOK), dlg->cmdCancel);
            dlg->cmdCancel->click();
        });
        rig.main->mnuToolsTransferNetControl_Click();
        QVERIFY(!rig.main->frmTransfer);
        QVERIFY(rig.net.sNewCallsign().isEmpty());
        QCOMPARE(rig.net.sNewQTH(), QStringLiteral("left from before"));
    }

    void dialog_callsignUpperCase()
    {
        MainRig rig;
        typeNet(rig);
        rig.layer.answerModal([](QDialog* dialog) {
            auto* dlg = qobject_cast<kolvane::frmTransfer*>(dialog);
            QTest::keyClicks(dlg->txtNewCallsign, "k2x");
            QCOMPARE(dlg->txtNewCallsign->text(), QStringLiteral("K2X"));
            QCOMPARE(dlg->txtNewCallsign->cursorPosition(), 3);
            dlg->txtNewCallsign->setCursorPosition(1);
            QTest::keyClicks(dlg->txtNewCallsign, "q");
            QCOMPARE(dlg->txtNewCallsign->text(), QStringLiteral("KQ2X"));
            QCOMPARE(dlg->txtNewCallsign->cursorPosition(), 4);
            dlg->cmdCancel->click();
        });
        rig.main->mnuToolsTransferNetControl_Click();
        QVERIFY(rig.layer.isClean());
    }

    void dialog_emptyFieldsCheckedInOrder()
    {
        MainRig rig;
        typeNet(rig);
        rig.layer.answerModal([&rig](QDialog* dialog) {
            auto* dlg = qobject_cast<kolvane::frmTransfer*>(dialog);
            const struct {
                TextBox* fill;
                const char* message;
            } steps[] = {
                {nullptr, "Please enter NEW Net Control Callsign"},
                {dlg->txtNewCallsign, "Please enter New Net Control Handle"},
                {dlg->txtNewHandle, "Please enter New Net Control QTH"},
            };
            for (const auto& step : steps) {
                if (step.fill)
                    step.fill->setText(QStringLiteral(" "));  // a blank counts as filled
                dlg->cmdOK->click();
                QVERIFY(dlg->isVisible());
                QCOMPARE(rig.layer.takeMessages(), QStringList{step.message});
                QCOMPARE(rig.main->statusText(), QString::fromLatin1(step.message));
            }
            dlg->txtNewQTH->setText(QStringLiteral(" "));
            dlg->cmdOK->click();
            QVERIFY(!dlg->isVisible());
        });
        rig.layer.answerFile(path("blank.kvs"));
        rig.main->mnuToolsTransferNetControl_Click();
        QCOMPARE(rig.net.sNewCallsign(), QStringLiteral(" "));
        QCOMPARE(rig.net.sNewHandle(), QStringLiteral(" "));
        QCOMPARE(rig.net.sNewQTH(), QStringLiteral(" "));
        QVERIFY(QFile::exists(path("blank.kvs")));
    }

    void dialog_rejectedOK_thenCancel_keepsTheFieldMessage()
    {
        MainRig rig;
        typeNet(rig);
        rig.layer.answerModal([&rig](QDialog* dialog) {
            auto* dlg = qobject_cast<kolvane::frmTransfer*>(dialog);
            dlg->txtNewCallsign->setText(QStringLiteral("K2XYZ"));
            dlg->cmdOK->click();
            rig.layer.takeMessages();
            dlg->cmdCancel->click();
        });
        rig.main->mnuToolsTransferNetControl_Click();
        QCOMPARE(rig.main->statusText(), QStringLiteral("Please enter New Net Control Handle"));
        QVERIFY(rig.net.sNewCallsign().isEmpty());
        QVERIFY(rig.net.sNewHandle().isEmpty());
        QVERIFY(rig.layer.fileRequests.isEmpty());
    }

    void dialog_keysAndCloseBox_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("carriedOut");
        QTest::newRow("Enter is OK") << "enter" << true;
        QTest::newRow("Esc is Cancel") << "escape" << false;
        QTest::newRow("close box is Cancel") << "close" << false;
        QTest::newRow("main window shut down") << "shutdown" << false;
    }
    void dialog_keysAndCloseBox()
    {
        QFETCH(QString, how);
        QFETCH(bool, carriedOut);
        MainRig rig;
        typeNet(rig);
        // An earlier transfer left a station behind; a cancelled dialog must not reuse it.
        rig.net.setNewNetControl(NetControlStation{QStringLiteral("OLD1"), QStringLiteral("Old"), QString()});
        rig.layer.answerModal([&rig, how](QDialog* dialog) {
            auto* dlg = qobject_cast<kolvane::frmTransfer*>(dialog);
            dlg->txtNewCallsign->setText(QStringLiteral("K2XYZ"));
            dlg->txtNewHandle->setText(QStringLiteral("Bob"));
            dlg->txtNewQTH->setText(QStringLiteral("Boston"));
            if (how == "enter")
                QTest::keyClick(dlg->txtNewQTH, Qt::Key_Return);
            else if (how == "escape")
                QTest::keyClick(dlg->txtNewQTH, Qt::Key_Escape);
            else if (how == "close")
                dlg->close();
            else
                rig.main->close();
            QVERIFY(!dlg->isVisible());
        });
        if (carriedOut)
            rig.layer.answerFile(path("t.kvs"));
        rig.main->mnuToolsTransferNetControl_Click();
        QCOMPARE(QFile::exists(path("t.kvs")), carriedOut);
        QCOMPARE(rig.net.sNewCallsign(), carriedOut ? QStringLiteral("K2XYZ") : QString());
        QCOMPARE(rig.net.sNewHandle(), carriedOut ? QStringLiteral("Bob") : QString());
        if (!carriedOut) {
            QVERIFY(rig.layer.fileRequests.isEmpty());
            QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Idle"));  // from the validation
        }
        QVERIFY(rig.layer.isClean());
    }
};

KOLVANE_TEST_MAIN(TestTransfer)
#include "test_transfer.moc"
