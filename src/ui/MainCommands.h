#pragma once

#include <memory>

namespace kolvane {

class frmMain;

// The commands of the main window whose work lives in their own folders: the session file
// commands and the transfer of Net Control (files/commands) and the auxiliary dialogs
// (dialogs). The window's menus, keys and toolbar call them through these; start-up makes
// them for the window (makeCommands in app/), and so does every test rig.
class SessionFileCommands {
public:
    virtual ~SessionFileCommands() = default;
    virtual void SaveSessionFile() = 0;
    virtual void LoadSessionFile() = 0;
    virtual void mnuFileOpen_Click() = 0;
    virtual void mnuFileSave_Click() = 0;
    virtual void mnuFileSaveAs_Click() = 0;
    virtual void mnuFileClose_Click() = 0;
    virtual void mnuToolsTransferNetControl_Click() = 0;
    virtual void TransferFileSaveAs() = 0;
};

class DialogCommands {
public:
    virtual ~DialogCommands() = default;
    virtual void showAbout() = 0;
    virtual void showOptions() = 0;
};

struct MainCommands {
    std::unique_ptr<SessionFileCommands> files;
    std::unique_ptr<DialogCommands> dialogs;
};

// Makes the commands for a main window under construction; they keep the reference.
using MakeCommands = MainCommands (*)(frmMain& main);

}  // namespace kolvane
