// The colours of the net as the operator sees them, read from the rendered pixels, in the
// default light theme and in a dark desktop theme.
#include "net/Colors.h"
#include "support/Drawn.h"
#include "support/MainRig.h"
#include "support/NetFixtures.h"
#include "support/TestMain.h"
#include "ui/CachingStyle.h"
#include "ui/Colors.h"
#include "ui/Controls.h"

#include <QPlainTextEdit>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// A dark desktop theme such as Adwaita dark: light text on dark surfaces.
QPalette darkTheme()
{
    const QColor text(0xee, 0xee, 0xec), surface(0x35, 0x35, 0x35), field(0x2d, 0x2d, 0x2d);
    QPalette p(text, surface, surface.lighter(150), surface.darker(150), surface, text, Qt::white, field, surface);
    p.setColor(QPalette::ButtonText, text);
    return p;
}

// Text the operator can read: at least 4.5:1 against what it is drawn on.
void verifyReadable(QWidget* w, const char* what)
{
    const QColor back = drawnBackground(w);
    const QColor ink = drawnInk(w);
    QVERIFY2(contrast(ink, back) >= 4.5, qPrintable(QStringLiteral("%1: text %2 on %3, %4:1")
                                                        .arg(QLatin1String(what), ink.name(), back.name())
                                                        .arg(contrast(ink, back), 0, 'f', 2)));
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
           && qAbs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

class TestColours : public QObject {
    Q_OBJECT

    QPalette m_light;
    QString m_style;

    void useTheme(const QString& theme) { QApplication::setPalette(theme == "dark" ? darkTheme() : m_light); }

private slots:
    void initTestCase()
    {
        m_light = QApplication::palette();
        m_style = QApplication::style()->name();
    }
    void cleanup()
    {
        QApplication::setPalette(m_light);
        if (QApplication::style()->name() != m_style || dynamic_cast<CachingStyle*>(QApplication::style()))
            QApplication::setStyle(m_style);
    }

    // The program draws through a style that keeps pictures of field panels, button bevels
    // and title bars: what it draws from them must be what the style itself draws, in every
    // look, for the window in front and the one behind, whether the picture is new or kept.
    void cachedPictures_lookAsTheStyleDrawsThem_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<int>("presses");  // on participant 3, in front; 1 and 2 stay inactive
        for (const char* theme : {"light", "dark"})
            for (int presses : {0, 1, 2})
                QTest::addRow("%s %d", theme, presses) << theme << presses;
    }
    void cachedPictures_lookAsTheStyleDrawsThem()
    {
        QFETCH(QString, theme);
        QFETCH(int, presses);
        useTheme(theme);
        MainRig rig;
        rig.addUpTo(3);
        for (int n : {1, 2, 3}) {
            rig.doc(n)->txtCallsign->setText(QStringLiteral("W%1AW").arg(n));
            rig.doc(n)->txtQTH->setText(QStringLiteral("Newington"));
        }
        if (presses >= 1)
            press(*rig.main, rig.doc(3), &frmDocument::cmdActive_Click);
        if (presses >= 2)
            press(*rig.main, rig.doc(3), &frmDocument::cmdTalk_Click);
        QCOMPARE(rig.main->activeParticipant(), rig.doc(3));
        const QImage drawn[] = {drawnImage(rig.doc(1)), drawnImage(rig.doc(2)), drawnImage(rig.doc(3))};

        QApplication::setStyle(new CachingStyle(m_style));
        for (const char* round : {"first drawing", "from the pictures kept"}) {
            for (int n : {1, 2, 3}) {
                const QImage cached = drawnImage(rig.doc(n));
                QCOMPARE(cached.size(), drawn[n - 1].size());
                int differ = 0;
                for (int y = 0; y < cached.height(); ++y)
                    for (int x = 0; x < cached.width(); ++x)
                        differ += !near(QColor(cached.pixel(x, y)), QColor(drawn[n - 1].pixel(x, y)), 1);
                QVERIFY2(
                    differ == 0,
                    qPrintable(QStringLiteral("participant %1, %2: %3 pixels differ").arg(n).arg(round).arg(differ)));
            }
        }
    }

    // Captions are drawn once and their pictures reused: each must look as the same
    // caption drawn by a plain label with the same colours, font and alignment.
    void keptCaptions_lookAsAPlainLabel_data() { netPanel_data(); }
    void keptCaptions_lookAsAPlainLabel()
    {
        QFETCH(QString, theme);
        useTheme(theme);
        MainRig rig;
        rig.addUpTo(2);
        press(*rig.main, rig.doc(2), &frmDocument::cmdActive_Click);
        QList<Label*> captions{rig.main->Label9, rig.main->lblIDTimer};
        for (int n : {1, 2})
            captions << rig.doc(n)->Label4 << rig.doc(n)->Label6 << rig.doc(n)->lblTalkTimer;
        for (Label* caption : captions) {
            QLabel plain(caption->parentWidget());
            plain.setTextFormat(Qt::PlainText);
            plain.setText(caption->text());
            plain.setGeometry(caption->geometry());
            plain.setAlignment(caption->alignment());
            plain.setFont(caption->font());
            plain.setPalette(caption->palette());
            plain.setAutoFillBackground(caption->autoFillBackground());
            plain.setBackgroundRole(caption->backgroundRole());
            plain.setForegroundRole(caption->foregroundRole());
            plain.setEnabled(caption->isEnabled());
            const QImage expected = drawnImage(&plain);
            for (const char* round : {"first drawing", "from the picture kept"})
                QVERIFY2(drawnImage(caption) == expected,
                         qPrintable(QStringLiteral("%1 \"%2\", %3")
                                        .arg(caption->objectName(), caption->text(), QLatin1String(round))));
        }
    }

    void participantStates_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<int>("presses");  // 0 inactive, 1 Active, 2 Active and Talk
        QTest::addColumn<quint32>("fields");
        QTest::addColumn<bool>("activeFrame");
        QTest::addColumn<bool>("talkFrame");
        for (const char* theme : {"light", "dark"}) {
            QTest::addRow("%s inactive", theme) << theme << 0 << bgr::Slate << false << false;
            QTest::addRow("%s active", theme) << theme << 1 << bgr::LightCyan << true << false;
            QTest::addRow("%s talking", theme) << theme << 2 << bgr::Orange << true << true;
        }
    }
    void participantStates()
    {
        QFETCH(QString, theme);
        QFETCH(int, presses);
        QFETCH(quint32, fields);
        QFETCH(bool, activeFrame);
        QFETCH(bool, talkFrame);
        useTheme(theme);
        MainRig rig;
        frmDocument* d = rig.doc(1);
        d->txtCallsign->setText(QStringLiteral("W1AW"));
        d->txtHandle->setText(QStringLiteral("Hiram"));
        d->txtQTH->setText(QStringLiteral("Newington"));
        if (presses >= 1)
            press(*rig.main, d, &frmDocument::cmdActive_Click);
        if (presses >= 2)
            press(*rig.main, d, &frmDocument::cmdTalk_Click);

        const QColor panel = toQColor(bgr::DarkGrey);
        QCOMPARE(drawnFrame(d->shpActive), activeFrame ? toQColor(bgr::Yellow) : panel);
        QCOMPARE(drawnFrame(d->shpTalk), talkFrame ? toQColor(bgr::Orange) : panel);
        const std::pair<QWidget*, const char*> shown[] = {
            {d->txtCallsign, "callsign"}, {d->txtHandle, "handle"}, {d->txtQTH, "QTH"}, {d->lblTalkTimer, "timer"}};
        for (const auto& [w, what] : shown) {
            QCOMPARE(drawnBackground(w), toQColor(fields));
            verifyReadable(w, what);
            // Where the theme's own text colour is readable it stays.
            if (theme == "light" && fields != bgr::Slate)
                QVERIFY2(near(drawnInk(w), Qt::black, 32), qPrintable(drawnInk(w).name()));
        }
        const QColor face = drawnAt(d->cmdActive, QPoint(d->cmdActive->width() / 2, d->cmdActive->height() - 4));
        QVERIFY2(near(face, toQColor(bgr::Silver), 24), qPrintable(face.name()));
        verifyReadable(d->cmdActive, "Active button");
    }

    void netPanel_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::newRow("light") << "light";
        QTest::newRow("dark") << "dark";
    }
    void netPanel()
    {
        QFETCH(QString, theme);
        useTheme(theme);
        MainRig rig;
        frmMain& m = *rig.main;
        for (TextBox* f : {m.txtStart, m.txtStop, m.txtFrequency, m.txtCntrlCall, m.txtCntrlHandle, m.txtCntrlQTH}) {
            f->setText(QStringLiteral("146.520"));
            QCOMPARE(drawnBackground(f), QColor(Qt::white));
            QCOMPARE(drawnInk(f), QColor(Qt::black));
        }
        QCOMPARE(drawnBackground(m.txtComments->viewport()), QColor(Qt::white));
        verifyReadable(m.txtComments->viewport(), "comments");
        for (QWidget* b : {static_cast<QWidget*>(m.cmdIDTimer), static_cast<QWidget*>(m.cmdAddParticipant)}) {
            const QColor face = drawnAt(b, QPoint(b->width() / 2, b->height() - 4));
            QVERIFY2(near(face, toQColor(bgr::Silver), 24), qPrintable(face.name()));
            verifyReadable(b, "small button");
        }
    }

    // The ID reminder through its states: the label's background as drawn and the red
    // frame around the button.
    void idTimer_data() { netPanel_data(); }
    void idTimer()
    {
        QFETCH(QString, theme);
        useTheme(theme);
        MainRig rig;
        frmMain& m = *rig.main;
        const QColor stopped = toQColor(bgr::SysInactiveBorder);
        const QColor panel = drawnFrame(m.shpIDTimer);  // hidden: the panel behind it
        auto expect = [&](const char* step, const QColor& label, bool frame) {
            QVERIFY2(
                drawnBackground(m.lblIDTimer) == label,
                qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(step), drawnBackground(m.lblIDTimer).name())));
            QCOMPARE(drawnFrame(m.shpIDTimer), frame ? toQColor(bgr::Red) : panel);
            verifyReadable(m.lblIDTimer, step);
        };
        expect("stopped", stopped, false);
        m.cmdIDTimer_Click();
        expect("running", Qt::white, true);
        m.cmdIDTimer_Click();
        expect("stopped by the button", stopped, false);
        m.cmdIDTimer_Click();
        ticks(m, &frmMain::timID_Timer, 600);
        expect("expired", stopped, false);
        m.timBlink_Timer();
        expect("first blink", Qt::white, false);
        m.timBlink_Timer();
        expect("second blink", toQColor(bgr::Orange), false);
        m.timBlink_Timer();
        expect("third blink", Qt::white, false);
        m.cmdIDTimer_Click();
        expect("acknowledged", Qt::white, true);
        m.cmdIDTimer_Click();
        ticks(m, &frmMain::timID_Timer, 600);
        m.timBlink_Timer();
        m.timBlink_Timer();
        m.mnuClearAll_Click();
        expect("after Clear All", stopped, false);
        m.cmdIDTimer_Click();
        m.mnuFileNew_Click();
        expect("after New Session", stopped, false);
    }

    // A theme changed while the program runs: fixed colours stay, the text follows.
    void themeChangeWhileRunning()
    {
        MainRig rig;
        frmDocument* d = rig.doc(1);
        d->txtCallsign->setText(QStringLiteral("W1AW"));
        press(*rig.main, d, &frmDocument::cmdActive_Click);
        useTheme(QStringLiteral("dark"));
        QCoreApplication::processEvents();  // a theme change arrives through the event loop
        QCOMPARE(drawnBackground(d->txtCallsign), toQColor(bgr::LightCyan));
        verifyReadable(d->txtCallsign, "callsign");
        QCOMPARE(drawnBackground(rig.main->lblIDTimer), darkTheme().color(QPalette::Inactive, QPalette::Window));
        verifyReadable(rig.main->lblIDTimer, "ID timer");
    }
};

KOLVANE_TEST_MAIN(TestColours)
#include "test_colours.moc"
