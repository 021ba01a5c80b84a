#pragma once

#include "ui/MainCommands.h"

namespace kolvane {

class WindowLayer;
class frmMain;
struct Module1;

// The File menu's Open, Save, Save As and Close and Tools > Transfer Net Control: the
// session file layer at work on the windows of one main window.
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

private:
    frmMain& m_main;
    Module1& m_state;
    WindowLayer& m_layer;
};

}  // namespace kolvane
