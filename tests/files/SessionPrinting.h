#pragma once

// Readable failure output for the session types in QCOMPARE.
#include "files/SessionFile.h"

#include <QMetaType>
#include <QTest>

namespace kolvane {

inline QString describe(const ParticipantRecord& r)
{
    return QStringLiteral("{%1, \"%2\", \"%3\", \"%4\"}")
        .arg(r.active ? QStringLiteral("True") : QStringLiteral("False"), r.callsign, r.handle, r.qth);
}

inline QString describe(const SessionData& s)
{
    const NetHeader& h = s.header;
    QStringList parts{h.start, h.stop, h.frequency, h.mode, h.cntrlCall, h.cntrlHandle, h.cntrlQTH};
    QString out = QStringLiteral("header [\"") + parts.join(QStringLiteral("\", \""))
                  + QStringLiteral("\"] comments \"")
                  + QString(h.comments).replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"))
                  + QStringLiteral("\" records %1:").arg(s.participants.size());
    for (qsizetype i = 0; i < s.participants.size() && i < 8; ++i)
        out += u' ' + describe(s.participants[i]);
    return out;
}

inline char* toString(const ParticipantRecord& r)
{
    return QTest::toString(describe(r));
}

inline char* toString(const SessionData& s)
{
    return QTest::toString(describe(s));
}

inline char* toString(CodePage page)
{
    return qstrdup(page == CodePage::Utf8 ? "UTF-8" : "Windows-1252");
}

}  // namespace kolvane

Q_DECLARE_METATYPE(kolvane::SessionData)
Q_DECLARE_METATYPE(kolvane::CodePage)
