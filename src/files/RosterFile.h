#pragma once

#include "files/SessionFile.h"
#include "net/Roster.h"

#include <QByteArray>
#include <QString>

namespace kolvane {

// The regulars' roster on disk: one UTF-8 text file, tab-separated, with a header line, so
// that it opens in a spreadsheet and can be edited by hand:
//
//   Callsign  Handle  QTH  Nets  Last heard  Net keys
//   K1ABC     Al      Boston  12  2026-12-08  1a2b3c4d 5e6f7a8b ...
//
// "Net keys" names the latest nets a station was counted for (so the same net is never
// counted twice); a line without them is read all the same. A line that cannot be read is
// skipped.

// The roster file in the user's data folder: ~/.local/share/kolvane (XDG_DATA_HOME), on
// Windows the application's data folder (QStandardPaths::AppDataLocation).
QString defaultRosterPath();

// A roster file larger than this is not read (10,000 stations take about 2 MiB).
constexpr qint64 kMaxRosterFileBytes = 64 * 1024 * 1024;

struct RosterReadResult {
    Roster roster;
    int skippedLines = 0;
};
RosterReadResult readRoster(const QByteArray& bytes);
QByteArray rosterFileText(const Roster& roster);

// The stations of a net as a session or transfer file holds them: its participants and
// its Net Control station, told apart from other nets by `identity`'s Start stamp and Net
// Control callsign (a transfer file is the net it was made from). Nets without a readable
// Start stamp are dated `today`.
NetSighting netSighting(const SessionData& session, const NetHeader& identity, const QDate& today);

// The operator's message when the roster cannot be used.
QString rosterUnusableMessage(const QString& path, const QString& reason);

}  // namespace kolvane
