#include "ui/frmMain.h"

namespace kolvane {

void frmMain::createMenus() {}
void frmMain::createToolBar() {}
void frmMain::mnuViewNetCntrl_Click() {}
void frmMain::mnuViewStatusBar_Click() {}
void frmMain::mnuEditCut_Click() {}
void frmMain::mnuEditCopy_Click() {}
void frmMain::mnuEditPaste_Click() {}
void frmMain::mnuFilePrint_Click() {}
void frmMain::mnuFilePageSetup_Click() {}
void frmMain::mnuFileExit_Click() {}
void frmMain::mnuHelpContents_Click() {}
void frmMain::mnuHelpSearchForHelpOn_Click() {}
void frmMain::tbToolBar_ButtonClick(const QString&) {}

} // namespace kolvane
