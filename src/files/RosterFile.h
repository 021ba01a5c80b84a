#pragma once

#include "files/SessionFile.h"
#include "net/Roster.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace kolvane {

// The regulars' roster on disk: one UTF-8 text file, tab-separated, with a header line, so
// that it opens in a spreadsheet and can be edited by hand:
//
//   Callsign  Handle  QTH  Nets  Last heard  Net keys
//   K1ABC     Al      Boston  12  2026-12-08  1a2b3c4d:20261201 5e6f7a8b:20261208 ...
//
// "Net keys" names the newest nets a station was counted for, each with its day (so the
// same net is never counted twice). The file is read leniently, as an operator or a spreadsheet may leave it:
// a line with a callsign is a station, whatever else it lacks; a line that still cannot be
// read is kept as it is and written back after the stations, for the operator to mend.

// The roster file in the user's data folder: ~/.local/share/kolvane (XDG_DATA_HOME), on
// Windows the application's data folder (QStandardPaths::AppDataLocation).
QString defaultRosterPath();

// A roster file larger than this is not read (10,000 stations take about 2 MiB).
constexpr qint64 kMaxRosterFileBytes = 64 * 1024 * 1024;

// What a read found that is no station but is the operator's all the same: written back as
// it was.
struct RosterLeftovers {
    QStringList lines;              // lines without a callsign, or a station's second line
    QHash<QString, QString> dates;  // last-heard dates that could not be read, by callsign

    // A station forgotten goes from every line of it. True when there was any.
    bool forget(const QString& callsign);
};
struct RosterReadResult {
    Roster roster;
    RosterLeftovers leftovers;
};
RosterReadResult readRoster(const QByteArray& bytes);
QByteArray rosterFileText(const Roster& roster, const RosterLeftovers& leftovers = RosterLeftovers());

// A last-heard date as the program writes it (2026-12-08) or as a spreadsheet may save it
// in the operator's locale (12/8/26, 12/8/2026, 08.12.26, "Tuesday, December 8, 2026"),
// or in either day-month order where only one makes a date (25/12/2026). Invalid when it
// cannot be told.
QDate rosterDate(const QString& text);

// The stations of a net as a session or transfer file holds them: its participants and
// its Net Control station. The net is told apart from others by its Start stamp and the
// station that ran it first: the sender named by the earliest hand-over note in the
// comments, else the header's Net Control. So the net saved, handed over, opened from the
// transfer file, saved and handed on again is one net on every machine. Nets without a
// readable Start stamp are dated `today`.
NetSighting netSighting(const SessionData& session, const QDate& today);

// The operator's message when the roster cannot be used.
QString rosterUnusableMessage(const QString& path, const QString& reason);

}  // namespace kolvane
