#include "support/TestMain.h"
#include "support/MainRig.h"
KOLVANE_TEST_MAIN(QObject)
