// The yardsticks for start-up: an empty Qt main window, shown the same way and at the same
// size as Kolvane's, ending when its first frame is on the screen. With --label it shows
// one line of text, which is what it takes to load the font database every program with
// text pays for.

#include "BenchSupport.h"

#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    kolvane::bench::preferOffscreen();
    kolvane::bench::FirstFrameApplication app(argc, argv);
    QMainWindow window;
    // Kolvane's main window is 11925 x 9140 twips, 795 x 609 pixels at 96 dpi: the same
    // area to paint, so the comparison is about the program, not the pixels.
    window.resize(795, 609);
    if (argc > 1 && QByteArray(argv[1]) == "--label")
        window.setCentralWidget(new QLabel(QStringLiteral("Net Control")));
    window.show();
    return app.exec();
}
