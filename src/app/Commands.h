#pragma once

#include "ui/MainCommands.h"

namespace kolvane {

// The program's menu commands for one main window: the session file commands and the
// transfer, and the auxiliary dialogs.
MainCommands makeCommands(frmMain& main);

}  // namespace kolvane
