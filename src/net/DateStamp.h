#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace kolvane {

// The user's locale; where none is configured (the C/POSIX locale, which has no date
// separator of its own) the stamp is rendered in US English.
QLocale stampLocale();

// "dddd, mmm/d/yyyy" followed by one blank and the time of day in the locale's long time
// format with seconds, without a time zone: "Thursday, Jan/30/2003 9:05:07 AM" in US
// English. Used for Start, Stop and the hand-over note of a transfer.
QString dateTimeStamp(const QDateTime& when, const QLocale& locale = stampLocale());

// The locale's long time format with any time-zone part removed.
QString longTimeFormatWithoutZone(const QLocale& locale);

// The locale's date separator ("/" for US English, "." for German, ...).
QString dateSeparator(const QLocale& locale);

}  // namespace kolvane
