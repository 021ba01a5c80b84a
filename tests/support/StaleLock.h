#pragma once

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

namespace kolvane::test {

// Leaves at `path` the lock of a program that has stopped: what QLockFile writes for this
// machine (its host name as the platform gives it, which differs between Linux and
// Windows), naming a process number that no process has, or `pid`.
inline bool leaveStaleLock(const QString& path, qint64 pid = 2147483000)
{
    QTemporaryDir dir;
    const QString probe = dir.filePath(QStringLiteral("probe.lock"));
    QByteArray text;
    {
        QLockFile lock(probe);
        if (!lock.tryLock(0))
            return false;
        QFile f(probe);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        text = f.readAll();
    }
    const qsizetype endOfPid = text.indexOf('\n');
    if (endOfPid <= 0)
        return false;
    text.replace(0, endOfPid, QByteArray::number(pid));
    QFile out(path);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text) == text.size();
}

}  // namespace kolvane::test
