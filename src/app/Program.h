#pragma once

#include "net/Net.h"
#include "ui/Module1.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

namespace kolvane {

class RecoveryCopy;
class WindowLayer;
class frmMain;
class frmSplash;

// The running program: its net, its windows, its splash and the recovery copy of its net.
class Program {
public:
    // The recovery copies live in `recoveryFolder` (defaultRecoveryFolder() for the operator).
    explicit Program(WindowLayer& layer, const QString& recoveryFolder = QString());
    ~Program();

    // Start-up: the title, the splash on top, one round of events, the main window; then
    // the net is kept in a recovery copy, and once the splash is gone the nets that programs
    // no longer running left unsaved are offered back.
    void Main();

    Net& net() { return m_net; }
    Module1& state() { return m_state; }
    frmMain* mainWindow() const { return m_main.get(); }
    frmSplash* splash() const;
    RecoveryCopy* recovery() const { return m_recovery.get(); }

private:
    // Runs `step` once the splash is out of the way, so that it never hides a question.
    void afterSplash(const std::function<void()>& step);

    WindowLayer& m_layer;
    QString m_recoveryFolder;
    Net m_net;
    Module1 m_state;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<RecoveryCopy> m_recovery;  // before the windows go, it has finished
    QPointer<frmSplash> m_splash;
};

}  // namespace kolvane
