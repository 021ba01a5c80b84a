#include "support/MainRig.h"
#include "support/TestMain.h"

#include "net/NetHeader.h"
#include "ui/Controls.h"
#include "ui/ImageList.h"
#include "ui/Twips.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

using namespace kolvane;
using namespace kolvane::test;

namespace {

QAction* action(MainRig& rig, const QString& name)
{
    return rig.main->findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

// The main window must be the active window for its shortcuts to match.
bool makeActive(MainRig& rig)
{
    rig.main->activateWindow();
    return QTest::qWaitForWindowActive(rig.main.get());
}

// What a menu command should have done, checked after it ran.
struct Route {
    const char* action;
    QKeySequence key;  // empty: no shortcut
    std::function<void(MainRig&)> arrange;
    std::function<void(MainRig&)> check;
};

void noArrange(MainRig&) {}

QList<Route> routes()
{
    return {
        {"mnuFileNew", QKeySequence(Qt::CTRL | Qt::Key_N),
         [](MainRig& r) {
             r.addUpTo(3);
             r.main->setWindowTitle(QStringLiteral("Kolvane - /tmp/net.kvs"));
             r.main->txtFrequency->setText(QStringLiteral("7.185"));
         },
         [](MainRig& r) {
             QCOMPARE(r.net.lDocumentCount(), 1);
             QCOMPARE(r.main->openParticipants().size(), 1);
             QCOMPARE(r.main->windowTitle(), QStringLiteral("Kolvane"));
             QCOMPARE(r.main->txtFrequency->text(), QString());
         }},
        {"mnuFileOpen", QKeySequence(Qt::CTRL | Qt::Key_O), [](MainRig& r) { r.layer.cancelFile(); },
         [](MainRig& r) {
             QCOMPARE(r.layer.fileRequests.size(), 1);
             QCOMPARE(r.layer.fileRequests[0].save, false);
             QCOMPARE(r.layer.fileRequests[0].title, QStringLiteral("Open"));
         }},
        {"mnuFileClose",
         {},
         [](MainRig& r) {
             r.addUpTo(3);
             r.activate(2);
         },
         [](MainRig& r) {
             QVERIFY(!r.doc(2));
             QVERIFY(r.doc(1));
             QVERIFY(r.doc(3));
         }},
        {"mnuFileSave", QKeySequence(Qt::CTRL | Qt::Key_S), [](MainRig& r) { r.layer.cancelFile(); },
         [](MainRig& r) {
             // No name chosen yet: Save asks for one first.
             QCOMPARE(r.layer.fileRequests.size(), 1);
             QCOMPARE(r.layer.fileRequests[0].save, true);
             QCOMPARE(r.layer.fileRequests[0].title, QStringLiteral("Save As"));
         }},
        {"mnuFileSaveAs",
         {},
         [](MainRig& r) { r.layer.cancelFile(); },
         [](MainRig& r) {
             QCOMPARE(r.layer.fileRequests.size(), 1);
             QCOMPARE(r.layer.fileRequests[0].save, true);
             QCOMPARE(r.layer.fileRequests[0].title, QStringLiteral("Save As"));
         }},
        {"mnuFileExit",
         {},
         [](MainRig& r) {
             // A station is at turn: its own close handling must still run.
             r.addUpTo(2);
             r.activate(2);
             r.doc(2)->cmdActive_Click();
             r.doc(2)->cmdTalk_Click();
             QVERIFY(r.main->timTalk->isActive());
         },
         [](MainRig& r) {
             QVERIFY(!r.main->isVisible());
             QVERIFY(!r.doc(1));
             QVERIFY(!r.doc(2));
             QVERIFY(!r.main->timTalk->isActive());
             QCOMPARE(r.main->statusText(), statusIdle());
         }},
        {"mnuClearAll",
         {},
         [](MainRig& r) { r.main->txtFrequency->setText(QStringLiteral("7.185")); },
         [](MainRig& r) {
             QCOMPARE(r.main->txtFrequency->text(), QString());
             QCOMPARE(r.net.lDocumentCount(), 1);
         }},
        {"mnuViewNetCntrl",
         {},
         noArrange,
         [](MainRig& r) {
             QVERIFY(r.main->tbCntrl->isHidden());
             QVERIFY(!r.main->mnuViewNetCntrl->isChecked());
             QVERIFY(!r.main->sbStatusBar->isHidden());
         }},
        {"mnuViewStatusBar",
         {},
         noArrange,
         [](MainRig& r) {
             QVERIFY(r.main->sbStatusBar->isHidden());
             QVERIFY(!r.main->mnuViewStatusBar->isChecked());
             QVERIFY(!r.main->tbCntrl->isHidden());
         }},
        {"mnuToolsTransferNetControl",
         {},
         noArrange,
         [](MainRig& r) {
             // An empty header stops the transfer at the first missing field.
             QCOMPARE(r.layer.takeMessages(), QStringList{missingFieldMessage(HeaderField::Start)});
         }},
        {"mnuWindowAddParticipant", QKeySequence(Qt::CTRL | Qt::Key_A),
         [](MainRig& r) { r.main->txtFrequency->setText(QStringLiteral("7.185")); },
         [](MainRig& r) {
             QCOMPARE(r.net.lDocumentCount(), 2);
             QVERIFY(r.doc(2));
             QCOMPARE(r.main->txtFrequency->text(), QStringLiteral("7.185"));
         }},
        {"mnuWindowCascade",
         {},
         [](MainRig& r) {
             r.addUpTo(2);
             r.activate(2);
         },
         [](MainRig& r) {
             QCOMPARE(r.state.iActiveDocument, qint16(1));
             const QSize half(twips::toPx(r.main->clientWidthTwips() / 2),
                              twips::toPx(r.main->clientHeightTwips() / 2));
             QCOMPARE(r.doc(1)->size(), half);
             QCOMPARE(r.doc(2)->size(), half);
         }},
        {"mnuWindowTileHorizontal",
         {},
         [](MainRig& r) {
             r.addUpTo(2);
             r.activate(2);
         },
         [](MainRig& r) {
             QCOMPARE(r.state.iActiveDocument, qint16(1));
             const int w = r.main->mdiArea->viewport()->width();
             QCOMPARE(r.doc(1)->geometry().x(), 0);
             QCOMPARE(r.doc(1)->width(), w);
             QCOMPARE(r.doc(2)->width(), w);
             QVERIFY(r.doc(1)->y() < r.doc(2)->y());
         }},
        {"mnuWindowTileVertical",
         {},
         [](MainRig& r) {
             r.addUpTo(2);
             r.activate(2);
         },
         [](MainRig& r) {
             QCOMPARE(r.state.iActiveDocument, qint16(1));
             const int h = r.main->mdiArea->viewport()->height();
             QCOMPARE(r.doc(1)->height(), h);
             QCOMPARE(r.doc(2)->height(), h);
             QVERIFY(r.doc(1)->x() < r.doc(2)->x());
         }},
        {"mnuWindowArrangeIcons",
         {},
         [](MainRig& r) {
             r.addUpTo(2);
             r.main->mnuWindowMinimizeAll_Click();
             r.doc(1)->move(100, 10);
             r.doc(2)->move(200, 10);
         },
         [](MainRig& r) {
             const QRect client = r.main->mdiArea->viewport()->rect();
             QCOMPARE(r.doc(1)->geometry().bottomLeft(), client.bottomLeft());
             QCOMPARE(r.doc(2)->geometry().left(), r.doc(1)->geometry().right() + 1);
         }},
        {"mnuWindowMinimizeAll",
         {},
         [](MainRig& r) { r.addUpTo(3); },
         [](MainRig& r) {
             for (int i = 1; i <= 3; ++i)
                 QVERIFY(r.doc(i)->isMinimized());
         }},
        {"mnuWindowRestoreAll",
         {},
         [](MainRig& r) {
             r.addUpTo(3);
             r.main->mnuWindowMinimizeAll_Click();
         },
         [](MainRig& r) {
             for (int i = 1; i <= 3; ++i)
                 QVERIFY(!r.doc(i)->isMinimized());
         }},
        {"mnuHelpContents",
         {},
         [](MainRig& r) { r.main->setWindowTitle(QStringLiteral("Kolvane - /tmp/net.kvs")); },
         [](MainRig& r) {
             QCOMPARE(r.layer.messages.size(), 1);
             QCOMPARE(
                 r.layer.messages[0].text,
                 QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
             QCOMPARE(r.layer.messages[0].caption, QStringLiteral("Kolvane - /tmp/net.kvs"));
             QCOMPARE(r.layer.messages[0].icon, MessageIcon::Information);
             r.layer.messages.clear();
         }},
        {"mnuHelpSearchForHelpOn",
         {},
         noArrange,
         [](MainRig& r) {
             QCOMPARE(r.layer.messages.size(), 1);
             QCOMPARE(
                 r.layer.messages[0].text,
                 QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
             QCOMPARE(r.layer.messages[0].caption, QStringLiteral("Kolvane"));
             QCOMPARE(r.layer.messages[0].icon, MessageIcon::Information);
             r.layer.messages.clear();
         }},
        {"mnuHelpAbout",
         {},
         [](MainRig& r) {
             r.layer.answerModal([&r](QDialog* d) {
                 r.main->setProperty("shownDialog", QString::fromLatin1(d->metaObject()->className()));
                 d->accept();
             });
         },
         [](MainRig& r) { QCOMPARE(r.main->property("shownDialog").toString(), QStringLiteral("kolvane::frmAbout")); }},
    };
}

Route routeFor(const QString& name)
{
    for (const Route& r : routes()) {
        if (name == QLatin1String(r.action))
            return r;
    }
    return {};
}

struct MenuItem {
    const char* name;
    const char* caption;  // "-" for a separator
    QKeySequence shortcut;
    bool visible;
    bool enabled;
};

}  // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void menuTree();
    void routing_data();
    void routing();
    void hiddenItems_data();
    void hiddenItems();
    void editingKeysStayWithTheFields();
    void viewTogglesKeepMarkAndBarTogether_data();
    void viewTogglesKeepMarkAndBarTogether();
    void menuShortcutsWinInTextFields_data();
    void menuShortcutsWinInTextFields();
    void shortcutsStayInTheirWindow();
    void windowListFollowsTheOpenWindows();
    void printNeedsAnActiveParticipant();
    void helpCaptionWhileAParticipantIsMaximised();
    void toolbarLayout();
    void toolbarDispatch_data();
    void toolbarDispatch();
    void toolbarPictures();
};

void TestMenus::menuTree()
{
    MainRig rig;
    const QKeySequence none;
    const QList<QPair<QString, QList<MenuItem>>> tree = {
        {"&File",
         {{"mnuFileNew", "&New Session", QKeySequence(Qt::CTRL | Qt::Key_N), true, true},
          {"mnuFileOpen", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O), true, true},
          {"mnuFileClose", "&Close", none, true, true},
          {"mnuFileBar0", "-", none, true, true},
          {"mnuFileSave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), true, true},
          {"mnuFileSaveAs", "Save &As...", none, true, true},
          {"mnuFileSaveAll", "Save A&ll", none, false, false},
          {"mnuFileBar1", "-", none, false, true},
          {"mnuFileProperties", "Propert&ies", none, false, false},
          {"mnuFileBar2", "-", none, false, true},
          {"mnuFilePageSetup", "Page Set&up...", none, false, false},
          {"mnuFilePrintPreview", "Print Pre&view", none, false, false},
          {"mnuFilePrint", "&Print...", none, false, false},
          {"mnuFileBar3", "-", none, false, true},
          {"mnuFileSend", "Sen&d...", none, false, false},
          {"mnuFileBar4", "-", none, false, true},
          {"mnuFileMRU", "", none, false, true},
          {"mnuFileMRU", "", none, false, true},
          {"mnuFileMRU", "", none, false, true},
          {"mnuFileBar5", "-", none, false, true},
          {"mnuFileExit", "E&xit", none, true, true}}},
        {"&Edit",
         {{"mnuClearAll", "Clear All", none, true, true},
          {"mnuEditBar0", "-", none, false, true},
          {"mnuEditUndo", "&Undo", none, false, false},
          {"mnuEditCut", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), false, false},
          {"mnuEditCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), false, false},
          {"mnuEditPaste", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), false, false},
          {"mnuEditPasteSpecial", "Paste &Special...", none, false, false}}},
        {"&View",
         {{"mnuViewNetCntrl", "Net Contro&l", none, true, true},
          {"mnuViewStatusBar", "Status &Bar", none, true, true},
          {"mnuViewBar0", "-", none, false, true},
          {"mnuViewRefresh", "&Refresh", none, false, false},
          {"mnuViewOptions", "&Options...", none, false, false},
          {"mnuViewWebBrowser", "&Web Browser", none, false, false}}},
        {"&Tools",
         {{"mnuToolsOptions", "&Options...", none, false, false},
          {"mnuToolsTransferNetControl", "&Transfer Net Control...", none, true, true}}},
        {"&Window",
         {{"mnuWindowAddParticipant", "&Add Participant", QKeySequence(Qt::CTRL | Qt::Key_A), true, true},
          {"mnuWindowBar0", "-", none, true, true},
          {"mnuWindowCascade", "&Cascade", none, true, true},
          {"mnuWindowTileHorizontal", "Tile &Horizontal", none, true, true},
          {"mnuWindowTileVertical", "Tile &Vertical", none, true, true},
          {"mnuWindowArrangeIcons", "Arrange &Icons", none, true, true},
          {"mnuWindowBar1", "-", none, true, true},
          {"mnuWindowMinimizeAll", "&Minimize All", none, true, true},
          {"mnuWindowRestoreAll", "&Restore All", none, true, true}}},
        {"&Help",
         {{"mnuHelpContents", "&Contents", none, true, true},
          {"mnuHelpSearchForHelpOn", "&Search For Help On...", none, true, true},
          {"mnuHelpBar0", "-", none, true, true},
          {"mnuHelpAbout", "&About ", none, true, true}}},
    };

    const QList<QAction*> menus = rig.main->menuBar()->actions();
    QCOMPARE(menus.size(), tree.size());
    for (int m = 0; m < tree.size(); ++m) {
        QMenu* menu = menus[m]->menu();
        QVERIFY(menu);
        QCOMPARE(menu->title(), tree[m].first);
        const QList<QAction*> items = menu->actions();
        const QList<MenuItem>& expected = tree[m].second;
        QCOMPARE(items.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const MenuItem& e = expected[i];
            QAction* a = items[i];
            const QString where = tree[m].first + QLatin1Char('/') + QLatin1String(e.name);
            QVERIFY2(a->objectName() == QLatin1String(e.name), qPrintable(where + " is " + a->objectName()));
            QVERIFY2(a->isSeparator() == (QByteArray(e.caption) == "-"), qPrintable(where));
            if (!a->isSeparator())
                QVERIFY2(a->text() == QLatin1String(e.caption), qPrintable(where + ": " + a->text()));
            QVERIFY2(a->shortcut() == e.shortcut, qPrintable(where));
            QVERIFY2(a->isVisible() == e.visible, qPrintable(where));
            // Qt counts a hidden action as disabled, whatever it was set to.
            QVERIFY2(a->isEnabled() == (e.visible && e.enabled), qPrintable(where));
            const bool toggle = e.name == QByteArray("mnuViewNetCntrl") || e.name == QByteArray("mnuViewStatusBar");
            QVERIFY2(a->isCheckable() == toggle && a->isChecked() == toggle, qPrintable(where));
        }
    }
    // The three recent-file slots are an array indexed 1 to 3.
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(rig.main->mnuFileMRU[i]->property("index").toInt(), i);
}

void TestMenus::routing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("byKey");
    for (const Route& r : routes()) {
        QTest::newRow(r.action) << QString::fromLatin1(r.action) << false;
        if (!r.key.isEmpty())
            QTest::newRow(qPrintable(QString::fromLatin1(r.action) + " by " + r.key.toString()))
                << QString::fromLatin1(r.action) << true;
    }
}

void TestMenus::routing()
{
    QFETCH(QString, name);
    QFETCH(bool, byKey);
    const Route route = routeFor(name);
    MainRig rig;
    QAction* a = action(rig, name);
    QVERIFY(a);
    QVERIFY(a->isVisible() && a->isEnabled());
    route.arrange(rig);
    if (QTest::currentTestFailed())
        return;
    if (byKey) {
        QVERIFY(makeActive(rig));
        QSignalSpy fired(a, &QAction::triggered);
        // The key goes to whatever has the focus, as typing would.
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keySequence(focus, route.key);
        QCOMPARE(fired.size(), 1);
    } else {
        a->trigger();
    }
    route.check(rig);
    if (QTest::currentTestFailed())
        return;
    QString why;
    QVERIFY2(rig.layer.isClean(&why), qPrintable(why));
}

void TestMenus::hiddenItems_data()
{
    // What the item would run, so that the routing behind the hidden items is checked too.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stub");
    QTest::addColumn<QString>("printTitle");
    const QString none;
    QTest::newRow("Save All") << "mnuFileSaveAll"
                              << "Add 'mnuFileSaveAll_Click' code." << none;
    QTest::newRow("Properties") << "mnuFileProperties"
                                << "Add 'mnuFileProperties_Click' code." << none;
    QTest::newRow("Page Setup") << "mnuFilePageSetup" << none << "Page Setup";
    QTest::newRow("Print Preview") << "mnuFilePrintPreview"
                                   << "Add 'mnuFilePrintPreview_Click' code." << none;
    QTest::newRow("Print") << "mnuFilePrint" << none << "Print";
    QTest::newRow("Send") << "mnuFileSend"
                          << "Add 'mnuFileSend_Click' code." << none;
    QTest::newRow("MRU") << "mnuFileMRU" << none << none;
    QTest::newRow("Undo") << "mnuEditUndo"
                          << "Add 'mnuEditUndo_Click' code." << none;
    QTest::newRow("Cut") << "mnuEditCut" << none << none;
    QTest::newRow("Copy") << "mnuEditCopy" << none << none;
    QTest::newRow("Paste") << "mnuEditPaste" << none << none;
    QTest::newRow("Paste Special") << "mnuEditPasteSpecial"
                                   << "Add 'mnuEditPasteSpecial_Click' code." << none;
    QTest::newRow("Refresh") << "mnuViewRefresh"
                             << "Add 'mnuViewRefresh_Click' code." << none;
    QTest::newRow("Web Browser") << "mnuViewWebBrowser"
                                 << "Add 'mnuViewWebBrowser_Click' code." << none;
}

void TestMenus::hiddenItems()
{
    QFETCH(QString, name);
    QFETCH(QString, stub);
    QFETCH(QString, printTitle);
    MainRig rig;
    QAction* a = action(rig, name);
    QVERIFY(a);

    // Opening every menu (the Window menu rebuilds itself) and toggling the View items
    // leaves the hidden items hidden.
    for (QAction* m : rig.main->menuBar()->actions())
        emit m->menu()->aboutToShow();
    rig.main->mnuViewNetCntrl->trigger();
    rig.main->mnuViewStatusBar->trigger();
    QVERIFY(!a->isVisible());

    // A disabled item ignores even an explicit trigger (the recent-file slots have no
    // command to run).
    if (name != QLatin1String("mnuFileMRU")) {
        QSignalSpy fired(a, &QAction::triggered);
        a->trigger();
        QCOMPARE(fired.size(), 0);
        QVERIFY(rig.layer.messages.isEmpty());
        QVERIFY(rig.layer.printRequests.isEmpty());
    }

    // Were it ever enabled, it would run its own command and nothing else.
    if (!printTitle.isEmpty())
        rig.layer.answerPrint(false);
    a->setEnabled(true);
    a->trigger();
    QCOMPARE(rig.layer.takeMessages(), stub.isEmpty() ? QStringList() : QStringList{stub});
    QCOMPARE(rig.layer.printRequests, printTitle.isEmpty() ? QStringList() : QStringList{printTitle});
    for (const ScriptedWindowLayer::Message& m : rig.layer.messages)
        QCOMPARE(m.caption, QStringLiteral("Kolvane"));
    QCOMPARE(rig.net.lDocumentCount(), 1);
    QString why;
    QVERIFY2(rig.layer.isClean(&why), qPrintable(why));
}

void TestMenus::editingKeysStayWithTheFields()
{
    MainRig rig;
    QVERIFY(makeActive(rig));
    QSignalSpy cut(rig.main->mnuEditCut, &QAction::triggered);
    QSignalSpy copy(rig.main->mnuEditCopy, &QAction::triggered);
    QSignalSpy paste(rig.main->mnuEditPaste, &QAction::triggered);
    QApplication::clipboard()->clear();

    TextBox* from = rig.main->txtCntrlHandle;
    TextBox* to = rig.main->txtCntrlQTH;
    from->setFocus();
    from->setText(QStringLiteral("Fritz"));
    from->selectAll();
    QTest::keyClick(from, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Fritz"));
    QTest::keyClick(from, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(from->text(), QString());
    to->setFocus();
    QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(to->text(), QStringLiteral("Fritz"));

    QCOMPARE(cut.size(), 0);
    QCOMPARE(copy.size(), 0);
    QCOMPARE(paste.size(), 0);
}

void TestMenus::viewTogglesKeepMarkAndBarTogether_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Net Control") << "mnuViewNetCntrl";
    QTest::newRow("Status Bar") << "mnuViewStatusBar";
}

void TestMenus::viewTogglesKeepMarkAndBarTogether()
{
    QFETCH(QString, name);
    MainRig rig;
    QAction* a = action(rig, name);
    QWidget* bar = name == QLatin1String("mnuViewNetCntrl") ? static_cast<QWidget*>(rig.main->tbCntrl)
                                                            : static_cast<QWidget*>(rig.main->sbStatusBar);
    auto handler =
        name == QLatin1String("mnuViewNetCntrl") ? &frmMain::mnuViewNetCntrl_Click : &frmMain::mnuViewStatusBar_Click;
    QVERIFY(a->isChecked());
    QVERIFY(bar->isVisible());

    // By the menu and by the handler directly, several times over: the bar always follows.
    const QList<bool> viaMenu = {true, true, true, false, false, true, false};
    bool expected = true;
    for (bool menu : viaMenu) {
        if (menu)
            a->trigger();
        else
            (rig.main.get()->*handler)();
        expected = !expected;
        QCOMPARE(a->isChecked(), expected);
        QCOMPARE(bar->isVisible(), expected);
    }

    // The status line keeps its value while its bar is hidden, and the participant
    // windows and timers go on.
    if (!rig.main->mnuViewStatusBar->isChecked())
        rig.main->mnuViewStatusBar_Click();
    rig.main->mnuViewStatusBar_Click();
    QVERIFY(rig.main->sbStatusBar->isHidden());
    rig.main->setStatusText(QStringLiteral("Status: Saving session  "));
    rig.main->cmdIDTimer_Click();
    rig.main->AddParticipant();
    rig.main->mnuViewStatusBar_Click();
    QVERIFY(rig.main->sbStatusBar->isVisible());
    QCOMPARE(rig.main->statusText(), QStringLiteral("Status: Saving session  "));
    QCOMPARE(rig.main->sbPanel1->text(), QStringLiteral("Status: Saving session  "));
    QVERIFY(rig.main->timID->isActive());
    QCOMPARE(rig.net.lDocumentCount(), 2);
}

void TestMenus::menuShortcutsWinInTextFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("participant callsign") << "txtCallsign";
    QTest::newRow("participant QTH") << "txtQTH";
    QTest::newRow("net control handle") << "txtCntrlHandle";
    QTest::newRow("comments") << "txtComments";
    QTest::newRow("mode list") << "cmbMode";
}

void TestMenus::menuShortcutsWinInTextFields()
{
    QFETCH(QString, field);
    MainRig rig;
    QVERIFY(makeActive(rig));
    QWidget* target = nullptr;
    if (field == QLatin1String("txtCallsign"))
        target = rig.doc(1)->txtCallsign;
    else if (field == QLatin1String("txtQTH"))
        target = rig.doc(1)->txtQTH;
    else if (field == QLatin1String("txtCntrlHandle"))
        target = rig.main->txtCntrlHandle;
    else if (field == QLatin1String("txtComments"))
        target = rig.main->txtComments;
    else
        target = rig.main->cmbMode;
    target->setFocus();
    QCOMPARE(QApplication::focusWidget() == target || target->isAncestorOf(QApplication::focusWidget()), true);
    QWidget* focus = QApplication::focusWidget();

    // Ctrl+A means Add Participant here, not select-all.
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(rig.net.lDocumentCount(), 2);

    // The field still takes ordinary typing once the focus is back.
    target->setFocus();
    focus = QApplication::focusWidget();
    QTest::keyClicks(focus, QStringLiteral("w1aw"));
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        QVERIFY(line->text().contains(QStringLiteral("w1aw"), Qt::CaseInsensitive));
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        QVERIFY(plain->toPlainText().contains(QStringLiteral("w1aw")));

    // The other menu shortcuts are not held back either: Ctrl+N starts a new session.
    QTest::keyClick(focus, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(rig.net.lDocumentCount(), 1);
    QVERIFY(!rig.doc(2));
}

void TestMenus::shortcutsStayInTheirWindow()
{
    // A text field in another window keeps Ctrl+A as select-all.
    MainRig rig;
    QLineEdit other;
    other.setText(QStringLiteral("W1AW"));
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    other.setFocus();
    other.deselect();
    QTest::keyClick(&other, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(other.selectedText(), QStringLiteral("W1AW"));
    QCOMPARE(rig.net.lDocumentCount(), 1);
}

void TestMenus::windowListFollowsTheOpenWindows()
{
    MainRig rig;
    rig.addUpTo(4);
    rig.doc(2)->close();
    rig.doc(4)->showMinimized();
    rig.activate(3);

    auto entries = [&rig] {
        emit rig.main->mnuWindow->aboutToShow();
        QList<QAction*> out;
        bool after = false;
        for (QAction* a : rig.main->mnuWindow->actions()) {
            if (after && !a->isSeparator())
                out << a;
            if (a == rig.main->mnuWindowRestoreAll)
                after = true;
        }
        return out;
    };

    // Built anew each time the menu opens: no duplicates, closed windows gone.
    entries();
    QList<QAction*> list = entries();
    QStringList captions;
    QStringList checked;
    for (QAction* a : list) {
        captions << a->text();
        if (a->isChecked())
            checked << a->text();
    }
    QCOMPARE(captions, (QStringList{"Participant 1", "Participant 3", "Participant 4"}));
    QCOMPARE(checked, QStringList{"Participant 3"});
    // The menu's own items come first and stay.
    QCOMPARE(rig.main->mnuWindow->actions().first(), rig.main->mnuWindowAddParticipant);

    list[0]->trigger();
    QCOMPARE(rig.main->activeParticipant(), rig.doc(1));
    QCOMPARE(rig.state.iActiveDocument, qint16(1));

    // A window chosen while it is an icon comes back to be worked in.
    list = entries();
    list[2]->trigger();
    QCOMPARE(rig.main->activeParticipant(), rig.doc(4));
    QVERIFY(!rig.doc(4)->isMinimized());
    QCOMPARE(rig.state.iActiveDocument, qint16(4));

    // An entry whose window has closed since the menu opened does nothing.
    list = entries();
    rig.doc(3)->close();
    list[1]->trigger();
    QCOMPARE(rig.main->activeParticipant(), rig.doc(4));

    // With every window closed the list is empty.
    rig.doc(1)->close();
    rig.doc(4)->close();
    QVERIFY(entries().isEmpty());
}

void TestMenus::printNeedsAnActiveParticipant()
{
    MainRig rig;
    rig.main->txtFrequency->setText(QStringLiteral("3.985"));
    for (bool ok : {true, false}) {
        rig.layer.answerPrint(ok);
        rig.main->mnuFilePrint_Click();
    }
    QCOMPARE(rig.layer.printRequests, (QStringList{"Print", "Print"}));
    QCOMPARE(rig.main->txtFrequency->text(), QStringLiteral("3.985"));
    QCOMPARE(rig.main->statusText(), statusIdle());
    QCOMPARE(rig.net.lDocumentCount(), 1);

    // With no participant window open, nothing happens at all.
    rig.doc(1)->close();
    rig.main->mnuFilePrint_Click();
    rig.main->tbToolBar_ButtonClick(QStringLiteral("Print"));
    QCOMPARE(rig.layer.printRequests.size(), 2);
    QString why;
    QVERIFY2(rig.layer.isClean(&why), qPrintable(why));
}

void TestMenus::helpCaptionWhileAParticipantIsMaximised()
{
    MainRig rig;
    rig.addUpTo(2);
    rig.doc(2)->showMaximized();
    QVERIFY(rig.main->windowTitle().endsWith(QStringLiteral("[Participant 2]")));
    // A save or an open names the file while the window stays maximised.
    const QString file = QStringLiteral("Kolvane - /tmp/net.kvs");
    for (const QString& caption : {QStringLiteral("Kolvane"), file}) {
        if (caption == file)
            rig.main->setCaption(file);
        rig.main->mnuHelpContents_Click();
        rig.main->mnuHelpSearchForHelpOn_Click();
        QCOMPARE(rig.layer.messages.size(), 2);
        QCOMPARE(rig.layer.messages[0].caption, caption);
        QCOMPARE(rig.layer.messages[1].caption, caption);
        rig.layer.messages.clear();
    }
    rig.doc(2)->showNormal();
    QCOMPARE(rig.main->windowTitle(), file);
}

void TestMenus::toolbarLayout()
{
    MainRig rig;
    QToolBar* tb = rig.main->ensureToolBar();
    QVERIFY(tb);
    QCOMPARE(tb->objectName(), QStringLiteral("tbToolBar"));
    // Hidden from the start; showing the frame does not show it, nor can its menu.
    QVERIFY(rig.main->isVisible());
    QVERIFY(tb->isHidden());
    QVERIFY(!tb->toggleViewAction()->isVisible());
    QCOMPARE(rig.main->toolBarArea(tb), Qt::TopToolBarArea);

    const QStringList expected = {"New",
                                  "Open",
                                  "Save",
                                  "",
                                  "Print",
                                  "",
                                  "Cut",
                                  "Copy",
                                  "Paste",
                                  "",
                                  "Bold",
                                  "Italic",
                                  "Underline",
                                  "",
                                  "Align Left",
                                  "Center",
                                  "Align Right",
                                  "",
                                  "Sort Ascending",
                                  "Sort Descending"};
    const QList<QAction*> buttons = tb->actions();
    QCOMPARE(buttons.size(), 20);
    for (int i = 0; i < buttons.size(); ++i) {
        QAction* b = buttons[i];
        const QString key = expected[i];
        QVERIFY2(b->isSeparator() == key.isEmpty(), qPrintable(QString::number(i + 1)));
        if (key.isEmpty())
            continue;
        QCOMPARE(b->objectName(), key);
        QCOMPARE(b->toolTip(), key);
        QCOMPARE(b->data().toString(), key);
        QVERIFY(b->shortcut().isEmpty());
        QCOMPARE(b->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
                 rig.main->imlToolbarIcons->picture(key).toImage().convertToFormat(QImage::Format_ARGB32));
        QWidget* w = tb->widgetForAction(b);
        QVERIFY(w);
        QCOMPARE(w->size(), twips::size(609, 582));
    }
}

void TestMenus::toolbarDispatch_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("participantsAfter");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("fileDialog");
    QTest::addColumn<bool>("print");
    const QStringList none;
    QTest::newRow("New") << "New" << 2 << none << QString() << false;
    QTest::newRow("Open") << "Open" << 1 << none << "Open" << false;
    QTest::newRow("Save") << "Save" << 1 << none << "Save As" << false;
    QTest::newRow("Print") << "Print" << 1 << none << QString() << true;
    for (const char* quiet :
         {"Cut", "Copy", "Paste", "Bold", "Italic", "Underline", "Align Left", "Center", "Align Right"})
        QTest::newRow(quiet) << quiet << 1 << none << QString() << false;
    QTest::newRow("Sort Ascending") << "Sort Ascending" << 1 << QStringList{"Add 'Sort Ascending' button code."}
                                    << QString() << false;
    QTest::newRow("Sort Descending") << "Sort Descending" << 1 << QStringList{"Add 'Sort Descending' button code."}
                                     << QString() << false;
    // Keys that match nothing do nothing; the match is exact and case-sensitive.
    for (const char* stray : {"", "new", "NEW", " New", "New ", "Sort", "Sort ascending", "Exit", "mnuFileNew"})
        QTest::newRow(qPrintable(QStringLiteral("unknown '%1'").arg(QLatin1String(stray))))
            << stray << 1 << none << QString() << false;
}

void TestMenus::toolbarDispatch()
{
    QFETCH(QString, key);
    QFETCH(int, participantsAfter);
    QFETCH(QStringList, messages);
    QFETCH(QString, fileDialog);
    QFETCH(bool, print);
    MainRig rig;
    rig.main->txtFrequency->setText(QStringLiteral("14.300"));
    rig.doc(1)->txtCallsign->setText(QStringLiteral("K1ABC"));
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    if (!fileDialog.isEmpty())
        rig.layer.cancelFile();
    if (print)
        rig.layer.answerPrint(false);

    // A real button is clicked through its action; a stray key goes to the dispatch itself.
    QAction* button = nullptr;
    for (QAction* b : rig.main->ensureToolBar()->actions()) {
        if (!b->isSeparator() && b->objectName() == key)
            button = b;
    }
    if (button)
        button->trigger();
    else
        rig.main->tbToolBar_ButtonClick(key);

    QCOMPARE(rig.net.lDocumentCount(), participantsAfter);
    QCOMPARE(rig.layer.takeMessages(), messages);
    for (const ScriptedWindowLayer::Message& m : rig.layer.messages)
        QCOMPARE(m.caption, QStringLiteral("Kolvane"));
    QCOMPARE(rig.layer.fileRequests.size(), fileDialog.isEmpty() ? 0 : 1);
    if (!fileDialog.isEmpty())
        QCOMPARE(rig.layer.fileRequests[0].title, fileDialog);
    QCOMPARE(rig.layer.printRequests, print ? QStringList{"Print"} : QStringList());
    // Nothing else moves: header, first participant, clipboard, status line.
    QCOMPARE(rig.main->txtFrequency->text(), QStringLiteral("14.300"));
    QCOMPARE(rig.doc(1)->txtCallsign->text(), QStringLiteral("K1ABC"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clip"));
    QCOMPARE(rig.main->statusText(), statusIdle());
    QVERIFY(rig.main->tbToolBar->isHidden());
    QString why;
    QVERIFY2(rig.layer.isClean(&why), qPrintable(why));
}

void TestMenus::toolbarPictures()
{
    MainRig rig;
    rig.main->ensureToolBar();
    ImageList* iml = rig.main->imlToolbarIcons;
    QVERIFY(iml);
    QCOMPARE(iml->keys(),
             (QStringList{"New", "Open", "Save", "Print", "Cut", "Copy", "Paste", "Bold", "Italic", "Underline",
                          "Align Left", "Center", "Align Right", "Sort Ascending", "Sort Descending"}));
    QCOMPARE(iml->imageSize(), QSize(16, 16));
    QCOMPARE(iml->maskColor(), quint32(0x00C0C0C0));
    QVERIFY(iml->picture(QStringLiteral("Delete")).isNull());
    QVERIFY(iml->source(QStringLiteral("new")).isNull());

    QList<QImage> seen;
    for (const QString& key : iml->keys()) {
        const QImage drawn = iml->source(key).convertToFormat(QImage::Format_RGB32);
        const QImage shown = iml->picture(key).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(drawn.size(), QSize(16, 16));
        QCOMPARE(shown.size(), QSize(16, 16));
        QSet<QRgb> colours;
        int transparent = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb c = drawn.pixel(x, y) & 0xFFFFFF;
                colours << c;
                const bool mask = c == 0xC0C0C0;
                QVERIFY2((qAlpha(shown.pixel(x, y)) == 0) == mask, qPrintable(key));
                transparent += mask;
            }
        }
        QVERIFY2(colours.size() <= 16, qPrintable(key));
        // Each picture has a see-through background and something drawn on it.
        QVERIFY2(transparent > 16 && transparent < 256 - 16, qPrintable(key));
        QVERIFY2(!seen.contains(drawn), qPrintable(key + " looks like another picture"));
        seen << drawn;
    }

    // A list of another size scales what it is given and masks its own colour.
    ImageList big(QSize(32, 32), 0x000000FF);
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    red.setPixel(0, 0, qRgb(0, 0, 0));
    big.add(QStringLiteral("x"), red);
    const QImage out = big.picture(QStringLiteral("x")).toImage();
    QCOMPARE(out.size(), QSize(32, 32));
    QCOMPARE(qAlpha(out.pixel(31, 31)), 0);
    QCOMPARE(qAlpha(out.pixel(0, 0)), 255);
}

KOLVANE_TEST_MAIN(TestMenus)
#include "test_menus.moc"
