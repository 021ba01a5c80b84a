#pragma once

// What must hold for any bytes handed to the session-file reader, shared by the fuzz target
// and the corpus replay in the normal suite.
#include "files/SessionFile.h"

#include <QByteArray>
#include <QString>

namespace kolvane {

// Empty when the property holds, otherwise what broke it. The input ends in data or in a
// refusal with a reason; data written again and read back is the same data, and writing
// it once more gives the same bytes.
inline QString sessionFileProperty(const QByteArray& input)
{
    const SessionReadResult first = readSessionFile(input);
    if (!first.ok()) {
        if (first.reason.isEmpty())
            return QStringLiteral("refused without a reason");
        if (first.data != SessionData())
            return QStringLiteral("a refused file still carries data");
        return QString();
    }
    if (first.data.participants.size() > kMaxRecordCount)
        return QStringLiteral("more records than line 2 can announce");

    const QByteArray written = writeSessionFile(first.data);
    const SessionReadResult second = readSessionFile(written);
    if (written.size() > kMaxSessionFileBytes) {
        // Line ends written as CR LF or UTF-8 can outgrow the bound; the reader must refuse
        // such a file cleanly (the program refuses to save it in the first place).
        return second.error == SessionReadError::TooLarge ? QString() : QStringLiteral("oversized file not refused");
    }
    if (!second.ok())
        return QStringLiteral("the written file was refused: ") + second.reason;
    if (second.data != first.data)
        return QStringLiteral("write-then-read changed the data");
    if (writeSessionFile(second.data) != written)
        return QStringLiteral("writing the same data twice gave different bytes");
    return QString();
}

}  // namespace kolvane
