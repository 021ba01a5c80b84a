#include "files/RecoveryCopy.h"

#include "files/NetSession.h"
#include "files/SessionStorage.h"
#include "net/DateStamp.h"
#include "net/Net.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kolvane {

namespace {

const char* const kInfoHeader = "Kolvane recovery copy 1";
// Room for a path far longer than Linux allows (4096 bytes), percent-encoded.
constexpr qint64 kMaxInfoBytes = 64 * 1024;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

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

CopyCheck copyCheck(const QByteArray& copy)
{
    return {copy.size(), QCryptographicHash::hash(copy, QCryptographicHash::Sha256).toHex()};
}

QByteArray recoveryInfoText(const RecoveryInfo& info)
{
    QByteArray text = kInfoHeader;
    // Right after the first line: an info cut short loses the time and the flag after them
    // as well, and is refused rather than taken for one written before checksums.
    for (const CopyCheck& copy : info.copies)
        text += "\r\ncopy=" + QByteArray::number(copy.length) + ' ' + copy.sha256;
    // The name is percent-encoded: a path may hold any character, a line break included.
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
        } else if (key == "copy") {
            // A length and a checksum: a line that is not both was damaged.
            const QList<QByteArray> parts = value.split(' ');
            bool ok = parts.size() == 2 && !parts[0].isEmpty()
                      && std::all_of(parts[0].cbegin(), parts[0].cend(), isDigit) && parts[1].size() == 64
                      && std::all_of(parts[1].cbegin(), parts[1].cend(), isHexDigit);
            const qint64 length = ok ? parts[0].toLongLong(&ok) : -1;
            if (!ok)
                return std::nullopt;
            info.copies << CopyCheck{length, parts[1].toLower()};
        }
    }
    if (!haveChanged || !haveSaved)
        return std::nullopt;
    info.changed = info.changed.toUTC();
    return info;
}

RecoveryInfo vouchingFor(RecoveryInfo info, const QByteArray& copy)
{
    info.copies = {copyCheck(copy)};
    return info;
}

bool vouchesFor(const RecoveryInfo& info, const QByteArray& copy)
{
    return info.copies.isEmpty() || info.copies.contains(copyCheck(copy));
}

LeftCopyReading readLeftCopy(const std::optional<QByteArray>& info, const std::optional<QByteArray>& copy)
{
    LeftCopyReading reading;
    const std::optional<RecoveryInfo> parsed = info ? parseRecoveryInfo(*info) : std::nullopt;
    if (parsed)
        reading.info = *parsed;
    if (!copy) {
        // Stopped before its first copy, or while it removed a copy with nothing to keep.
        reading.verdict = parsed || !info ? LeftCopyReading::NothingToGiveBack : LeftCopyReading::NotOurs;
        return reading;
    }
    if (parsed && parsed->saved) {
        reading.verdict = LeftCopyReading::NothingToGiveBack;  // the operator's own file holds it
        return reading;
    }
    reading.verdict = LeftCopyReading::Unreadable;
    if (!parsed || !vouchesFor(*parsed, *copy))
        return reading;
    SessionReadResult read = readSessionFile(*copy);
    if (!read.ok())
        return reading;
    reading.verdict = LeftCopyReading::Offer;
    reading.session = std::move(read.data);
    return reading;
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

QString unreadableCopiesMessage(const QStringList& paths)
{
    QStringList files;
    for (const QString& path : paths)
        files << QStringLiteral("File: %1").arg(QDir::toNativeSeparators(path));
    if (paths.size() == 1)
        return QStringLiteral("A recovery copy could not be read: it is not whole, or it is not a net. It is not "
                              "offered, and it is kept as it is.\n\n%1\n\nFile > Open shows what it holds. This "
                              "message comes at each start until the file is deleted.")
            .arg(files.first());
    return QStringLiteral("%1 recovery copies could not be read: they are not whole, or they are not nets. They are "
                          "not offered, and they are kept as they are.\n\n%2\n\nFile > Open shows what each one "
                          "holds. This message comes at each start until the files are deleted.")
        .arg(paths.size())
        .arg(files.join(u'\n'));
}

// ---------------------------------------------------------------- the writing thread

struct RecoveryCopy::Shared {
    struct Job {
        RecoveryInfo info;  // vouches for the copy once the writer has its checksum
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
    std::optional<CopyCheck> onDisk;  // the copy at copyPath, for the writer alone
};

class RecoveryCopy::Worker : public QObject {};

namespace {

// The info first, vouching for the copy about to be written and for the one on disk now,
// then the copy, each replaced whole: should the program stop in between, the copy on disk
// is still one the info vouches for, as it was a second earlier. One cut short or changed
// on disk is neither. The checksum is taken here, on the writing thread, not the operator's.
QString carryOut(const QString& copyPath, const QString& infoPath, RecoveryInfo info, const QByteArray& copy,
                 bool remove, std::optional<CopyCheck>& onDisk)
{
    if (remove) {
        // The copy first: an info left without it is tidied by the next start.
        QFile::remove(copyPath);
        QFile::remove(infoPath);
        onDisk.reset();
        return QString();
    }
    const CopyCheck next = copyCheck(copy);
    info.copies = {next};
    if (onDisk && *onDisk != next)
        info.copies << *onDisk;
    QString failure = writeFileAtomically(infoPath, recoveryInfoText(info));
    if (failure.isEmpty())
        failure = writeFileAtomically(copyPath, copy);
    if (failure.isEmpty())
        onDisk = next;
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
        job.info = {m_net.sSessionFileName(), m_lastChange, !m_net.isModified()};
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
            const QString failure =
                carryOut(shared->copyPath, shared->infoPath, next.info, next.copy, next.remove, shared->onDisk);
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
    carryOut(copyPath(), infoPath(), {m_net.sSessionFileName(), m_lastChange, false},
             writeSessionFile(sessionFromNet(m_net)), !keep, m_shared->onDisk);
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

bool RecoveryCopy::takeLeftLock(QLockFile& lock, const QString& path) const
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(0) || takeOverOwnNumber(lock, path))
        return true;
    // A program stopped between making its lock and writing into it (killed at its first
    // frame, or a crash at start) leaves it empty, and QLockFile takes an empty lock for stale
    // only by its age, which a stale time of 0 rules out. A live program fills its lock at
    // once, so one still empty after some seconds was left behind; and QLockFile removes no
    // lock the system still holds for a live program, which covers the rest.
    const QFileInfo file(path);
    if (lock.error() != QLockFile::LockFailedError || !file.exists() || file.size() != 0
        || qAbs(file.lastModified().secsTo(QDateTime::currentDateTime())) < kEmptyLockSeconds)
        return false;
    return lock.removeStaleLockFile() && lock.tryLock(0);
}

QList<LeftCopy> RecoveryCopy::claimLeftCopies()
{
    QList<LeftCopy> found;
    if (!m_started || m_finished)
        return found;
    // Whatever a program left: its lock, its info, its copy, or some of them.
    const QDir dir(m_folder);
    QStringList ids;
    const QStringList names = dir.entryList(
        {QStringLiteral("net-*.lock"), QStringLiteral("net-*.info"), QStringLiteral("net-*.kvs")}, QDir::Files);
    for (const QString& name : names)
        ids << name.left(name.lastIndexOf(u'.'));
    ids.removeDuplicates();
    // Nothing when the file is not there; empty when it is and cannot be read.
    const auto contents = [](const QString& path, qint64 most) -> std::optional<QByteArray> {
        if (!QFile::exists(path))
            return std::nullopt;
        QFile file(path);  // closed before the file may be removed: Windows removes no open file
        return file.open(QIODevice::ReadOnly) ? file.read(most) : QByteArray();
    };
    for (const QString& id : std::as_const(ids)) {
        if (id == m_id || m_claimed.contains(id))
            continue;
        const QString copy = pathFor(id, ".kvs");
        auto lock = std::make_shared<QLockFile>(pathFor(id, ".lock"));
        if (!takeLeftLock(*lock, pathFor(id, ".lock")))
            continue;  // its program still runs, or another one is offering it right now
        // A write cut short may leave its temporary file (where the system gives it a name):
        // the name and six random characters. Anything else beside it, such as the operator's
        // own backup of a copy that could not be read, stays.
        for (const QString& name :
             dir.entryList({id + QStringLiteral(".kvs.??????"), id + QStringLiteral(".info.??????")}, QDir::Files))
            QFile::remove(dir.filePath(name));
        // One byte past the largest session file: a longer copy is refused, not read whole.
        const LeftCopyReading reading =
            readLeftCopy(contents(pathFor(id, ".info"), kMaxInfoBytes), contents(copy, kMaxSessionFileBytes + 1));
        switch (reading.verdict) {
        case LeftCopyReading::Offer:
            m_claimed.insert(id, lock);
            found << LeftCopy{id, reading.info, reading.session};
            continue;
        case LeftCopyReading::NothingToGiveBack:
            QFile::remove(copy);
            QFile::remove(pathFor(id, ".info"));
            break;
        case LeftCopyReading::Unreadable:
            if (!m_toldUnreadable.contains(copy)) {
                m_toldUnreadable.insert(copy);
                m_unreadable << copy;
            }
            break;
        case LeftCopyReading::NotOurs:
            break;
        }
        lock->unlock();  // the lock file goes with it
    }
    std::sort(found.begin(), found.end(),
              [](const LeftCopy& a, const LeftCopy& b) { return a.info.changed > b.info.changed; });
    return found;
}

QStringList RecoveryCopy::takeUnreadableCopies()
{
    return std::exchange(m_unreadable, QStringList());
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
