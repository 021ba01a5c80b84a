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
        ActivationBatch batch(*m_area);
        m_state.visitParticipants(Module1::Order::Descending,
                                  [this](const QPointer<frmDocument>& d) { m_area->activate(d); });
    }
    m_layer.processPendingEvents();
    mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, !maximizeOnActivation);
    setStatusText(statusIdle());
}

void frmMain::mnuWindowCascade_Click()
{
    BusyScope busy(*this);
    SortWindows();
    m_area->arrange(ParticipantArea::Cascade);
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
    m_area->arrange(ParticipantArea::TileHorizontal);
}

void frmMain::mnuWindowTileVertical_Click()
{
    BusyScope busy(*this);
    SortWindows();
    m_area->arrange(ParticipantArea::TileVertical);
}

void frmMain::mnuWindowArrangeIcons_Click()
{
    BusyScope busy(*this);
    SortWindows();
    m_area->arrange(ParticipantArea::ArrangeIcons);
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

}  // namespace kolvane
