#pragma once

#include "files/RosterFile.h"

#include <QString>

namespace kolvane {

// What must hold for any bytes read as a roster file: the reader returns (never a crash);
// every station it keeps has an upper-case callsign, a number of nets and a date; written
// again and read back it is the same roster, written as the same bytes; and what the list
// under a callsign field finds in it starts with the typed text or has a suffix that does.
inline QString rosterFileProperty(const QByteArray& bytes)
{
    Roster roster = readRoster(bytes).roster;
    for (const RosterStation& s : roster.stations()) {
        if (s.callsign.isEmpty() || s.callsign != s.callsign.toUpper() || s.nets < 1 || !s.last.isValid()
            || s.netKeys.size() > Roster::kKeysKept)
            return QStringLiteral("a station kept as it cannot be: ") + s.callsign;
    }
    const QByteArray written = rosterFileText(roster);
    const Roster again = readRoster(written).roster;
    if (again.stations() != roster.stations())
        return QStringLiteral("written and read back, the roster differs");
    if (rosterFileText(again) != written)
        return QStringLiteral("written twice, the bytes differ");
    roster.index();
    int asked = 0;
    for (const RosterStation& s : roster.stations()) {
        if (++asked > 8)
            break;
        for (const QString& typed : {s.callsign.left(2), callsignSuffix(s.callsign).left(3).toString()}) {
            for (const RosterStation* found : roster.suggestions(typed, Roster::kMaxSuggestions)) {
                if (typed.size() < Roster::kMinTyped || found == nullptr
                    || (!found->callsign.startsWith(typed) && !callsignSuffix(found->callsign).startsWith(typed)))
                    return QStringLiteral("\"%1\" found %2").arg(typed, found ? found->callsign : QString());
            }
        }
    }
    return QString();
}

}  // namespace kolvane
