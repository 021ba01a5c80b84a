// The menus and the net panel are made from tables. A row that leaves its member empty,
// names its object otherwise, puts it in another place, or runs another row's command shows
// here; the menu and start-up suites check what the items and controls are and do.
#include "files/FileRig.h"
#include "support/MainRig.h"
#include "support/TestMain.h"

#include "ui/Controls.h"
#include "ui/Twips.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <iterator>

using namespace kolvane;
using namespace kolvane::test;

// A member of the main window that holds a menu, an item or a control of the net panel.
using MenuMemberOf = QObject* (*)(frmMain&);
using ControlOf = QWidget* (*)(frmMain&);
Q_DECLARE_METATYPE(MenuMemberOf)
Q_DECLARE_METATYPE(ControlOf)

namespace {

// The member's own name is the design name its object must carry.
#define MENU_MEMBER(member)                                                                                            \
    QTest::newRow(#member) << QStringLiteral(#member) << MenuMemberOf([](frmMain& m) -> QObject* { return m.member; }) \
                           << 0
#define RECENT_FILE(i)                                                                                                 \
    QTest::newRow("mnuFileMRU(" #i ")") << QStringLiteral("mnuFileMRU")                                                \
                                        << MenuMemberOf([](frmMain& m) -> QObject* { return m.mnuFileMRU[i]; }) << i
#define CONTROL(member) #member, ControlOf([](frmMain& m) -> QWidget* { return m.member; })

// The controls of the net panel: where each lies, and what a screen reader calls it.
struct PanelControl {
    const char* name;
    ControlOf control;
    QRect twipsRect;  // left, top, width, height inside the panel
    bool sizedToCaption;
    const char* spokenName;
};

const PanelControl kPanelControls[] = {
    {CONTROL(cmdStart), QRect(15, 45, 465, 225), false, "Start"},
    {CONTROL(txtStart), QRect(585, 45, 3285, 225), false, "Start time"},
    {CONTROL(cmdStop), QRect(15, 345, 465, 225), false, "Stop"},
    {CONTROL(txtStop), QRect(585, 345, 3285, 225), false, "Stop time"},
    {CONTROL(Label1), QRect(135, 705, 360, 195), true, "Freq:"},
    {CONTROL(txtFrequency), QRect(585, 675, 870, 285), false, "Frequency"},
    {CONTROL(Label2), QRect(1590, 705, 450, 195), true, "Mode:"},
    {CONTROL(cmbMode), QRect(2100, 660, 1020, 315), false, "Mode"},
    {CONTROL(Label3), QRect(3990, 45, 585, 195), true, "Callsign:"},
    {CONTROL(txtCntrlCall), QRect(4650, 30, 900, 285), false, "Callsign"},
    {CONTROL(Label4), QRect(4020, 375, 555, 195), true, "Handle:"},
    {CONTROL(txtCntrlHandle), QRect(4650, 360, 900, 285), false, "Handle"},
    {CONTROL(Label5), QRect(4185, 705, 390, 195), true, "QTH:"},
    {CONTROL(txtCntrlQTH), QRect(4650, 695, 900, 285), false, "QTH"},
    {CONTROL(Label11), QRect(5655, 150, 795, 195), true, "Add Prtcpt:"},
    {CONTROL(cmdAddParticipant), QRect(6630, 150, 255, 195), false, "Add participant"},
    {CONTROL(Label9), QRect(5805, 510, 645, 195), true, "ID Timer:"},
    {CONTROL(lblIDTimer), QRect(5790, 705, 645, 210), false, "ID timer 00:00"},
    {CONTROL(shpIDTimer), QRect(6600, 600, 315, 255), false, ""},
    {CONTROL(cmdIDTimer), QRect(6630, 630, 255, 195), false, "ID timer start/stop"},
    {CONTROL(txtComments), QRect(7185, 75, 3885, 870), false, "Comments"},
    {CONTROL(txtGirlFriend), QRect(-210, 705, 150, 285), false, "Net panel"},
};

// Where a menu item is in the menu bar: which menu, at which position; (-1, -1) if nowhere.
QPair<int, int> placeInMenuBar(frmMain& main, QAction* item)
{
    const QList<QAction*> menus = main.menuBar()->actions();
    for (int m = 0; m < menus.size(); ++m) {
        if (const int i = menus[m]->menu() ? int(menus[m]->menu()->actions().indexOf(item)) : -1; i >= 0)
            return {m, i};
    }
    return {-1, -1};
}

}  // namespace

class TestComposition : public QObject {
    Q_OBJECT

private slots:
    void menuMembersAreTheNamedMenusAndItems_data();
    void menuMembersAreTheNamedMenusAndItems();
    void saveItemsRunTheirOwnCommand_data();
    void saveItemsRunTheirOwnCommand();
    void panelControlsAreNamedAndInPlace_data();
    void panelControlsAreNamedAndInPlace();
    void panelHoldsItsControlsAndNothingElse();
};

void TestComposition::menuMembersAreTheNamedMenusAndItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<MenuMemberOf>("member");
    QTest::addColumn<int>("recentFile");  // 1 to 3 for the recent-file slots, else 0
    MENU_MEMBER(mnuFile);
    MENU_MEMBER(mnuFileNew);
    MENU_MEMBER(mnuFileOpen);
    MENU_MEMBER(mnuFileClose);
    MENU_MEMBER(mnuFileBar0);
    MENU_MEMBER(mnuFileSave);
    MENU_MEMBER(mnuFileSaveAs);
    MENU_MEMBER(mnuFileSaveAll);
    MENU_MEMBER(mnuFileBar1);
    MENU_MEMBER(mnuFileProperties);
    MENU_MEMBER(mnuFileBar2);
    MENU_MEMBER(mnuFilePageSetup);
    MENU_MEMBER(mnuFilePrintPreview);
    MENU_MEMBER(mnuFilePrint);
    MENU_MEMBER(mnuFileBar3);
    MENU_MEMBER(mnuFileSend);
    MENU_MEMBER(mnuFileBar4);
    RECENT_FILE(1);
    RECENT_FILE(2);
    RECENT_FILE(3);
    MENU_MEMBER(mnuFileBar5);
    MENU_MEMBER(mnuFileExit);
    MENU_MEMBER(mnuEdit);
    MENU_MEMBER(mnuClearAll);
    MENU_MEMBER(mnuEditBar0);
    MENU_MEMBER(mnuEditUndo);
    MENU_MEMBER(mnuEditCut);
    MENU_MEMBER(mnuEditCopy);
    MENU_MEMBER(mnuEditPaste);
    MENU_MEMBER(mnuEditPasteSpecial);
    MENU_MEMBER(mnuView);
    MENU_MEMBER(mnuViewNetCntrl);
    MENU_MEMBER(mnuViewStatusBar);
    MENU_MEMBER(mnuViewBar0);
    MENU_MEMBER(mnuViewRefresh);
    MENU_MEMBER(mnuViewOptions);
    MENU_MEMBER(mnuViewWebBrowser);
    MENU_MEMBER(mnuTools);
    MENU_MEMBER(mnuToolsOptions);
    MENU_MEMBER(mnuToolsTransferNetControl);
    MENU_MEMBER(mnuWindow);
    MENU_MEMBER(mnuWindowAddParticipant);
    MENU_MEMBER(mnuWindowBar0);
    MENU_MEMBER(mnuWindowCascade);
    MENU_MEMBER(mnuWindowTileHorizontal);
    MENU_MEMBER(mnuWindowTileVertical);
    MENU_MEMBER(mnuWindowArrangeIcons);
    MENU_MEMBER(mnuWindowBar1);
    MENU_MEMBER(mnuWindowMinimizeAll);
    MENU_MEMBER(mnuWindowRestoreAll);
    MENU_MEMBER(mnuHelp);
    MENU_MEMBER(mnuHelpContents);
    MENU_MEMBER(mnuHelpSearchForHelpOn);
    MENU_MEMBER(mnuHelpBar0);
    MENU_MEMBER(mnuHelpAbout);
}

void TestComposition::menuMembersAreTheNamedMenusAndItems()
{
    QFETCH(QString, name);
    QFETCH(MenuMemberOf, member);
    QFETCH(int, recentFile);
    MainRig rig;
    frmMain& main = *rig.main;
    QObject* object = member(main);
    QVERIFY2(object, "the member was left empty");
    QCOMPARE(object->objectName(), name);

    if (auto* menu = qobject_cast<QMenu*>(object)) {
        // A top menu of the bar, and the one of that name.
        QVERIFY(main.menuBar()->actions().contains(menu->menuAction()));
        QCOMPARE(main.menuBar()->findChild<QMenu*>(name, Qt::FindDirectChildrenOnly), menu);
        return;
    }
    auto* item = qobject_cast<QAction*>(object);
    QVERIFY(item);
    // The handlers and the shortcut filter reach the items as the window's own actions.
    QCOMPARE(item->parent(), &main);
    const QPair<int, int> place = placeInMenuBar(main, item);
    QVERIFY2(place.first >= 0, "the item is in no menu");
    const QList<QAction*> named = main.findChildren<QAction*>(name, Qt::FindDirectChildrenOnly);
    if (recentFile == 0) {
        QCOMPARE(named, QList<QAction*>{item});
        return;
    }
    // The recent-file slots share their name: slot i is the i-th of them, with index i.
    QCOMPARE(named.size(), 3);
    QCOMPARE(item->property("index").toInt(), recentFile);
    const QPair<int, int> first = placeInMenuBar(main, main.mnuFileMRU[1]);
    QCOMPARE(place, qMakePair(first.first, first.second + recentFile - 1));
}

void TestComposition::saveItemsRunTheirOwnCommand_data()
{
    // Without a file name both ask for one, so they are told apart on a session that has one.
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asksForAName");
    QTest::newRow("Save") << "mnuFileSave" << false;
    QTest::newRow("Save As") << "mnuFileSaveAs" << true;
}

void TestComposition::saveItemsRunTheirOwnCommand()
{
    QFETCH(QString, name);
    QFETCH(bool, asksForAName);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("net.kvs"));
    MainRig rig;
    typeHeader(*rig.main);
    rig.net.setSessionFileName(file);
    if (asksForAName)
        rig.layer.cancelFile();
    QAction* item = rig.main->findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(item);
    item->trigger();
    QCOMPARE(rig.layer.fileRequests.size(), asksForAName ? 1 : 0);
    if (asksForAName)
        QCOMPARE(rig.layer.fileRequests[0].title, QStringLiteral("Save As"));
    QCOMPARE(QFile::exists(file), !asksForAName);
    QString why;
    QVERIFY2(rig.layer.isClean(&why), qPrintable(why));
}

void TestComposition::panelControlsAreNamedAndInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<ControlOf>("control");
    QTest::addColumn<QRect>("twipsRect");
    QTest::addColumn<bool>("sizedToCaption");
    QTest::addColumn<QString>("spokenName");
    for (const PanelControl& c : kPanelControls)
        QTest::newRow(c.name) << QString::fromLatin1(c.name) << c.control << c.twipsRect << c.sizedToCaption
                              << QString::fromLatin1(c.spokenName);
}

void TestComposition::panelControlsAreNamedAndInPlace()
{
    QFETCH(QString, name);
    QFETCH(ControlOf, control);
    QFETCH(QRect, twipsRect);
    QFETCH(bool, sizedToCaption);
    QFETCH(QString, spokenName);
    MainRig rig;
    frmMain& main = *rig.main;
    QWidget* w = control(main);
    QVERIFY2(w, "the member was left empty");
    QCOMPARE(w->objectName(), name);
    QCOMPARE(w->parentWidget(), main.Frame1);
    QCOMPARE(main.Frame1->findChildren<QWidget*>(name, Qt::FindDirectChildrenOnly), QList<QWidget*>{w});

    const QRect expected = twips::rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height());
    if (sizedToCaption) {
        // A label sized to its caption keeps its top, and its left edge or, when it grew,
        // its right edge, so that it never runs into the field it names.
        QCOMPARE(w->y(), expected.y());
        QVERIFY2(w->x() == expected.x() || w->geometry().right() == expected.right(),
                 qPrintable(QStringLiteral("at x %1 to %2").arg(w->x()).arg(w->geometry().right())));
    } else {
        QCOMPARE(w->geometry(), expected);
    }
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(w);
    QVERIFY(spoken);
    QCOMPARE(spoken->text(QAccessible::Name), spokenName);
}

void TestComposition::panelHoldsItsControlsAndNothingElse()
{
    MainRig rig;
    frmMain& main = *rig.main;
    QVERIFY(main.tbCntrl);
    QCOMPARE(main.tbCntrl->objectName(), QStringLiteral("tbCntrl"));
    QVERIFY(main.Frame1);
    QCOMPARE(main.Frame1->objectName(), QStringLiteral("Frame1"));
    QCOMPARE(main.Frame1->geometry(), twips::rect(45, 15, 11490, 1035));
    // The panel lies in the band that View > Net Control hides and shows.
    QVERIFY(main.tbCntrl->isAncestorOf(main.Frame1));
    // With each control of the list in the panel once (checked above), a control made
    // twice or one too many shows in the count.
    const QList<QWidget*> controls = main.Frame1->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), int(std::size(kPanelControls)));
}

KOLVANE_TEST_MAIN(TestComposition)
#include "test_composition.moc"
