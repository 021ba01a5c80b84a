#include "app/Program.h"
#include "ui/QtWindowLayer.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    kolvane::QtWindowLayer layer;
    kolvane::Program program(layer);
    program.Main();
    return app.exec();
}
