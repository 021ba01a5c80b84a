#include "dialogs/frmLogin.h"

#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace kolvane {

namespace {

// Room the platform gives the login name, its terminating character included.
constexpr int kUserNameChars = 255;

}  // namespace

frmLogin::frmLogin(WindowLayer& layer, QWidget* parent) : QDialog(parent, kFixedDialogFlags), m_layer(layer)
{
    installAccessibility();  // also where no main window has been made
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));
    setFixedSize(twips::size(3750, 1590));

    lblLabels[1] = place<Label>(this, "lblLabels(1)", 105, 540, 1080, 248, QStringLiteral("&Password:"));
    txtPassword = place<QLineEdit>(this, "txtPassword", 1305, 525, 2325, 285);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
    lblLabels[0] = place<Label>(this, "lblLabels(0)", 105, 150, 1080, 248, QStringLiteral("&User Name:"));
    txtUserName = place<QLineEdit>(this, "txtUserName", 1305, 135, 2325, 285);
    cmdOK = place<QPushButton>(this, "cmdOK", 495, 1020, 1140, 360, QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = place<QPushButton>(this, "cmdCancel", 2100, 1020, 1140, 360, QStringLiteral("Cancel"));

    // The labels' access keys move the focus to their fields.
    lblLabels[1]->setBuddy(txtPassword);
    lblLabels[0]->setBuddy(txtUserName);

    // The password comes first: the user name is usually right already.
    setTabOrder(txtPassword, txtUserName);
    setTabOrder(txtUserName, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtPassword->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);

    Form_Load();

    centreOnScreen(this);
}

void frmLogin::Form_Load()
{
    QString name = m_layer.loginName();
    // Only the name itself: nothing from a terminating character on. A name that would
    // not fit the platform's buffer does not come back at all.
    if (const qsizetype end = name.indexOf(QChar(0)); end >= 0)
        name.truncate(end);
    if (name.size() >= kUserNameChars)
        name.clear();
    txtUserName->setText(name);
    txtPassword->clear();
}

void frmLogin::cmdOK_Click()
{
    if (txtPassword->text() == password()) {
        bLoginSucceeded = true;
        hide();
        return;
    }
    m_layer.messageBox(this, QStringLiteral("Invalid Password, try again!"), QStringLiteral("Login"));
    txtPassword->setFocus();
    txtPassword->setSelection(0, int(txtPassword->text().size()));
}

void frmLogin::cmdCancel_Click()
{
    bLoginSucceeded = false;
    hide();
}

void frmLogin::reject()
{
    cmdCancel_Click();
}

}  // namespace kolvane
