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
    if (!m_area->inBatch())
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
    if (m_area->inBatch()) {
        // Shown without Qt's activation (a disabled window is not activated) and brought to
        // the front by the batch. The caption comes after the show: Qt measures the title
        // text of a window some thirty times as it shows it, and nothing reads it before.
        doc->setEnabled(false);
        doc->show();
        if (m_area->showingTogether())
            m_area->showTogether(doc);  // shown, and enabled, when the area is shown again
        else
            doc->setEnabled(true);
        doc->setWindowTitle(caption);
        m_area->activate(doc);
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
    ActivationBatch batch(*m_area);
    // Each time the window Qt activated last closes, Qt brings the next one forward, walking
    // every window; closing in ascending order would chain those walks. So the window that
    // closes last becomes the one Qt activated last, and the batch works out which window
    // comes forward at each close.
    QPointer<frmDocument> last;
    m_state.visitParticipants(Module1::Order::Ascending, [&last](const QPointer<frmDocument>& d) { last = d; });
    if (last)
        m_area->activateForQtOnly(last);
    m_state.visitParticipants(Module1::Order::Ascending, [](const QPointer<frmDocument>& d) { d->close(); });
    m_state.frmD.fill(nullptr);
    m_net.resetRegistry();
}

frmDocument* frmMain::activeParticipant() const
{
    return m_area->activeParticipant();
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

// ---------------------------------------------------------------- activation

}  // namespace kolvane
