#pragma once

#include "files/CodePage.h"
#include "net/NetHeader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kolvane {

// The layout of a session file, shared with the other station's copy of the program:
//
//   Kolvane Storage, file format 1.0       (never compared on reading)
//   N                                      number of participant records
//   start, stop, frequency, mode, Net Control callsign, handle, QTH   (one line each)
//   comments                               one or more lines
//   ***/***                                ends the comments
//   N records of four lines: True/False, callsign, handle, QTH
//
// Every line, the last one included, ends with CR LF. A transfer file is the same layout
// with the new Net Control station in the Net Control lines and a dated note after the
// comments.

inline QString sessionFileFirstLine()
{
    return QStringLiteral("Kolvane Storage, file format 1.0");
}
inline QString commentsSeparator()
{
    return QStringLiteral("***/***");
}
inline QString sessionFileFilter()
{
    return QStringLiteral("All Files (*.kvs)|*.kvs");
}
// What the save dialogs add to a name typed without an extension, so that the Open
// dialog's filter shows the file.
inline QString sessionFileSuffix()
{
    return QStringLiteral("kvs");
}

// A file larger than this is refused without being read. A full net of 100 stations with
// a page of comments takes a few kilobytes; 16 MiB is thousands of times that.
constexpr qint64 kMaxSessionFileBytes = 16 * 1024 * 1024;
inline QString maxSessionFileSizeText()
{
    return QStringLiteral("16 MiB");
}

// Line 2 is read as a 16-bit count; anything outside 0..this is not a session file.
constexpr int kMaxRecordCount = 32767;

struct ParticipantRecord {
    bool active = false;
    QString callsign;
    QString handle;
    QString qth;

    bool operator==(const ParticipantRecord& o) const
    {
        return active == o.active && callsign == o.callsign && handle == o.handle && qth == o.qth;
    }
    bool operator!=(const ParticipantRecord& o) const { return !(*this == o); }
};

struct SessionData {
    NetHeader header;  // comments: lines joined with CR LF
    QList<ParticipantRecord> participants;

    bool operator==(const SessionData& o) const { return header == o.header && participants == o.participants; }
    bool operator!=(const SessionData& o) const { return !(*this == o); }
};

// ---- writing

// A value that takes one line of the file: each line break (CR LF, CR or LF) becomes a
// blank, so that no value can shift the lines after it.
QString singleLineValue(const QString& value);

// The comments as they are written: every line break as CR LF.
QString commentsBlock(const QString& comments);

// The whole file as text, every line ended by CR LF.
QString sessionFileText(const SessionData& session);

// The whole file as bytes, in the code page codePageFor() picks for its text.
QByteArray writeSessionFile(const SessionData& session, CodePage* used = nullptr);

// ---- reading

enum class SessionReadError { None, CannotOpen, TooLarge, NotASessionFile };

struct SessionReadResult {
    SessionReadError error = SessionReadError::None;
    SessionData data;                           // meaningful only when ok()
    CodePage codePage = CodePage::Windows1252;  // what the file was read as
    QString reason;                             // why it was refused, for the operator

    bool ok() const { return error == SessionReadError::None; }
};

// Reads a whole file. Lines end at CR LF, a lone CR or a lone LF; a last line without an
// end is read too. Refused: more than kMaxSessionFileBytes, or line 2 missing or not a
// whole number from 0 to kMaxRecordCount (blanks around it are allowed). Otherwise the
// result has exactly that many records; fields and records the file does not reach are
// empty (and inactive). Only the exact flag "True" makes a record active.
SessionReadResult readSessionFile(const QByteArray& bytes);

// The operator's reason for a file that is too large or not a session file.
QString sessionReadReason(SessionReadError error);

// The count on line 2, or -1 when the text is not a whole number from 0 to kMaxRecordCount.
int parseRecordCount(const QString& text);

// ---- transfer of Net Control

// The four lines of the hand-over note. `dateTime` is the stamp of the moment of the
// transfer (see net/DateStamp.h).
QStringList transferNote(const NetHeader& from, const NetControlStation& to, const QString& dateTime);

// The session as the transfer file carries it: the new station in the Net Control fields
// and the note after the current comments, separated from them by one line break.
SessionData transferSession(const SessionData& session, const NetControlStation& to, const QString& dateTime);

}  // namespace kolvane
