#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kolvane {

class Label;
class WindowLayer;

// User name and password. Nothing in the program shows it yet; a caller would show it
// modally, read bLoginSucceeded once it is hidden, and then delete it.
class frmLogin : public QDialog {
    Q_OBJECT

public:
    explicit frmLogin(WindowLayer& layer, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The one accepted password.
    static QString password() { return QString(); }

    bool bLoginSucceeded = false;

    Label* lblLabels[2] = {};  // 0 "&User Name:", 1 "&Password:"
    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    // Esc and the close box act as Cancel.
    void reject() override;

private:
    WindowLayer& m_layer;
};

}  // namespace kolvane
