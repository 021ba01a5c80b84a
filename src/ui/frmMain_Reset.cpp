#include "ui/frmMain.h"

#include "net/AppInfo.h"
#include "net/Colors.h"
#include "net/Participants.h"
#include "ui/Controls.h"
#include "ui/UpdatesFrozen.h"
#include "ui/WindowLayer.h"
#include "ui/frmDocument.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <optional>

namespace kolvane {

// ---------------------------------------------------------------- session reset

void frmMain::mnuClearAll_Click()
{
    BusyScope busy(*this);
    // What the net and the loop below change is painted once, after the loop.
    std::optional<PaintingHeld> held(std::in_place, *this);
    // Timers stopped and zeroed, the header and every station emptied: the windows follow.
    m_net.clearAll();

    // Highest number first, so participant 1 ends in front and active, the focus in its
    // callsign as its Clear button leaves it. Activation lets events run, so every step
    // checks that the window is still there.
    std::optional<ActivationBatch> batch(std::in_place, *m_area);
    m_state.visitParticipants(Module1::Order::Descending, [this](const QPointer<frmDocument>& d) {
        m_area->activate(d);
        if (d)
            d->focusCallsign();
    });
    batch.reset();
    held.reset();
    m_layer.processPendingEvents();
    setStatusText(statusIdle());
}

void frmMain::mnuFileNew_Click()
{
    BusyScope busy(*this);
    setStatusText(QStringLiteral("Status: Initializing.... Please wait."));
    m_layer.processPendingEvents();
    // Qt repaints the menu bar for every window that comes or goes.
    UpdatesFrozen frozen(mdiArea);
    UpdatesFrozen frozenMenu(menuBar());
    closeAllParticipants();
    AddParticipant();
    mnuClearAll_Click();
    setCaption(appTitle());
}

}  // namespace kolvane
