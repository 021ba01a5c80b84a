#include "net/DateStamp.h"

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
    // Drop the zone field ("t" to "tttt") with the blanks before it and any bracket pair
    // around it ("H:mm:ss (t)"); quoted text is copied as it is.
    const QString fmt = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (int i = 0; i < fmt.size(); ++i) {
        const QChar c = fmt[i];
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            continue;
        }
        if (quoted || c != u't') {
            out += c;
            continue;
        }
        while (i + 1 < fmt.size() && fmt[i + 1] == u't')
            ++i;
        const auto chopBlanks = [&out] {
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
        };
        chopBlanks();
        if (!out.isEmpty() && (out.back() == u'(' || out.back() == u'[')) {
            out.chop(1);
            chopBlanks();
            int j = i + 1;
            while (j < fmt.size() && fmt[j].isSpace())
                ++j;
            if (j < fmt.size() && (fmt[j] == u')' || fmt[j] == u']'))
                i = j;
        }
    }
    return out.trimmed();
}

QString dateTimeStamp(const QDateTime& when, const QLocale& locale)
{
    const QDate d = when.date();
    const QString sep = dateSeparator(locale);
    // The month on its own (not the "of January" form some languages use inside a date),
    // without an abbreviation's full stop where the separator is a full stop already.
    QString month = locale.standaloneMonthName(d.month(), QLocale::ShortFormat);
    if (month.size() > 1 && month.endsWith(sep))
        month.chop(sep.size());
    const QString date = locale.dayName(d.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ") + month + sep
                         + QString::number(d.day()) + sep + QString::number(d.year()).rightJustified(4, u'0');
    return date + u' ' + locale.toString(when.time(), longTimeFormatWithoutZone(locale));
}

}  // namespace kolvane
