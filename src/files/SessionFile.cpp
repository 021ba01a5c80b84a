#include "files/SessionFile.h"

#include <QStringView>

#include <optional>

namespace kolvane {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Hands out the lines of a text one by one without copying the text up front: a file of
// millions of empty lines must not turn into millions of strings at once.
class LineCursor {
public:
    explicit LineCursor(QStringView text) : m_text(text) {}

    // The next line without its end, or nothing at the end of the text.
    std::optional<QStringView> next()
    {
        if (m_pos >= m_text.size())
            return std::nullopt;
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text[end] != u'\r' && m_text[end] != u'\n')
            ++end;
        const QStringView line = m_text.mid(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_text.size()) {
            // CR LF is one line end; a lone CR or a lone LF is one too.
            if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
                m_pos += 2;
            else
                m_pos += 1;
        }
        return line;
    }

    QString nextOrEmpty()
    {
        const auto line = next();
        return line ? line->toString() : QString();
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

}  // namespace

// ---------------------------------------------------------------- writing

QString singleLineValue(const QString& value)
{
    if (!value.contains(u'\r') && !value.contains(u'\n'))
        return value;
    QString out = value;
    out.replace(kCrLf, QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

QString commentsBlock(const QString& comments)
{
    if (!comments.contains(u'\r') && !comments.contains(u'\n'))
        return comments;
    QString out;
    out.reserve(comments.size() + 16);
    for (qsizetype i = 0; i < comments.size(); ++i) {
        const QChar c = comments[i];
        if (c == u'\r') {
            if (i + 1 < comments.size() && comments[i + 1] == u'\n')
                ++i;
            out += kCrLf;
        } else if (c == u'\n') {
            out += kCrLf;
        } else {
            out += c;
        }
    }
    return out;
}

QString sessionFileText(const SessionData& session)
{
    QString text;
    auto line = [&text](const QString& value) {
        text += value;
        text += kCrLf;
    };
    const NetHeader& h = session.header;
    line(sessionFileFirstLine());
    line(QString::number(session.participants.size()));
    line(singleLineValue(h.start));
    line(singleLineValue(h.stop));
    line(singleLineValue(h.frequency));
    line(singleLineValue(h.mode));
    line(singleLineValue(h.cntrlCall));
    line(singleLineValue(h.cntrlHandle));
    line(singleLineValue(h.cntrlQTH));
    line(commentsBlock(h.comments));
    line(commentsSeparator());
    for (const ParticipantRecord& r : session.participants) {
        line(trueFalse(r.active));
        line(singleLineValue(r.callsign));
        line(singleLineValue(r.handle));
        line(singleLineValue(r.qth));
    }
    return text;
}

QByteArray writeSessionFile(const SessionData& session, CodePage* used)
{
    return encodeSessionText(sessionFileText(session), used);
}

// ---------------------------------------------------------------- reading

int parseRecordCount(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    if (begin == end)
        return -1;
    int value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
        if (value > kMaxRecordCount)
            return -1;
    }
    return value;
}

QString sessionReadReason(SessionReadError error)
{
    switch (error) {
    case SessionReadError::TooLarge:
        return QStringLiteral("The file is larger than %1, far more than any net needs, so it is not a "
                              "session file.")
            .arg(maxSessionFileSizeText());
    case SessionReadError::NotASessionFile:
        return QStringLiteral("It is not a session file: line 2 must hold the number of participants, a "
                              "whole number from 0 to %1.")
            .arg(kMaxRecordCount);
    case SessionReadError::CannotOpen:
        return QStringLiteral("The file cannot be read.");
    case SessionReadError::None:
        break;
    }
    return QString();
}

SessionReadResult readSessionFile(const QByteArray& bytes)
{
    SessionReadResult result;
    const auto refuse = [&result](SessionReadError error) {
        result.error = error;
        result.reason = sessionReadReason(error);
        result.data = SessionData();
        return result;
    };
    if (bytes.size() > kMaxSessionFileBytes)
        return refuse(SessionReadError::TooLarge);

    const QString text = decodeSessionText(bytes, &result.codePage);
    LineCursor lines(text);
    const auto notASessionFile = [&refuse] { return refuse(SessionReadError::NotASessionFile); };

    lines.next();  // line 1 names the format; it has never been compared
    const auto countLine = lines.next();
    if (!countLine)
        return notASessionFile();
    const int count = parseRecordCount(countLine->toString());
    if (count < 0)
        return notASessionFile();

    SessionData& data = result.data;
    NetHeader& h = data.header;
    h.start = lines.nextOrEmpty();
    h.stop = lines.nextOrEmpty();
    h.frequency = lines.nextOrEmpty();
    h.mode = lines.nextOrEmpty();
    h.cntrlCall = lines.nextOrEmpty();
    h.cntrlHandle = lines.nextOrEmpty();
    h.cntrlQTH = lines.nextOrEmpty();

    // The comment lines come back joined by line breaks and nothing more, so that a file
    // saved again has the same bytes. Without a separator everything left is comments.
    bool firstLine = true;
    while (const auto line = lines.next()) {
        if (*line == commentsSeparator())
            break;
        if (!firstLine)
            h.comments += kCrLf;
        h.comments += *line;
        firstLine = false;
    }

    data.participants.reserve(count);
    for (int i = 0; i < count; ++i) {
        ParticipantRecord r;
        if (const auto flag = lines.next()) {
            r.active = *flag == QStringLiteral("True");
            r.callsign = lines.nextOrEmpty();
            r.handle = lines.nextOrEmpty();
            r.qth = lines.nextOrEmpty();
        }
        data.participants.append(r);
    }
    return result;
}

// ---------------------------------------------------------------- transfer

QStringList transferNote(const NetHeader& from, const NetControlStation& to, const QString& dateTime)
{
    return {
        QStringLiteral("//***On ") + singleLineValue(dateTime),
        QStringLiteral("Net Control was transferred from"),
        singleLineValue(from.cntrlCall) + QStringLiteral(", ") + singleLineValue(from.cntrlHandle)
            + QStringLiteral(" in ") + singleLineValue(from.cntrlQTH) + QStringLiteral(" to"),
        singleLineValue(to.callsign) + QStringLiteral(", ") + singleLineValue(to.handle) + QStringLiteral(" in ")
            + singleLineValue(to.qth) + QStringLiteral("***//"),
    };
}

SessionData transferSession(const SessionData& session, const NetControlStation& to, const QString& dateTime)
{
    SessionData out = session;
    out.header.cntrlCall = to.callsign;
    out.header.cntrlHandle = to.handle;
    out.header.cntrlQTH = to.qth;
    out.header.comments = session.header.comments + kCrLf + transferNote(session.header, to, dateTime).join(kCrLf);
    return out;
}

}  // namespace kolvane
