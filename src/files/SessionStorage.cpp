#include "files/SessionStorage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kolvane {

SessionReadResult readSessionFileAt(const QString& path)
{
    SessionReadResult refused;
    // A named pipe or a device would block the program on open or read: only a regular
    // file can be a session file.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        refused.error = SessionReadError::CannotOpen;
        refused.reason = QStringLiteral("It is not a regular file.");
        return refused;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refused.error = SessionReadError::CannotOpen;
        refused.reason = file.errorString();
        return refused;
    }
    // The size a device reports may be 0 (a pipe) or wrong, so the read itself is bounded
    // too: one byte more than the limit is enough to know the file is too large.
    if (file.size() > kMaxSessionFileBytes) {
        refused.error = SessionReadError::TooLarge;
        refused.reason = sessionReadReason(refused.error);
        return refused;
    }
    const QByteArray bytes = file.read(kMaxSessionFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        refused.error = SessionReadError::CannotOpen;
        refused.reason = file.errorString();
        return refused;
    }
    return readSessionFile(bytes);
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return QStringLiteral("No file name was given.");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString writeSessionFileAt(const QString& path, const SessionData& session)
{
    const QByteArray bytes = writeSessionFile(session);
    if (bytes.size() > kMaxSessionFileBytes)
        return sessionTooLargeReason();
    return writeFileAtomically(path, bytes);
}

QString openRefusedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The file could not be opened. The session shown is unchanged.\n\nFile: %1\nReason: %2")
        .arg(path, reason);
}

QString sessionNotSavedMessage(const QString& path, const QString& reason)
{
    // Save keeps the name it was given, so saying what to do next matters: the same Save
    // would fail the same way.
    return QStringLiteral("The session was not saved.\n\nFile: %1\nReason: %2\n\n"
                          "To save it to another file, choose that file with File > Save As, then save again.")
        .arg(path, reason);
}

QString transferNotWrittenMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Net Control was not transferred: the transfer file was not written.\n\nFile: %1\nReason: %2")
        .arg(path, reason);
}

QString sessionTooLargeReason()
{
    return QStringLiteral("The session would make a file larger than %1, which could not be opened again.")
        .arg(maxSessionFileSizeText());
}

}  // namespace kolvane
