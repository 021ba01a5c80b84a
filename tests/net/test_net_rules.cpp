// The net's rules that need no window: header validation, the date stamp, the elapsed-time
// display and its ceiling, participant numbers from captions, the callsign rule.
#include "net/Callsign.h"
#include "net/DateStamp.h"
#include "net/ElapsedTime.h"
#include "net/NetHeader.h"
#include "net/Participants.h"

#include <QTest>

using namespace kolvane;

class TestNetRules : public QObject {
    Q_OBJECT

    static NetHeader complete()
    {
        NetHeader h;
        h.start = QStringLiteral("Thursday, Jan/30/2003 9:05:07 AM");
        h.frequency = QStringLiteral("146.520");
        h.mode = QStringLiteral("FM");
        h.cntrlCall = QStringLiteral("W1AW");
        h.cntrlHandle = QStringLiteral("Hiram");
        h.cntrlQTH = QStringLiteral("Newington");
        return h;
    }

private slots:
    void validation_reportsOnlyFirstEmptyField_data()
    {
        QTest::addColumn<QStringList>("emptyFields");
        QTest::addColumn<QString>("message");
        QTest::newRow("all empty -> start only")
            << QStringList{"start", "frequency", "mode", "call", "handle", "qth"} << "Please enter Net's start time";
        QTest::newRow("frequency before mode") << QStringList{"frequency", "mode"} << "Please enter Net's Frequency";
        QTest::newRow("mode") << QStringList{"mode", "qth"}
                              << "Please select the Net's Mode (SSB, FM, etc) or type in your own";
        QTest::newRow("callsign") << QStringList{"call", "handle"} << "Please enter current Net Control Callsign";
        QTest::newRow("handle") << QStringList{"handle"} << "Please enter current Net Control Handle";
        QTest::newRow("qth") << QStringList{"qth"} << "Please enter current Net Control QTH";
    }
    void validation_reportsOnlyFirstEmptyField()
    {
        QFETCH(QStringList, emptyFields);
        QFETCH(QString, message);
        NetHeader h = complete();
        for (const QString& f : emptyFields) {
            QString* target = f == "start"       ? &h.start
                              : f == "frequency" ? &h.frequency
                              : f == "mode"      ? &h.mode
                              : f == "call"      ? &h.cntrlCall
                              : f == "handle"    ? &h.cntrlHandle
                                                 : &h.cntrlQTH;
            target->clear();
        }
        const auto missing = firstMissingHeaderField(h);
        QVERIFY(missing.has_value());
        QCOMPARE(missingFieldMessage(*missing), message);
    }

    void validation_blanksCountAsFilled_stopAndCommentsNeverRequired()
    {
        NetHeader h = complete();
        h.frequency = QStringLiteral(" ");
        h.mode = QStringLiteral("RTTY");  // not in the list: still accepted
        h.stop.clear();
        h.comments.clear();
        QVERIFY(!firstMissingHeaderField(h).has_value());
    }

    void stamp_usEnglish()
    {
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(dateTimeStamp(QDateTime(QDate(2003, 1, 30), QTime(9, 5, 7)), us),
                 QStringLiteral("Thursday, Jan/30/2003 9:05:07 AM"));
        QCOMPARE(dateTimeStamp(QDateTime(QDate(2003, 1, 30), QTime(21, 5, 7)), us),
                 QStringLiteral("Thursday, Jan/30/2003 9:05:07 PM"));
        // The long time format carries a zone; the stamp must not.
        QVERIFY(!longTimeFormatWithoutZone(us).contains(u't'));
    }

    void stamp_otherLocaleUsesItsNamesSeparatorAndClock()
    {
        const QDateTime when(QDate(2003, 1, 30), QTime(21, 5, 7));
        QCOMPARE(dateTimeStamp(when, QLocale(QLocale::German, QLocale::Germany)),
                 QStringLiteral("Donnerstag, Jan.30.2003 21:05:07"));
        // The zone sits in brackets in Spanish; neither it nor the brackets remain.
        QCOMPARE(dateTimeStamp(when, QLocale(QLocale::Spanish, QLocale::Spain)).right(9), QStringLiteral(" 21:05:07"));
    }

    void stamp_everyLocaleGivesAClean_dateAndTime()
    {
        const QDateTime when(QDate(2003, 1, 30), QTime(21, 5, 7));
        const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QVERIFY(locales.size() > 100);
        QStringList bad;
        for (const QLocale& loc : locales) {
            const QString s = dateTimeStamp(when, loc);
            const QString sep = dateSeparator(loc);
            const bool broken = s.contains(QStringLiteral("()")) || s.contains(QStringLiteral("( )"))
                                || s.contains(QStringLiteral("[]")) || s.contains(sep + sep)
                                || !s.contains(sep + QStringLiteral("30") + sep + QStringLiteral("2003 "))
                                || s.endsWith(u' ') || s.contains(QStringLiteral("  "));
            if (broken)
                bad << loc.name() + QStringLiteral(": ") + s;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(bad.mid(0, 10).join(QStringLiteral(" | "))));
    }

    void stamp_withoutConfiguredLocaleFallsBackToUsEnglish()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale::c());
        const QString s = dateTimeStamp(QDateTime(QDate(2003, 1, 30), QTime(9, 5, 7)));
        QLocale::setDefault(saved);
        QCOMPARE(s, QStringLiteral("Thursday, Jan/30/2003 9:05:07 AM"));
    }

    void elapsed_display_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("first tick") << 1 << "00:01";
        QTest::newRow("61 s") << 61 << "01:01";
        QTest::newRow("59:59") << 3599 << "59:59";
        QTest::newRow("hour wraps") << 3600 << "00:00";
        QTest::newRow("ceiling") << 32767 << "06:07";
        QTest::newRow("past the ceiling") << 40000 << "06:07";
    }
    void elapsed_display()
    {
        QFETCH(int, ticks);
        QFETCH(QString, shown);
        qint16 e = 0, s = 0, m = 0;
        for (int i = 0; i < ticks; ++i)
            advanceElapsed(e, s, m);
        QCOMPARE(elapsedDisplay(m, s), shown);
        QVERIFY(e >= 0);  // never wraps negative
    }

    void captionNumbers_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("number");
        QTest::newRow("plain") << "Participant 7" << 7;
        QTest::newRow("hundred") << "Participant 100" << 100;
        QTest::newRow("leading blanks") << "Participant   12" << 12;
        QTest::newRow("unreadable") << "Participant x" << 0;
        QTest::newRow("too short") << "Part" << 0;
        QTest::newRow("digits then text") << "Participant 3b" << 3;
    }
    void captionNumbers()
    {
        QFETCH(QString, caption);
        QFETCH(int, number);
        QCOMPARE(participantNumberFromCaption(caption), number);
    }
    void captionRoundTrip()
    {
        for (int n : {1, 9, 10, 99, 100})
            QCOMPARE(participantNumberFromCaption(participantCaption(n)), n);
        QCOMPARE(participantCaption(5), QStringLiteral("Participant 5"));
    }

    void callsignUpperCase_sameInEveryLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        const QString turkish = upperCallsign(QStringLiteral("ta1ik"));
        QLocale::setDefault(saved);
        QCOMPARE(turkish, QStringLiteral("TA1IK"));  // no dotted capital I
    }

    void callsignUpperCase()
    {
        QCOMPARE(upperCallsign(QStringLiteral("w1aw/p")), QStringLiteral("W1AW/P"));
        QCOMPARE(upperCallsign(QStringLiteral("dl1äb")), QStringLiteral("DL1ÄB"));
    }
};

QTEST_GUILESS_MAIN(TestNetRules)
#include "test_net_rules.moc"
