#include "files/SessionFile.h"
#include "files/SessionStorage.h"
#include "files/SessionWindows.h"
#include "net/DateStamp.h"
#include "ui/Controls.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"
#include "ui/frmTransfer.h"

#include <QDateTime>
#include <QPointer>

namespace kolvane {

void frmMain::mnuToolsTransferNetControl_Click()
{
    ValidateNetHeader();
    if (statusText() != statusIdle())
        return;

    {
        QPointer<kolvane::frmTransfer> dlg = new kolvane::frmTransfer(*this);
        frmTransfer = dlg.data();  // shutdown closes it while it is shown
        dlg->Form_Load();
        m_layer.showModal(dlg);
        delete dlg.data();
    }

    const NetControlStation next{m_state.sNewCallsign, m_state.sNewHandle, m_state.sNewQTH};
    if (next.callsign.isEmpty())
        return;  // cancelled or closed
    const NetHeader own = header();
    if (own.cntrlCall == next.callsign && own.cntrlHandle == next.handle) {
        setStatusText(QStringLiteral("Status: Can't transfer Net Control to yourself. Please try again"));
        return;
    }
    setStatusText(QStringLiteral("Status: Transferring Net Control to: ") + next.callsign + QStringLiteral(", ")
                  + next.handle);

    // The file is taken as the session stands now, and the note dated now, before the
    // file dialog opens.
    const SessionData transfer =
        transferSession(sessionFromWindows(*this), next, dateTimeStamp(QDateTime::currentDateTime()));

    TransferFileSaveAs();
    const QString path = m_state.sTransferFileName;
    if (path.isEmpty()) {
        setStatusText(statusIdle());
        return;
    }
    const QString failure = writeSessionFileAt(path, transfer);
    if (!failure.isEmpty()) {
        setStatusText(QStringLiteral("Status: Net Control not transferred"));
        m_layer.messageBox(this, transferNotWrittenMessage(path, failure));
        return;
    }
    setStatusText(QStringLiteral("Status: Net Control transferred to ") + next.callsign + QStringLiteral(" via file ")
                  + path);
}

void frmMain::TransferFileSaveAs()
{
    m_state.sTransferFileName.clear();
    if (!activeParticipant())
        return;
    const std::optional<QString> path =
        m_layer.saveFileName(this, QStringLiteral("Transfer File Save As"), sessionFileFilter());
    if (path && !path->isEmpty())
        m_state.sTransferFileName = *path;
}

}  // namespace kolvane
