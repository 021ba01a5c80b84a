#include "net/DateStamp.h"

#include <QRegularExpression>

namespace kolvane {

QLocale stampLocale()
{
    const QLocale user;
    if (user.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return user;
}

QString dateSeparator(const QLocale& locale)
{
    // The short date format holds the separator between its first two numeric fields.
    const QString fmt = locale.dateFormat(QLocale::ShortFormat);
    bool seenField = false;
    QString sep;
    for (const QChar c : fmt) {
        const bool field = c == u'd' || c == u'M' || c == u'y';
        if (field) {
            if (seenField && !sep.isEmpty())
                break;
            seenField = true;
            sep.clear();
        } else if (seenField && c != u'\'') {
            sep += c;
        }
    }
    sep = sep.trimmed().isEmpty() ? sep : sep.trimmed();
    return sep.isEmpty() ? QStringLiteral("/") : sep;
}

QString longTimeFormatWithoutZone(const QLocale& locale)
{
    QString fmt = locale.timeFormat(QLocale::LongFormat);
    // Drop the zone ("t", "tttt") together with the blanks that join it to the rest.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    fmt.replace(zone, QStringLiteral(" "));
    return fmt.trimmed();
}

QString dateTimeStamp(const QDateTime& when, const QLocale& locale)
{
    const QDate d = when.date();
    const QString sep = dateSeparator(locale);
    const QString date = locale.dayName(d.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ")
                         + locale.monthName(d.month(), QLocale::ShortFormat) + sep + QString::number(d.day()) + sep
                         + QString::number(d.year()).rightJustified(4, u'0');
    return date + u' ' + locale.toString(when.time(), longTimeFormatWithoutZone(locale));
}

}  // namespace kolvane
