#pragma once

#include "files/SessionFile.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLockFile;
class QThread;
class QTimer;

namespace kolvane {

class Net;

// The folder the recovery copies live in: $XDG_STATE_HOME/kolvane (by default
// ~/.local/state/kolvane), on Windows the application's local data folder. Never beside
// the operator's own files.
QString defaultRecoveryFolder();

// What is kept beside a copy: the name Save writes to, when the net last changed, and
// whether it has been saved since.
struct RecoveryInfo {
    QString savedAs;
    QDateTime changed;  // UTC
    bool saved = false;

    bool operator==(const RecoveryInfo& o) const
    {
        return savedAs == o.savedAs && changed == o.changed && saved == o.saved;
    }
};
QByteArray recoveryInfoText(const RecoveryInfo& info);
std::optional<RecoveryInfo> parseRecoveryInfo(const QByteArray& text);

// A copy left by a program that is no longer running, with a net not saved since its last
// change. This program holds its lock until it is restored or discarded.
struct LeftCopy {
    QString id;
    RecoveryInfo info;
    SessionData session;
};

// The operator's question about a left net, and the notice that no copy can be kept.
QString leftNetQuestion(const LeftCopy& copy);
QString recoveryNotKeptMessage(const QString& folder, const QString& reason);

// Keeps a copy of the running net on disk, so a crash, a killed process, a power cut or a
// closed window does not lose it. Within a second of a change the net is written in the
// session-file layout (it opens with File > Open too), atomically and flushed, beside a
// small file with the name Save writes to. The writing happens on a thread of its own: the
// operator's typing never waits for the disk, and a slow disk only ever has the newest
// state to write. Each running program keeps its own copy under a lock, so two programs
// never write over each other, and a copy whose program still runs is never offered.
class RecoveryCopy : public QObject {
    Q_OBJECT

public:
    RecoveryCopy(Net& net, const QString& folder, QObject* parent = nullptr);
    ~RecoveryCopy() override;

    // Takes this program's place in the folder. False when the folder cannot be used; the
    // failure has then been reported through notKept().
    bool start();

    QString folder() const { return m_folder; }
    QString id() const { return m_id; }
    QString copyPath() const;
    QString infoPath() const;

    // The nets left by programs that no longer run and that were not saved since their last
    // change, newest first. Each one's lock is taken, so no other program offers it meanwhile.
    QList<LeftCopy> claimLeftCopies();
    // Deletes a claimed copy (restored into this net, or discarded) and lets its lock go.
    void dropLeftCopy(const LeftCopy& copy);
    // Lets a claimed copy's lock go and leaves the copy for a later start.
    void keepLeftCopy(const LeftCopy& copy);

    // The net is closing: the copy is written once more, at once, and kept only when the
    // net holds something not saved since its last change; then the lock goes. The net's
    // windows closing afterwards change nothing here.
    void finish();

    // How long after a change the copy is written.
    static constexpr int kDelayMs = 1000;
    // Writes the copy now rather than after the delay.
    void writeNow();
    // Runs on the writing thread before each write: the tests and the benchmark stall the
    // disk with it.
    void setWriteHook(std::function<void()> hook);
    // Waits until every copy asked for so far is on disk (for the tests and the benchmark).
    void waitForWrites();

signals:
    // Once per run: the copy cannot be kept; the operator must know the net is at risk.
    void notKept(const QString& message);
    // A copy reached the disk (or was removed when there was nothing to keep).
    void written();

private:
    struct Shared;
    void netChanged();
    void schedule();
    void submitSnapshot();
    void reportFailure(const QString& reason);
    QString pathFor(const QString& id, const char* suffix) const;
    // Takes a left lock that names this process's own number, which QLockFile cannot tell
    // from a live owner.
    bool takeOverOwnNumber(QLockFile& lock, const QString& path) const;

    Net& m_net;
    QString m_folder;
    QString m_id;
    std::shared_ptr<Shared> m_shared;
    class Worker;
    Worker* m_worker = nullptr;
    QThread* m_thread = nullptr;
    QTimer* m_timer = nullptr;
    std::unique_ptr<QLockFile> m_lock;
    QMap<QString, std::shared_ptr<QLockFile>> m_claimed;  // left copies being offered, by id
    QDateTime m_lastChange;
    bool m_started = false;
    bool m_finished = false;
    bool m_failureReported = false;
};

}  // namespace kolvane
