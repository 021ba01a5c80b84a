#pragma once

#include "net/Net.h"
#include "ui/Module1.h"

#include <QPointer>
#include <memory>

namespace kolvane {

class WindowLayer;
class frmMain;
class frmSplash;

// The running program: its state, its main window and its splash.
class Program {
public:
    explicit Program(WindowLayer& layer);
    ~Program();

    // Start-up: the title, the splash on top, one round of events, the main window.
    void Main();

    Net& net() { return m_net; }
    Module1& state() { return m_state; }
    frmMain* mainWindow() const { return m_main.get(); }
    frmSplash* splash() const;

private:
    WindowLayer& m_layer;
    Net m_net;
    Module1 m_state;
    std::unique_ptr<frmMain> m_main;
    QPointer<frmSplash> m_splash;
};

}  // namespace kolvane
