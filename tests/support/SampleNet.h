#pragma once

// Nets the suites put on disk, without widgets, so the suites of the widget-free library
// use them too.
#include "files/RecoveryCopy.h"
#include "files/SessionFile.h"
#include "support/StaleLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace kolvane::test {

// The header of the weekly net most suites run, with the comments given.
inline NetHeader weeklyNetHeader(const QString& comments)
{
    return NetHeader{QStringLiteral("Tuesday, Dec/8/2026 9:00:17 PM"),
                     QString(),
                     QStringLiteral("146.520"),
                     QStringLiteral("FM"),
                     QStringLiteral("W1XYZ"),
                     QStringLiteral("Pat"),
                     QStringLiteral("Riverton"),
                     comments};
}

// What a program that was killed leaves in its recovery folder: its copy, the info beside
// it and a lock naming a process that no longer exists. True when all three were written.
inline bool leaveLeftNet(const QString& folder, const QString& id, const SessionData& session, const QString& savedAs,
                         const QDateTime& changed, bool saved = false)
{
    const auto put = [&](const char* suffix, const QByteArray& bytes) {
        QFile f(folder + u'/' + id + QLatin1String(suffix));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    const QByteArray copy = writeSessionFile(session);
    return QDir().mkpath(folder) && put(".kvs", copy)
           && put(".info", recoveryInfoText(vouchingFor({savedAs, changed.toUTC(), saved}, copy)))
           && leaveStaleLock(folder + u'/' + id + QStringLiteral(".lock"));
}

}  // namespace kolvane::test
