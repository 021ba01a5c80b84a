#pragma once

#include <QDialog>

class QPushButton;

namespace kolvane {

class Label;
class TextBox;
class frmMain;
struct Module1;

// "Transfer Net Control To:": asks for the station that takes over the net. OK leaves its
// callsign, handle and QTH in sNewCallsign, sNewHandle and sNewQTH; Cancel, Esc and the
// close box empty sNewCallsign and sNewHandle, which tells the command to stop.
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
    Module1& m_state;
    bool m_closingByProgram = false;
};

}  // namespace kolvane
