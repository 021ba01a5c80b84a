#pragma once

#include "files/RosterFile.h"

#include <QString>

namespace kolvane {

// What must hold for any bytes read as a roster file: the reader returns (never a crash);
// every station it keeps has an upper-case callsign and a number of nets; written again and
// read back it is the same roster with the same lines kept aside, written as the same bytes;
// and what the list
// under a callsign field finds in it starts with the typed text or has a suffix that does.
inline QString rosterFileProperty(const QByteArray& bytes)
{
    const RosterReadResult read = readRoster(bytes);
    Roster roster = read.roster;
    for (const RosterStation& s : roster.stations()) {
        if (s.callsign.isEmpty() || s.callsign != s.callsign.toUpper() || s.nets < 1
            || s.counted.size() > Roster::kKeysKept)
            return QStringLiteral("a station kept as it cannot be: ") + s.callsign;
    }
    const QByteArray written = rosterFileText(roster, read.leftovers);
    const RosterReadResult again = readRoster(written);
    if (again.roster.stations() != roster.stations() || again.leftovers.lines != read.leftovers.lines)
        return QStringLiteral("written and read back, the roster differs");
    if (rosterFileText(again.roster, again.leftovers) != written)
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
