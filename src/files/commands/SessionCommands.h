#pragma once

#include "ui/MainCommands.h"

#include <QString>

namespace kolvane {

class Net;
struct NetControlStation;
struct NetHeader;
struct SessionData;
class WindowLayer;
class frmMain;

// The File menu's Open, Save, Save As and Close and Tools > Transfer Net Control: the
// session file layer between the net of one main window and the disk. Opening rebuilds the
// participant windows through the main window and fills the net; the windows follow.
class SessionCommands : public SessionFileCommands {
public:
    explicit SessionCommands(frmMain& main);

    // Validates the header, then writes the session to sSessionFileName.
    void SaveSessionFile() override;
    // Reads sOpenFileName and rebuilds the header, the comments and the participant windows.
    void LoadSessionFile() override;
    void mnuFileOpen_Click() override;
    void mnuFileSave_Click() override;
    // Only picks the name; the next Save writes the file.
    void mnuFileSaveAs_Click() override;
    // Closes the active participant window, not a file.
    void mnuFileClose_Click() override;
    void mnuToolsTransferNetControl_Click() override;
    void TransferFileSaveAs() override;

    // Rebuilds the net from a recovery copy as Open does, and puts back the name Save
    // writes to; the timers start stopped.
    void restoreSession(const SessionData& session, const QString& savedAs);

private:
    // The windows closed and made anew for the session's stations, tiled, and the net filled.
    void rebuild(const SessionData& session);
    // The regulars' roster learns the session's stations (and `also`).
    void learn(const SessionData& session, const NetControlStation* also = nullptr);

    frmMain& m_main;
    Net& m_net;
    WindowLayer& m_layer;
};

}  // namespace kolvane
