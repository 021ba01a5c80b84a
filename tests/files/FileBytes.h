#pragma once

// Raw file access for the file suites: what is on disk, byte for byte.
#include <QFile>
#include <QString>

namespace kolvane::test {

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<cannot read ") + path.toUtf8() + '>';
    return f.readAll();
}

inline bool writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A golden file under tests/data.
inline QString golden(const char* name)
{
    return QStringLiteral(KOLVANE_TEST_DATA "/") + QLatin1String(name);
}

}  // namespace kolvane::test
