#pragma once

#include "net/Net.h"
#include "net/Roster.h"
#include "ui/Module1.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

namespace kolvane {

class RecoveryCopy;
class RosterStore;
class WindowLayer;
class frmMain;
class frmSplash;

// The running program: its net, its windows, its splash and the recovery copy of its net.
class Program {
public:
    // The recovery copies live in `recoveryFolder` (defaultRecoveryFolder() for the operator),
    // the regulars' roster in `rosterPath` (defaultRosterPath()).
    explicit Program(WindowLayer& layer, const QString& recoveryFolder = QString(),
                     const QString& rosterPath = QString());
    ~Program();

    // Start-up: the title, the splash on top, one round of events, the main window; then
    // the net is kept in a recovery copy, and once the splash is gone the nets that programs
    // no longer running left unsaved are offered back. The regulars' roster is read on its
    // own thread once the window is up.
    void Main();

    Net& net() { return m_net; }
    Module1& state() { return m_state; }
    frmMain* mainWindow() const { return m_main.get(); }
    frmSplash* splash() const;
    RecoveryCopy* recovery() const { return m_recovery.get(); }
    Regulars& regulars() { return m_regulars; }
    RosterStore* rosterStore() const { return m_rosterStore.get(); }

private:
    // Runs `step` once the splash is out of the way, so that it never hides a question.
    void afterSplash(const std::function<void()>& step);

    WindowLayer& m_layer;
    QString m_recoveryFolder;
    QString m_rosterPath;
    Net m_net;
    Regulars m_regulars;
    Module1 m_state;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<RecoveryCopy> m_recovery;  // before the windows go, it has finished
    std::unique_ptr<RosterStore> m_rosterStore;
    QPointer<frmSplash> m_splash;
};

}  // namespace kolvane
