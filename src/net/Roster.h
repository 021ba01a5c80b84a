#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <memory>
#include <vector>

namespace kolvane {

class Net;

// A net a station was counted for: which one (netKey) and of what day.
struct CountedNet {
    quint32 key = 0;
    QDate date;  // invalid when not known

    bool operator==(const CountedNet& o) const { return key == o.key && date == o.date; }
};

// A station the operator has had in a net: the regulars' roster remembers these.
struct RosterStation {
    QString callsign;  // upper case, never empty
    QString handle;
    QString qth;
    int nets = 0;               // in how many nets it was heard
    QDate last;                 // the date of the latest of them
    QList<CountedNet> counted;  // the newest nets it was counted for, oldest first

    bool operator==(const RosterStation& o) const
    {
        return callsign == o.callsign && handle == o.handle && qth == o.qth && nets == o.nets && last == o.last
               && counted == o.counted;
    }
};

// One net's stations, as a saved, opened, restored or transferred net shows them. Only
// gathered on the operator's thread: the roster's thread works out which net and which day
// it is (netKey, netDate).
struct NetSighting {
    struct Station {
        QString callsign;
        QString handle;
        QString qth;
    };
    QString start;      // the Start stamp and
    QString cntrlCall;  // the first Net Control's callsign tell this net from every other
    QDate learntOn;     // the day it was learnt: the net's day when its stamp names none
    QList<Station> stations;
};

// What tells nets apart: the Start stamp and the callsign of the net's first Net Control.
// The same net saved again, opened next month or handed over has the same key.
quint32 netKey(const QString& start, const QString& cntrlCall);

// The day a Start stamp names ("Tuesday, Dec/8/2026 9:00:17 PM"), or `otherwise` when it
// names none the program can read (typed by hand, another locale).
QDate netDate(const QString& start, const QDate& otherwise);

// The letters after a callsign's last digit: "ABC" for K1ABC and for VE3/W2ABC/P.
QStringView callsignSuffix(QStringView callsign);

// An entry of the list under a callsign field.
struct Suggestion {
    QString callsign;
    QString handle;
    QString qth;
    int nets = 0;
    QDate last;
    int participant = 0;  // the participant window that holds it in the running net, or 0

    bool inNet() const { return participant > 0; }
};

// The stations the operator has had in nets, with the indexes the suggestions need. Built
// and changed on the roster's own thread; the operator's thread only ever reads a finished
// one (index() has run), which is never changed again.
class Roster {
public:
    static constexpr int kCapacity = 10000;
    // The nets a station remembers having been counted for: its newest.
    static constexpr int kKeysKept = 16;
    static constexpr int kMinTyped = 2;
    static constexpr int kMaxSuggestions = 8;

    const QList<RosterStation>& stations() const { return m_stations; }
    const RosterStation* find(const QString& callsign) const;
    int size() const { return int(m_stations.size()); }

    // A station read from the file. A second line for the same callsign is ignored.
    void add(RosterStation station);
    // A net's stations: each is counted once per net, whatever how often the net is
    // learnt (a net older than every one a station remembers, its memory full, is taken as
    // counted long ago); the newest net's non-empty handle and QTH win. Empty callsigns are
    // no stations. True when anything changed.
    bool learn(const NetSighting& net);
    // True when the station was there.
    bool forget(const QString& callsign);
    // Beyond kCapacity, the least recently heard go.
    void trim();

    // Builds the indexes the suggestions search; call once the roster is complete.
    void index();
    // The stations whose callsign or suffix starts with `typed` (upper case, at least
    // kMinTyped characters): most nets first, then the most recent, at most `limit`,
    // leaving out those `skip` names.
    QList<const RosterStation*> suggestions(QStringView typed, int limit,
                                            const QSet<QString>& skip = QSet<QString>()) const;

private:
    void rebuildLookup();

    QList<RosterStation> m_stations;
    QHash<QString, int> m_byCallsign;
    // Station numbers sorted by callsign, and those with a suffix sorted by it.
    std::vector<int> m_byPrefix;
    std::vector<int> m_bySuffix;
    // Each station's place in the list's order (most nets, then most recent).
    std::vector<int> m_rank;
};

// The roster as the windows use it, on the operator's thread: the latest finished roster,
// the suggestions for a field, and the operator's Shift+Delete. Learning and forgetting are
// handed on (the roster's store does them on its own thread and sends a new roster back).
class Regulars : public QObject {
    Q_OBJECT

public:
    explicit Regulars(QObject* parent = nullptr);

    void setRoster(std::shared_ptr<const Roster> roster);
    std::shared_ptr<const Roster> roster() const { return m_roster; }

    // The entries for what is typed into a callsign field: first the running net's stations
    // that match (except the one in `ownWindow`), then the roster's.
    QList<Suggestion> suggest(const QString& typed, const Net* net, int ownWindow) const;

    void learn(const NetSighting& net);
    // Forgotten at once for the suggestions, and in the file soon after.
    void forget(const QString& callsign);

signals:
    void learnt(const kolvane::NetSighting& net);
    void forgotten(const QString& callsign);
    void rosterChanged();

private:
    std::shared_ptr<const Roster> m_roster;
    QSet<QString> m_forgotten;  // until a roster without them arrives
};

}  // namespace kolvane
