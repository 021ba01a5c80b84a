#include "net/Roster.h"

#include "net/DateStamp.h"
#include "net/Net.h"

#include <QCryptographicHash>
#include <algorithm>
#include <array>

namespace kolvane {

quint32 netKey(const QString& start, const QString& cntrlCall)
{
    const QByteArray digest =
        QCryptographicHash::hash((start + u'\n' + cntrlCall.toUpper()).toUtf8(), QCryptographicHash::Sha1);
    return quint32(quint8(digest[0])) << 24 | quint32(quint8(digest[1])) << 16 | quint32(quint8(digest[2])) << 8
           | quint32(quint8(digest[3]));
}

namespace {

QDate dateInLocale(const QString& start, const QLocale& locale)
{
    // "Weekday, Mon/d/yyyy time": the part between the first ", " and the next blank.
    const qsizetype comma = start.indexOf(QStringLiteral(", "));
    if (comma < 0)
        return QDate();
    const QString rest = start.mid(comma + 2);
    const QString datePart = rest.left(rest.indexOf(u' '));
    const QString sep = dateSeparator(locale);
    const QStringList parts = datePart.split(sep);
    if (parts.size() != 3)
        return QDate();
    int month = 0;
    for (int m = 1; m <= 12 && !month; ++m) {
        QString name = locale.standaloneMonthName(m, QLocale::ShortFormat);
        if (name.size() > 1 && name.endsWith(sep))
            name.chop(sep.size());
        if (name.compare(parts[0], Qt::CaseInsensitive) == 0)
            month = m;
    }
    bool dayOk = false;
    bool yearOk = false;
    const QDate d(parts[2].toInt(&yearOk), month, parts[1].toInt(&dayOk));
    return dayOk && yearOk ? d : QDate();
}

}  // namespace

QDate netDate(const QString& start, const QDate& otherwise)
{
    QDate d = dateInLocale(start, stampLocale());
    if (!d.isValid())
        d = dateInLocale(start, QLocale(QLocale::English, QLocale::UnitedStates));
    return d.isValid() ? d : otherwise;
}

QStringView callsignSuffix(QStringView callsign)
{
    qsizetype digit = -1;
    for (qsizetype i = callsign.size() - 1; i >= 0; --i) {
        if (callsign[i].isDigit()) {
            digit = i;
            break;
        }
    }
    if (digit < 0)
        return QStringView();
    qsizetype end = digit + 1;
    while (end < callsign.size() && callsign[end].isLetter())
        ++end;
    return callsign.mid(digit + 1, end - digit - 1);
}

// ---------------------------------------------------------------- the roster

const RosterStation* Roster::find(const QString& callsign) const
{
    const auto it = m_byCallsign.constFind(callsign);
    return it == m_byCallsign.cend() ? nullptr : &m_stations[*it];
}

void Roster::add(RosterStation station)
{
    if (station.callsign.isEmpty() || m_byCallsign.contains(station.callsign))
        return;
    m_byCallsign.insert(station.callsign, int(m_stations.size()));
    m_stations.append(std::move(station));
}

bool Roster::learn(const NetSighting& net)
{
    const quint32 key = netKey(net.start, net.cntrlCall);
    const QDate date = netDate(net.start, net.learntOn);
    bool changed = false;
    for (const NetSighting::Station& seen : net.stations) {
        const QString callsign = seen.callsign.trimmed().toUpper();
        if (callsign.isEmpty())
            continue;
        const auto it = m_byCallsign.constFind(callsign);
        // Worked out on a copy: a net learnt again changes nothing, and the roster (shared
        // with the one the operator's thread searches) is not copied for it.
        RosterStation s =
            it == m_byCallsign.cend() ? RosterStation{callsign, QString(), QString(), 0, date, {}} : m_stations.at(*it);
        // A station remembers its newest nets only. With its memory full, a net older than
        // all of them (an archived net opened again) is taken as one it was counted for long
        // ago: opening old nets never inflates a regular's count, at worst it misses an old
        // net the roster never had.
        const bool known =
            std::any_of(s.counted.cbegin(), s.counted.cend(), [key](const CountedNet& c) { return c.key == key; });
        if (!known && (s.counted.size() < kKeysKept || s.counted.constFirst().date <= date)) {
            ++s.nets;
            const auto at = std::upper_bound(s.counted.begin(), s.counted.end(), date,
                                             [](const QDate& d, const CountedNet& c) { return d < c.date; });
            s.counted.insert(at, CountedNet{key, date});
            if (s.counted.size() > kKeysKept)
                s.counted.removeFirst();
        }
        // A net at least as new as the last one speaks for the station; an older net only
        // fills what is still unknown.
        const bool newest = !s.last.isValid() || date >= s.last;
        if (!seen.handle.isEmpty() && (newest || s.handle.isEmpty()))
            s.handle = seen.handle;
        if (!seen.qth.isEmpty() && (newest || s.qth.isEmpty()))
            s.qth = seen.qth;
        if (newest)
            s.last = date;
        if (it == m_byCallsign.cend()) {
            m_byCallsign.insert(callsign, int(m_stations.size()));
            m_stations.append(std::move(s));
            changed = true;
        } else if (!(s == m_stations.at(*it))) {
            m_stations[*it] = std::move(s);
            changed = true;
        }
    }
    return changed;
}

bool Roster::forget(const QString& callsign)
{
    const auto it = m_byCallsign.constFind(callsign);
    if (it == m_byCallsign.cend())
        return false;
    m_stations.removeAt(*it);
    rebuildLookup();
    return true;
}

void Roster::trim()
{
    if (m_stations.size() <= kCapacity)
        return;
    // The most recently heard stay; among equals, those heard in more nets.
    std::stable_sort(m_stations.begin(), m_stations.end(), [](const RosterStation& a, const RosterStation& b) {
        return a.last != b.last ? a.last > b.last : a.nets > b.nets;
    });
    m_stations.resize(kCapacity);
    rebuildLookup();
}

void Roster::rebuildLookup()
{
    m_byCallsign.clear();
    for (int i = 0; i < int(m_stations.size()); ++i)
        m_byCallsign.insert(m_stations[i].callsign, i);
}

void Roster::index()
{
    const int n = int(m_stations.size());
    m_byPrefix.resize(size_t(n));
    m_bySuffix.clear();
    for (int i = 0; i < n; ++i) {
        m_byPrefix[size_t(i)] = i;
        if (!callsignSuffix(m_stations[i].callsign).isEmpty())
            m_bySuffix.push_back(i);
    }
    std::sort(m_byPrefix.begin(), m_byPrefix.end(),
              [this](int a, int b) { return m_stations[a].callsign < m_stations[b].callsign; });
    std::sort(m_bySuffix.begin(), m_bySuffix.end(), [this](int a, int b) {
        return callsignSuffix(m_stations[a].callsign) < callsignSuffix(m_stations[b].callsign);
    });
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[size_t(i)] = i;
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        const RosterStation& x = m_stations[a];
        const RosterStation& y = m_stations[b];
        if (x.nets != y.nets)
            return x.nets > y.nets;
        if (x.last != y.last)
            return x.last > y.last;
        return x.callsign < y.callsign;
    });
    m_rank.assign(size_t(n), 0);
    for (int r = 0; r < n; ++r)
        m_rank[size_t(order[size_t(r)])] = r;
}

QList<const RosterStation*> Roster::suggestions(QStringView typed, int limit, const QSet<QString>& skip) const
{
    QList<const RosterStation*> out;
    if (typed.size() < kMinTyped || limit <= 0 || m_rank.size() != size_t(m_stations.size()))
        return out;
    // The best `limit` by rank, kept sorted in a fixed array: no allocation per station.
    std::array<int, 32> best{};
    const int keep = qMin(limit, int(best.size()));
    int count = 0;
    const auto consider = [&](int station) {
        const int rank = m_rank[size_t(station)];
        if (count == keep && rank >= m_rank[size_t(best[size_t(count - 1)])])
            return;
        for (int i = 0; i < count; ++i) {
            if (best[size_t(i)] == station)
                return;  // both its callsign and its suffix match
        }
        if (!skip.isEmpty() && skip.contains(m_stations[station].callsign))
            return;
        int at = count < keep ? count++ : keep - 1;
        while (at > 0 && m_rank[size_t(best[size_t(at - 1)])] > rank) {
            best[size_t(at)] = best[size_t(at - 1)];
            --at;
        }
        best[size_t(at)] = station;
    };
    // Every key starting with `typed` lies in one run of a sorted index.
    const auto run = [&](const std::vector<int>& index, auto key) {
        auto first =
            std::lower_bound(index.begin(), index.end(), typed, [&](int s, QStringView t) { return key(s) < t; });
        for (; first != index.end() && key(*first).startsWith(typed); ++first)
            consider(*first);
    };
    run(m_byPrefix, [this](int s) { return QStringView(m_stations[s].callsign); });
    run(m_bySuffix, [this](int s) { return callsignSuffix(m_stations[s].callsign); });
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        out.append(&m_stations[best[size_t(i)]]);
    return out;
}

// ---------------------------------------------------------------- on the operator's thread

Regulars::Regulars(QObject* parent) : QObject(parent), m_roster(std::make_shared<Roster>()) {}

void Regulars::setRoster(std::shared_ptr<const Roster> roster)
{
    m_roster = roster ? std::move(roster) : std::make_shared<Roster>();
    for (auto it = m_forgotten.begin(); it != m_forgotten.end();) {
        if (m_roster->find(*it))
            ++it;
        else
            it = m_forgotten.erase(it);
    }
    emit rosterChanged();
}

QList<Suggestion> Regulars::suggest(const QString& typed, const Net* net, int ownWindow) const
{
    QList<Suggestion> out;
    const QString key = typed.trimmed().toUpper();
    if (key.size() < Roster::kMinTyped)
        return out;
    // The running net's stations first: a second check-in shows as it is typed.
    QSet<QString> inNet;
    if (net) {
        for (const int n : net->participantNumbers()) {
            const Participant* p = net->participant(n);
            if (n == ownWindow || p->callsign.isEmpty() || inNet.contains(p->callsign))
                continue;
            if (!p->callsign.startsWith(key) && !callsignSuffix(p->callsign).startsWith(key))
                continue;
            const RosterStation* known = m_roster->find(p->callsign);
            out.append(
                Suggestion{p->callsign, p->handle, p->qth, known ? known->nets : 0, known ? known->last : QDate(), n});
            inNet.insert(p->callsign);
            if (out.size() == Roster::kMaxSuggestions)
                return out;
        }
    }
    QSet<QString> skip = inNet;
    if (!m_forgotten.isEmpty())
        skip.unite(m_forgotten);
    const QList<const RosterStation*> known =
        m_roster->suggestions(key, Roster::kMaxSuggestions - int(out.size()), skip);
    for (const RosterStation* s : known)
        out.append(Suggestion{s->callsign, s->handle, s->qth, s->nets, s->last, 0});
    return out;
}

void Regulars::learn(const NetSighting& net)
{
    if (!m_forgotten.isEmpty()) {
        for (const NetSighting::Station& s : net.stations)
            m_forgotten.remove(s.callsign.trimmed().toUpper());
    }
    emit learnt(net);
}

void Regulars::forget(const QString& callsign)
{
    m_forgotten.insert(callsign);
    emit forgotten(callsign);
}

}  // namespace kolvane
