#pragma once

// Breaks the layers on purpose: the windows may not include start-up. The include check
// must refuse this folder.
#include "app/Program.h"
