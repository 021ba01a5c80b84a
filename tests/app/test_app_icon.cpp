#include "support/TestMain.h"

#include "app/Program.h"
#include "dialogs/frmSplash.h"
#include "support/ScriptedWindowLayer.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QIcon>
#include <QImage>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>

using namespace kolvane;

namespace {

// Share of pixels that are not fully transparent: a blank or failed render gives 0.
double coverage(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    qint64 opaque = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            opaque += qAlpha(argb.pixel(x, y)) > 0 ? 1 : 0;
    return argb.isNull() ? 0.0 : double(opaque) / (argb.width() * argb.height());
}

// A machine busy enough that every round of pending events finds the frame's layout
// animations already finished and waiting to be deleted.
class SlowEventsLayer : public test::ScriptedWindowLayer {
public:
    void processPendingEvents() override
    {
        QThread::msleep(40);
        ScriptedWindowLayer::processPendingEvents();
    }
};

}  // namespace

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setWindowIcon(QIcon()); }

    // The embedded PNG of each size is that size and holds a drawing.
    void embeddedSizes_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 32, 48, 64})
            QTest::addRow("%dx%d", size, size) << size;
    }
    void embeddedSizes()
    {
        QFETCH(int, size);
        test::ScriptedWindowLayer layer;
        Program program(layer);
        program.Main();  // registers the resource
        const auto closeMain = qScopeGuard([&program] { program.mainWindow()->close(); });

        const QImage image(QStringLiteral(":/icons/%1x%1/kolvane.png").arg(size));
        QVERIFY2(!image.isNull(), "icon resource missing");
        QCOMPARE(image.size(), QSize(size, size));
        // The rounded square fills most of the picture; a misrendered file would not.
        QVERIFY2(coverage(image) > 0.8, qPrintable(QString::number(coverage(image))));
        QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(size, size)));
    }

    // Start-up gives every window the icon: the splash, the main window and the
    // participant windows, which copy it from the main window when they load.
    void everyWindowShowsTheIcon()
    {
        test::ScriptedWindowLayer layer;
        Program program(layer);
        QVERIFY(QApplication::windowIcon().isNull());
        program.Main();
        const auto closeMain = qScopeGuard([&program] { program.mainWindow()->close(); });

        const QIcon app = QApplication::windowIcon();
        QVERIFY(!app.isNull());
        const QImage expected = app.pixmap(QSize(16, 16)).toImage();

        QVERIFY(program.splash());
        QCOMPARE(program.splash()->windowIcon().pixmap(QSize(16, 16)).toImage(), expected);
        frmMain* main = program.mainWindow();
        QVERIFY(main);
        QCOMPARE(main->windowIcon().pixmap(QSize(16, 16)).toImage(), expected);
        main->AddParticipant();
        for (int n : {1, 2}) {
            frmDocument* doc = program.state().slot(n);
            QVERIFY(doc);
            QCOMPARE(doc->windowIcon().pixmap(QSize(16, 16)).toImage(), expected);
        }
        QString why;
        QVERIFY2(layer.isClean(&why), qPrintable(why));
    }

    // Start-up with the icon on a slow machine: the first participant's activation runs
    // pending events while the frame comes up, and must not free what the frame is
    // still showing.
    void startupSurvivesSlowEventRounds()
    {
        for (int run = 0; run < 3; ++run) {
            SlowEventsLayer layer;
            Program program(layer);
            program.Main();
            const auto closeMain = qScopeGuard([&program] { program.mainWindow()->close(); });
            QVERIFY(program.mainWindow()->isVisible());
            QVERIFY(program.state().slot(1));
            QVERIFY(program.state().slot(1)->isVisible());
        }
    }
};

KOLVANE_TEST_MAIN(TestAppIcon)
#include "test_app_icon.moc"
