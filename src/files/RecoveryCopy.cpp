#include "files/RecoveryCopy.h"

#include "files/NetSession.h"
#include "files/SessionStorage.h"
#include "net/DateStamp.h"
#include "net/Net.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <condition_variable>
#include <mutex>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kolvane {

namespace {

const char* const kInfoHeader = "Kolvane recovery copy 1";

}  // namespace

QString defaultRecoveryFolder()
{
    // Qt 6.4 knows no state location of its own. XDG_STATE_HOME is honoured on Windows as
    // well, where only someone who means it sets it (the suites do, to keep their copies apart).
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.isEmpty() && !QDir::isRelativePath(state))
        return QDir::fromNativeSeparators(state) + QStringLiteral("/kolvane");
#ifdef Q_OS_WIN
    // %LOCALAPPDATA%\Kolvane, whatever name the application has been given by then.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kolvane");
#else
    return QDir::homePath() + QStringLiteral("/.local/state/kolvane");
#endif
}

QByteArray recoveryInfoText(const RecoveryInfo& info)
{
    // The name is percent-encoded: a path may hold any character, a line break included.
    QByteArray text = kInfoHeader;
    text += "\r\nsaved-as=" + QUrl::toPercentEncoding(info.savedAs);
    text += "\r\nchanged=" + info.changed.toUTC().toString(Qt::ISODateWithMs).toLatin1();
    text += "\r\nsaved=" + QByteArray(info.saved ? "true" : "false");
    text += "\r\n";
    return text;
}

std::optional<RecoveryInfo> parseRecoveryInfo(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kInfoHeader)
        return std::nullopt;
    RecoveryInfo info;
    bool haveChanged = false;
    bool haveSaved = false;
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq);
        const QByteArray value = line.mid(eq + 1);
        if (key == "saved-as") {
            info.savedAs = QUrl::fromPercentEncoding(value);
        } else if (key == "changed") {
            info.changed = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
            haveChanged = info.changed.isValid();
        } else if (key == "saved") {
            info.saved = value == "true";
            haveSaved = value == "true" || value == "false";
        }
    }
    if (!haveChanged || !haveSaved)
        return std::nullopt;
    info.changed = info.changed.toUTC();
    return info;
}

QString leftNetQuestion(const LeftCopy& copy)
{
    const auto orNone = [](const QString& text) { return text.isEmpty() ? QStringLiteral("(none)") : text; };
    QString text = QStringLiteral("A net was not saved after its last change, on %1.\n\n"
                                  "Net Control: %2\nFrequency: %3\nStations: %4\n")
                       .arg(dateTimeStamp(copy.info.changed.toLocalTime()), orNone(copy.session.header.cntrlCall),
                            orNone(copy.session.header.frequency))
                       .arg(copy.session.participants.size());
    if (!copy.info.savedAs.isEmpty())
        text += QStringLiteral("Save writes to: %1\n").arg(QDir::toNativeSeparators(copy.info.savedAs));
    return text + QStringLiteral("\nRestore it? Discard deletes this copy.");
}

QString recoveryNotKeptMessage(const QString& folder, const QString& reason)
{
    return QStringLiteral("The net is not being kept in a recovery copy: if the program stopped now, whatever has "
                          "not been saved would be lost.\n\nFolder: %1\nReason: %2\n\nFile > Save keeps the net.")
        .arg(QDir::toNativeSeparators(folder), reason);
}

// ---------------------------------------------------------------- the writing thread

struct RecoveryCopy::Shared {
    struct Job {
        QByteArray info;
        QByteArray copy;
        bool remove = false;  // nothing worth keeping: the files go
    };
    std::mutex mutex;
    std::condition_variable idle;
    std::optional<Job> pending;  // only the newest state waits; older ones are never written
    bool busy = false;           // the writer has been asked and has not finished
    std::function<void()> hook;
    QString copyPath;
    QString infoPath;
};

class RecoveryCopy::Worker : public QObject {};

namespace {

// The info first: if the program stops between the two, the info names a change that the
// copy does not hold yet, which at worst offers the net as it was a second earlier.
QString carryOut(const QString& copyPath, const QString& infoPath, const QByteArray& info, const QByteArray& copy,
                 bool remove)
{
    if (remove) {
        QFile::remove(copyPath);
        QFile::remove(infoPath);
        return QString();
    }
    QString failure = writeFileAtomically(infoPath, info);
    if (failure.isEmpty())
        failure = writeFileAtomically(copyPath, copy);
    return failure;
}

}  // namespace

RecoveryCopy::RecoveryCopy(Net& net, const QString& folder, QObject* parent)
    : QObject(parent), m_net(net), m_folder(folder), m_shared(std::make_shared<Shared>())
{
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(kDelayMs);
    connect(m_timer, &QTimer::timeout, this, &RecoveryCopy::submitSnapshot);
}

RecoveryCopy::~RecoveryCopy()
{
    finish();
}

QString RecoveryCopy::pathFor(const QString& id, const char* suffix) const
{
    return m_folder + u'/' + id + QLatin1String(suffix);
}

QString RecoveryCopy::copyPath() const
{
    return pathFor(m_id, ".kvs");
}

QString RecoveryCopy::infoPath() const
{
    return pathFor(m_id, ".info");
}

bool RecoveryCopy::start()
{
    if (m_started || m_finished)
        return m_started;
    if (!QDir().mkpath(m_folder)) {
        reportFailure(QStringLiteral("The folder cannot be made."));
        return false;
    }
    // Unique per run: the time the program started and its process number (and a count,
    // should a name be taken all the same).
    const QString base = QStringLiteral("net-%1-%2")
                             .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmsszzz")))
                             .arg(QCoreApplication::applicationPid());
    for (int attempt = 1; attempt <= 10 && !m_lock; ++attempt) {
        m_id = attempt == 1 ? base : base + QStringLiteral("-%1").arg(attempt);
        auto lock = std::make_unique<QLockFile>(pathFor(m_id, ".lock"));
        lock->setStaleLockTime(0);  // held for the whole run; only a dead owner makes it stale
        if (lock->tryLock(0))
            m_lock = std::move(lock);
        else if (lock->error() != QLockFile::LockFailedError)
            break;
    }
    if (!m_lock) {
        reportFailure(QStringLiteral("The folder cannot be written to."));
        return false;
    }
    m_shared->copyPath = copyPath();
    m_shared->infoPath = infoPath();
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("recovery copy"));
    m_worker = new Worker;
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start(QThread::LowPriority);
    connect(&m_net, &Net::changed, this, &RecoveryCopy::netChanged);
    connect(&m_net, &Net::saved, this, &RecoveryCopy::schedule);
    m_started = true;
    return true;
}

void RecoveryCopy::netChanged()
{
    m_lastChange = QDateTime::currentDateTimeUtc();
    schedule();
}

void RecoveryCopy::schedule()
{
    // The first change starts the clock and the ones after it ride along, so a copy is at
    // most a second behind however fast the operator types.
    if (m_started && !m_finished && !m_timer->isActive())
        m_timer->start();
}

void RecoveryCopy::writeNow()
{
    m_timer->stop();
    submitSnapshot();
}

void RecoveryCopy::setWriteHook(std::function<void()> hook)
{
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->hook = std::move(hook);
}

void RecoveryCopy::submitSnapshot()
{
    if (!m_started || m_finished)
        return;
    Shared::Job job;
    // A net with nothing in it is not worth offering back: the copy goes instead.
    job.remove = m_net.isBlank();
    if (!job.remove) {
        job.copy = writeSessionFile(sessionFromNet(m_net));
        job.info = recoveryInfoText({m_net.sSessionFileName(), m_lastChange, !m_net.isModified()});
    }
    bool ask = false;
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->pending = std::move(job);
        if (!m_shared->busy)
            ask = m_shared->busy = true;
    }
    if (!ask)
        return;  // the writer takes the newest state when it is done with the one it writes
    const std::shared_ptr<Shared> shared = m_shared;
    const QPointer<RecoveryCopy> self(this);
    QMetaObject::invokeMethod(m_worker, [shared, self] {
        for (;;) {
            Shared::Job next;
            std::function<void()> hook;
            {
                const std::lock_guard<std::mutex> lock(shared->mutex);
                if (!shared->pending) {
                    shared->busy = false;
                    shared->idle.notify_all();
                    return;
                }
                next = std::move(*shared->pending);
                shared->pending.reset();
                hook = shared->hook;
            }
            if (hook)
                hook();
            const QString failure = carryOut(shared->copyPath, shared->infoPath, next.info, next.copy, next.remove);
            QMetaObject::invokeMethod(self.data(), [self, failure] {
                if (!self)
                    return;
                if (!failure.isEmpty())
                    self->reportFailure(failure);
                emit self->written();
            });
        }
    });
}

void RecoveryCopy::waitForWrites()
{
    if (!m_started || m_finished)
        return;
    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        m_shared->idle.wait(lock, [this] { return !m_shared->busy; });
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void RecoveryCopy::reportFailure(const QString& reason)
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    emit notKept(recoveryNotKeptMessage(m_folder, reason));
}

void RecoveryCopy::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    disconnect(&m_net, nullptr, this, nullptr);
    m_timer->stop();
    for (auto it = m_claimed.cbegin(); it != m_claimed.cend(); ++it)
        it.value()->unlock();
    m_claimed.clear();
    if (!m_started)
        return;
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();  // the write under way, if any, ends first
        m_worker = nullptr;
    }
    // At the end the disk may be waited for: nothing is typed any more.
    std::function<void()> hook;
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        hook = m_shared->hook;
    }
    if (hook)
        hook();
    const bool keep = m_net.isModified() && !m_net.isBlank();
    carryOut(copyPath(), infoPath(), recoveryInfoText({m_net.sSessionFileName(), m_lastChange, false}),
             writeSessionFile(sessionFromNet(m_net)), !keep);
    m_lock->unlock();
}

bool RecoveryCopy::takeOverOwnNumber(QLockFile& lock, const QString& path) const
{
    // A lock naming this very process on this machine was left by an earlier program that
    // had the same process number: after a restart in a container, or on Windows, which
    // hands out small numbers again soon. Every lock this program holds is known to it, so
    // that program is gone, though QLockFile takes it for alive.
    qint64 pid = 0;
    QString host;
    QString app;
    qint64 ownPid = 0;
    QString ownHost;
    if (lock.error() != QLockFile::LockFailedError || !lock.getLockInfo(&pid, &host, &app) || !m_lock
        || !m_lock->getLockInfo(&ownPid, &ownHost, &app))
        return false;
    if (pid != ownPid || host != ownHost)
        return false;
#ifdef Q_OS_WIN
    Q_UNUSED(path);
#else
    // Unless this process holds it after all (a lock QLockFile holds is locked by the
    // system as well). On Windows a held lock file cannot be removed, which says the same.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    if (held)
        return false;
#endif
    return lock.removeStaleLockFile() && lock.tryLock(0);
}

QList<LeftCopy> RecoveryCopy::claimLeftCopies()
{
    QList<LeftCopy> found;
    if (!m_started || m_finished)
        return found;
    const QDir dir(m_folder);
    // A lock whose program is gone and left nothing behind is tidied away.
    const QStringList locks = dir.entryList({QStringLiteral("net-*.lock")}, QDir::Files);
    for (const QString& name : locks) {
        const QString id = name.chopped(5);
        if (id == m_id || QFile::exists(pathFor(id, ".info")))
            continue;
        QLockFile lock(pathFor(id, ".lock"));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock();
    }
    const QStringList infos = dir.entryList({QStringLiteral("net-*.info")}, QDir::Files);
    for (const QString& name : infos) {
        const QString id = name.chopped(5);
        if (id == m_id || m_claimed.contains(id))
            continue;
        auto lock = std::make_shared<QLockFile>(pathFor(id, ".lock"));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0) && !takeOverOwnNumber(*lock, pathFor(id, ".lock")))
            continue;  // its program still runs, or another one is offering it right now
        std::optional<RecoveryInfo> info;
        {
            // Closed before it may be removed: Windows removes no file that is open.
            QFile infoFile(pathFor(id, ".info"));
            if (infoFile.open(QIODevice::ReadOnly))
                info = parseRecoveryInfo(infoFile.read(4096));
        }
        if (info && (info->saved || !QFile::exists(pathFor(id, ".kvs")))) {
            // Saved since its last change, or stopped before its first copy: nothing to give back.
            QFile::remove(pathFor(id, ".kvs"));
            QFile::remove(pathFor(id, ".info"));
            lock->unlock();
            continue;
        }
        const SessionReadResult copy = info ? readSessionFileAt(pathFor(id, ".kvs")) : SessionReadResult();
        if (!info || !copy.ok()) {
            lock->unlock();  // not ours to read; left as it is
            continue;
        }
        m_claimed.insert(id, lock);
        found << LeftCopy{id, *info, copy.data};
    }
    std::sort(found.begin(), found.end(),
              [](const LeftCopy& a, const LeftCopy& b) { return a.info.changed > b.info.changed; });
    return found;
}

void RecoveryCopy::dropLeftCopy(const LeftCopy& copy)
{
    QFile::remove(pathFor(copy.id, ".kvs"));
    QFile::remove(pathFor(copy.id, ".info"));
    if (const std::shared_ptr<QLockFile> lock = m_claimed.take(copy.id))
        lock->unlock();
}

void RecoveryCopy::keepLeftCopy(const LeftCopy& copy)
{
    if (const std::shared_ptr<QLockFile> lock = m_claimed.take(copy.id))
        lock->unlock();
}

}  // namespace kolvane
