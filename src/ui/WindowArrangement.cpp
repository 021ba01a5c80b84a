#include "ui/frmMain.h"

namespace kolvane {

void frmMain::SortWindows() {}
void frmMain::mnuWindowCascade_Click() {}
void frmMain::mnuWindowTileHorizontal_Click() {}
void frmMain::mnuWindowTileVertical_Click() {}
void frmMain::mnuWindowArrangeIcons_Click() {}
void frmMain::mnuWindowMinimizeAll_Click() {}
void frmMain::mnuWindowRestoreAll_Click() {}
void frmMain::arrange(int) {}

} // namespace kolvane
