// The program as it starts for the operator, with the one difference a screen-reader check
// needs: the ID timer ticks every 10 ms, so its ten-minute period ends after six seconds.
// Not installed and not a test of the suite; tools/orca-check.sh runs it under Orca.
#include "app/Program.h"
#include "ui/QtWindowLayer.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    kolvane::QtWindowLayer layer;
    // Its recovery copies stay out of the operator's own folder.
    QTemporaryDir state;
    kolvane::Program program(layer, state.path());
    program.Main();
    program.mainWindow()->timID->setInterval(10);
    return app.exec();
}
