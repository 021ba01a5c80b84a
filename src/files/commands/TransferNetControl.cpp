#include "files/SessionFile.h"
#include "files/SessionStorage.h"
#include "files/commands/SessionCommands.h"
#include "files/commands/SessionWindows.h"
#include "net/DateStamp.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"
#include "ui/frmTransfer.h"

#include <QDateTime>
#include <QPointer>

namespace kolvane {

void SessionCommands::mnuToolsTransferNetControl_Click()
{
    m_main.ValidateNetHeader();
    if (m_main.statusText() != statusIdle())
        return;

    showFreshModal(m_layer, m_main.frmTransfer, new kolvane::frmTransfer(m_main),
                   [](QDialog* d) { static_cast<kolvane::frmTransfer*>(d)->Form_Load(); });

    const NetControlStation next{m_state.sNewCallsign, m_state.sNewHandle, m_state.sNewQTH};
    if (next.callsign.isEmpty())
        return;  // cancelled or closed
    const NetHeader own = m_main.header();
    if (own.cntrlCall == next.callsign && own.cntrlHandle == next.handle) {
        m_main.setStatusText(QStringLiteral("Status: Can't transfer Net Control to yourself. Please try again"));
        return;
    }
    m_main.setStatusText(QStringLiteral("Status: Transferring Net Control to: ") + next.callsign + QStringLiteral(", ")
                         + next.handle);

    // The file is taken as the session stands now, and the note dated now, before the
    // file dialog opens.
    const SessionData transfer =
        transferSession(sessionFromWindows(m_main), next, dateTimeStamp(QDateTime::currentDateTime()));

    TransferFileSaveAs();
    const QString path = m_state.sTransferFileName;
    if (path.isEmpty()) {
        m_main.setStatusText(statusIdle());
        return;
    }
    const QString failure = writeSessionFileAt(path, transfer);
    if (!failure.isEmpty()) {
        m_main.setStatusText(QStringLiteral("Status: Net Control not transferred"));
        m_layer.messageBox(&m_main, transferNotWrittenMessage(path, failure));
        return;
    }
    m_main.setStatusText(QStringLiteral("Status: Net Control transferred to ") + next.callsign
                         + QStringLiteral(" via file ") + path);
}

void SessionCommands::TransferFileSaveAs()
{
    m_state.sTransferFileName.clear();
    if (!m_main.activeParticipant())
        return;
    const std::optional<QString> path =
        m_layer.saveFileName(&m_main, QStringLiteral("Transfer File Save As"), sessionFileFilter());
    if (path && !path->isEmpty())
        m_state.sTransferFileName = *path;
}

}  // namespace kolvane
