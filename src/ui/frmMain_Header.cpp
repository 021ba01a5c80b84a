#include "ui/frmMain.h"

#include "net/Callsign.h"
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

void frmMain::showHeaderItem(HeaderItem item)
{
    const QString text = m_net.headerText(item);
    TextBox* field = nullptr;
    switch (item) {
    case HeaderItem::Start:
        field = txtStart;
        break;
    case HeaderItem::Stop:
        field = txtStop;
        break;
    case HeaderItem::Frequency:
        field = txtFrequency;
        break;
    case HeaderItem::CntrlCall:
        field = txtCntrlCall;
        break;
    case HeaderItem::CntrlHandle:
        field = txtCntrlHandle;
        break;
    case HeaderItem::CntrlQTH:
        field = txtCntrlQTH;
        break;
    case HeaderItem::Mode:
        if (cmbMode->currentText() != text)
            cmbMode->setEditText(text);
        return;
    case HeaderItem::Comments:
        if (commentsText() != text)
            setCommentsText(text);
        return;
    }
    // Written back only when it differs, so what the operator types is not typed again.
    if (field && field->text() != text)
        field->setText(text);
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
    m_net.setHeaderText(HeaderItem::Start, dateTimeStamp(QDateTime::currentDateTime()));
    parkFocus(QStringLiteral("Start stamped ") + m_net.header().start);
}

void frmMain::cmdStop_Click()
{
    m_net.setHeaderText(HeaderItem::Stop, dateTimeStamp(QDateTime::currentDateTime()));
    parkFocus(QStringLiteral("Stop stamped ") + m_net.header().stop);
}

void frmMain::parkFocus(const QString& done)
{
    txtGirlFriend->setAccessibleName(done.isEmpty() ? QStringLiteral("Net panel")
                                                    : QStringLiteral("Net panel, ") + done);
    txtGirlFriend->setFocus();
}

void frmMain::txtCntrlCall_Change()
{
    // The net keeps the callsign in upper case and the field shows it so.
    m_net.setHeaderText(HeaderItem::CntrlCall, txtCntrlCall->text());
    txtCntrlCall->setCursorPosition(qMin(kCallsignCaret, int(txtCntrlCall->text().size())));
}

void frmMain::ValidateNetHeader()
{
    BusyScope busy(*this);
    if (const auto missing = m_net.firstMissingHeaderField()) {
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
