#include "files/NetSession.h"
#include "files/SessionFile.h"
#include "files/SessionStorage.h"
#include "files/commands/SessionCommands.h"
#include "net/DateStamp.h"
#include "net/Net.h"
#include "ui/Dialogs.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"
#include "ui/frmTransfer.h"

#include <QDateTime>

namespace kolvane {

void SessionCommands::mnuToolsTransferNetControl_Click()
{
    m_main.ValidateNetHeader();
    if (m_main.statusText() != statusIdle())
        return;

    std::optional<NetControlStation> answer;
    showFreshModal(
        m_layer, m_main.frmTransfer, new kolvane::frmTransfer(m_main),
        [](QDialog* d) { static_cast<kolvane::frmTransfer*>(d)->Form_Load(); },
        [&answer](QDialog* d) { answer = static_cast<kolvane::frmTransfer*>(d)->newNetControl(); });
    m_net.setNewNetControl(answer);

    const NetControlStation next{m_net.sNewCallsign(), m_net.sNewHandle(), m_net.sNewQTH()};
    if (next.callsign.isEmpty())
        return;  // cancelled or closed
    const NetHeader& own = m_net.header();
    if (own.cntrlCall == next.callsign && own.cntrlHandle == next.handle) {
        m_main.setStatusText(QStringLiteral("Status: Can't transfer Net Control to yourself. Please try again"));
        return;
    }
    m_main.setStatusText(QStringLiteral("Status: Transferring Net Control to: ") + next.callsign + QStringLiteral(", ")
                         + next.handle);

    // The file is taken as the net stands now, and the note dated now, before the file
    // dialog opens.
    const SessionData session = sessionFromNet(m_net);
    const SessionData transfer = transferSession(session, next, dateTimeStamp(QDateTime::currentDateTime()));

    TransferFileSaveAs();
    const QString path = m_net.sTransferFileName;
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
    // The transfer file is the running net handed on: learnt as that net, with the station
    // that takes it over.
    learn(session, &next);
    m_main.setStatusText(QStringLiteral("Status: Net Control transferred to ") + next.callsign
                         + QStringLiteral(" via file ") + path);
}

void SessionCommands::TransferFileSaveAs()
{
    m_net.sTransferFileName.clear();
    if (!m_main.activeParticipant())
        return;
    // The new Net Control station opens it with File > Open, whose filter shows only *.kvs.
    const std::optional<QString> path = m_layer.saveFileName(&m_main, QStringLiteral("Transfer File Save As"),
                                                             sessionFileFilter(), sessionFileSuffix());
    if (path && !path->isEmpty())
        m_net.sTransferFileName = *path;
}

}  // namespace kolvane
