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
#include <iterator>

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
            m_echo.showing([&] { cmbMode->setEditText(text); });
        return;
    case HeaderItem::Comments:
        if (commentsText() != text)
            setCommentsText(text);
        return;
    }
    // Written only when it differs, so that the caret of the operator typing stays put.
    if (field && field->text() != text)
        m_echo.showing([&] { field->setText(text); });
}

namespace {

// The characters other than a line break that the comments box turns into a new paragraph.
// A paragraph remembers which of them set it apart from the one before (its position here,
// plus one; a line break, the box's own kind, is the default state -1), so that the text
// comes back out as it went in.
constexpr char16_t kParagraphBreaks[] = {QChar::ParagraphSeparator, 0xFDD0, 0xFDD1};

int paragraphBreakState(QChar c)
{
    for (int i = 0; i < int(std::size(kParagraphBreaks)); ++i) {
        if (c == kParagraphBreaks[i])
            return i + 1;
    }
    return -1;
}

}  // namespace

QString frmMain::commentsText() const
{
    // Each paragraph's raw text keeps non-breaking spaces and line separators, which
    // toPlainText() would turn into blanks and line breaks.
    QString text;
    for (QTextBlock b = txtComments->document()->begin(); b.isValid(); b = b.next()) {
        if (b != txtComments->document()->begin()) {
            const int state = b.userState();
            if (state >= 1 && state <= int(std::size(kParagraphBreaks)))
                text += QChar(kParagraphBreaks[state - 1]);
            else
                text += QStringLiteral("\r\n");
        }
        text += b.text();
    }
    return text;
}

void frmMain::setCommentsText(const QString& text)
{
    // The box is given line breaks only, so that its paragraphs are exactly the ones counted
    // here; which character each one stood for is noted on it afterwards.
    QString plain;
    plain.reserve(text.size());
    QList<int> breaks;  // the state of each paragraph after the first
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            breaks.append(-1);
            plain += u'\n';
        } else if (const int state = paragraphBreakState(c); state != -1) {
            breaks.append(state);
            plain += u'\n';
        } else {
            plain += c;
        }
    }
    m_echo.showing([&] {
        txtComments->setPlainText(plain);
        QTextBlock b = txtComments->document()->begin();
        for (const int state : std::as_const(breaks)) {
            b = b.next();
            if (!b.isValid())
                break;
            b.setUserState(state);
        }
    });
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
    if (m_echo.isEdit())
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
