#include "ui/frmMain.h"

#include "net/Participants.h"
#include "ui/Controls.h"
#include "ui/WindowLayer.h"
#include "ui/frmDocument.h"

#include <QAccessible>
#include <QMdiArea>
#include <QPointer>
#include <QSignalBlocker>
#include <utility>

namespace kolvane {

// ---------------------------------------------------------------- participants

void frmMain::AddParticipant()
{
    BusyScope busy(*this);
    if (!m_net.canAddParticipant()) {
        m_layer.messageBox(this, participantLimitMessage());
        return;
    }
    const int n = m_net.addParticipant();
    // Loading and showing let events run; the window is checked after each step.
    QPointer<frmDocument> doc = new frmDocument(*this);
    m_state.frmD[size_t(n)] = doc.data();
    doc->joinArea(mdiArea);
    doc->Form_Load();
    if (!doc)
        return;
    const QString caption = participantCaption(n);
    if (m_activationBatch == 0)
        doc->setWindowTitle(caption);  // showing the frame may activate the window already
    if (!isVisible()) {
        // Showing a child window shows the frame. The frame comes up first and the child
        // after it: a child shown along with the frame is activated in the middle of the
        // frame's show, and the activation lets pending events run, which can free objects
        // (finished layout animations) that the frame is still walking through.
        doc->hide();
        show();
    }
    if (!doc)
        return;
    if (m_activationBatch > 0) {
        // Shown without Qt's activation (a disabled window is not activated) and brought to
        // the front by the batch. The caption comes after the show: Qt measures the title
        // text of a window some thirty times as it shows it, and nothing reads it before.
        doc->setEnabled(false);
        doc->show();
        if (m_showingTogether > 0)
            m_shownTogether << doc;  // shown, and enabled, when the area is shown again
        else
            doc->setEnabled(true);
        doc->setWindowTitle(caption);
        activateParticipant(doc);
        return;
    }
    doc->show();
    if (doc && mdiArea->activeSubWindow() != doc)
        mdiArea->setActiveSubWindow(doc);
}

void frmMain::cmdAddParticipant_Click()
{
    AddParticipant();
}

void frmMain::pressParticipantActive(int n)
{
    if (frmDocument* d = m_state.slot(n))
        d->cmdActive_Click();
}

void frmMain::showParticipant(int n, Net::Aspects what)
{
    if (frmDocument* d = m_state.slot(n))
        d->showParticipant(n, what);
}

void frmMain::closeAllParticipants()
{
    BusyScope busy(*this);
    ActivationBatch batch(*this);
    // Each time the window Qt activated last closes, Qt brings the next one forward, walking
    // every window; closing in ascending order would chain those walks. So the window that
    // closes last becomes the one Qt activated last, and the batch works out which window
    // comes forward at each close.
    QPointer<frmDocument> last;
    m_state.visitParticipants(Module1::Order::Ascending, [&last](const QPointer<frmDocument>& d) { last = d; });
    if (last)
        activateForQtOnly(last);
    m_state.visitParticipants(Module1::Order::Ascending, [](const QPointer<frmDocument>& d) { d->close(); });
    m_state.frmD.fill(nullptr);
    m_net.resetRegistry();
}

frmDocument* frmMain::activeParticipant() const
{
    if (auto* d = qobject_cast<frmDocument*>(mdiArea->activeSubWindow()))
        return d;
    if (auto* d = qobject_cast<frmDocument*>(mdiArea->currentSubWindow()))
        return d;
    // Qt may name no active child for a while after the frame lost and regained the focus
    // (with no window manager, or one slow to answer); the window in front is the one the
    // operator works in, whatever the display server did meanwhile.
    const QList<QMdiSubWindow*> stack = mdiArea->subWindowList(QMdiArea::StackingOrder);  // bottom first
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (!(*it)->isHidden())
            return qobject_cast<frmDocument*>(*it);
    }
    return nullptr;
}

int frmMain::activeParticipantNumber() const
{
    const frmDocument* d = activeParticipant();
    return d ? d->number() : 0;
}

void frmMain::closeParticipant(int n)
{
    if (frmDocument* d = m_state.slot(n))
        d->close();
}

QList<frmDocument*> frmMain::openParticipants() const
{
    QList<frmDocument*> out;
    m_state.visitParticipants(Module1::Order::Ascending, [&out](const QPointer<frmDocument>& d) { out << d; });
    return out;
}

void frmMain::onSubWindowActivated(QMdiSubWindow* window)
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

// ---------------------------------------------------------------- activation

WindowsShownTogether::WindowsShownTogether(frmMain& main) : m_main(&main)
{
    if (main.m_showingTogether++ == 0)
        main.mdiArea->viewport()->hide();
}

WindowsShownTogether::~WindowsShownTogether()
{
    if (!m_main || --m_main->m_showingTogether > 0)
        return;
    // Shown with the area, still disabled: Qt activates a window as it shows it otherwise,
    // and the batch decides which window comes forward. Qt also measures a window's title
    // some ten times as the window first shows, so the titles are put back only after it:
    // then each is measured once. Nothing runs in between that could read them, and the
    // names the windows derive from their titles stay as they are. A screen reader would
    // be told of each title going and coming back, so with one listening they stay.
    const QList<QPointer<frmDocument>> shown = std::exchange(m_main->m_shownTogether, {});
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
    m_main->mdiArea->viewport()->show();
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

ActivationBatch::ActivationBatch(frmMain& main) : m_main(&main)
{
    if (main.m_activationBatch++ == 0) {
        main.m_front = qobject_cast<frmDocument*>(main.mdiArea->currentSubWindow());
        main.m_frontFocus = nullptr;
    }
}

ActivationBatch::~ActivationBatch()
{
    if (m_main && --m_main->m_activationBatch == 0)
        m_main->endActivationBatch();
}

frmDocument* frmMain::frontParticipant() const
{
    if (m_activationBatch > 0)
        return m_front;
    return activeParticipant();
}

void frmMain::activateParticipant(frmDocument* d)
{
    if (!d)
        return;
    if (m_activationBatch == 0) {
        mdiArea->setActiveSubWindow(d);
        return;
    }
    if (d == m_front)
        return;  // as with a real activation, the window in front stays as it is
    m_front = d;
    m_frontFocus = nullptr;
    m_raised << d;
    d->Form_Activate();
}

void frmMain::focusParticipantField(frmDocument* d, QWidget* field)
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
    activateParticipant(d);
    if (doc && f && doc == m_front)
        m_frontFocus = f;
}

void frmMain::participantClosing(frmDocument* d)
{
    m_closingNext = nullptr;
    if (m_activationBatch == 0 || d != m_front)
        return;
    // When the window activated last closes, Qt brings forward the window created next after
    // it (after the last one, the first), unless that one is hidden.
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList(QMdiArea::CreationOrder);
    const qsizetype at = windows.indexOf(d);
    if (at < 0 || windows.size() < 2)
        return;
    QMdiSubWindow* next = windows.at((at + 1) % windows.size());
    if (!next->isHidden())
        m_closingNext = qobject_cast<frmDocument*>(next);
}

void frmMain::participantClosed(frmDocument* d)
{
    QPointer<frmDocument> next = m_closingNext;
    m_closingNext = nullptr;
    if (m_activationBatch == 0 || d != m_front)
        return;
    m_front = nullptr;
    m_frontFocus = nullptr;
    activateParticipant(next);
}

void frmMain::applyPendingStacking()
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
    const QList<QMdiSubWindow*> stack = mdiArea->subWindowList(QMdiArea::StackingOrder);  // bottom first
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

void frmMain::activateForQtOnly(frmDocument* d)
{
    applyPendingStacking();  // Qt raises the window it activates
    // Compared with the active child, not the current one: while the frame is not the
    // active window Qt reports the child activated last as current without it being
    // active, and it would stay inactive.
    if (!d || mdiArea->activeSubWindow() == d)
        return;
    m_activationDone = d;
    mdiArea->setActiveSubWindow(d);
    m_activationDone = nullptr;
}

void frmMain::endActivationBatch()
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
    QPointer<QMdiSubWindow> previous = mdiArea->currentSubWindow();
    QPointer<QMdiSubWindow> above;
    if (previous && previous != front && !previous->isMinimized()) {
        const QList<QMdiSubWindow*> stack = mdiArea->subWindowList(QMdiArea::StackingOrder);  // bottom first
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

}  // namespace kolvane
