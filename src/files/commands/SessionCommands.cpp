#include "files/commands/SessionCommands.h"
#include "files/NetSession.h"
#include "files/RosterFile.h"
#include "files/SessionFile.h"
#include "files/SessionStorage.h"
#include "net/AppInfo.h"
#include "net/Net.h"
#include "net/Participants.h"
#include "net/Roster.h"
#include "ui/UpdatesFrozen.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"

#include <QDate>
#include <QDir>
#include <QMdiArea>
#include <QMenuBar>

#include <optional>

namespace kolvane {

namespace {

// The title with the file's name as the platform writes it (backslashes on Windows).
QString captionFor(const QString& path)
{
    return appTitle() + QStringLiteral(" - ") + QDir::toNativeSeparators(path);
}

}  // namespace

SessionCommands::SessionCommands(frmMain& main) : m_main(main), m_net(main.net()), m_layer(main.layer()) {}

void SessionCommands::SaveSessionFile()
{
    BusyScope busy(m_main);
    m_main.ValidateNetHeader();
    if (m_main.statusText() != statusIdle())
        return;  // the operator has been told which field is missing
    m_layer.processPendingEvents();
    m_main.setStatusText(QStringLiteral("Status: Saving session"));

    const QString path = m_net.sSessionFileName();
    const SessionData session = sessionFromNet(m_net);
    const QString failure = writeSessionFileAt(path, session);
    if (!failure.isEmpty()) {
        m_main.setStatusText(QStringLiteral("Status: Session not saved"));
        m_layer.messageBox(&m_main, sessionNotSavedMessage(path, failure));
        return;
    }
    learn(session);
    m_net.markSaved();
    m_main.setStatusText(QStringLiteral("Status: Session saved"));
    m_main.setCaption(captionFor(path));
}

void SessionCommands::LoadSessionFile()
{
    BusyScope busy(m_main);
    const QString path = m_net.sOpenFileName;
    // The whole file is read and checked before anything of the session shown is touched,
    // so a refused file leaves windows, header, caption and names as they were.
    const SessionReadResult file = readSessionFileAt(path);
    if (!file.ok()) {
        m_layer.messageBox(&m_main, openRefusedMessage(path, file.reason));
        return;
    }
    rebuild(file.data);
    m_main.setCaption(captionFor(path));
    learn(file.data);
}

void SessionCommands::restoreSession(const SessionData& session, const QString& savedAs)
{
    BusyScope busy(m_main);
    rebuild(session);
    m_net.setSessionFileName(savedAs);
    m_main.setCaption(savedAs.isEmpty() ? appTitle() : captionFor(savedAs));
    learn(session);
}

void SessionCommands::learn(const SessionData& session, const NetControlStation* also)
{
    // Only the stations are gathered here; the roster is searched, changed and written on
    // its own thread.
    Regulars* regulars = m_main.state().regulars;
    if (!regulars)
        return;
    NetSighting net = netSighting(session, QDate::currentDate());
    if (also)
        net.stations.append({also->callsign, also->handle, also->qth});
    regulars->learn(net);
}

void SessionCommands::rebuild(const SessionData& session)
{
    // Closing, creating, ordering and filling up to 100 windows lets events run at every
    // window; one repaint at the end is enough.
    std::optional<UpdatesFrozen> frozen(std::in_place, m_main.mdiArea);
    // Qt repaints the menu bar for every window that comes or goes.
    std::optional<UpdatesFrozen> frozenMenu(std::in_place, m_main.menuBar());
    // The windows are brought forward one after another; only the last one for real.
    std::optional<ActivationBatch> batch(std::in_place, m_main.area());

    // Every participant window closes through its own close handling (the one holding the
    // turn stops the talk timer and resets the status line).
    m_main.closeAllParticipants();
    // The turn counted so far belonged to a window that is gone; the loaded net's first
    // turn starts from zero even though its slot is filled again.
    m_net.zeroTalkCounters();

    // Windows beyond the limit are refused once, not once per record.
    const int windows = qMin(int(session.participants.size()), kParticipantLimit);
    // The new windows come up together once they are laid out and filled.
    std::optional<WindowsShownTogether> together(std::in_place, m_main.area());
    for (int i = 0; i < windows; ++i)
        m_main.AddParticipant();
    if (session.participants.size() > kParticipantLimit) {
        together.reset();  // the frame paints behind the message box
        frozenMenu.reset();
        frozen.reset();
        m_layer.messageBox(&m_main, participantLimitMessage());
        frozen.emplace(m_main.mdiArea);
        frozenMenu.emplace(m_main.menuBar());
    }
    m_main.mnuWindowTileHorizontal_Click();

    m_net.setHeader(session.header);  // the Net Control callsign in upper case

    // Station n takes record n: saved as active, its window's Active button is pressed.
    // That lets events run; a window closed meanwhile is simply skipped.
    for (const int n : m_net.participantNumbers()) {
        if (n > windows || !m_net.participant(n))
            continue;
        const ParticipantRecord& r = session.participants.at(n - 1);
        if (r.active)
            m_main.pressParticipantActive(n);
        if (!m_net.participant(n))
            continue;
        m_net.setCallsign(n, r.callsign);  // kept in upper case
        m_net.setHandle(n, r.handle);
        m_net.setQTH(n, r.qth);
    }
    together.reset();
    batch.reset();
    frozenMenu.reset();
    frozen.reset();
}

void SessionCommands::mnuFileOpen_Click()
{
    m_net.sOpenFileName.clear();
    const std::optional<QString> path = m_layer.openFileName(&m_main, QStringLiteral("Open"), sessionFileFilter());
    if (!path || path->isEmpty())
        return;
    m_net.sOpenFileName = *path;
    LoadSessionFile();
}

void SessionCommands::mnuFileSaveAs_Click()
{
    // Save As only picks the name; the next Save writes the file.
    m_net.setSessionFileName(QString());
    if (!m_main.activeParticipant())
        return;
    const std::optional<QString> path =
        m_layer.saveFileName(&m_main, QStringLiteral("Save As"), sessionFileFilter(), sessionFileSuffix());
    if (!path || path->isEmpty())
        return;
    m_net.setSessionFileName(*path);
}

void SessionCommands::mnuFileSave_Click()
{
    if (m_net.sSessionFileName().isEmpty())
        mnuFileSaveAs_Click();
    if (!m_net.sSessionFileName().isEmpty())
        SaveSessionFile();
}

void SessionCommands::mnuFileClose_Click()
{
    BusyScope busy(m_main);
    // Closes the active participant window, not a file.
    if (const int n = m_main.activeParticipantNumber()) {
        m_layer.processPendingEvents();
        m_main.closeParticipant(n);
    }
}

}  // namespace kolvane
