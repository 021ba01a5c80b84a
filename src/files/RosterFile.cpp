#include "files/RosterFile.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringDecoder>

namespace kolvane {

namespace {

const QLatin1String kHeader("Callsign\tHandle\tQTH\tNets\tLast heard\tNet keys");
const QLatin1String kDateFormat("yyyy-MM-dd");

// A spreadsheet may save a field in quotes, with a quote inside doubled.
QString unquoted(QStringView field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.front() == u'"' && field.back() == u'"')
        return field.mid(1, field.size() - 2).toString().replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return field.toString();
}

// A value keeps to its column: tabs and line breaks become blanks. One that would not read
// back as it is (blanks around it, a quote first) is written in quotes.
QString oneCell(const QString& value)
{
    QString out = value;
    for (QChar& c : out) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    if (out.trimmed() != out || out.startsWith(u'"'))
        out = u'"' + out.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return out;
}

}  // namespace

QString defaultRosterPath()
{
#ifdef Q_OS_WIN
    // %APPDATA%\Kolvane: the folder Windows keeps for the program's data.
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/roster.tsv");
#else
    // The XDG data folder in the name the program is started by (the application's name is
    // capitalised): ~/.local/share/kolvane unless XDG_DATA_HOME says otherwise.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/kolvane/roster.tsv");
#endif
}

RosterReadResult readRoster(const QByteArray& bytes)
{
    RosterReadResult result;
    QStringDecoder utf8(QStringDecoder::Utf8);  // a BOM is dropped, a broken byte replaced
    QString text = utf8(bytes);
    // CR LF, a lone LF and a lone CR all end a line.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    bool first = true;
    for (QStringView line : lines) {
        if (first) {
            first = false;
            if (line.startsWith(QLatin1String("Callsign\t"), Qt::CaseInsensitive))
                continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        const QList<QStringView> cells = line.split(u'\t');
        if (cells.size() < 5) {
            ++result.skippedLines;
            continue;
        }
        RosterStation s;
        s.callsign = unquoted(cells[0]).toUpper();
        s.handle = unquoted(cells[1]);
        s.qth = unquoted(cells[2]);
        bool ok = false;
        s.nets = unquoted(cells[3]).toInt(&ok);
        s.last = QDate::fromString(unquoted(cells[4]), kDateFormat);
        if (s.callsign.isEmpty() || !ok || s.nets < 1 || !s.last.isValid() || result.roster.find(s.callsign)) {
            ++result.skippedLines;
            continue;
        }
        if (cells.size() > 5) {
            for (const QStringView key : cells[5].split(u' ', Qt::SkipEmptyParts)) {
                bool hex = false;
                const uint k = key.toUInt(&hex, 16);
                if (hex && s.netKeys.size() < Roster::kKeysKept)
                    s.netKeys.append(k);
            }
        }
        result.roster.add(std::move(s));
    }
    return result;
}

QByteArray rosterFileText(const Roster& roster)
{
    QString text = kHeader + u'\n';
    for (const RosterStation& s : roster.stations()) {
        QStringList keys;
        for (const quint32 k : s.netKeys)
            keys << QStringLiteral("%1").arg(k, 8, 16, QLatin1Char('0'));
        text += oneCell(s.callsign) + u'\t' + oneCell(s.handle) + u'\t' + oneCell(s.qth) + u'\t'
                + QString::number(s.nets) + u'\t' + s.last.toString(kDateFormat) + u'\t' + keys.join(u' ') + u'\n';
    }
    return text.toUtf8();
}

NetSighting netSighting(const SessionData& session, const NetHeader& identity, const QDate& today)
{
    NetSighting net;
    net.start = identity.start;
    net.cntrlCall = identity.cntrlCall;
    net.learntOn = today;
    net.stations.reserve(session.participants.size() + 1);
    const NetHeader& h = session.header;
    net.stations.append({h.cntrlCall, h.cntrlHandle, h.cntrlQTH});
    for (const ParticipantRecord& p : session.participants)
        net.stations.append({p.callsign, p.handle, p.qth});
    return net;
}

QString rosterUnusableMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The roster of regulars cannot be used: callsigns are not suggested from it in this run, "
                          "and the nets are not added to it.\n\nFile: %1\nReason: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace kolvane
