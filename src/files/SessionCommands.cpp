#include "ui/frmMain.h"

namespace kolvane {

// File commands: filled in with the session-file layer.
void frmMain::SaveSessionFile() {}
void frmMain::LoadSessionFile() {}
void frmMain::mnuFileOpen_Click() {}
void frmMain::mnuFileSave_Click() {}
void frmMain::mnuFileSaveAs_Click() {}
void frmMain::mnuFileClose_Click() {}

} // namespace kolvane
