#include "support/MainRig.h"
#include "support/NetFixtures.h"
#include "support/TestMain.h"

#include "net/NetHeader.h"
#include "ui/Controls.h"
#include "ui/Twips.h"

#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

using namespace kolvane;
using namespace kolvane::test;

namespace {

using Command = void (frmMain::*)();

Command command(const QString& name)
{
    if (name == QLatin1String("Cascade"))
        return &frmMain::mnuWindowCascade_Click;
    if (name == QLatin1String("Tile Horizontal"))
        return &frmMain::mnuWindowTileHorizontal_Click;
    if (name == QLatin1String("Tile Vertical"))
        return &frmMain::mnuWindowTileVertical_Click;
    if (name == QLatin1String("Arrange Icons"))
        return &frmMain::mnuWindowArrangeIcons_Click;
    if (name == QLatin1String("Minimize All"))
        return &frmMain::mnuWindowMinimizeAll_Click;
    return &frmMain::mnuWindowRestoreAll_Click;
}

const QStringList kLayouts = {"Cascade", "Tile Horizontal", "Tile Vertical", "Arrange Icons"};

QRect client(MainRig& rig)
{
    return rig.main->mdiArea->viewport()->rect();
}

// Resizes the frame until its client area has this size in pixels. Both bars are hidden
// first, so that the frame may become smaller than the net panel, and the area may become
// smaller than the one title bar it asks for by default.
bool setClientSize(MainRig& rig, QSize px)
{
    rig.main->mdiArea->setMinimumSize(1, 1);
    if (rig.main->mnuViewNetCntrl->isChecked())
        rig.main->mnuViewNetCntrl_Click();
    if (rig.main->mnuViewStatusBar->isChecked())
        rig.main->mnuViewStatusBar_Click();
    for (int i = 0; i < 10 && client(rig).size() != px; ++i) {
        rig.main->resize(rig.main->size() + px - client(rig).size());
        QCoreApplication::processEvents();
    }
    return client(rig).size() == px;
}

// The participant numbers from the top of the stack down; icons left out if asked, as
// Qt keeps them below the open windows.
QList<int> topmostFirst(MainRig& rig, bool openOnly = false)
{
    QList<int> out;
    const auto list = rig.main->mdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        if (!openOnly || !(*it)->isMinimized())
            out << static_cast<frmDocument*>(*it)->number();
    }
    return out;
}

// The open participants as an operator reads them: by rows from the top, each row from
// the left. Windows whose tops lie within `rowSlack` pixels count as one row.
QList<int> readingOrder(MainRig& rig, const QList<frmDocument*>& docs, int rowSlack = 2)
{
    QList<frmDocument*> sorted = docs;
    std::sort(sorted.begin(), sorted.end(), [rowSlack](frmDocument* a, frmDocument* b) {
        if (qAbs(a->y() - b->y()) > rowSlack)
            return a->y() < b->y();
        return a->x() < b->x();
    });
    QList<int> out;
    for (frmDocument* d : sorted)
        out << d->number();
    Q_UNUSED(rig);
    return out;
}

bool anyOverlap(const QList<frmDocument*>& docs)
{
    for (int i = 0; i < docs.size(); ++i)
        for (int j = i + 1; j < docs.size(); ++j)
            if (docs[i]->geometry().intersects(docs[j]->geometry()))
                return true;
    return false;
}

QList<int> numbers(const QList<frmDocument*>& docs)
{
    QList<int> out;
    for (frmDocument* d : docs)
        out << d->number();
    return out;
}

void putOnTurn(MainRig& rig, int n)
{
    rig.doc(n)->txtCallsign->setText(QStringLiteral("DL1XYZ"));
    rig.doc(n)->txtHandle->setText(QStringLiteral("Fritz"));
    rig.doc(n)->txtQTH->setText(QStringLiteral("Bonn"));
    press(*rig.main, rig.doc(n), &frmDocument::cmdActive_Click);
    rig.doc(n)->cmdTalk_Click();
}

}  // namespace

class TestArrangement : public QObject {
    Q_OBJECT

private slots:
    void tileVerticalPutsParticipantOneFirst();
    void tilesReadInParticipantOrder_data();
    void tilesReadInParticipantOrder();
    void emptySlotsAreSkipped_data();
    void emptySlotsAreSkipped();
    void cascadeHalvesTheClientArea_data();
    void cascadeHalvesTheClientArea();
    void cascadeKeepsIconsAndRestoresMaximized();
    void maximizedWindowIsRestoredInItsPlace_data();
    void maximizedWindowIsRestoredInItsPlace();
    void layoutEndsIdleWhileAStationTalks_data();
    void layoutEndsIdleWhileAStationTalks();
    void minimizeAndRestoreLeaveTheStatusLineAlone();
    void arrangeIconsLinesThemUpInOrder();
    void tilesLeaveIconsUncovered();
    void windowClosedWhileSortingIsSkipped();
    void commandsWithNoParticipants();
    void bulkCommandsActivateInTheOrderTheyVisit_data();
    void bulkCommandsActivateInTheOrderTheyVisit();
};

void TestArrangement::tileVerticalPutsParticipantOneFirst()
{
    MainRig rig;
    rig.addUpTo(5);
    // Room for five columns, so each gets the full height.
    QVERIFY(setClientSize(rig, twips::size(5 * 3750 + 600, 6000)));
    rig.activate(4);
    QCOMPARE(rig.state.iActiveDocument, qint16(4));

    rig.main->mnuWindowTileVertical_Click();

    QCOMPARE(rig.main->activeParticipant(), rig.doc(1));
    QCOMPARE(rig.state.iActiveDocument, qint16(1));
    QCOMPARE(topmostFirst(rig), (QList<int>{1, 2, 3, 4, 5}));
    const QList<frmDocument*> docs = rig.main->openParticipants();
    for (int i = 0; i < docs.size(); ++i) {
        QCOMPARE(docs[i]->y(), 0);
        QCOMPARE(docs[i]->height(), client(rig).height());
        if (i > 0)
            QCOMPARE(docs[i]->x(), docs[i - 1]->geometry().right() + 1);
    }
    QCOMPARE(docs.first()->x(), 0);
    QCOMPARE(docs.last()->geometry().right(), client(rig).right());
    QCOMPARE(rig.main->statusText(), statusIdle());
}

void TestArrangement::tilesReadInParticipantOrder_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("clientWidthTwips");
    QTest::addColumn<int>("clientHeightTwips");
    QTest::addColumn<int>("activeBefore");
    // Enough room: one row each, or one column each.
    QTest::newRow("horizontal, 6 rows") << "Tile Horizontal" << 6 << 12000 << 7200 << 3;
    QTest::newRow("vertical, 3 columns") << "Tile Vertical" << 3 << 12000 << 7200 << 2;
    // Too little room for rows or columns at the windows' minimum: rows of tiles instead,
    // still in reading order and without overlap.
    QTest::newRow("vertical, 6 in 2 rows") << "Tile Vertical" << 6 << 12000 << 7200 << 5;
    QTest::newRow("vertical, 7 wrap") << "Tile Vertical" << 7 << 8000 << 7200 << 7;
    QTest::newRow("horizontal, 12 wrap") << "Tile Horizontal" << 12 << 12000 << 6000 << 12;
}

void TestArrangement::tilesReadInParticipantOrder()
{
    QFETCH(QString, layout);
    QFETCH(int, count);
    QFETCH(int, clientWidthTwips);
    QFETCH(int, clientHeightTwips);
    QFETCH(int, activeBefore);
    MainRig rig;
    rig.addUpTo(count);
    QVERIFY(setClientSize(rig, twips::size(clientWidthTwips, clientHeightTwips)));
    rig.activate(activeBefore);

    (rig.main.get()->*command(layout))();

    const QList<frmDocument*> docs = rig.main->openParticipants();
    QList<int> expected;
    for (int i = 1; i <= count; ++i)
        expected << i;
    QCOMPARE(readingOrder(rig, docs), expected);
    QVERIFY(!anyOverlap(docs));
    for (frmDocument* d : docs) {
        QVERIFY2(client(rig).contains(d->geometry()), qPrintable(d->windowTitle()));
        QVERIFY(d->width() >= twips::toPx(3750) && d->height() >= twips::toPx(900));
    }
    const int perLine = layout == QLatin1String("Tile Horizontal") ? 1 : count;
    const bool fits = layout == QLatin1String("Tile Horizontal") ? client(rig).height() / count >= twips::toPx(900)
                                                                 : client(rig).width() / count >= twips::toPx(3750);
    if (fits) {
        // Rows span the full width; columns the full height.
        for (frmDocument* d : docs) {
            if (perLine == 1)
                QCOMPARE(d->width(), client(rig).width());
            else
                QCOMPARE(d->height(), client(rig).height());
        }
    }
    QCOMPARE(rig.state.iActiveDocument, qint16(1));
}

void TestArrangement::emptySlotsAreSkipped_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QList<int>>("closed");
    QTest::addColumn<int>("lowestOpen");
    for (const QString& l : kLayouts + QStringList{"Minimize All", "Restore All"}) {
        QTest::newRow(qPrintable(l + ", 2 closed")) << l << QList<int>{2} << 1;
        QTest::newRow(qPrintable(l + ", 1 closed")) << l << QList<int>{1} << 2;
        QTest::newRow(qPrintable(l + ", 1 2 5 closed")) << l << QList<int>{1, 2, 5} << 3;
    }
}

void TestArrangement::emptySlotsAreSkipped()
{
    QFETCH(QString, layout);
    QFETCH(QList<int>, closed);
    QFETCH(int, lowestOpen);
    MainRig rig;
    rig.addUpTo(5);
    for (int n : closed)
        rig.doc(n)->close();
    rig.activate(4);
    if (layout == QLatin1String("Arrange Icons") || layout == QLatin1String("Restore All"))
        rig.main->mnuWindowMinimizeAll_Click();

    (rig.main.get()->*command(layout))();

    QCOMPARE(rig.net.lDocumentCount(), 5);
    QList<int> open;
    for (int i = 1; i <= 5; ++i) {
        if (!closed.contains(i))
            open << i;
    }
    QCOMPARE(numbers(rig.main->openParticipants()), open);
    if (kLayouts.contains(layout)) {
        QCOMPARE(rig.main->activeParticipant(), rig.doc(lowestOpen));
        QCOMPARE(rig.state.iActiveDocument, qint16(lowestOpen));
        QCOMPARE(topmostFirst(rig), open);
        QCOMPARE(rig.main->statusText(), statusIdle());
    }
    if (layout != QLatin1String("Cascade") && layout != QLatin1String("Minimize All")
        && layout != QLatin1String("Restore All"))
        QCOMPARE(readingOrder(rig, rig.main->openParticipants()), open);
    const bool minimized = layout == QLatin1String("Minimize All") || layout == QLatin1String("Arrange Icons");
    for (frmDocument* d : rig.main->openParticipants())
        QCOMPARE(d->isMinimized(), minimized);
}

void TestArrangement::cascadeHalvesTheClientArea_data()
{
    QTest::addColumn<int>("clientW");
    QTest::addColumn<int>("clientH");
    QTest::addColumn<int>("expectW");
    QTest::addColumn<int>("expectH");
    QTest::newRow("9000 x 5000") << 9000 << 5000 << 4500 << 2500;
    // Half of a small area is less than a participant window may be.
    QTest::newRow("4000 x 1000") << 4000 << 1000 << 3750 << 900;
    QTest::newRow("8000 x 1000") << 8000 << 1000 << 4000 << 900;
}

void TestArrangement::cascadeHalvesTheClientArea()
{
    QFETCH(int, clientW);
    QFETCH(int, clientH);
    QFETCH(int, expectW);
    QFETCH(int, expectH);
    MainRig rig;
    rig.addUpTo(4);
    QVERIFY(setClientSize(rig, twips::size(clientW, clientH)));
    rig.activate(3);

    rig.main->mnuWindowCascade_Click();

    // One pixel is 15 twips: the sizes match to the pixel.
    for (frmDocument* d : rig.main->openParticipants()) {
        QVERIFY2(qAbs(twips::fromPx(d->width()) - expectW) < 15.0,
                 qPrintable(d->windowTitle() + ": " + QString::number(twips::fromPx(d->width()))));
        QVERIFY2(qAbs(twips::fromPx(d->height()) - expectH) < 15.0,
                 qPrintable(d->windowTitle() + ": " + QString::number(twips::fromPx(d->height()))));
    }
    QCOMPARE(rig.main->activeParticipant(), rig.doc(1));
    QCOMPARE(topmostFirst(rig), (QList<int>{1, 2, 3, 4}));
}

void TestArrangement::cascadeKeepsIconsAndRestoresMaximized()
{
    MainRig rig;
    rig.addUpTo(4);
    QVERIFY(setClientSize(rig, twips::size(9000, 6000)));
    rig.doc(3)->showMinimized();
    const QSize iconSize = rig.doc(3)->size();
    rig.doc(2)->showMaximized();

    rig.main->mnuWindowCascade_Click();

    QVERIFY(rig.doc(3)->isMinimized());
    QCOMPARE(rig.doc(3)->size(), iconSize);
    const QSize half(twips::toPx(rig.main->clientWidthTwips() / 2), twips::toPx(rig.main->clientHeightTwips() / 2));
    for (int n : {1, 2, 4}) {
        QVERIFY(!rig.doc(n)->isMaximized());
        QCOMPARE(rig.doc(n)->size(), half);
    }
    // Each window one step further down and right than the one behind it, so every title
    // shows; the icon keeps its place in the icon row.
    const int step = rig.doc(2)->x() - rig.doc(1)->x();
    QVERIFY(step < 0);
    QCOMPARE(rig.doc(4)->pos(), QPoint(0, 0));
    QCOMPARE(rig.doc(2)->pos(), QPoint(-step, -step));
    QCOMPARE(rig.doc(1)->pos(), QPoint(-2 * step, -2 * step));
    QCOMPARE(rig.doc(3)->geometry().bottom(), client(rig).bottom());
}

void TestArrangement::maximizedWindowIsRestoredInItsPlace_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("maximized");
    for (const char* l : {"Cascade", "Tile Horizontal", "Tile Vertical"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, 2 maximized").arg(QLatin1String(l)))) << l << 2;
        QTest::newRow(qPrintable(QStringLiteral("%1, 1 maximized").arg(QLatin1String(l)))) << l << 1;
        QTest::newRow(qPrintable(QStringLiteral("%1, 4 maximized").arg(QLatin1String(l)))) << l << 4;
    }
}

void TestArrangement::maximizedWindowIsRestoredInItsPlace()
{
    QFETCH(QString, layout);
    QFETCH(int, maximized);
    MainRig rig;
    rig.addUpTo(4);
    QVERIFY(setClientSize(rig, twips::size(16000, 7200)));
    rig.doc(3)->showMinimized();
    rig.activate(maximized);
    rig.doc(maximized)->showMaximized();

    (rig.main.get()->*command(layout))();

    // The maximised window takes its turn in the layout like the others; the icon stays
    // an icon; participant 1 ends on top and active.
    QCOMPARE(rig.main->activeParticipant(), rig.doc(1));
    QCOMPARE(rig.state.iActiveDocument, qint16(1));
    QCOMPARE(topmostFirst(rig, true), (QList<int>{1, 2, 4}));
    QVERIFY(rig.doc(3)->isMinimized());
    for (int n : {1, 2, 4})
        QVERIFY(!rig.doc(n)->isMaximized() && !rig.doc(n)->isMinimized());
    if (layout != QLatin1String("Cascade"))
        QCOMPARE(readingOrder(rig, {rig.doc(1), rig.doc(2), rig.doc(4)}), (QList<int>{1, 2, 4}));
}

void TestArrangement::layoutEndsIdleWhileAStationTalks_data()
{
    QTest::addColumn<QString>("layout");
    for (const QString& l : kLayouts)
        QTest::newRow(qPrintable(l)) << l;
}

void TestArrangement::layoutEndsIdleWhileAStationTalks()
{
    QFETCH(QString, layout);
    MainRig rig;
    rig.addUpTo(3);
    putOnTurn(rig, 2);
    QVERIFY(rig.main->statusText().startsWith(QStringLiteral("At turn: DL1XYZ")));
    QVERIFY(rig.main->timTalk->isActive());
    rig.main->timTalk_Timer();
    QCOMPARE(rig.doc(2)->lblTalkTimer->text(), QStringLiteral("00:01"));

    // What the status line shows while the windows are being sorted.
    QString whileSorting;
    QTimer::singleShot(0, rig.main.get(), [&] { whileSorting = rig.main->statusText(); });
    (rig.main.get()->*command(layout))();

    QCOMPARE(whileSorting, QStringLiteral("Status: Sorting windows"));
    QCOMPARE(rig.main->statusText(), statusIdle());
    QCOMPARE(rig.main->sbPanel1->text(), statusIdle());
    // The station keeps its turn and its clock.
    QVERIFY(rig.main->timTalk->isActive());
    QCOMPARE(rig.net.iTalkDocument(), qint16(2));
    QVERIFY(rig.doc(2)->shpTalk->Visible());
    rig.main->timTalk_Timer();
    QCOMPARE(rig.doc(2)->lblTalkTimer->text(), QStringLiteral("00:02"));
    QCOMPARE(rig.state.iActiveDocument, qint16(1));
}

void TestArrangement::minimizeAndRestoreLeaveTheStatusLineAlone()
{
    MainRig rig;
    rig.addUpTo(4);
    QVERIFY(setClientSize(rig, twips::size(12000, 7200)));
    rig.main->mnuWindowTileHorizontal_Click();
    QList<QRect> before;
    for (frmDocument* d : rig.main->openParticipants())
        before << d->geometry();
    putOnTurn(rig, 3);
    const QString atTurn = rig.main->statusText();
    const QList<int> stack = topmostFirst(rig);

    rig.main->mnuWindowMinimizeAll_Click();
    QCOMPARE(rig.main->statusText(), atTurn);
    for (frmDocument* d : rig.main->openParticipants()) {
        QVERIFY(d->isMinimized());
        // An icon is only a title bar, whatever minimum the window has when it is open.
        QVERIFY2(d->height() < twips::toPx(900), qPrintable(d->windowTitle()));
        QVERIFY(client(rig).contains(d->geometry()));
    }
    QVERIFY(rig.main->timTalk->isActive());

    rig.main->mnuWindowRestoreAll_Click();
    QCOMPARE(rig.main->statusText(), atTurn);
    const QList<frmDocument*> docs = rig.main->openParticipants();
    for (int i = 0; i < docs.size(); ++i) {
        QVERIFY(!docs[i]->isMinimized());
        QCOMPARE(docs[i]->geometry(), before[i]);
        QCOMPARE(docs[i]->minimumSize(), twips::size(3750, 900));
    }
    QVERIFY(rig.main->timTalk->isActive());
    QCOMPARE(rig.net.iTalkDocument(), qint16(3));
    // Neither command sorts.
    QCOMPARE(topmostFirst(rig).size(), stack.size());
}

void TestArrangement::arrangeIconsLinesThemUpInOrder()
{
    MainRig rig;
    rig.addUpTo(6);
    QVERIFY(setClientSize(rig, twips::size(12000, 7200)));
    rig.main->mnuWindowMinimizeAll_Click();
    // Scatter the icons.
    for (frmDocument* d : rig.main->openParticipants())
        d->move(17 * d->number(), 23 * d->number());
    rig.activate(5);

    rig.main->mnuWindowArrangeIcons_Click();

    const QList<frmDocument*> docs = rig.main->openParticipants();
    QCOMPARE(readingOrder(rig, docs), (QList<int>{1, 2, 3, 4, 5, 6}));
    QVERIFY(!anyOverlap(docs));
    int lowest = 0;
    for (frmDocument* d : docs) {
        QVERIFY(d->isMinimized());
        QVERIFY(client(rig).contains(d->geometry()));
        lowest = qMax(lowest, d->geometry().bottom());
    }
    QCOMPARE(lowest, client(rig).bottom());
    QCOMPARE(docs.first()->x(), 0);
    // The block sits on the bottom edge; its rows touch.
    const int rowHeight = docs.first()->height();
    for (frmDocument* d : docs)
        QCOMPARE((client(rig).bottom() + 1 - d->y()) % rowHeight, 0);
    QCOMPARE(rig.state.iActiveDocument, qint16(1));

    rig.main->mnuWindowRestoreAll_Click();
    for (frmDocument* d : docs)
        QVERIFY(!d->isMinimized());
}

void TestArrangement::tilesLeaveIconsUncovered()
{
    MainRig rig;
    rig.addUpTo(4);
    QVERIFY(setClientSize(rig, twips::size(12000, 7200)));
    rig.doc(3)->showMinimized();
    for (const QString& l : {QStringLiteral("Tile Horizontal"), QStringLiteral("Tile Vertical")}) {
        (rig.main.get()->*command(l))();
        QVERIFY(rig.doc(3)->isMinimized());
        const QRect icon = rig.doc(3)->geometry();
        QCOMPARE(icon.bottom(), client(rig).bottom());
        for (int n : {1, 2, 4}) {
            QVERIFY2(!rig.doc(n)->geometry().intersects(icon), qPrintable(l));
            QVERIFY(!rig.doc(n)->isMinimized());
        }
        QCOMPARE(readingOrder(rig, {rig.doc(1), rig.doc(2), rig.doc(4)}), (QList<int>{1, 2, 4}));
    }
}

void TestArrangement::windowClosedWhileSortingIsSkipped()
{
    MainRig rig;
    rig.addUpTo(4);
    rig.activate(4);
    // Closed by a queued event that runs while the sort lets events through.
    QTimer::singleShot(0, rig.doc(2), [&rig] { rig.doc(2)->close(); });

    rig.main->mnuWindowTileVertical_Click();

    QVERIFY(!rig.doc(2));
    QCOMPARE(numbers(rig.main->openParticipants()), (QList<int>{1, 3, 4}));
    QCOMPARE(rig.state.iActiveDocument, qint16(1));
    QCOMPARE(rig.main->statusText(), statusIdle());
    QCOMPARE(readingOrder(rig, rig.main->openParticipants()), (QList<int>{1, 3, 4}));
}

void TestArrangement::commandsWithNoParticipants()
{
    // Every window closed, and a frame that never loaded (count 0): nothing to visit, and
    // the sort still ends idle.
    for (bool load : {true, false}) {
        MainRig rig(load);
        if (load)
            rig.doc(1)->close();
        QCOMPARE(rig.net.lDocumentCount(), load ? 1 : 0);
        for (const QString& l : kLayouts + QStringList{"Minimize All", "Restore All"}) {
            rig.main->setStatusText(QStringLiteral("Status: Saving session"));
            (rig.main.get()->*command(l))();
            QCOMPARE(rig.main->statusText(),
                     kLayouts.contains(l) ? statusIdle() : QStringLiteral("Status: Saving session"));
        }
        QVERIFY(rig.main->openParticipants().isEmpty());
    }
}

void TestArrangement::bulkCommandsActivateInTheOrderTheyVisit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("closed");
    QTest::addColumn<QString>("records");  // Open: the active flags of the file, 1 or 0 per station
    QTest::addColumn<QList<int>>("activations");
    QTest::addColumn<QList<int>>("stack");  // topmost first; the last active record ends in front
    // Five windows, participant 4 active before the command.
    QTest::newRow("tile") << "Tile Horizontal" << QList<int>{} << "" << QList<int>{5, 4, 3, 2, 1}
                          << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("tile, 2 closed") << "Tile Vertical" << QList<int>{2} << "" << QList<int>{5, 4, 3, 1}
                                    << QList<int>{1, 3, 4, 5};
    QTest::newRow("clear all, 1 closed") << "Clear All" << QList<int>{1} << "" << QList<int>{5, 4, 3, 2}
                                         << QList<int>{2, 3, 4, 5};
    // Closing window 4, the active one, brings window 5 forward; then each new window comes
    // up, the tile sorts them, and each Active press puts the focus into its window.
    QTest::newRow("open") << "Open" << QList<int>{} << "1010110"
                          << QList<int>{5, 1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1, 3, 5, 6}
                          << QList<int>{6, 5, 3, 1, 2, 4, 7};
    QTest::newRow("open, none active") << "Open" << QList<int>{} << "000" << QList<int>{5, 1, 2, 3, 2, 1}
                                       << QList<int>{1, 2, 3};
}

void TestArrangement::bulkCommandsActivateInTheOrderTheyVisit()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, closed);
    QFETCH(QString, records);
    QFETCH(QList<int>, activations);
    QFETCH(QList<int>, stack);
    QTemporaryDir dir;
    MainRig rig;
    rig.addUpTo(5);
    for (int n : closed)
        rig.doc(n)->close();
    rig.activate(4);
    // Each activation sets the active participant between two rounds of events; the rounds
    // show the order in which the windows were activated.
    QList<int> seen;
    rig.layer.onPendingEvents = [&](int) {
        if (rig.state.iActiveDocument != 4 || !seen.isEmpty())
            if (seen.isEmpty() || seen.last() != rig.state.iActiveDocument)
                seen << rig.state.iActiveDocument;
    };
    if (name == QLatin1String("Open")) {
        QByteArray file = "Kolvane Storage, file format 1.0\r\n" + QByteArray::number(records.size())
                          + "\r\n\r\n\r\n\r\nSSB\r\n\r\n\r\n\r\n\r\n***/***\r\n";
        for (QChar flag : records)
            file += (flag == u'1' ? "True" : "False") + QByteArray("\r\nK1ABC\r\n\r\n\r\n");
        QFile out(dir.filePath(QStringLiteral("net.kvs")));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        rig.net.sOpenFileName = out.fileName();
        rig.main->LoadSessionFile();
    } else if (name == QLatin1String("Clear All")) {
        rig.main->mnuClearAll_Click();
    } else {
        (rig.main.get()->*command(name))();
    }
    rig.layer.onPendingEvents = nullptr;

    QCOMPARE(seen, activations);
    QCOMPARE(topmostFirst(rig), stack);
    frmDocument* front = rig.doc(stack.first());
    QCOMPARE(rig.main->activeParticipant(), front);
    QCOMPARE(rig.state.iActiveDocument, qint16(stack.first()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(front->txtCallsign));
    for (int i = 0; i < records.size(); ++i)
        QCOMPARE(rig.doc(i + 1)->shpActive->Visible(), records[i] == u'1');
    if (name == QLatin1String("Open")) {
        // What the operator is left with: every new window up and usable, tiled, its panel
        // centred, and the Active frame showing on the records saved as active.
        const QList<frmDocument*> docs = rig.main->openParticipants();
        QCOMPARE(docs.size(), records.size());
        QVERIFY(!anyOverlap(docs));
        for (frmDocument* d : docs) {
            QVERIFY(d->isVisible() && d->isEnabled());
            QVERIFY(client(rig).contains(d->geometry()));
            QCOMPARE(d->framParticipant->x(), d->width() / 2 - d->framParticipant->width() / 2);
            QCOMPARE(d->shpActive->isVisible(), records[d->number() - 1] == u'1');
            QAccessibleInterface* field = QAccessible::queryAccessibleInterface(d->txtCallsign);
            QVERIFY(field);
            QCOMPARE(field->text(QAccessible::Name), QStringLiteral("Participant %1 callsign").arg(d->number()));
        }
    }
}

KOLVANE_TEST_MAIN(TestArrangement)
#include "test_arrangement.moc"
