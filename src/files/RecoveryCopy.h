#pragma once

#include "files/SessionFile.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
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

// A copy as its info knows it: its length in bytes and its SHA-256, in hexadecimal.
struct CopyCheck {
    qint64 length = -1;
    QByteArray sha256 = {};

    bool operator==(const CopyCheck& o) const { return length == o.length && sha256 == o.sha256; }
    bool operator!=(const CopyCheck& o) const { return !(*this == o); }
};
CopyCheck copyCheck(const QByteArray& copy);

// What is kept beside a copy: the name Save writes to, when the net last changed, whether
// it has been saved since, and the copies it vouches for.
struct RecoveryInfo {
    QString savedAs;
    QDateTime changed;  // UTC
    bool saved = false;
    // The copy written right after the info and the one that copy replaces, which is on disk
    // should the program stop in between. None in an info written before they were kept:
    // its copy is taken as it is.
    QList<CopyCheck> copies = {};

    bool operator==(const RecoveryInfo& o) const
    {
        return savedAs == o.savedAs && changed == o.changed && saved == o.saved && copies == o.copies;
    }
};
QByteArray recoveryInfoText(const RecoveryInfo& info);
std::optional<RecoveryInfo> parseRecoveryInfo(const QByteArray& text);
// The info vouching for `copy` alone.
RecoveryInfo vouchingFor(RecoveryInfo info, const QByteArray& copy);
// True when the info vouches for `copy`, or is older than checksums.
bool vouchesFor(const RecoveryInfo& info, const QByteArray& copy);

// A copy left by a program that is no longer running, with a net not saved since its last
// change. This program holds its lock until it is restored or discarded.
struct LeftCopy {
    QString id;
    RecoveryInfo info;
    SessionData session;
};

// What a left copy and the info beside it amount to; nothing stands for a missing file.
struct LeftCopyReading {
    enum Verdict {
        Offer,              // a whole net, not saved since its last change
        NothingToGiveBack,  // saved since, or stopped before its first copy: both files go
        Unreadable,         // not whole, or not a net: the operator is told, the files stay
        NotOurs,            // an info of another kind with no copy: left alone
    };
    Verdict verdict = NotOurs;
    RecoveryInfo info;
    SessionData session;
};
LeftCopyReading readLeftCopy(const std::optional<QByteArray>& info, const std::optional<QByteArray>& copy);

// The operator's question about a left net, the notice that no copy can be kept, and the
// one about left copies that cannot be offered, which the operator may open by hand.
QString leftNetQuestion(const LeftCopy& copy);
QString recoveryNotKeptMessage(const QString& folder, const QString& reason);
QString unreadableCopiesMessage(const QStringList& paths);

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
    // The left copies that claimLeftCopies() found but cannot offer, each given once per run.
    QStringList takeUnreadableCopies();

    // The net is closing: the copy is written once more, at once, and kept only when the
    // net holds something not saved since its last change; then the lock goes. The net's
    // windows closing afterwards change nothing here.
    void finish();

    // How long after a change the copy is written.
    static constexpr int kDelayMs = 1000;
    // How old an empty lock must be before it is taken for one a stopped program left.
    static constexpr int kEmptyLockSeconds = 10;
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
    // Takes the lock of a program that no longer runs; false while a live one holds it.
    bool takeLeftLock(QLockFile& lock, const QString& path) const;

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
    QStringList m_unreadable;                             // found and not yet given
    QSet<QString> m_toldUnreadable;
    QDateTime m_lastChange;
    bool m_started = false;
    bool m_finished = false;
    bool m_failureReported = false;
};

}  // namespace kolvane
