#pragma once

#include "files/SessionFile.h"

#include <QByteArray>
#include <QString>

namespace kolvane {

// Reads the file at `path` and parses it. A file that cannot be opened or read (missing,
// a folder, no permission) is refused with the system's reason; a file above
// kMaxSessionFileBytes is refused before any of it is read.
SessionReadResult readSessionFileAt(const QString& path);

// Writes `bytes` to `path` so that the file is either the new one, complete, or the old
// one, untouched: the bytes go to a temporary file beside it that replaces the old file
// only once everything is written. Returns an empty text on success, otherwise the reason.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// Writes a session (or transfer) file atomically; a session that would make a file too
// large to open again is not written. Returns an empty text on success, otherwise the reason.
QString writeSessionFileAt(const QString& path, const SessionData& session);

// The operator's message for a file that was refused on opening.
QString openRefusedMessage(const QString& path, const QString& reason);

// The operator's message for a session or a transfer file that could not be written.
QString sessionNotSavedMessage(const QString& path, const QString& reason);
QString transferNotWrittenMessage(const QString& path, const QString& reason);

// The reason given when a session would make a file too large to open again.
QString sessionTooLargeReason();

}  // namespace kolvane
