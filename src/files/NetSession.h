#pragma once

#include "files/SessionFile.h"

namespace kolvane {

class Net;

// The net as a session file holds it: the header and one record per open station, in
// ascending window number; closed windows leave no gap.
SessionData sessionFromNet(const Net& net);

}  // namespace kolvane
