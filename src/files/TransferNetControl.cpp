#include "ui/frmMain.h"

namespace kolvane {

void frmMain::mnuToolsTransferNetControl_Click() {}
void frmMain::TransferFileSaveAs() {}

} // namespace kolvane
