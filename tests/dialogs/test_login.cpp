#include "dialogs/frmLogin.h"
#include "support/ScriptedWindowLayer.h"
#include "support/TestMain.h"
#include "ui/Controls.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kolvane;
using kolvane::test::ScriptedWindowLayer;

namespace {

// The next control that Tab moves the focus to.
QWidget* nextTabStop(QWidget* w)
{
    do
        w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
    return w;
}

}  // namespace

class TestLogin : public QObject {
    Q_OBJECT

private slots:
    void layoutAndTabOrder();
    void userNameIsTheLoginName_data();
    void userNameIsTheLoginName();
    void onlyTheEmptyPasswordIsAccepted_data();
    void onlyTheEmptyPasswordIsAccepted();
    void rejectionSelectsTheWholeEntry();
    void enterActsAsOk();
    void escAndCancelLeaveTheFlagFalse_data();
    void escAndCancelLeaveTheFlagFalse();
    void passwordShowsAsStars();
};

void TestLogin::layoutAndTabOrder()
{
    ScriptedWindowLayer layer;
    frmLogin dlg(layer);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Login"));
    QVERIFY(!dlg.bLoginSucceeded);
    QCOMPARE(dlg.focusWidget(), dlg.txtPassword);
    QCOMPARE(nextTabStop(dlg.txtPassword), dlg.txtUserName);
    QCOMPARE(nextTabStop(dlg.txtUserName), dlg.cmdOK);
    QCOMPARE(nextTabStop(dlg.cmdOK), dlg.cmdCancel);
    QCOMPARE(dlg.lblLabels[0]->buddy(), dlg.txtUserName);
    QCOMPARE(dlg.lblLabels[1]->buddy(), dlg.txtPassword);
}

void TestLogin::userNameIsTheLoginName_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QStringLiteral("operator") << QStringLiteral("operator");
    QTest::newRow("terminator and what follows it dropped")
        << QStringLiteral("op") + QChar(0) + QStringLiteral("junk") << QStringLiteral("op");
    QTest::newRow("none") << QString() << QString();
    QTest::newRow("254 characters fit") << QString(254, u'n') << QString(254, u'n');
    QTest::newRow("255 characters do not") << QString(255, u'n') << QString();
}

void TestLogin::userNameIsTheLoginName()
{
    QFETCH(QString, login);
    QFETCH(QString, shown);
    ScriptedWindowLayer layer;
    layer.login = login;
    frmLogin dlg(layer);
    QCOMPARE(dlg.txtUserName->text(), shown);
    QCOMPARE(dlg.txtUserName->text().size(), shown.size());
}

void TestLogin::onlyTheEmptyPasswordIsAccepted_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << QStringLiteral("operator") << QString() << true;
    QTest::newRow("empty, no user name") << QString() << QString() << true;
    QTest::newRow("empty, user name changed") << QStringLiteral("someone else") << QString() << true;
    QTest::newRow("single blank") << QStringLiteral("operator") << QStringLiteral(" ") << false;
    QTest::newRow("the user name") << QStringLiteral("operator") << QStringLiteral("operator") << false;
    QTest::newRow("some text") << QStringLiteral("operator") << QStringLiteral("Secret1") << false;
}

void TestLogin::onlyTheEmptyPasswordIsAccepted()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    ScriptedWindowLayer layer;
    frmLogin dlg(layer);
    dlg.show();
    dlg.txtUserName->setText(user);
    dlg.txtPassword->setText(password);
    dlg.cmdOK->click();

    QCOMPARE(dlg.bLoginSucceeded, accepted);
    QCOMPARE(dlg.isVisible(), !accepted);
    if (!accepted) {
        QCOMPARE(layer.messages.size(), 1);
        QCOMPARE(layer.messages[0].text, QStringLiteral("Invalid Password, try again!"));
        QCOMPARE(layer.messages[0].caption, QStringLiteral("Login"));
        QCOMPARE(layer.messages[0].icon, MessageIcon::None);
        layer.messages.clear();
    }
    QVERIFY(layer.isClean());
}

void TestLogin::rejectionSelectsTheWholeEntry()
{
    ScriptedWindowLayer layer;
    frmLogin dlg(layer);
    dlg.show();
    dlg.txtPassword->setText(QStringLiteral("wrong one"));
    dlg.txtPassword->setCursorPosition(3);
    dlg.txtUserName->setFocus();
    dlg.cmdOK->click();
    QCOMPARE(layer.takeMessages(), QStringList{QStringLiteral("Invalid Password, try again!")});
    QCOMPARE(dlg.focusWidget(), dlg.txtPassword);
    QCOMPARE(dlg.txtPassword->selectionStart(), 0);
    QCOMPARE(dlg.txtPassword->selectedText(), QStringLiteral("wrong one"));

    // The next typing replaces the entry, and the empty one then gets in.
    dlg.txtPassword->del();
    QVERIFY(dlg.txtPassword->text().isEmpty());
    dlg.cmdOK->click();
    QVERIFY(dlg.bLoginSucceeded);
    QVERIFY(dlg.isHidden());
    QVERIFY(layer.isClean());
}

void TestLogin::enterActsAsOk()
{
    ScriptedWindowLayer layer;
    frmLogin dlg(layer);
    dlg.show();
    dlg.txtPassword->setText(QStringLiteral("x"));
    QTest::keyClick(dlg.txtPassword, Qt::Key_Return);
    QCOMPARE(layer.takeMessages(), QStringList{QStringLiteral("Invalid Password, try again!")});
    QVERIFY(dlg.isVisible());
    dlg.txtPassword->clear();
    QTest::keyClick(dlg.txtPassword, Qt::Key_Return);
    QVERIFY(dlg.bLoginSucceeded);
    QVERIFY(dlg.isHidden());
    QVERIFY(layer.isClean());
}

void TestLogin::escAndCancelLeaveTheFlagFalse_data()
{
    QTest::addColumn<int>("how");  // 0 Esc, 1 Cancel, 2 close box
    QTest::newRow("Esc") << 0;
    QTest::newRow("Cancel") << 1;
    QTest::newRow("close box") << 2;
}

void TestLogin::escAndCancelLeaveTheFlagFalse()
{
    QFETCH(int, how);
    ScriptedWindowLayer layer;
    frmLogin dlg(layer);
    dlg.show();
    dlg.bLoginSucceeded = true;  // left over from an earlier showing
    if (how == 0)
        QTest::keyClick(dlg.txtPassword, Qt::Key_Escape);
    else if (how == 1)
        dlg.cmdCancel->click();
    else
        dlg.close();
    QVERIFY(!dlg.bLoginSucceeded);
    QVERIFY(dlg.isHidden());
    QVERIFY(layer.isClean());
}

void TestLogin::passwordShowsAsStars()
{
    ScriptedWindowLayer layer;
    frmLogin dlg(layer);
    dlg.txtPassword->setText(QStringLiteral("abc"));
    QCOMPARE(dlg.txtPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(dlg.txtPassword->displayText(), QStringLiteral("***"));
}

KOLVANE_TEST_MAIN(TestLogin)
#include "test_login.moc"
