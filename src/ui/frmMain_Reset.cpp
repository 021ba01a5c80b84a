#include "ui/frmMain.h"

#include "net/AppInfo.h"
#include "net/Colors.h"
#include "net/Participants.h"
#include "ui/Controls.h"
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
    timID->stop();
    timTalk->stop();
    timBlink->stop();
    m_state.zeroTalkCounters();
    shpIDTimer->hide();
    lblIDTimer->setText(QStringLiteral("00:00"));
    m_state.zeroIdCounters();
    lblIDTimer->setBackColor(bgr::SysInactiveBorder);
    describeIdTimer();

    txtStart->setText(QString());
    txtStop->setText(QString());
    txtFrequency->setText(QString());
    cmbMode->setEditText(QStringLiteral("SSB"));
    txtCntrlCall->setText(QString());
    txtCntrlHandle->setText(QString());
    txtCntrlQTH->setText(QString());
    txtComments->clear();

    // Highest number first, so participant 1 ends in front and active. Activation lets
    // events run, so every step checks that the window is still there. What the loop changes
    // is painted once, after it.
    std::optional<PaintingHeld> held(std::in_place, *this);
    std::optional<ActivationBatch> batch(std::in_place, *this);
    m_state.visitParticipants(Module1::Order::Descending, [this](const QPointer<frmDocument>& d) {
        activateParticipant(d);
        if (d)
            d->clearBeforeDimming();
        if (d)
            d->shpTalk->hide();
        if (d)
            d->cmdTalk->setEnabled(false);
        if (d)
            d->cmdClear->setEnabled(false);
        if (d)
            d->shpActive->hide();
        if (d)
            d->FrameDimSub();
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
