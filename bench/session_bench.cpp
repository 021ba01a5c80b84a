// Benchmarks of a running Kolvane session, all in one process on the real windows:
//   - resident memory after start and with 100 participant windows;
//   - Open (with the tiling it does), Sort + Tile, Save, Clear All and New Session at 10,
//     25, 50 and 100 stations, each timed until its windows are really created or gone:
//     the windows closed by a step are deleted and everything is painted (and, on X, on
//     the server) before the clock stops;
//   - the ID timer at its real 1000 ms period for a short run;
//   - the roll by keyboard at 100 stations: Ctrl+Tab to the next window, Ctrl+T to pass it
//     the turn, each key timed until everything it caused is drawn.
// Every step runs from the event loop, the way the operator's commands do.
//
// usage: bench_session [--repeats N] [--id-ticks N] [--instructions] [--recovery | --roster]
// With --recovery it measures what keeping the recovery copy costs instead; with --roster
// what the regulars' roster costs: the suggestions for a keystroke at 10,000 stations and
// what learning adds to Save, Open and a restore at 100 stations (with --instructions, as
// instruction counts under callgrind).
// With --instructions it runs each command once per size under callgrind's eye instead
// (started with --collect-atstart=no): only the command and the draining of its events are
// counted, one dump per command and size, labelled "<command> <stations>", and one per key of
// the roll for ten keys of each, labelled "ctrl+tab 100" and "ctrl+t 100".

#include "BenchSupport.h"
#include "support/NetFixtures.h"

#include "app/Program.h"
#include "dialogs/frmSplash.h"
#include "files/NetSession.h"
#include "files/RecoveryCopy.h"
#include "files/RosterFile.h"
#include "files/RosterStore.h"
#include "files/SessionFile.h"
#include "files/commands/SessionCommands.h"
#include "net/Participants.h"
#include "net/Roster.h"
#include "ui/CallsignSuggestions.h"
#include "ui/Controls.h"
#include "ui/Module1.h"
#include "ui/QtWindowLayer.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

using namespace kolvane;
using bench::median;
using bench::monotonicNs;

namespace {

const int kSizes[] = {10, 25, 50, 100};

// The real window layer, except that nothing waits for a person: a message box is
// counted and reported, a file dialog is cancelled.
class BenchLayer : public QtWindowLayer {
public:
    void messageBox(QWidget*, const QString& text, const QString&, MessageIcon) override
    {
        ++messages;
        std::fprintf(stderr, "  (message box during the benchmark: \"%s\")\n", qPrintable(text));
    }
    std::optional<QString> openFileName(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    bool printDialog(QWidget*, const QString&, int) override { return false; }
    void showModal(QDialog*) override {}

    int messages = 0;
};

// ---------------------------------------------------------------- test data

QString station(int i)
{
    static const char* const prefixes[] = {"W", "K", "N", "AA", "KB", "WA", "VE", "G", "DL", "JA"};
    return QString::fromLatin1(prefixes[i % 10]) + QString::number(i % 10) + QChar(u'A' + (i * 7) % 26)
           + QChar(u'A' + (i * 11) % 26) + QChar(u'A' + (i * 13) % 26);
}
QString handle(int i)
{
    static const char* const names[] = {"Pat", "Al", "Maria", "Joe", "Chen", "Olu", "Ingrid", "Raj", "Sam", "Lee"};
    return QString::fromLatin1(names[i % 10]);
}
QString qth(int i)
{
    return QStringLiteral("Grid FN%1 near Riverton County Road %2").arg(10 + i % 90).arg(i);
}
// Long comments: 60 lines of about 110 characters each.
QStringList commentLines()
{
    QStringList lines;
    for (int i = 1; i <= 60; ++i)
        lines << QStringLiteral("%1: Check-in traffic, relays and weather report from the eastern side of the county; "
                                "signal 5/9, no traffic.")
                     .arg(i, 2, 10, QChar(u'0'));
    return lines;
}

// The header of the benchmark's net, with long comments.
NetHeader benchHeader()
{
    return {QStringLiteral("Tuesday, Dec/8/2026 7:00:00 PM"),
            QStringLiteral("Tuesday, Dec/8/2026 8:30:00 PM"),
            QStringLiteral("146.520"),
            QStringLiteral("FM"),
            QStringLiteral("W1NC"),
            QStringLiteral("Pat"),
            QStringLiteral("Riverton"),
            commentLines().join(QStringLiteral("\r\n"))};
}

// A session file of `count` stations with long comments, every other one active.
bool writeSessionFile(const QString& path, int count)
{
    SessionData net;
    net.header = benchHeader();
    for (int i = 1; i <= count; ++i)
        net.participants.append({i % 2 == 1, station(i), handle(i), qth(i)});
    return test::writeNetFile(path, net);
}

// ---------------------------------------------------------------- the session on screen

// Runs what the commands left behind until nothing is pending: the deletion of closed
// windows (which a nested event loop holds back), layout and painting; then waits for the
// display server to have drawn it.
void drain()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    bench::syncWithDisplayServer();
}

// Participant windows that exist as objects, whether open or closed but not yet deleted.
int livingWindows(frmMain& main)
{
    return int(main.mdiArea->findChildren<frmDocument*>().size());
}

// Header, long comments and every open participant's fields, every other one active.
void fillSession(frmMain& main)
{
    test::typeHeader(main, benchHeader());
    for (frmDocument* d : main.openParticipants()) {
        const int i = d->number();
        d->txtCallsign->setText(station(i));
        d->txtHandle->setText(handle(i));
        d->txtQTH->setText(qth(i));
        if (i % 2 && !d->shpActive->Visible())
            d->cmdActive_Click();
    }
}

// ---------------------------------------------------------------- the commands

enum Command { Open, SortTile, Save, ClearAll, New, CommandCount };
const char* const kCommandNames[] = {"Open (with tiling)", "Sort + Tile", "Save", "Clear All", "New Session"};
const char* const kCommandKeys[] = {"open", "sort+tile", "save", "clear-all", "new"};

struct Session {
    frmMain& main;
    QString folder;
    QString file(int stations) const { return folder + QStringLiteral("/net-%1.kvs").arg(stations); }
    QString saved() const { return folder + QStringLiteral("/saved.kvs"); }
};

// Lets the windows settle: Qt refreshes a child window's cached frame 200 ms after it was
// last resized, and an operator's next command comes later than that.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(250, &loop, &QEventLoop::quit);
    loop.exec();
    drain();
}

// Puts the session in the state the command starts from.
void prepare(Session& s, Command c, int stations)
{
    frmMain& main = s.main;
    switch (c) {
    case Open:
        // A one-window session to open from, as after start-up.
        main.mnuFileNew_Click();
        break;
    case SortTile:
    case Save:
    case ClearAll:
    case New:
        if (main.openParticipants().size() != stations || main.net().lDocumentCount() != stations) {
            main.net().sOpenFileName = s.file(stations);
            main.LoadSessionFile();
        }
        fillSession(main);
        if (c == SortTile) {
            // The operator last clicked the highest window, so the sort has work to do.
            if (frmDocument* last = main.state().slot(stations))
                main.mdiArea->setActiveSubWindow(last);
        }
        if (c == Save)
            QFile::remove(s.saved());
        break;
    default:
        break;
    }
    settle();
}

void run(Session& s, Command c, int stations)
{
    frmMain& main = s.main;
    switch (c) {
    case Open:
        main.net().sOpenFileName = s.file(stations);
        main.LoadSessionFile();
        break;
    case SortTile:
        main.mnuWindowTileHorizontal_Click();
        break;
    case Save:
        main.net().setSessionFileName(s.saved());
        main.SaveSessionFile();
        break;
    case ClearAll:
        main.mnuClearAll_Click();
        break;
    case New:
        main.mnuFileNew_Click();
        break;
    default:
        break;
    }
    drain();
}

// What the command must have left, so a fast time cannot come from a command that did
// nothing. Empty when it did its work.
QString check(Session& s, Command c, int stations)
{
    frmMain& main = s.main;
    const QList<frmDocument*> docs = main.openParticipants();
    const int living = livingWindows(main);
    switch (c) {
    case Open:
        if (docs.size() != stations || main.txtCntrlCall->text() != QStringLiteral("W1NC")
            || docs.last()->txtCallsign->text() != station(stations))
            return QStringLiteral("the file was not loaded (%1 windows open)").arg(docs.size());
        break;
    case SortTile:
        if (main.activeParticipant() != main.state().slot(1) || main.statusText() != QStringLiteral("Status: Idle"))
            return QStringLiteral("participant 1 is not in front");
        break;
    case Save: {
        QFile f(s.saved());
        if (!f.open(QIODevice::ReadOnly) || f.readLine() != QByteArrayLiteral("Kolvane Storage, file format 1.0\r\n")
            || f.readLine() != QByteArray::number(stations) + "\r\n")
            return QStringLiteral("no session file was written");
        break;
    }
    case ClearAll:
        if (docs.size() != stations || !docs.last()->txtCallsign->text().isEmpty()
            || main.activeParticipant() != main.state().slot(1))
            return QStringLiteral("the windows were not cleared");
        break;
    case New:
        if (docs.size() != 1)
            return QStringLiteral("%1 windows open after New Session").arg(docs.size());
        break;
    default:
        break;
    }
    if (living != docs.size())
        return QStringLiteral("%1 closed windows not yet deleted").arg(living - docs.size());
    return QString();
}

// ---------------------------------------------------------------- the ID timer

// Notes the time of every timer event of the watched timer, before its timeout handlers
// run, so the handlers' own work does not count as timer lateness.
class TickClock : public QObject {
public:
    explicit TickClock(std::vector<qint64>& ticks) : m_ticks(ticks) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            m_ticks.push_back(monotonicNs());
        return QObject::eventFilter(watched, event);
    }

private:
    std::vector<qint64>& m_ticks;
};

struct IdRun {
    int wanted = 0;
    qint64 startNs = 0;
    std::vector<qint64> tickNs;
    QString label;
};

void printIdTimer(const IdRun& id)
{
    const int n = int(id.tickNs.size());
    std::printf("ID timer at its real period (1000 ms), %d ticks with 100 stations on screen, against "
                "CLOCK_MONOTONIC\n",
                id.wanted);
    if (n < id.wanted || n < 2) {
        std::printf("  only %d ticks arrived\n", n);
        return;
    }
    double sx = 0, sy = 0, sxx = 0, sxy = 0, worstLate = 0;
    for (int k = 0; k < id.wanted; ++k) {
        const double x = k + 1;
        const double y = double(id.tickNs[size_t(k)] - id.startNs) / 1e6;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
        worstLate = std::max(worstLate, y - x * 1000.0);
    }
    const double m = id.wanted;
    const double slope = (m * sxy - sx * sy) / (m * sxx - sx * sx);  // the real length of one tick
    // The slope's standard error: how far the jitter of a short run leaves it uncertain.
    const double intercept = (sy - slope * sx) / m;
    double residuals = 0;
    for (int k = 0; k < id.wanted; ++k) {
        const double y = double(id.tickNs[size_t(k)] - id.startNs) / 1e6;
        residuals += std::pow(y - (intercept + slope * (k + 1)), 2);
    }
    const double slopeError = m > 2 ? std::sqrt(residuals / (m - 2) / (sxx - sx * sx / m)) : 0.0;
    const double lastLate = double(id.tickNs[size_t(id.wanted - 1)] - id.startNs) / 1e6 - m * 1000.0;
    std::printf("  %-50s %10.3f s   (label %s)\n", "measured length of the run", (lastLate + m * 1000.0) / 1000.0,
                qPrintable(id.label));
    std::printf("  %-50s %+10.3f ms\n", "last tick behind its ideal time", lastLate);
    std::printf("  %-50s %+10.3f us  (+/- %.3f)\n", "drift per tick (fitted period - 1000 ms)",
                (slope - 1000.0) * 1000.0, slopeError * 1000.0);
    std::printf("  %-50s %10.3f ms\n", "latest tick behind its ideal time", worstLate);
    const double estimate = (lastLate + (slope - 1000.0) * (600 - m)) / 1000.0;
    const double spread = slopeError * (600 - m) / 1000.0;
    std::printf("  %-50s %+10.4f s   (+/- %.4f s)  target within 0.1 s  %s\n",
                "ESTIMATE for a 600-tick period: lateness + drift", estimate, spread,
                std::fabs(estimate) + spread <= 0.1 ? "met" : "not shown by this run");
    std::printf("  (an estimate from the short run; bench_session --id-ticks 600 measures the whole ten minutes)\n");
}

// ---------------------------------------------------------------- the recovery copy

// Waits `ms` with the event loop running, as between an operator's keystrokes.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Types `keys` keys into participant 1's callsign at an operator's pace, a letter and a
// backspace by turns, and returns how long each took until everything it caused was drawn.
// Between keys the event loop runs, so the copy's timer fires and its writes go on as they
// would for the operator.
std::vector<double> typeAtOperatorPace(frmMain& main, int keys, int paceMs)
{
    QWidget* field = main.state().slot(1)->txtCallsign;
    field->setFocus();
    std::vector<double> out;
    for (int k = 0; k < keys; ++k) {
        const bool erase = k % 2;
        const Qt::Key key = erase ? Qt::Key_Backspace : Qt::Key_X;
        const QString text = erase ? QString(QChar(8)) : QStringLiteral("x");
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        const qint64 t0 = monotonicNs();
        QCoreApplication::sendEvent(field, &press);
        QCoreApplication::sendEvent(field, &release);
        drain();
        out.push_back(double(monotonicNs() - t0) / 1e6);
        pause(paceMs);
    }
    return out;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// What keeping the copy costs: the write of the copy at each size, the part of it done on
// the operator's thread, and keystrokes at 100 stations with the copy kept on a normal disk,
// on a disk that stalls for a second and a half at every write, and without the copy (the
// baseline, measured last in the same run).
int benchRecovery(Program& program, Session& session, int repeats)
{
    frmMain& main = session.main;
    RecoveryCopy* copy = program.recovery();
    if (!copy) {
        std::fprintf(stderr, "no recovery copy is being kept\n");
        return 1;
    }
    std::printf("Recovery copy, median of %d in ms\n", repeats);
    std::printf("  %-40s", "stations");
    for (int n : kSizes)
        std::printf(" %8d", n);
    std::printf("\n");
    std::vector<double> writeMs[std::size(kSizes)];
    std::vector<double> snapshotMs[std::size(kSizes)];
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        main.net().sOpenFileName = session.file(kSizes[i]);
        main.LoadSessionFile();
        fillSession(main);
        settle();
        copy->waitForWrites();
        for (int r = 0; r < repeats; ++r) {
            qint64 t0 = monotonicNs();
            const QByteArray bytes = kolvane::writeSessionFile(sessionFromNet(main.net()));
            snapshotMs[i].push_back(double(monotonicNs() - t0) / 1e6);
            if (bytes.isEmpty())
                return 1;
            t0 = monotonicNs();
            copy->writeNow();
            copy->waitForWrites();
            writeMs[i].push_back(double(monotonicNs() - t0) / 1e6);
        }
    }
    std::printf("  %-40s", "written and flushed to the disk");
    for (auto& v : writeMs)
        std::printf(" %8.2f", median(v));
    std::printf("\n  %-40s", "of it on the operator's thread");
    for (auto& v : snapshotMs)
        std::printf(" %8.2f", median(v));
    std::printf("\n\n");

    // Keystrokes at 100 stations.
    const int keys = 80;
    const int paceMs = 40;  // 25 keys a second: a fast typist
    struct Case {
        const char* name;
        std::vector<double> ms;
    } cases[3] = {{"copy kept, normal disk", {}}, {"copy kept, disk stalls 1.5 s per write", {}}, {"no copy", {}}};
    std::atomic<int> stalledWrites{0};
    // Unmeasured first: the first keys pay for what is set up once (glyphs, caches).
    typeAtOperatorPace(main, keys / 2, paceMs);
    copy->waitForWrites();
    cases[0].ms = typeAtOperatorPace(main, keys, paceMs);
    copy->setWriteHook([&stalledWrites] {
        ++stalledWrites;
        QThread::msleep(1500);
    });
    cases[1].ms = typeAtOperatorPace(main, keys, paceMs);
    copy->waitForWrites();
    copy->setWriteHook({});
    QObject::disconnect(&main.net(), nullptr, copy, nullptr);
    cases[2].ms = typeAtOperatorPace(main, keys, paceMs);
    const double baseMedian = median(cases[2].ms);
    const double baseP95 = percentile(cases[2].ms, 0.95);
    std::printf("Keystrokes at 100 stations, %d keys at %d ms apart, until drawn (ms)\n", keys, paceMs);
    std::printf("  %-40s %8s %8s %8s %10s %10s\n", "", "median", "p95", "max", "median/no", "p95/no");
    for (const Case& c : cases)
        std::printf("  %-40s %8.3f %8.3f %8.3f %10.2f %10.2f\n", c.name, median(c.ms), percentile(c.ms, 0.95),
                    percentile(c.ms, 1.0), median(c.ms) / baseMedian, percentile(c.ms, 0.95) / baseP95);
    // A key that waited for a stalled write would take the stall's 1.5 s.
    const bool waited = percentile(cases[1].ms, 1.0) >= 1000;
    std::printf("  %d writes stalled while the keys were typed; a key waited for one: %s\n", stalledWrites.load(),
                waited ? "YES" : "no");
    return 0;
}

// ---------------------------------------------------------------- the roll by keyboard

struct RollKeys {
    std::vector<double> tabMs;   // Ctrl+Tab: the next window in front
    std::vector<double> talkMs;  // Ctrl+T: the turn passed to it
};

// One key with its modifiers where the operator's keys go, delivered as the toolkit delivers
// a typed key (shortcuts first); the time until everything it caused is drawn. Counted under
// callgrind when a label is given.
double pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers, const char* label)
{
    QWidget* target = QApplication::focusWidget();
    const qint64 t0 = monotonicNs();
    if (label)
        bench::countBegin();
    QTest::keyClick(target, key, modifiers);
    drain();
    if (label)
        bench::countEnd(label);
    return double(monotonicNs() - t0) / 1e6;
}

// A net of 100 stations, every one active, walked round `rounds` times as a roll-call net
// runs: Ctrl+Tab to the next station, Ctrl+T to pass it the turn. Empty when every key did
// its work; the first ten keys of each kind are not timed (they pay for what is set up once),
// and with `instructions` ten of each in the last round are counted.
QString walkTheRoll(Session& s, int rounds, bool instructions, RollKeys& out)
{
    frmMain& main = s.main;
    main.net().sOpenFileName = s.file(100);
    main.LoadSessionFile();
    fillSession(main);
    for (frmDocument* d : main.openParticipants()) {
        if (!d->shpActive->Visible())
            d->cmdActive_Click();
    }
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        return QStringLiteral("the main window never had the keyboard");
    main.mdiArea->setActiveSubWindow(main.state().slot(1));
    main.state().slot(1)->txtCallsign->setFocus();
    settle();
    for (int r = 0; r < rounds; ++r) {
        for (int i = 1; i <= 100; ++i) {
            const int next = i % 100 + 1;
            const bool counted = instructions && r == rounds - 1 && i <= 10;
            const double tab = pressKey(Qt::Key_Tab, Qt::ControlModifier, counted ? "ctrl+tab 100" : nullptr);
            if (main.activeParticipantNumber() != next)
                return QStringLiteral("Ctrl+Tab in participant %1 did not bring %2 forward").arg(i).arg(next);
            const double talk = pressKey(Qt::Key_T, Qt::ControlModifier, counted ? "ctrl+t 100" : nullptr);
            if (!main.statusText().startsWith(QStringLiteral("At turn: ") + station(next) + u' '))
                return QStringLiteral("Ctrl+T in participant %1 gave no turn: %2").arg(next).arg(main.statusText());
            if (r > 0 || i > 10) {
                out.tabMs.push_back(tab);
                out.talkMs.push_back(talk);
            }
        }
    }
    return QString();
}

void printRollKeys(const RollKeys& keys)
{
    const double frameMs = 1000.0 / 60;
    std::printf("Keys at 100 stations, every one active, the roll walked twice: %zu of each, until drawn (ms)\n",
                keys.tabMs.size());
    std::printf("  %-40s %8s %8s %8s\n", "", "median", "p95", "max");
    const std::pair<const char*, const std::vector<double>*> rows[] = {
        {"Ctrl+Tab (the next window in front)", &keys.tabMs}, {"Ctrl+T (the turn passed to it)", &keys.talkMs}};
    for (const auto& [name, ms] : rows)
        std::printf("  %-40s %8.3f %8.3f %8.3f   within a frame (%.1f ms): %s\n", name, median(*ms),
                    percentile(*ms, 0.95), percentile(*ms, 1.0), frameMs,
                    percentile(*ms, 1.0) < frameMs ? "every key" : "NOT every key");
}

// ---------------------------------------------------------------- the regulars' roster

// A full roster: 10,000 stations of many prefixes and districts, heard in 1 to 52 nets.
std::shared_ptr<Roster> fullRoster()
{
    static const char* const prefixes[] = {"W", "K", "N", "AA", "KB", "WA", "VE", "G", "DL", "JA", "KD", "WB"};
    auto roster = std::make_shared<Roster>();
    const QDate today = QDate::currentDate();
    for (int i = 0; roster->size() < Roster::kCapacity; ++i) {
        QString call = QString::fromLatin1(prefixes[i % 12]) + QString::number((i / 12) % 10);
        for (int k = 0, v = i / 120; k < 1 + i % 3; ++k, v /= 26)
            call += QChar(u'A' + (v + k * 7) % 26);
        roster->add(RosterStation{call, handle(i), qth(i), 1 + i % 52, today.addDays(-(i % 700)), {}});
    }
    roster->index();
    return roster;
}

// Every text of two to four characters an operator may have typed: the starts of the
// callsigns and of their suffixes.
QStringList typedTexts(const Roster& roster)
{
    QSet<QString> texts;
    for (const RosterStation& s : roster.stations()) {
        for (int n = 2; n <= 4; ++n) {
            texts.insert(s.callsign.left(n));
            const QString suffix = callsignSuffix(s.callsign).toString();
            if (suffix.size() >= n)
                texts.insert(suffix.left(n));
        }
    }
    QStringList out(texts.cbegin(), texts.cend());
    out.sort();
    return out;
}

// Types `text` and then erases it, in participant `n`'s callsign, each key until drawn.
std::vector<double> typeAndErase(frmMain& main, int n, const QString& text)
{
    QLineEdit* field = main.state().slot(n)->txtCallsign;
    field->clear();
    field->setFocus();
    std::vector<double> out;
    const auto key = [&](Qt::Key k, const QString& t) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, t);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, t);
        const qint64 t0 = monotonicNs();
        QCoreApplication::sendEvent(field, &press);
        QCoreApplication::sendEvent(field, &release);
        drain();
        out.push_back(double(monotonicNs() - t0) / 1e6);
    };
    for (const QChar c : text)
        key(Qt::Key(c.toUpper().unicode()), QString(c));
    for (int i = 0; i < text.size(); ++i)
        key(Qt::Key_Backspace, QString(QChar(8)));
    return out;
}

// What the roster costs the operator's thread: a keystroke's suggestions among 10,000
// stations, and what learning adds to Save, Open and a restore of 100 stations.
int benchRoster(Program& program, Session& session, int repeats, bool instructions)
{
    frmMain& main = session.main;
    Module1& state = main.state();
    Regulars& regulars = program.regulars();
    if (RosterStore* store = program.rosterStore()) {
        store->start();
        store->waitForWrites();
    }
    main.activateWindow();
    main.net().sOpenFileName = session.file(100);
    main.LoadSessionFile();
    fillSession(main);
    settle();
    // The full roster, as read from its file at start-up.
    const std::shared_ptr<const Roster> roster = regulars.roster();
    if (roster->size() != Roster::kCapacity) {
        std::fprintf(stderr, "the roster holds %d stations, not %d\n", roster->size(), Roster::kCapacity);
        return 1;
    }
    const QStringList texts = typedTexts(*roster);
    const SessionData net100 = sessionFromNet(main.net());

    // The three commands, with the roster learning (on) and without it.
    const auto command = [&](int c, bool learning) {
        state.regulars = learning ? &regulars : nullptr;
        if (c == 0) {
            main.net().setSessionFileName(session.saved());
            main.SaveSessionFile();
        } else if (c == 1) {
            main.net().sOpenFileName = session.file(100);
            main.LoadSessionFile();
        } else {
            SessionCommands(main).restoreSession(net100, session.saved());
        }
        drain();
        state.regulars = &regulars;
    };
    const char* const names[] = {"Save", "Open (with tiling)", "restore from a recovery copy"};
    const char* const keys[] = {"save", "open", "restore"};
    for (int c = 0; c < 3; ++c)
        command(c, true);  // the roster knows the net from here on, as after its first save
    if (RosterStore* store = program.rosterStore())
        store->waitForWrites();

    if (instructions) {
        // A caret blink landing inside one command's count repaints its field: a tenth of a
        // Save at 100 stations, and nothing the roster does.
        QApplication::setCursorFlashTime(0);
        const int batch = 1000;
        bench::countBegin();
        int found = 0;
        for (int i = 0; i < batch; ++i)
            found += int(regulars.suggest(texts[(i * 7919) % texts.size()], &main.net(), 1).size());
        bench::countEnd(QByteArray("suggest " + QByteArray::number(batch)).constData());
        for (int c = 0; c < 3; ++c) {
            for (const bool learning : {false, true}) {
                command(c, learning);
                bench::countBegin();
                command(c, learning);
                bench::countEnd(QByteArray(QByteArray(keys[c]) + (learning ? "-learning" : "-plain")).constData());
            }
        }
        return found > 0 ? 0 : 1;
    }

    // Each text's best of three: the other programs on the machine may take the processor
    // away in the middle of one.
    std::vector<double> queryUs;
    queryUs.reserve(size_t(texts.size()));
    for (const QString& t : texts) {
        double best = 1e9;
        for (int k = 0; k < 3; ++k) {
            const qint64 t0 = monotonicNs();
            const QList<Suggestion> found = regulars.suggest(t, &main.net(), 1);
            best = std::min(best, double(monotonicNs() - t0) / 1e3);
            if (found.isEmpty())
                return 1;
        }
        queryUs.push_back(best);
    }
    std::printf("Regulars' roster\n");
    std::printf("Suggestions for a keystroke, %d stations in the roster and 100 in the net, %lld typed texts,\n"
                "each the best of 3 (us)\n",
                roster->size(), static_cast<long long>(texts.size()));
    std::printf("  %-40s %8s %8s %8s\n", "", "median", "p95", "max");
    std::printf("  %-40s %8.2f %8.2f %8.2f   target < 1000 us  %s\n", "the list's entries", median(queryUs),
                percentile(queryUs, 0.95), percentile(queryUs, 1.0),
                percentile(queryUs, 1.0) < 1000 ? "met" : "MISSED");

    // Whole keystrokes into a participant's callsign, until drawn: with the list (the full
    // roster) and with an empty roster, by turns.
    std::vector<double> withList;
    std::vector<double> without;

    const std::shared_ptr<Roster> empty = std::make_shared<Roster>();
    // Unmeasured: glyphs, the list's window; and the list does open.
    QLineEdit* call = main.state().slot(1)->txtCallsign;
    QApplication::setActiveWindow(&main);  // offscreen, nothing else makes it active
    call->clear();
    call->setFocus();
    drain();
    for (const Qt::Key k : {Qt::Key_W, Qt::Key_1}) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, QString(QChar(k).toLower()));
        QCoreApplication::sendEvent(call, &press);
    }
    drain();
    if (!call->findChild<CallsignSuggestions*>()->isOpen()) {
        std::fprintf(stderr, "the list did not open (%s, focus %d)\n", qPrintable(call->text()), call->hasFocus());
        return 1;
    }
    call->clear();
    for (int r = 0; r < 20; ++r) {
        const QString t = texts[(r * 104729) % texts.size()];
        regulars.setRoster(roster);
        for (double ms : typeAndErase(main, 1, t))
            withList.push_back(ms);
        regulars.setRoster(empty);
        for (double ms : typeAndErase(main, 1, t))
            without.push_back(ms);
    }
    regulars.setRoster(roster);
    std::printf("  %-40s %8.3f %8.3f %8.3f   (ms)\n", "keystroke until drawn, with the list", median(withList),
                percentile(withList, 0.95), percentile(withList, 1.0));
    std::printf("  %-40s %8.3f %8.3f %8.3f   (ms)\n", "keystroke until drawn, empty roster", median(without),
                percentile(without, 0.95), percentile(without, 1.0));

    std::printf("\nLearning a net at 100 stations, median of %d in ms (the roster's own thread not counted)\n",
                repeats);
    std::printf("  %-32s %10s %10s %8s\n", "command", "learning", "without", "added");
    for (int c = 0; c < 3; ++c) {
        std::vector<double> on;
        std::vector<double> off;
        for (int r = 0; r < repeats; ++r) {
            for (const bool learning : {true, false}) {
                settle();
                const qint64 t0 = monotonicNs();
                command(c, learning);
                (learning ? on : off).push_back(double(monotonicNs() - t0) / 1e6);
            }
        }
        const double added = median(on) / median(off) - 1;
        std::printf("  %-32s %10.2f %10.2f %+7.1f%%   target <= 5%%\n", names[c], median(on), median(off), 100 * added);
    }
    return 0;
}

// ---------------------------------------------------------------- steps from the event loop

// Runs the steps one after another, each from the event loop. A step returns true when it
// is done; a step that waits for timers returns false and calls resume() when it is.
class Runner {
public:
    void add(std::function<bool()> step) { m_steps.push_back(std::move(step)); }
    void resume()
    {
        QTimer::singleShot(0, [this] { runNext(); });
    }

private:
    void runNext()
    {
        if (m_steps.empty()) {
            QCoreApplication::quit();
            return;
        }
        auto step = std::move(m_steps.front());
        m_steps.pop_front();
        if (step())
            resume();
    }
    std::deque<std::function<bool()>> m_steps;
};

}  // namespace

int main(int argc, char* argv[])
{
    int repeats = 9;
    int idTicks = 10;
    bool instructions = false;
    bool recovery = false;
    bool roster = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--repeats") && i + 1 < argc)
            repeats = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--id-ticks") && i + 1 < argc)
            idTicks = std::max(0, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--instructions"))
            instructions = true;
        else if (!std::strcmp(argv[i], "--recovery"))
            recovery = true;
        else if (!std::strcmp(argv[i], "--roster"))
            roster = true;
        else {
            std::fprintf(stderr, "usage: %s [--repeats N] [--id-ticks N] [--instructions] [--recovery | --roster]\n",
                         argv[0]);
            return 2;
        }
    }
    if (instructions && !bench::underCallgrind()) {
        std::fprintf(stderr, "--instructions: run me under valgrind --tool=callgrind --collect-atstart=no\n");
        return 2;
    }

    bench::preferOffscreen();
    QApplication app(argc, argv);
    BenchLayer layer;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    // A full roster for --roster, read at start-up as the operator's would be.
    if (roster) {
        QFile file(dir.filePath(QStringLiteral("roster.tsv")));
        if (!file.open(QIODevice::WriteOnly) || file.write(rosterFileText(*fullRoster())) <= 0) {
            std::fprintf(stderr, "cannot write the roster\n");
            return 1;
        }
    }
    // The recovery copy and the roster work as for the operator, in a folder of the run's own.
    Program program(layer, dir.filePath(QStringLiteral("state")), dir.filePath(QStringLiteral("roster.tsv")));
    for (int n : kSizes) {
        if (!writeSessionFile(dir.filePath(QStringLiteral("net-%1.kvs").arg(n)), n)) {
            std::fprintf(stderr, "cannot write the session files\n");
            return 1;
        }
    }

    program.Main();
    frmMain& main = *program.mainWindow();
    Session session{main, dir.path()};
    if (recovery) {
        if (program.splash())
            program.splash()->close();
        drain();
        return benchRecovery(program, session, repeats);
    }
    if (roster) {
        if (program.splash())
            program.splash()->close();
        drain();
        return benchRoster(program, session, repeats, instructions);
    }
    Runner runner;
    RollKeys roll;
    long rssStartKb = -1;
    long rss100Kb = -1;
    std::map<std::pair<int, int>, std::vector<double>> ms;  // (command, stations) -> times
    QStringList failures;
    IdRun id;
    id.wanted = instructions ? 0 : idTicks;

    runner.add([&] {
        drain();
        rssStartKb = bench::residentKb();
        if (program.splash())
            program.splash()->close();  // it would close itself in the middle of a measurement
        return true;
    });

    auto addCommand = [&](Command c, int stations, bool measured) {
        runner.add([&, c, stations] {
            prepare(session, c, stations);
            return true;
        });
        runner.add([&, c, stations, measured] {
            const QByteArray label = QByteArray(kCommandKeys[c]) + ' ' + QByteArray::number(stations);
            const qint64 t0 = monotonicNs();
            if (measured && instructions)
                bench::countBegin();
            run(session, c, stations);
            if (measured && instructions)
                bench::countEnd(label.constData());
            const double took = double(monotonicNs() - t0) / 1e6;
            const QString wrong = check(session, c, stations);
            if (!wrong.isEmpty())
                failures << QStringLiteral("%1 at %2 stations: %3").arg(kCommandNames[c]).arg(stations).arg(wrong);
            else if (measured)
                ms[{c, stations}].push_back(took);
            return true;
        });
    };

    auto addRoll = [&] {
        runner.add([&] {
            const QString wrong = walkTheRoll(session, 2, instructions, roll);
            if (!wrong.isEmpty())
                failures << QStringLiteral("the roll by keyboard: ") + wrong;
            return true;
        });
    };
    if (instructions) {
        // One round unmeasured first, so what every first run pays once is not counted.
        for (int c = 0; c < CommandCount; ++c)
            addCommand(Command(c), kSizes[0], false);
        for (int n : kSizes)
            for (int c = 0; c < CommandCount; ++c)
                addCommand(Command(c), n, true);
        addRoll();
    } else {
        for (int c = 0; c < CommandCount; ++c)
            addCommand(Command(c), kSizes[0], false);
        for (int r = 0; r < repeats; ++r)
            for (int n : kSizes)
                for (int c = 0; c < CommandCount; ++c)
                    addCommand(Command(c), n, true);
        runner.add([&] {
            prepare(session, SortTile, 100);
            rss100Kb = bench::residentKb();
            return true;
        });
        addRoll();
    }

    QMetaObject::Connection tickWatch;
    TickClock tickClock(id.tickNs);
    if (id.wanted > 0) {
        runner.add([&] {
            // A quiet moment, so the repaint of the refilled windows is not taken for lateness.
            QTimer::singleShot(300, [&] { runner.resume(); });
            return false;
        });
        runner.add([&] {
            id.tickNs.reserve(size_t(id.wanted) + 10);
            main.timID->installEventFilter(&tickClock);
            // Connected after the window's own handler, so it sees each tick counted.
            tickWatch = QObject::connect(main.timID, &QTimer::timeout, &main, [&] {
                if (int(id.tickNs.size()) >= id.wanted) {
                    QObject::disconnect(tickWatch);
                    main.timID->removeEventFilter(&tickClock);
                    id.label = main.lblIDTimer->text();
                    main.cmdIDTimer_Click();  // stops it
                    runner.resume();
                }
            });
            id.startNs = monotonicNs();
            main.cmdIDTimer_Click();
            return false;
        });
    }

    runner.resume();
    app.exec();

    if (!instructions) {
        auto mib = [](long kb) { return kb / 1024.0; };
        std::printf("Resident memory (VmRSS)\n");
        std::printf("  %-50s %8.1f MiB\n", "after start (splash and participant 1)", mib(rssStartKb));
        std::printf("  %-50s %8.1f MiB   (%.0f KiB per added window)\n", "with 100 participant windows", mib(rss100Kb),
                    double(rss100Kb - rssStartKb) / 99);
        std::printf("\n");
        std::printf("Session commands, median of %d in ms, until the windows are created or gone and drawn\n", repeats);
        std::printf("  %-22s", "stations");
        for (int n : kSizes)
            std::printf(" %8d", n);
        std::printf("   100/50\n");
        for (int c = 0; c < CommandCount; ++c) {
            std::printf("  %-22s", kCommandNames[c]);
            for (int n : kSizes) {
                const auto it = ms.find({c, n});
                if (it == ms.end())
                    std::printf(" %8s", "n/a");
                else
                    std::printf(" %8.2f", median(it->second));
            }
            const auto a = ms.find({c, 50});
            const auto b = ms.find({c, 100});
            if (a != ms.end() && b != ms.end())
                std::printf("   x%.2f", median(b->second) / median(a->second));
            std::printf("\n");
        }
        // The goals for a full net, on this machine when it is idle.
        const std::pair<Command, double> goals[] = {{Open, 100.0}, {ClearAll, 20.0}};
        for (const auto& [c, limitMs] : goals) {
            const auto it = ms.find({c, 100});
            if (it != ms.end())
                std::printf("  %-22s at 100 stations %8.2f ms   target < %.0f ms  %s\n", kCommandNames[c],
                            median(it->second), limitMs, median(it->second) < limitMs ? "met" : "MISSED");
        }
        std::printf("\n");
        if (!roll.tabMs.empty()) {
            printRollKeys(roll);
            std::printf("\n");
        }
        if (id.wanted > 0)
            printIdTimer(id);
    }
    for (const QString& f : failures)
        std::fprintf(stderr, "not counted: %s\n", qPrintable(f));
    if (layer.messages)
        std::fprintf(stderr, "%d message box(es) appeared during the benchmark\n", layer.messages);
    main.close();
    return failures.isEmpty() ? 0 : 1;
}
