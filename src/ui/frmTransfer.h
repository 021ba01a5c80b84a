#pragma once

#include "net/NetHeader.h"

#include <QDialog>
#include <optional>

class QPushButton;

namespace kolvane {

class Label;
class TextBox;
class frmMain;

// "Transfer Net Control To:": asks for the station that takes over the net. OK answers with
// its callsign, handle and QTH; Cancel, Esc and the close box answer with nothing, which
// tells the command to stop.
class frmTransfer : public QDialog {
    Q_OBJECT

public:
    // Why the window is closing: by the operator or the system, or by the program's own
    // OK and Cancel.
    enum class UnloadMode { ControlMenu, FormCode };

    explicit frmTransfer(frmMain& main);

    void Form_Load();
    void Form_QueryUnload(UnloadMode mode);
    void cmdOK_Click();
    void cmdCancel_Click();
    void txtNewCallsign_Change();

    // Esc and a close without a button act as Cancel.
    void reject() override;

    // The station OK accepted, or nothing after Cancel or a close.
    const std::optional<NetControlStation>& newNetControl() const { return m_station; }

    Label* lblLabels[3] = {};  // "&Callsign:", "&Handle:", "&QTH:"
    TextBox* txtNewCallsign = nullptr;
    TextBox* txtNewHandle = nullptr;
    TextBox* txtNewQTH = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void closeByProgram(int result);

    frmMain& m_main;
    std::optional<NetControlStation> m_station;
    bool m_closingByProgram = false;
};

}  // namespace kolvane
