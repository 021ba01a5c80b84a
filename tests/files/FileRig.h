#pragma once

// Helpers shared by the file-command and transfer suites: a net typed into the windows,
// a snapshot of everything a refused command must leave alone, raw file access.
#include "FileBytes.h"
#include "SessionPrinting.h"
#include "files/SessionFile.h"
#include "support/MainRig.h"
#include "support/NetFixtures.h"
#include "ui/Controls.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>

namespace kolvane::test {

// A complete header typed into the net panel.
inline void typeHeader(frmMain& m)
{
    typeHeader(m, {QStringLiteral("Thursday, Jan/30/2003 9:05:07 PM"), QString(), QStringLiteral("146.520"),
                   QStringLiteral("FM"), QStringLiteral("w1aw"), QStringLiteral("Hiram"), QStringLiteral("Newington"),
                   QStringLiteral("Weekly net\r\n  second line  ")});
}

// The station typed into participant window n; `active` presses its Active button.
inline void typeStation(MainRig& rig, int n, const QString& call, const QString& handle, const QString& qth,
                        bool active)
{
    rig.addUpTo(n);
    frmDocument* d = rig.doc(n);
    d->txtCallsign->setText(call);
    d->txtHandle->setText(handle);
    d->txtQTH->setText(qth);
    if (active)
        press(*rig.main, d, &frmDocument::cmdActive_Click);
}

// A net of three stations: 1 and 3 active, 2 inactive with blanks around its handle.
inline void typeNet(MainRig& rig)
{
    typeHeader(*rig.main);
    typeStation(rig, 1, QStringLiteral("k1abc"), QStringLiteral("Al"), QStringLiteral("Hartford"), true);
    typeStation(rig, 2, QStringLiteral("N2DEF"), QStringLiteral("  Bea  "), QString(), false);
    typeStation(rig, 3, QStringLiteral("VE3GHI"), QStringLiteral("Carl"), QStringLiteral("Toronto, ON"), true);
}

// What the operator sees of a participant window.
inline ParticipantRecord shown(const frmDocument* d)
{
    ParticipantRecord r;
    r.active = d->shpActive->Visible();
    r.callsign = d->txtCallsign->text();
    r.handle = d->txtHandle->text();
    r.qth = d->txtQTH->text();
    return r;
}

// Everything a refused or cancelled command must leave as it was.
struct SessionSnapshot {
    QList<QPointer<frmDocument>> windows;
    QStringList captions;
    QList<ParticipantRecord> records;
    NetHeader header;
    qint32 documentCount = 0;
    QString title;
    QString sessionFileName;

    static SessionSnapshot of(const MainRig& rig)
    {
        SessionSnapshot s;
        for (frmDocument* d : rig.main->openParticipants()) {
            s.windows << d;
            s.captions << d->windowTitle();
            s.records << shown(d);
        }
        s.header = rig.main->header();
        s.documentCount = rig.net.lDocumentCount();
        s.title = rig.main->windowTitle();
        s.sessionFileName = rig.net.sSessionFileName();
        return s;
    }

    // Empty when `now` matches, otherwise the first difference.
    QString differenceTo(const SessionSnapshot& now) const
    {
        QList<QPointer<frmDocument>> nowWindows = now.windows;
        if (windows.size() != nowWindows.size())
            return QStringLiteral("window count %1 -> %2").arg(windows.size()).arg(nowWindows.size());
        for (qsizetype i = 0; i < windows.size(); ++i) {
            if (windows[i].data() != nowWindows[i].data())
                return QStringLiteral("window %1 replaced").arg(i + 1);
        }
        if (captions != now.captions)
            return QStringLiteral("captions");
        if (records != now.records)
            return QStringLiteral("participant fields");
        if (header != now.header)
            return QStringLiteral("header: ") + describe(SessionData{now.header, {}});
        if (documentCount != now.documentCount)
            return QStringLiteral("lDocumentCount");
        if (title != now.title)
            return QStringLiteral("caption ") + now.title;
        if (sessionFileName != now.sessionFileName)
            return QStringLiteral("sSessionFileName");
        return QString();
    }
};

}  // namespace kolvane::test
