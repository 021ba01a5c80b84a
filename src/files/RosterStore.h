#pragma once

#include "net/Roster.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QThread;

namespace kolvane {

struct RosterChange;

// Keeps the regulars' roster in its file, on a thread of its own: the file is read there
// once the program is up, and each net learnt or station forgotten is written there. Before
// each write the file is read again under a lock and the changes are applied to what it
// holds, so two programs running at once never lose each other's stations. Every roster
// read or written goes back to the Regulars of the operator's thread, indexed, for the
// suggestions. A roster that cannot be read or written is reported once and left alone:
// the program works on without it.
class RosterStore : public QObject {
    Q_OBJECT

public:
    RosterStore(Regulars& regulars, const QString& path, QObject* parent = nullptr);
    // What was learnt is written before the store goes.
    ~RosterStore() override;

    // Starts the thread and reads the file there.
    void start();
    QString path() const { return m_path; }

    // Waits until everything asked for so far is done and the roster is back on the
    // operator's thread (for the tests and the benchmark).
    void waitForWrites();
    // Runs on the store's thread before each write (the tests race two programs with it).
    void setWriteHook(std::function<void()> hook);

signals:
    // Once per run: the roster cannot be read or written.
    void unusable(const QString& message);

private:
    struct Shared;
    void submit(RosterChange change);
    void kick();

    Regulars& m_regulars;
    QString m_path;
    std::shared_ptr<Shared> m_shared;
    QObject* m_worker = nullptr;
    QThread* m_thread = nullptr;
    bool m_reported = false;
};

}  // namespace kolvane
