#pragma once

#include "files/SessionFile.h"

namespace kolvane {

class frmMain;

// The session as the windows hold it: the header and one record per open participant
// window, in ascending window number; closed windows leave no gap.
SessionData sessionFromWindows(const frmMain& main);

}  // namespace kolvane
