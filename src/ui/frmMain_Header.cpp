#include "ui/frmMain.h"

#include "net/DateStamp.h"
#include "net/NetHeader.h"
#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/WindowLayer.h"

#include <QComboBox>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace kolvane {

// ---------------------------------------------------------------- net header

NetHeader frmMain::header() const
{
    NetHeader h;
    h.start = txtStart->text();
    h.stop = txtStop->text();
    h.frequency = txtFrequency->text();
    h.mode = cmbMode->currentText();
    h.cntrlCall = txtCntrlCall->text();
    h.cntrlHandle = txtCntrlHandle->text();
    h.cntrlQTH = txtCntrlQTH->text();
    h.comments = commentsText();
    return h;
}

namespace {

// A block of the comments that a U+2029 character, not a line break, set apart from the
// one before. The editor shows both as a new paragraph; the file keeps them apart.
constexpr int kAfterParagraphSeparator = 1;

}  // namespace

QString frmMain::commentsText() const
{
    // Each paragraph's raw text keeps non-breaking spaces and line separators, which
    // toPlainText() would turn into blanks and line breaks.
    QString text;
    for (QTextBlock b = txtComments->document()->begin(); b.isValid(); b = b.next()) {
        if (b != txtComments->document()->begin())
            text += b.userState() == kAfterParagraphSeparator ? QString(QChar(QChar::ParagraphSeparator))
                                                              : QStringLiteral("\r\n");
        text += b.text();
    }
    return text;
}

void frmMain::setCommentsText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    txtComments->setPlainText(plain);
    // The editor opened a paragraph at every line break and at every U+2029; mark those
    // that came from the character, so that it is written back as it was read.
    QTextBlock b = txtComments->document()->begin();
    for (const QChar c : std::as_const(plain)) {
        if (c != u'\n' && c != QChar(QChar::ParagraphSeparator))
            continue;
        b = b.next();
        if (!b.isValid())
            break;
        if (c == QChar(QChar::ParagraphSeparator))
            b.setUserState(kAfterParagraphSeparator);
    }
}

void frmMain::cmdStart_Click()
{
    txtStart->setText(dateTimeStamp(QDateTime::currentDateTime()));
    parkFocus(QStringLiteral("Start stamped ") + txtStart->text());
}

void frmMain::cmdStop_Click()
{
    txtStop->setText(dateTimeStamp(QDateTime::currentDateTime()));
    parkFocus(QStringLiteral("Stop stamped ") + txtStop->text());
}

void frmMain::parkFocus(const QString& done)
{
    txtGirlFriend->setAccessibleName(done.isEmpty() ? QStringLiteral("Net panel")
                                                    : QStringLiteral("Net panel, ") + done);
    txtGirlFriend->setFocus();
}

void frmMain::txtCntrlCall_Change()
{
    forceCallsignCase(txtCntrlCall);
}

void frmMain::ValidateNetHeader()
{
    BusyScope busy(*this);
    if (const auto missing = firstMissingHeaderField(header())) {
        const QString message = missingFieldMessage(*missing);
        setStatusText(message);
        m_layer.messageBox(this, message);
        m_layer.processPendingEvents();
        QWidget* fieldOf[] = {txtStart, txtFrequency, cmbMode, txtCntrlCall, txtCntrlHandle, txtCntrlQTH};
        fieldOf[int(*missing)]->setFocus();
        return;
    }
    m_layer.processPendingEvents();
    setStatusText(statusIdle());
}

}  // namespace kolvane
