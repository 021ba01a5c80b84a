#include "ui/ParticipantArea.h"

#include "ui/frmDocument.h"

#include <QAccessible>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <algorithm>
#include <utility>

namespace kolvane {

namespace {

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

ParticipantArea::ParticipantArea(QMdiArea* area, QObject* parent) : QObject(parent), m_mdi(area)
{
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &ParticipantArea::onSubWindowActivated);
}

frmDocument* ParticipantArea::activeParticipant() const
{
    if (auto* d = qobject_cast<frmDocument*>(m_mdi->activeSubWindow()))
        return d;
    if (auto* d = qobject_cast<frmDocument*>(m_mdi->currentSubWindow()))
        return d;
    // Qt may name no active child for a while after the frame lost and regained the focus
    // (with no window manager, or one slow to answer); the window in front is the one the
    // operator works in, whatever the display server did meanwhile.
    const QList<QMdiSubWindow*> stack = m_mdi->subWindowList(QMdiArea::StackingOrder);  // bottom first
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (!(*it)->isHidden())
            return qobject_cast<frmDocument*>(*it);
    }
    return nullptr;
}

void ParticipantArea::showTogether(frmDocument* d)
{
    m_shownTogether << d;
}

void ParticipantArea::onSubWindowActivated(QMdiSubWindow* window)
{
    auto* doc = qobject_cast<frmDocument*>(window);
    if (!doc || doc == m_activationDone)
        return;  // nothing activated, or a window whose activation handling has run already
    if (m_activationBatch > 0) {
        // Qt activated it by itself in the middle of a batch: it is in front now, above the
        // windows brought forward before it.
        m_front = doc;
        m_frontFocus = nullptr;
        m_raised << doc;
    }
    doc->Form_Activate();
}

WindowsShownTogether::WindowsShownTogether(ParticipantArea& area) : m_area(&area)
{
    if (area.m_showingTogether++ == 0)
        area.m_mdi->viewport()->hide();
}

WindowsShownTogether::~WindowsShownTogether()
{
    if (!m_area || --m_area->m_showingTogether > 0)
        return;
    // Shown with the area, still disabled: Qt activates a window as it shows it otherwise,
    // and the batch decides which window comes forward. Qt also measures a window's title
    // some ten times as the window first shows, so the titles are put back only after it:
    // then each is measured once. Nothing runs in between that could read them, and the
    // names the windows derive from their titles stay as they are. A screen reader would
    // be told of each title going and coming back, so with one listening they stay.
    const QList<QPointer<frmDocument>> shown = std::exchange(m_area->m_shownTogether, {});
    const bool blankTitles = !QAccessible::isActive();
    QList<QString> titles;
    titles.reserve(shown.size());
    for (const QPointer<frmDocument>& d : shown) {
        titles << (d ? d->windowTitle() : QString());
        if (d && blankTitles) {
            const QSignalBlocker quiet(d.data());
            d->setWindowTitle(QString());
        }
    }
    m_area->m_mdi->viewport()->show();
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (const QPointer<frmDocument>& d = shown.at(i)) {
            if (blankTitles) {
                const QSignalBlocker quiet(d.data());
                d->setWindowTitle(titles.at(i));
            }
            d->setEnabled(true);
        }
    }
}

ActivationBatch::ActivationBatch(ParticipantArea& area) : m_area(&area)
{
    if (area.m_activationBatch++ == 0) {
        area.m_front = qobject_cast<frmDocument*>(area.m_mdi->currentSubWindow());
        area.m_frontFocus = nullptr;
    }
}

ActivationBatch::~ActivationBatch()
{
    if (m_area && --m_area->m_activationBatch == 0)
        m_area->endActivationBatch();
}

frmDocument* ParticipantArea::frontParticipant() const
{
    if (m_activationBatch > 0)
        return m_front;
    return activeParticipant();
}

void ParticipantArea::activate(frmDocument* d)
{
    if (!d)
        return;
    if (m_activationBatch == 0) {
        m_mdi->setActiveSubWindow(d);
        return;
    }
    if (d == m_front)
        return;  // as with a real activation, the window in front stays as it is
    m_front = d;
    m_frontFocus = nullptr;
    m_raised << d;
    d->Form_Activate();
}

void ParticipantArea::focusField(frmDocument* d, QWidget* field)
{
    if (!d || !field)
        return;
    if (m_activationBatch == 0) {
        field->setFocus();
        return;
    }
    // The focus moving into another window brings that window forward; the field takes the
    // focus when the batch ends.
    QPointer<frmDocument> doc(d);
    QPointer<QWidget> f(field);
    activate(d);
    if (doc && f && doc == m_front)
        m_frontFocus = f;
}

void ParticipantArea::windowClosing(frmDocument* d)
{
    m_closingNext = nullptr;
    if (m_activationBatch == 0 || d != m_front)
        return;
    // When the window activated last closes, Qt brings forward the window created next after
    // it (after the last one, the first), unless that one is hidden.
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    const qsizetype at = windows.indexOf(d);
    if (at < 0 || windows.size() < 2)
        return;
    QMdiSubWindow* next = windows.at((at + 1) % windows.size());
    if (!next->isHidden())
        m_closingNext = qobject_cast<frmDocument*>(next);
}

void ParticipantArea::windowClosed(frmDocument* d)
{
    QPointer<frmDocument> next = m_closingNext;
    m_closingNext = nullptr;
    if (m_activationBatch == 0 || d != m_front)
        return;
    m_front = nullptr;
    m_frontFocus = nullptr;
    activate(next);
}

void ParticipantArea::applyPendingStacking()
{
    if (m_raised.isEmpty())
        return;
    // Raised one after another, the windows would end in this order: those never raised as
    // they lay, below those raised, the one raised last on top. Only the windows out of place
    // move, so a stack already in that order is not repainted.
    QList<QMdiSubWindow*> raised;
    for (auto it = m_raised.crbegin(); it != m_raised.crend(); ++it) {
        if (*it && !(*it)->isHidden() && !raised.contains(it->data()))
            raised.prepend(it->data());
    }
    m_raised.clear();
    const QList<QMdiSubWindow*> stack = m_mdi->subWindowList(QMdiArea::StackingOrder);  // bottom first
    QList<QMdiSubWindow*> wanted;
    for (QMdiSubWindow* w : stack) {
        if (!raised.contains(w))
            wanted << w;
    }
    wanted << raised;
    qsizetype same = 0;
    while (same < stack.size() && same < wanted.size() && stack.at(same) == wanted.at(same))
        ++same;
    for (qsizetype i = same; i < wanted.size(); ++i)
        wanted.at(i)->raise();
}

void ParticipantArea::activateForQtOnly(frmDocument* d)
{
    applyPendingStacking();  // Qt raises the window it activates
    // Compared with the active child, not the current one: while the frame is not the
    // active window Qt reports the child activated last as current without it being
    // active, and it would stay inactive.
    if (!d || m_mdi->activeSubWindow() == d)
        return;
    m_activationDone = d;
    m_mdi->setActiveSubWindow(d);
    m_activationDone = nullptr;
}

void ParticipantArea::endActivationBatch()
{
    QPointer<frmDocument> front = m_front;
    QPointer<QWidget> focus = m_frontFocus;
    m_front = nullptr;
    m_frontFocus = nullptr;
    m_closingNext = nullptr;
    applyPendingStacking();
    if (!front || front->isHidden())
        return;
    // Qt moves the window it had activated before to just under the one it activates now;
    // the stack the batch has built is kept (icons go to the bottom either way).
    QPointer<QMdiSubWindow> previous = m_mdi->currentSubWindow();
    QPointer<QMdiSubWindow> above;
    if (previous && previous != front && !previous->isMinimized()) {
        const QList<QMdiSubWindow*> stack = m_mdi->subWindowList(QMdiArea::StackingOrder);  // bottom first
        for (qsizetype i = stack.indexOf(previous) + 1; i > 0 && i < stack.size() && !above; ++i) {
            if (stack.at(i) == front)
                break;
            if (!stack.at(i)->isMinimized())
                above = stack.at(i);
        }
    }
    activateForQtOnly(front);
    if (previous && above && !previous->isMinimized())
        previous->stackUnder(above);
    if (front && focus && front->isAncestorOf(focus))
        focus->setFocus();
}

void ParticipantArea::arrange(Layout layout)
{
    applyPendingStacking();
    const QList<QMdiSubWindow*> all = byStackingOrder(m_mdi);
    QList<QMdiSubWindow*> icons;
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : all)
        (w->isMinimized() ? icons : windows) << w;

    const QRect client = m_mdi->viewport()->rect();
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
        activate(active);
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
