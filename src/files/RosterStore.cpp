#include "files/RosterStore.h"

#include "files/RosterFile.h"
#include "files/SessionStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace kolvane {

// The roster as the file's bytes last read or written here gave it: bytes that are the same
// are not parsed again (a full roster takes a tenth of a second, on a core the X server and
// the operator's thread share).
struct ParsedRoster {
    QByteArray bytes;
    std::optional<RosterReadResult> read;
};

// One change asked for on the operator's thread, applied to the roster the file holds.
struct RosterChange {
    std::optional<NetSighting> learn;
    QString forget;
};

struct RosterStore::Shared {
    std::mutex mutex;
    std::condition_variable idle;
    QList<RosterChange> changes;  // in the order they were asked for
    bool readAsked = false;
    bool busy = false;
    bool unusable = false;  // reported once; nothing is read or written any more
    std::function<void()> hook;
    // The file's bytes as the roster the operator's thread has was read from or written as
    // (the store's thread's own): only a roster that differs is sent over and indexed.
    std::optional<QByteArray> sent;
    ParsedRoster parsed;  // the store's thread's own too
};

namespace {

// How long a write waits for another program's write to end.
constexpr int kLockWaitMs = 10000;

struct Outcome {
    std::shared_ptr<Roster> roster;
    QString failure;
    QByteArray bytes = {};  // what the file holds now
    RosterLeftovers leftovers = {};
};

// The file is read whole every time: a size and a modification time that match the last
// read do not prove that no other program wrote it (coarse file-system clocks, and on
// Windows the change time is the creation time), and a few MB read on the roster's own
// thread cost the operator nothing; only bytes that differ from the last are parsed.
Outcome readFile(const QString& path, ParsedRoster& parsed)
{
    Outcome out{std::make_shared<Roster>(), QString(), QByteArray()};
    const QFileInfo info(path);
    if (!info.exists())
        return out;  // the first start: nobody has been heard yet
    if (!info.isFile()) {
        out.failure = QStringLiteral("It is not a regular file.");
        return out;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.failure = file.errorString();
        return out;
    }
    if (file.size() > kMaxRosterFileBytes) {
        out.failure = QStringLiteral("It is larger than 64 MiB.");
        return out;
    }
    const QByteArray bytes = file.read(kMaxRosterFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxRosterFileBytes) {
        out.failure = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("It is too large.");
        return out;
    }
    if (!parsed.read || parsed.bytes != bytes)
        parsed = {bytes, readRoster(bytes)};
    *out.roster = parsed.read->roster;
    out.leftovers = parsed.read->leftovers;
    out.bytes = bytes;
    return out;
}

// Under the lock: what the file holds now, with the changes applied, written back.
Outcome mergeAndWrite(const QString& path, const QList<RosterChange>& changes, ParsedRoster& parsed)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return {std::make_shared<Roster>(), QStringLiteral("The folder cannot be made.")};
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return {std::make_shared<Roster>(), lock.error() == QLockFile::LockFailedError
                                                ? QStringLiteral("Another program holds its lock.")
                                                : QStringLiteral("Its lock file cannot be made.")};
    Outcome out = readFile(path, parsed);
    if (!out.failure.isEmpty())
        return out;  // a file that cannot be read is not written over
    bool changed = false;
    for (const RosterChange& c : changes) {
        if (c.learn) {
            changed = out.roster->learn(*c.learn) || changed;
        } else {
            changed = out.roster->forget(c.forget) || changed;
            changed = out.leftovers.forget(c.forget) || changed;
        }
    }
    out.roster->trim();
    if (changed) {
        out.bytes = rosterFileText(*out.roster, out.leftovers);
        out.failure = writeFileAtomically(path, out.bytes);
        parsed = {};
        if (out.failure.isEmpty())
            parsed = {out.bytes, RosterReadResult{*out.roster, out.leftovers}};
    }
    return out;
}

}  // namespace

RosterStore::RosterStore(Regulars& regulars, const QString& path, QObject* parent)
    : QObject(parent), m_regulars(regulars), m_path(path), m_shared(std::make_shared<Shared>())
{
    connect(&regulars, &Regulars::learnt, this, [this](const NetSighting& net) {
        submit(RosterChange{net, QString()});
    });
    connect(&regulars, &Regulars::forgotten, this, [this](const QString& callsign) {
        submit(RosterChange{std::nullopt, callsign});
    });
}

RosterStore::~RosterStore()
{
    if (!m_thread) {
        // Closed before the roster was read: what was learnt meanwhile is written now.
        if (!m_shared->unusable && !m_shared->changes.isEmpty())
            mergeAndWrite(m_path, m_shared->changes, m_shared->parsed);
        return;
    }
    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        m_shared->idle.wait(lock, [this] { return !m_shared->busy; });
    }
    m_thread->quit();
    m_thread->wait();
}

void RosterStore::start()
{
    if (m_thread)
        return;
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("roster"));
    m_worker = new QObject;
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start(QThread::LowPriority);
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->readAsked = true;
    }
    kick();
}

void RosterStore::setWriteHook(std::function<void()> hook)
{
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->hook = std::move(hook);
}

void RosterStore::submit(RosterChange change)
{
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->unusable)
            return;
        m_shared->changes.append(std::move(change));
    }
    kick();
}

void RosterStore::kick()
{
    if (!m_thread)
        return;  // not started: the changes wait for the start
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->busy)
            return;  // the thread takes whatever has come when it is done
        m_shared->busy = true;
    }
    const std::shared_ptr<Shared> shared = m_shared;
    const QString path = m_path;
    const QPointer<RosterStore> self(this);
    const QPointer<Regulars> regulars(&m_regulars);
    QMetaObject::invokeMethod(m_worker, [shared, path, self, regulars] {
        for (;;) {
            QList<RosterChange> changes;
            std::function<void()> hook;
            {
                const std::lock_guard<std::mutex> lock(shared->mutex);
                if (shared->unusable || (shared->changes.isEmpty() && !shared->readAsked)) {
                    shared->changes.clear();
                    shared->busy = false;
                    shared->idle.notify_all();
                    return;
                }
                changes.swap(shared->changes);
                shared->readAsked = false;
                hook = shared->hook;
            }
            if (hook && !changes.isEmpty())
                hook();
            Outcome out =
                changes.isEmpty() ? readFile(path, shared->parsed) : mergeAndWrite(path, changes, shared->parsed);
            if (!out.failure.isEmpty()) {
                const std::lock_guard<std::mutex> lock(shared->mutex);
                shared->unusable = true;
                out.roster = std::make_shared<Roster>();
            } else if (shared->sent == out.bytes) {
                continue;  // the operator's thread has this roster already
            } else {
                shared->sent = out.bytes;
            }
            out.roster->index();
            std::shared_ptr<const Roster> finished = std::move(out.roster);
            const QString failure = out.failure;
            QMetaObject::invokeMethod(self.data(), [self, regulars, finished, failure, path] {
                if (regulars) {
                    // The roster it replaces is freed here, on the store's thread: 10,000
                    // stations take a while.
                    std::shared_ptr<const Roster> old = regulars->roster();
                    regulars->setRoster(finished);
                    if (self && self->m_worker)
                        QMetaObject::invokeMethod(self->m_worker, [old = std::move(old)] {});
                }
                if (self && !failure.isEmpty() && !self->m_reported) {
                    self->m_reported = true;
                    emit self->unusable(rosterUnusableMessage(path, failure));
                }
            });
        }
    });
}

void RosterStore::waitForWrites()
{
    if (!m_thread)
        return;
    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        m_shared->idle.wait(lock, [this] { return !m_shared->busy; });
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

}  // namespace kolvane
