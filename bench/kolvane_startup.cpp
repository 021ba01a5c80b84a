// Kolvane's own start-up, exactly as main.cpp runs it, ending when the main window's first
// frame is on the screen.

#include "BenchSupport.h"
#include "app/Program.h"
#include "ui/QtWindowLayer.h"

int main(int argc, char* argv[])
{
    kolvane::bench::preferOffscreen();
    kolvane::bench::FirstFrameApplication app(argc, argv);
    kolvane::QtWindowLayer layer;
    kolvane::Program program(layer);
    program.Main();
    return app.exec();
}
