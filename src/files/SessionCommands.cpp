#include "files/SessionFile.h"
#include "files/SessionStorage.h"
#include "files/SessionWindows.h"
#include "net/AppInfo.h"
#include "net/Participants.h"
#include "ui/Controls.h"
#include "ui/WindowLayer.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>

#include <optional>

namespace kolvane {

SessionData sessionFromWindows(const frmMain& main)
{
    SessionData session;
    session.header = main.header();
    for (const frmDocument* d : main.openParticipants()) {
        ParticipantRecord r;
        r.active = d->shpActive->Visible();
        r.callsign = d->txtCallsign->text();
        r.handle = d->txtHandle->text();
        r.qth = d->txtQTH->text();
        session.participants.append(r);
    }
    return session;
}

void frmMain::SaveSessionFile()
{
    BusyScope busy(*this);
    ValidateNetHeader();
    if (statusText() != statusIdle())
        return;  // the operator has been told which field is missing
    m_layer.processPendingEvents();
    setStatusText(QStringLiteral("Status: Saving session"));

    const QString path = m_state.sSessionFileName;
    const QString failure = writeSessionFileAt(path, sessionFromWindows(*this));
    if (!failure.isEmpty()) {
        setStatusText(QStringLiteral("Status: Session not saved"));
        m_layer.messageBox(this, sessionNotSavedMessage(path, failure));
        return;
    }
    setStatusText(QStringLiteral("Status: Session saved"));
    setCaption(appTitle() + QStringLiteral(" - ") + path);
}

void frmMain::LoadSessionFile()
{
    BusyScope busy(*this);
    const QString path = m_state.sOpenFileName;
    // The whole file is read and checked before anything of the session shown is touched,
    // so a refused file leaves windows, header, caption and names as they were.
    const SessionReadResult file = readSessionFileAt(path);
    if (!file.ok()) {
        m_layer.messageBox(this, openRefusedMessage(path, file.reason));
        return;
    }
    const SessionData& session = file.data;
    // Closing, creating, ordering and filling up to 100 windows lets events run at every
    // window; one repaint at the end is enough.
    std::optional<UpdatesFrozen> frozen(std::in_place, mdiArea);
    // Qt repaints the menu bar for every window that comes or goes.
    std::optional<UpdatesFrozen> frozenMenu(std::in_place, menuBar());
    // The windows are brought forward one after another; only the last one for real.
    std::optional<ActivationBatch> batch(std::in_place, *this);

    // Every participant window closes through its own close handling (the one holding the
    // turn stops the talk timer and resets the status line).
    closeAllParticipants();
    // The turn counted so far belonged to a window that is gone; the loaded net's first
    // turn starts from zero even though its slot is filled again.
    m_state.zeroTalkCounters();

    // Windows beyond the limit are refused once, not once per record.
    const int windows = qMin(int(session.participants.size()), kParticipantLimit);
    for (int i = 0; i < windows; ++i)
        AddParticipant();
    if (session.participants.size() > kParticipantLimit) {
        frozenMenu.reset();  // the frame paints behind the message box
        frozen.reset();
        m_layer.messageBox(this, participantLimitMessage());
        frozen.emplace(mdiArea);
        frozenMenu.emplace(menuBar());
    }
    mnuWindowTileHorizontal_Click();

    const NetHeader& h = session.header;
    txtStart->setText(h.start);
    txtStop->setText(h.stop);
    txtFrequency->setText(h.frequency);
    cmbMode->setEditText(h.mode);
    txtCntrlCall->setText(h.cntrlCall);  // upper-cased by its change handler
    txtCntrlHandle->setText(h.cntrlHandle);
    txtCntrlQTH->setText(h.cntrlQTH);
    setCommentsText(h.comments);

    for (int i = 1; i <= m_state.lDocumentCount && i <= windows; ++i) {
        // Activation lets events run; a window closed meanwhile is simply skipped.
        QPointer<frmDocument> d = m_state.slot(i);
        if (!d)
            continue;
        const ParticipantRecord& r = session.participants.at(i - 1);
        if (r.active)
            d->cmdActive_Click();
        if (!d)
            continue;
        d->txtCallsign->setText(r.callsign);  // upper-cased by its change handler
        d->txtHandle->setText(r.handle);
        d->txtQTH->setText(r.qth);
    }
    batch.reset();
    frozenMenu.reset();
    frozen.reset();
    setCaption(appTitle() + QStringLiteral(" - ") + path);
}

void frmMain::mnuFileOpen_Click()
{
    m_state.sOpenFileName.clear();
    const std::optional<QString> path = m_layer.openFileName(this, QStringLiteral("Open"), sessionFileFilter());
    if (!path || path->isEmpty())
        return;
    m_state.sOpenFileName = *path;
    LoadSessionFile();
}

void frmMain::mnuFileSaveAs_Click()
{
    // Save As only picks the name; the next Save writes the file.
    m_state.sSessionFileName.clear();
    if (!activeParticipant())
        return;
    const std::optional<QString> path = m_layer.saveFileName(this, QStringLiteral("Save As"), sessionFileFilter());
    if (!path || path->isEmpty())
        return;
    m_state.sSessionFileName = *path;
}

void frmMain::mnuFileSave_Click()
{
    if (m_state.sSessionFileName.isEmpty())
        mnuFileSaveAs_Click();
    if (!m_state.sSessionFileName.isEmpty())
        SaveSessionFile();
}

void frmMain::mnuFileClose_Click()
{
    BusyScope busy(*this);
    // Closes the active participant window, not a file.
    if (QPointer<frmDocument> d = activeParticipant()) {
        m_layer.processPendingEvents();
        if (d)
            d->close();
    }
}

}  // namespace kolvane
