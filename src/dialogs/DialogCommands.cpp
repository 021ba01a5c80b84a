#include "ui/frmMain.h"

namespace kolvane {

// Help > About, View > Options and Tools > Options.
void frmMain::mnuHelpAbout_Click() {}
void frmMain::mnuViewOptions_Click() {}
void frmMain::mnuToolsOptions_Click() {}

} // namespace kolvane
