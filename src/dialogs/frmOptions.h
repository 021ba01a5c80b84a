#pragma once

#include <QDialog>

class QGroupBox;
class QPushButton;
class QTabBar;

namespace kolvane {

class WindowLayer;

// A tabbed dialog of four pages with sample frames; it defines no options yet, and its
// OK and Apply only say where option handling would go.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPages = 4;
    // The page of the selected tab sits here; the others wait outside the window, disabled.
    static constexpr int kShownLeft = 210;
    static constexpr int kHiddenLeft = -20000;

    // `owner` is the main window: its icon becomes the dialog's, and the dialog is centred on it.
    frmOptions(WindowLayer& layer, QWidget* owner);

    void Form_Load();
    // `KeyCode` 9 is Tab; `Shift` adds 1 for Shift, 2 for Ctrl and 4 for Alt.
    void Form_KeyDown(int KeyCode, int Shift);
    void tbsOptions_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();

    QTabBar* tbsOptions = nullptr;
    QWidget* picOptions[kPages] = {};
    QGroupBox* fraSample1 = nullptr;
    QGroupBox* fraSample2 = nullptr;
    QGroupBox* fraSample3 = nullptr;
    QGroupBox* fraSample4 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

public slots:
    // Esc and the close box act as Cancel.
    void reject() override;

protected:
    // Key preview: the dialog sees every key press before the control with the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowLayer& m_layer;
};

}  // namespace kolvane
