// Every control an operator can reach must have a name a screen reader can read out, and
// the status line must be announced when it changes.
#include "dialogs/frmAbout.h"
#include "dialogs/frmLogin.h"
#include "dialogs/frmOptions.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/frmTransfer.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace kolvane;
using namespace kolvane::test;

namespace {

QList<QAccessibleEvent*> g_events;
QObject* g_watched = nullptr;

void recordUpdate(QAccessibleEvent* event)
{
    if (event->object() == g_watched && event->type() == QAccessible::NameChanged)
        g_events << event;
}

QString a11yText(QWidget* w, QAccessible::Text what = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(w)->text(what);
}

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return false;
    }
}

// Walks the tree below `iface` and lists interactive elements without a name.
void collectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int depth = 0)
{
    if (!iface || depth > 40)
        return;
    if (interactive(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject* o = iface->object();
        unnamed << QStringLiteral("%1 (%2)").arg(o ? QString::fromLatin1(o->metaObject()->className())
                                                   : QStringLiteral("?"),
                                                 o ? o->objectName() : QString());
    }
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), unnamed, depth + 1);
}

// Ends the run with the query's name when a query does not come back: a screen reader
// waiting on it would hold the whole program (the toolkit's own word query at the end of
// a field never returns).
class ReturnGuard {
public:
    ReturnGuard() : m_watcher([this] { watch(); }) {}
    ~ReturnGuard()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_watcher.join();
    }
    template <class Query>
    auto run(const QString& what, Query&& query)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_what = what;
            ++m_serial;
        }
        m_wake.notify_all();
        auto result = query();
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_serial;
        return result;
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_done) {
            const quint64 serial = m_serial;
            const bool busy = serial % 2 == 1;
            if (!m_wake.wait_for(lock, std::chrono::seconds(5), [&] { return m_done || m_serial != serial; }) && busy)
                qFatal("%s did not return", qPrintable(m_what));
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    QString m_what;
    quint64 m_serial = 0;  // odd while a query runs
    bool m_done = false;
    std::thread m_watcher;
};

QString boundaryName(QAccessible::TextBoundaryType type)
{
    switch (type) {
    case QAccessible::CharBoundary:
        return QStringLiteral("char");
    case QAccessible::WordBoundary:
        return QStringLiteral("word");
    case QAccessible::SentenceBoundary:
        return QStringLiteral("sentence");
    case QAccessible::ParagraphBoundary:
        return QStringLiteral("paragraph");
    case QAccessible::LineBoundary:
        return QStringLiteral("line");
    case QAccessible::NoBoundary:
        break;
    }
    return QStringLiteral("none");
}

void setFieldText(QWidget* field, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->setText(text);
    else
        qobject_cast<QPlainTextEdit*>(field)->setPlainText(text);
}

// Every text field of the program, by a name for the table.
QList<QPair<QString, QWidget*>> textFields(MainRig& rig, frmTransfer& transfer, frmLogin& login)
{
    frmMain& m = *rig.main;
    frmDocument* d = rig.doc(1);
    return {
        {QStringLiteral("start"), m.txtStart},
        {QStringLiteral("stop"), m.txtStop},
        {QStringLiteral("frequency"), m.txtFrequency},
        {QStringLiteral("mode"), m.cmbMode->lineEdit()},
        {QStringLiteral("callsign"), m.txtCntrlCall},
        {QStringLiteral("handle"), m.txtCntrlHandle},
        {QStringLiteral("qth"), m.txtCntrlQTH},
        {QStringLiteral("comments"), m.txtComments},
        {QStringLiteral("sink"), m.txtGirlFriend},
        {QStringLiteral("participant callsign"), d->txtCallsign},
        {QStringLiteral("participant handle"), d->txtHandle},
        {QStringLiteral("participant qth"), d->txtQTH},
        {QStringLiteral("new callsign"), transfer.txtNewCallsign},
        {QStringLiteral("new handle"), transfer.txtNewHandle},
        {QStringLiteral("new qth"), transfer.txtNewQTH},
        {QStringLiteral("user name"), login.txtUserName},
        {QStringLiteral("password"), login.txtPassword},
    };
}

QAccessibleTextInterface* textOf(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->textInterface() : nullptr;
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void everyInteractiveControlHasAName()
    {
        MainRig rig;
        rig.addUpTo(2);
        QStringList unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(rig.main.get()), unnamed);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    void walkerReportsAnUnnamedField()
    {
        // The check above is only as good as its walk: an unnamed field must be found.
        QWidget w;
        auto* field = new QLineEdit(&w);
        field->setObjectName(QStringLiteral("nameless"));
        QStringList unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(&w), unnamed);
        QCOMPARE(unnamed, QStringList{QStringLiteral("QLineEdit (nameless)")});
    }

    void everyDialogControlHasAName()
    {
        MainRig rig;
        kolvane::frmAbout about(rig.layer, rig.main.get());
        kolvane::frmLogin login(rig.layer);
        kolvane::frmOptions options(rig.layer, rig.main.get());
        kolvane::frmTransfer transfer(*rig.main);
        for (QWidget* dialog : std::initializer_list<QWidget*>{&about, &login, &options, &transfer}) {
            QStringList unnamed;
            collectUnnamed(QAccessible::queryAccessibleInterface(dialog), unnamed);
            QVERIFY2(unnamed.isEmpty(), qPrintable(dialog->metaObject()->className() + QStringLiteral(": ")
                                                   + unnamed.join(QStringLiteral(", "))));
        }
    }

    void participantFieldsCarryTheirNumber()
    {
        MainRig rig;
        rig.addUpTo(3);
        frmDocument* d = rig.doc(3);
        QCOMPARE(QAccessible::queryAccessibleInterface(d->txtCallsign)->text(QAccessible::Name),
                 QStringLiteral("Participant 3 callsign"));
        QCOMPARE(QAccessible::queryAccessibleInterface(d->cmdTalk)->text(QAccessible::Name), QStringLiteral("Talk"));
        QCOMPARE(d->cmdTalk->toolTip(), QStringLiteral("Talk"));
        QCOMPARE(rig.main->cmdIDTimer->toolTip(), QStringLiteral("ID timer start/stop"));
        QCOMPARE(rig.main->cmdAddParticipant->toolTip(), QStringLiteral("Add participant"));
    }

    // Every field answers every piece of text a screen reader asks for, and answers it
    // consistently: a span inside the text, the text of that span, the offset inside the
    // piece found at it; nothing beyond the end, and nothing of a password.
    void everyFieldAnswersEveryTextQuery()
    {
        MainRig rig;
        frmTransfer transfer(*rig.main);
        frmLogin login(rig.layer);
        ReturnGuard guard;
        const QString texts[] = {QString(), QStringLiteral("   "), QStringLiteral("146.520"),
                                 QStringLiteral("W1ABC de K2XYZ. QSL? 73\nNext line")};
        const QAccessible::TextBoundaryType types[] = {QAccessible::CharBoundary, QAccessible::WordBoundary,
                                                       QAccessible::SentenceBoundary, QAccessible::LineBoundary,
                                                       QAccessible::ParagraphBoundary};
        for (const auto& [fieldName, field] : textFields(rig, transfer, login)) {
            QAccessibleTextInterface* text = textOf(field);
            QVERIFY2(text, qPrintable(fieldName));
            QVERIFY(QAccessible::queryAccessibleInterface(field)->editableTextInterface());
            const bool secret = field == login.txtPassword;
            for (const QString& value : texts) {
                setFieldText(field, value);
                const QString all = text->text(0, text->characterCount());
                const int n = text->characterCount();
                QCOMPARE(n, int(value.size()));
                for (QAccessible::TextBoundaryType type : types) {
                    for (int offset : {0, n / 2, n, n + 1, -1, -2}) {
                        for (int side = 0; side < 3; ++side) {
                            const QString what =
                                QStringLiteral("%1: %2 %3 offset %4 of \"%5\"")
                                    .arg(fieldName, QStringList{"before", "at", "after"}[side], boundaryName(type))
                                    .arg(offset)
                                    .arg(value);
                            int start = -3, end = -3;
                            const QString piece = guard.run(what, [&] {
                                if (side == 0)
                                    return text->textBeforeOffset(offset, type, &start, &end);
                                if (side == 1)
                                    return text->textAtOffset(offset, type, &start, &end);
                                return text->textAfterOffset(offset, type, &start, &end);
                            });
                            const bool none = piece.isEmpty() && start == -1 && end == -1;
                            if (secret || offset > n) {
                                QVERIFY2(none, qPrintable(what));
                                continue;
                            }
                            const bool inside = side == 1 && offset >= 0 && offset < n;
                            if (none && !inside)
                                continue;  // nothing there, as before the first piece
                            QVERIFY2(0 <= start && start <= end && end <= n, qPrintable(what));
                            QVERIFY2(piece == all.mid(start, end - start), qPrintable(what));
                            if (inside)
                                QVERIFY2(start <= offset && offset < end, qPrintable(what));
                        }
                    }
                }
            }
        }
    }

    // The pieces a screen reader reads out on the keys that move the caret.
    void textPieces_data()
    {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("side");  // 0 before, 1 at, 2 after
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        const int chr = QAccessible::CharBoundary, word = QAccessible::WordBoundary,
                  sentence = QAccessible::SentenceBoundary, line = QAccessible::LineBoundary,
                  para = QAccessible::ParagraphBoundary;
        const QString freq = QStringLiteral("146.520");
        const QString qso = QStringLiteral("W1ABC de K2XYZ. QSL? 73");
        const QString comments = QStringLiteral("Comments\nWeekly net");
        QTest::newRow("word inside a number") << false << freq << word << 1 << 5 << freq << 0 << 7;
        QTest::newRow("word at the end") << false << freq << word << 1 << 7 << QString() << 7 << 7;
        QTest::newRow("word before the end") << false << freq << word << 0 << 7 << freq << 0 << 7;
        QTest::newRow("word at the caret (-2)") << false << qso << word << 1 << -2 << QString() << 23 << 23;
        QTest::newRow("word of a callsign") << false << qso << word << 1 << 2 << QStringLiteral("W1ABC") << 0 << 5;
        QTest::newRow("the gap after a word") << false << qso << word << 2 << 2 << QStringLiteral(" ") << 5 << 6;
        QTest::newRow("word before the second") << false << qso << word << 0 << 6 << QStringLiteral(" ") << 5 << 6;
        QTest::newRow("nothing before the first") << false << qso << word << 0 << 3 << QString() << 0 << 0;
        QTest::newRow("sentence") << false << qso << sentence << 1 << 17 << QStringLiteral("QSL? ") << 16 << 21;
        QTest::newRow("last sentence") << false << qso << sentence << 2 << 17 << QStringLiteral("73") << 21 << 23;
        QTest::newRow("char") << false << freq << chr << 1 << 3 << QStringLiteral(".") << 3 << 4;
        QTest::newRow("char before the end (-1)") << false << freq << chr << 0 << -1 << QStringLiteral("0") << 6 << 7;
        QTest::newRow("line of a single-line field") << false << freq << line << 1 << 7 << freq << 0 << 7;
        QTest::newRow("blanks") << false << QStringLiteral("   ") << line << 1 << 1 << QStringLiteral("   ") << 0 << 3;
        QTest::newRow("first line") << true << comments << line << 1 << 3 << QStringLiteral("Comments\n") << 0 << 9;
        QTest::newRow("line at the end") << true << comments << line << 1 << 19 << QStringLiteral("Weekly net") << 9
                                         << 19;
        QTest::newRow("line after the first")
            << true << comments << line << 2 << 0 << QStringLiteral("Weekly net") << 9 << 19;
        QTest::newRow("paragraph before")
            << true << comments << para << 0 << 12 << QStringLiteral("Comments\n") << 0 << 9;
        QTest::newRow("empty last line") << true << QStringLiteral("Comments\n") << line << 1 << 9 << QString() << 9
                                         << 9;
        QTest::newRow("line before the empty one")
            << true << QStringLiteral("Comments\n") << line << 0 << 9 << QStringLiteral("Comments\n") << 0 << 9;
        QTest::newRow("word in the comments")
            << true << comments << word << 1 << 10 << QStringLiteral("Weekly") << 9 << 15;
    }

    void textPieces()
    {
        QFETCH(bool, multiLine);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, side);
        QFETCH(int, offset);
        MainRig rig;
        QWidget* field = multiLine ? static_cast<QWidget*>(rig.main->txtComments) : rig.main->txtFrequency;
        setFieldText(field, text);
        if (!multiLine)
            rig.main->txtFrequency->end(false);
        QAccessibleTextInterface* iface = textOf(field);
        const auto boundary = QAccessible::TextBoundaryType(type);
        int start = -3, end = -3;
        ReturnGuard guard;
        const QString piece = guard.run(QString::fromLatin1(QTest::currentDataTag()), [&] {
            return side == 0   ? iface->textBeforeOffset(offset, boundary, &start, &end)
                   : side == 1 ? iface->textAtOffset(offset, boundary, &start, &end)
                               : iface->textAfterOffset(offset, boundary, &start, &end);
        });
        QTEST(piece, "piece");
        QTEST(start, "start");
        QTEST(end, "end");
    }

    // What a screen reader finds of the net as it runs: the state of each participant, the
    // two timers' times, the end of an ID period (said once), the header's labels.
    void theNetReachesScreenReaders()
    {
        MainRig rig;
        frmMain& m = *rig.main;
        rig.addUpTo(2);
        frmDocument* d = rig.doc(2);
        QCOMPARE(a11yText(d, QAccessible::Description), QStringLiteral("Inactive"));
        QAccessibleInterface* active = QAccessible::queryAccessibleInterface(d->cmdActive);
        QCOMPARE(active->role(), QAccessible::Button);
        QVERIFY(active->state().checkable && !active->state().checked);
        d->cmdActive->click();
        QCOMPARE(a11yText(d, QAccessible::Description), QStringLiteral("Active"));
        QCOMPARE(a11yText(d->txtCallsign, QAccessible::Description), QStringLiteral("Active"));
        QVERIFY(active->state().checked);
        d->cmdTalk->click();
        QCOMPARE(a11yText(d, QAccessible::Description), QStringLiteral("Talking"));
        QVERIFY(QAccessible::queryAccessibleInterface(d->cmdTalk)->state().checked);
        m.timTalk_Timer();
        QCOMPARE(a11yText(d->lblTalkTimer), QStringLiteral("Participant 2 talk time 00:01"));
        d->cmdActive->click();  // the talking participant leaves
        QCOMPARE(a11yText(d, QAccessible::Description), QStringLiteral("Inactive"));
        QVERIFY(!QAccessible::queryAccessibleInterface(d->cmdTalk)->state().checked);

        QSignalSpy said(m.announcer, &Announcer::announced);
        m.cmdIDTimer->click();
        QVERIFY(QAccessible::queryAccessibleInterface(m.cmdIDTimer)->state().checked);
        for (int i = 0; i < 600; ++i)
            m.timID_Timer();
        QCOMPARE(a11yText(m.lblIDTimer), QStringLiteral("ID timer 10:00"));
        for (int i = 0; i < 4; ++i)
            m.timBlink_Timer();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said[0][0].toString(), QStringLiteral("ID timer expired"));
        QAccessibleInterface* notice = QAccessible::queryAccessibleInterface(m.announcer);
        QCOMPARE(notice->role(), QAccessible::Notification);
        QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("ID timer expired"));
        QCOMPARE(a11yText(m.cmdIDTimer, QAccessible::Description), QStringLiteral("ID timer expired"));
        QVERIFY(!QAccessible::queryAccessibleInterface(m.cmdIDTimer)->state().checked);
        m.mnuClearAll_Click();
        QVERIFY(a11yText(m.cmdIDTimer, QAccessible::Description) != QStringLiteral("ID timer expired"));
        QCOMPARE(a11yText(m.lblIDTimer), QStringLiteral("ID timer 00:00"));

        // Each field is named by its label; the mode box is named "Mode" with its text as
        // its value, and its label is tied to it as the label's relation too.
        const std::pair<QWidget*, const char*> labelled[] = {
            {m.txtFrequency, "Frequency"}, {m.cmbMode->lineEdit(), "Mode"}, {m.txtCntrlCall, "Callsign"},
            {m.txtCntrlHandle, "Handle"},  {m.txtCntrlQTH, "QTH"},          {m.txtComments, "Comments"},
        };
        for (const auto& [field, name] : labelled)
            QCOMPARE(a11yText(field), QString::fromLatin1(name));
        QAccessibleInterface* mode = QAccessible::queryAccessibleInterface(m.cmbMode);
        const auto labels = mode->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels[0].first->object(), m.Label2);
        QCOMPARE(mode->role(), QAccessible::ComboBox);
        QCOMPARE(mode->text(QAccessible::Name), QStringLiteral("Mode"));
        QCOMPARE(mode->text(QAccessible::Value), QStringLiteral("SSB"));
        QTest::keyClicks(m.cmbMode->lineEdit(), QStringLiteral("-USB"));
        QCOMPARE(mode->text(QAccessible::Value), QStringLiteral("SSB-USB"));
        QCOMPARE(mode->text(QAccessible::Name), QStringLiteral("Mode"));
        // Its line and its list are its children, and the line is where its focus is read.
        QCOMPARE(mode->childCount(), 2);
        QCOMPARE(mode->child(1)->object(), m.cmbMode->lineEdit());
        QCOMPARE(mode->indexOfChild(mode->child(0)), 0);
        QCOMPARE(mode->focusChild()->object(), m.cmbMode->lineEdit());
        QVERIFY(mode->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    }

    void statusLineIsAnnouncedWhenItChanges()
    {
        MainRig rig;
        g_watched = rig.main->sbPanel1;
        g_events.clear();
        QSignalSpy changed(rig.main.get(), &frmMain::statusTextChanged);
        // As when a screen reader is attached (the headless platform has no bridge, so the
        // event itself can only be seen where one exists).
        QAccessible::setActive(true);
        const bool bridge = QAccessible::isActive();
        QAccessible::installUpdateHandler(recordUpdate);
        rig.main->setStatusText(QStringLiteral("Status: Sorting windows"));
        QAccessible::installUpdateHandler(nullptr);
        QAccessible::setActive(false);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toString(), QStringLiteral("Status: Sorting windows"));
        if (bridge)
            QCOMPARE(g_events.size(), 1);
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.main->sbPanel1)->text(QAccessible::Name),
                 QStringLiteral("Status: Sorting windows"));
        g_watched = nullptr;
        // Spoken through the notification whatever has the focus, once per change.
        QSignalSpy said(rig.main->announcer, &Announcer::announced);
        rig.main->setStatusText(QStringLiteral("Status: Sorting windows"));
        rig.main->setStatusText(QStringLiteral("Status: Idle"));
        QCOMPARE(said.size(), 1);
        QCOMPARE(rig.main->announcer->lastMessage(), QStringLiteral("Status: Idle"));
    }
};

KOLVANE_TEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
