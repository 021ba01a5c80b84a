#include "files/RosterFile.h"

#include "files/CodePage.h"
#include "net/DateStamp.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <optional>
#include <utility>

namespace kolvane {

namespace {

const QLatin1String kHeader("Callsign\tHandle\tQTH\tNets\tLast heard\tNet keys");
const QLatin1String kDateFormat("yyyy-MM-dd");

// A counted net's day beside its key, yyyyMMdd, read and written by hand: a full roster holds
// 160,000 of them, and Qt's date formats take seconds over that many.
QDate keyDate(QStringView text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && text.size() == 8 && n > 0 ? QDate(n / 10000, n / 100 % 100, n % 100) : QDate();
}

QString keyDateText(const QDate& date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return QString();
    return u':' + QString::number(date.year() * 10000 + date.month() * 100 + date.day()).rightJustified(8, u'0');
}

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

QDate rosterDate(const QString& written)
{
    const QString text = written.trimmed();
    if (text.isEmpty())
        return QDate();
    QDate d = QDate::fromString(text, Qt::ISODate);
    if (d.isValid())
        return d;
    // Year first is never ambiguous.
    for (const char* format : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d"}) {
        d = QDate::fromString(text, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    // A spreadsheet saves a date as it shows it, in the operator's locale, with the year in
    // two digits or four whatever the locale says.
    const QLocale locale = stampLocale();
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        QString four = locale.dateFormat(type);
        if (!four.contains(QLatin1String("yyyy")))
            four.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        d = locale.toDate(text, four);
        if (d.isValid())
            return d;
        d = locale.toDate(text, QString(four).replace(QLatin1String("yyyy"), QLatin1String("yy")));
        if (d.isValid())
            return d.year() < 2000 ? d.addYears(100) : d;  // Qt reads "26" as 1926
    }
    // Day and month in the other order, where only one order makes a date.
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[/.-]")));
    if (parts.size() != 3)
        return QDate();
    bool ok[3] = {};
    const int a = parts[0].toInt(&ok[0]);
    const int b = parts[1].toInt(&ok[1]);
    int year = parts[2].toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || (parts[2].size() != 2 && parts[2].size() != 4) || (a > 12) == (b > 12))
        return QDate();
    if (parts[2].size() == 2)
        year += 2000;
    return a > 12 ? QDate(year, b, a) : QDate(year, a, b);
}

namespace {

// A spreadsheet's "Unicode Text" is UTF-16 with a byte-order mark; otherwise each line is
// UTF-8, or the system's ANSI code page a spreadsheet's plain "Text" is saved in.
QStringList textLines(QByteArray bytes)
{
    const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes);
    if (bom && *bom != QStringConverter::Utf8) {
        QStringDecoder decoder(*bom);
        // Through UTF-8, as it will be written: a lone surrogate becomes what it reads back as.
        QString text = QString::fromUtf8(QString(decoder.decode(bytes)).toUtf8());
        return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n').split(u'\n');
    }
    // CR LF, a lone LF and a lone CR all end a line. A byte-order mark is dropped at the start
    // of the file only: anywhere else it is text, as it is written back.
    QStringList lines;
    for (const QByteArray& line : bytes.replace("\r\n", "\n").replace('\r', '\n').split('\n')) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        lines << (isValidUtf8(line) ? QString(utf8.decode(line)) : decodeAs(CodePage::Windows1252, line));
    }
    if (lines.first().startsWith(QChar::ByteOrderMark))
        lines.first().remove(0, 1);
    return lines;
}

}  // namespace

bool RosterLeftovers::forget(const QString& callsign)
{
    const qsizetype removed = lines.removeIf([&callsign](const QString& line) {
        return unquoted(QStringView(line).left(line.indexOf(u'\t'))).toUpper() == callsign;
    });
    return dates.remove(callsign) || removed > 0;
}

RosterReadResult readRoster(const QByteArray& bytes)
{
    RosterReadResult result;
    bool first = true;
    for (const QString& line : textLines(bytes)) {
        if (line.trimmed().isEmpty())
            continue;
        const QList<QStringView> cells = QStringView(line).split(u'\t');
        if (std::exchange(first, false)
            && unquoted(cells[0]).compare(QLatin1String("Callsign"), Qt::CaseInsensitive) == 0)
            continue;  // the header, written anew
        RosterStation s;
        s.callsign = unquoted(cells[0]).toUpper();
        if (s.callsign.isEmpty() || result.roster.find(s.callsign)) {
            result.leftovers.lines << line;
            continue;
        }
        // What a hand-made line lacks: one net, heard on a day not known.
        s.handle = unquoted(cells.value(1));
        s.qth = unquoted(cells.value(2));
        s.nets = qMax(1, unquoted(cells.value(3)).toInt());
        const QString date = unquoted(cells.value(4));
        s.last = rosterDate(date);
        if (!s.last.isValid() && !date.isEmpty())
            result.leftovers.dates.insert(s.callsign, date);
        for (const QStringView net : cells.value(5).split(u' ', Qt::SkipEmptyParts)) {
            bool hex = false;
            const qsizetype colon = net.indexOf(u':');
            const uint key = net.left(colon).toUInt(&hex, 16);
            const QDate day = colon < 0 ? QDate() : keyDate(net.mid(colon + 1));
            if (hex)
                s.counted.append({key, day});
        }
        // Kept oldest first, the newest only (a line edited by hand may hold them otherwise).
        std::stable_sort(s.counted.begin(), s.counted.end(),
                         [](const CountedNet& a, const CountedNet& b) { return a.date < b.date; });
        if (s.counted.size() > Roster::kKeysKept)
            s.counted.remove(0, s.counted.size() - Roster::kKeysKept);
        result.roster.add(std::move(s));
    }
    return result;
}

QByteArray rosterFileText(const Roster& roster, const RosterLeftovers& leftovers)
{
    QString text = kHeader + u'\n';
    for (const RosterStation& s : roster.stations()) {
        QStringList keys;
        for (const CountedNet& c : s.counted)
            keys << QString::number(c.key, 16).rightJustified(8, u'0') + keyDateText(c.date);
        const QString date =
            s.last.isValid() ? s.last.toString(kDateFormat) : oneCell(leftovers.dates.value(s.callsign));
        text += oneCell(s.callsign) + u'\t' + oneCell(s.handle) + u'\t' + oneCell(s.qth) + u'\t'
                + QString::number(s.nets) + u'\t' + date + u'\t' + keys.join(u' ') + u'\n';
    }
    // Lines that are no station stay the operator's to mend.
    for (const QString& line : leftovers.lines)
        text += line + u'\n';
    return text.toUtf8();
}

namespace {

// The sender of the earliest hand-over note in the comments, as transferNote() writes it:
// "//***On <when>", "Net Control was transferred from", "<call>, <handle> in <qth> to",
// "<new call>, <handle> in <qth>***//". Empty when there is none.
QString firstSender(const QString& comments)
{
    // Most nets were never handed over: one scan, nothing split, on the operator's thread.
    if (!comments.contains(QLatin1String("Net Control was transferred from")))
        return QString();
    const QStringList lines = QString(comments).remove(u'\r').split(u'\n');
    for (qsizetype i = 1; i + 2 < lines.size(); ++i) {
        if (lines[i] == QLatin1String("Net Control was transferred from")
            && lines[i - 1].startsWith(QLatin1String("//***On ")) && lines[i + 1].endsWith(QLatin1String(" to"))
            && lines[i + 2].endsWith(QLatin1String("***//"))) {
            const qsizetype comma = lines[i + 1].indexOf(QLatin1String(", "));
            return comma > 0 ? lines[i + 1].left(comma) : QString();
        }
    }
    return QString();
}

}  // namespace

NetSighting netSighting(const SessionData& session, const QDate& today)
{
    const NetHeader& h = session.header;
    NetSighting net;
    net.start = h.start;
    net.cntrlCall = firstSender(h.comments);
    if (net.cntrlCall.isEmpty())
        net.cntrlCall = h.cntrlCall;
    net.learntOn = today;
    net.stations.reserve(session.participants.size() + 1);
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
