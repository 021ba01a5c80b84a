#include "ui/frmMain.h"

#include "net/NetHeader.h"
#include "net/Participants.h"
#include "ui/Controls.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"
#include "ui/frmDocument.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <algorithm>
#include <cmath>

namespace kolvane {

namespace {

enum Layout { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

// The child windows a layout may move, topmost first.
QList<QMdiSubWindow*> byStackingOrder(QMdiArea* area)
{
    QList<QMdiSubWindow*> list = area->subWindowList(QMdiArea::StackingOrder);
    std::reverse(list.begin(), list.end());
    list.erase(std::remove_if(list.begin(), list.end(), [](QMdiSubWindow* w) { return w->isHidden(); }), list.end());
    return list;
}

// Icons go along the bottom of the area in reading order: when they need more than one
// row, the block grows upwards and its top row holds the first icons. Returns its height.
int placeIcons(const QList<QMdiSubWindow*>& icons, const QRect& area, bool move)
{
    if (icons.isEmpty())
        return 0;
    const int w = qMax(icons.first()->width(), 1);
    const int h = icons.first()->height();
    const int perRow = qMax(area.width() / w, 1);
    const int rows = (int(icons.size()) + perRow - 1) / perRow;
    if (move) {
        for (int i = 0; i < icons.size(); ++i) {
            const int row = i / perRow;
            const int col = i % perRow;
            icons[i]->move(area.left() + col * w, area.bottom() + 1 - h * (rows - row));
        }
    }
    return rows * h;
}

// Lays `windows` out in reading order (left to right, then the next row down) in a grid of
// `cols` columns, each cell filling its share of `area`.
void placeGrid(const QList<QMdiSubWindow*>& windows, const QRect& area, int cols)
{
    const int n = int(windows.size());
    const int rows = (n + cols - 1) / cols;
    for (int i = 0; i < n; ++i) {
        const int r = i / cols;
        const int c = i % cols;
        const int x0 = area.left() + area.width() * c / cols;
        const int x1 = area.left() + area.width() * (c + 1) / cols;
        const int y0 = area.top() + area.height() * r / rows;
        const int y1 = area.top() + area.height() * (r + 1) / rows;
        windows[i]->setGeometry(x0, y0, x1 - x0, y1 - y0);
    }
}

int ceilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

// How far each cascaded window is set off from the one behind it: one title bar.
int cascadeStep(QMdiSubWindow* w)
{
    QStyleOptionTitleBar opt;
    opt.initFrom(w);
    const int title = w->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, w);
    const int frame = w->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, w);
    return qMax(title + frame, 8);
}

}  // namespace

void frmMain::SortWindows()
{
    BusyScope busy(*this);
    setStatusText(QStringLiteral("Status: Sorting windows"));
    m_layer.processPendingEvents();
    // Highest number first: the last one brought to the front is the lowest, so the stack
    // reads 1, 2, 3, ... from the top and participant 1 is active. While one window is
    // maximised Qt would maximise each window it activates, icons included; bringing a
    // window to the front must leave its state alone.
    const bool maximizeOnActivation = !mdiArea->testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    {
        // Every activation lets events run; what the sort changes is painted once, after it.
        PaintingHeld held(*this);
        ActivationBatch batch(*this);
        m_state.visitParticipants(Module1::Order::Descending,
                                  [this](const QPointer<frmDocument>& d) { activateParticipant(d); });
    }
    m_layer.processPendingEvents();
    mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, !maximizeOnActivation);
    setStatusText(statusIdle());
}

void frmMain::mnuWindowCascade_Click()
{
    BusyScope busy(*this);
    SortWindows();
    arrange(Cascade);
    const double width = clientWidthTwips() / 2;
    const double height = clientHeightTwips() / 2;
    m_state.visitParticipants(Module1::Order::Descending, [&](const QPointer<frmDocument>& d) {
        // Icons and maximised windows keep their size; the window's minimum still applies.
        if (d->isMinimized() || d->isMaximized())
            return;
        d->resize(twips::toPx(width), twips::toPx(height));
    });
}

void frmMain::mnuWindowTileHorizontal_Click()
{
    BusyScope busy(*this);
    SortWindows();
    arrange(TileHorizontal);
}

void frmMain::mnuWindowTileVertical_Click()
{
    BusyScope busy(*this);
    SortWindows();
    arrange(TileVertical);
}

void frmMain::mnuWindowArrangeIcons_Click()
{
    BusyScope busy(*this);
    SortWindows();
    arrange(ArrangeIcons);
}

void frmMain::mnuWindowMinimizeAll_Click()
{
    BusyScope busy(*this);
    m_state.visitParticipants(Module1::Order::Descending, [](const QPointer<frmDocument>& d) { d->showMinimized(); });
}

void frmMain::mnuWindowRestoreAll_Click()
{
    BusyScope busy(*this);
    m_state.visitParticipants(Module1::Order::Descending, [](const QPointer<frmDocument>& d) { d->showNormal(); });
}

void frmMain::arrange(int layout)
{
    BusyScope busy(*this);
    applyPendingStacking();
    const QList<QMdiSubWindow*> all = byStackingOrder(mdiArea);
    QList<QMdiSubWindow*> icons;
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : all)
        (w->isMinimized() ? icons : windows) << w;

    const QRect client = mdiArea->viewport()->rect();
    if (layout == ArrangeIcons) {
        placeIcons(icons, client, true);
        return;
    }
    if (windows.isEmpty())
        return;

    // The windows share what the icons leave free, so no icon ends up covered.
    QRect area = client;
    area.setBottom(client.bottom() - placeIcons(icons, client, false));
    if (area.height() < 1)
        area = client;

    // A maximised window takes its place in the layout like the others. Restoring it brings
    // it to the front and makes it active, so the sorted stack and the active window are put
    // back afterwards. (Qt keeps icons below the open windows whatever the order.)
    QPointer<frmDocument> active = frontParticipant();
    bool restored = false;
    for (QMdiSubWindow* w : windows) {
        if (w->isMaximized()) {
            w->showNormal();
            restored = true;
        }
    }
    if (restored) {
        // Activation moves the window it leaves, so the stack is rebuilt after it.
        QList<QPointer<QMdiSubWindow>> alive(windows.cbegin(), windows.cend());
        activateParticipant(active);
        applyPendingStacking();
        windows.clear();
        for (const auto& w : alive) {
            if (w)
                windows << w.data();
        }
        for (auto it = windows.crbegin(); it != windows.crend(); ++it)
            (*it)->raise();
        if (windows.isEmpty())
            return;
    }

    int minW = 1;
    int minH = 1;
    for (QMdiSubWindow* w : windows) {
        minW = qMax(minW, w->minimumWidth());
        minH = qMax(minH, w->minimumHeight());
    }
    const int n = int(windows.size());

    switch (layout) {
    case TileHorizontal: {
        // One window per row, full width. When the rows would be lower than a window may
        // be, the rows are shared by columns rather than overlapping.
        const int fit = qMax(area.height() / minH, 1);
        int cols = 1;
        if (n > fit)
            cols = ceilDiv(n, fit);
        placeGrid(windows, area, cols);
        break;
    }
    case TileVertical: {
        // One window per column, full height. When the columns would be narrower than a
        // window may be, the windows wrap into further rows, still in reading order.
        const int fit = qMax(area.width() / minW, 1);
        int cols = n;
        if (n > fit) {
            const int rows = ceilDiv(n, fit);
            cols = ceilDiv(n, rows);
        }
        placeGrid(windows, area, cols);
        break;
    }
    case Cascade:
    default: {
        // Each window one title bar down and to the right of the one behind it, so every
        // title stays readable; the topmost window ends up in front, furthest down. A
        // staircase that would run out of room starts again at the top.
        const int step = cascadeStep(windows.first());
        const int room = qMin(area.width(), area.height()) / 2;
        const int perRun = qMax(room / step + 1, 1);
        for (int i = 0; i < n; ++i) {
            QMdiSubWindow* w = windows[n - 1 - i];  // the window furthest back first
            const int k = i % perRun;
            w->move(area.left() + k * step, area.top() + k * step);
        }
        break;
    }
    }
}

}  // namespace kolvane
