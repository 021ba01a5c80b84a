// Kolvane's own start-up, exactly as main.cpp runs it, ending at the first paint of the
// main window.

#include "BenchSupport.h"
#include "app/Program.h"
#include "ui/QtWindowLayer.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    kolvane::bench::preferOffscreen();
    QApplication app(argc, argv);
    kolvane::bench::FirstPaintReporter reporter;
    app.installEventFilter(&reporter);
    kolvane::QtWindowLayer layer;
    kolvane::Program program(layer);
    program.Main();
    return app.exec();
}
