#include "ui/MainMenus.h"

#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <variant>

namespace kolvane {

namespace {

// A member of frmMain that keeps a T.
template <typename T>
using MemberOf = T* frmMain::*;

// An item of a member array of frmMain: the recent-file slots mnuFileMRU(1) to (3).
struct ArrayItem {
    QAction* (frmMain::*array)[4];
    int index;

    friend constexpr bool operator==(const ArrayItem& a, const ArrayItem& b)
    {
        return a.array == b.array && a.index == b.index;
    }
};

// Where frmMain keeps what a row makes: a top menu, an item, or an item of an array.
using MenuMember = std::variant<MemberOf<QMenu>, MemberOf<QAction>, ArrayItem>;

struct State {
    bool shown;
    bool enabled;
    bool checked;  // a toggle, checked at start
};

constexpr State shown{true, true, false};
constexpr State shownChecked{true, true, true};
// A hidden item keeps no working shortcut: Qt does not match the keys of an invisible
// action, so Ctrl+X/C/V stay with the text fields.
constexpr State hidden{false, true, false};
constexpr State hiddenDisabled{false, false, false};

// What choosing an item runs; for a top menu, what happens when it opens.
struct Command {
    enum Kind { Nothing, Handler, Message, WindowList } kind;
    void (frmMain::*handler)();
    const char* message;  // for a message stub: the text, shown in a plain message box
};

constexpr Command runs(void (frmMain::*handler)())
{
    return {Command::Handler, handler, nullptr};
}

constexpr Command says(const char* message)
{
    return {Command::Message, nullptr, message};
}

constexpr Command nothing{Command::Nothing, nullptr, nullptr};
// The menu lists the open participant windows below its own items.
constexpr Command listsWindows{Command::WindowList, nullptr, nullptr};

constexpr int ctrl(Qt::Key key)
{
    return QKeyCombination(Qt::ControlModifier, key).toCombined();
}

constexpr int none = 0;

}  // namespace

struct MenuRow {
    MenuMember member;
    const char* name;     // the design name, the object's name
    const char* caption;  // "-" makes a separator
    int shortcut;         // a combined key, or none
    State state;
    Command command;
};

namespace {

// The menu bar, top menu by top menu: a menu row is followed by its items.
constexpr MenuRow kMenuTree[] = {
    {&frmMain::mnuFile, "mnuFile", "&File", none, shown, nothing},
    {&frmMain::mnuFileNew, "mnuFileNew", "&New Session", ctrl(Qt::Key_N), shown, runs(&frmMain::mnuFileNew_Click)},
    {&frmMain::mnuFileOpen, "mnuFileOpen", "&Open...", ctrl(Qt::Key_O), shown, runs(&frmMain::mnuFileOpen_Click)},
    {&frmMain::mnuFileClose, "mnuFileClose", "&Close", none, shown, runs(&frmMain::mnuFileClose_Click)},
    {&frmMain::mnuFileBar0, "mnuFileBar0", "-", none, shown, nothing},
    {&frmMain::mnuFileSave, "mnuFileSave", "&Save", ctrl(Qt::Key_S), shown, runs(&frmMain::mnuFileSave_Click)},
    {&frmMain::mnuFileSaveAs, "mnuFileSaveAs", "Save &As...", none, shown, runs(&frmMain::mnuFileSaveAs_Click)},
    {&frmMain::mnuFileSaveAll, "mnuFileSaveAll", "Save A&ll", none, hiddenDisabled,
     says("Add 'mnuFileSaveAll_Click' code.")},
    {&frmMain::mnuFileBar1, "mnuFileBar1", "-", none, hidden, nothing},
    {&frmMain::mnuFileProperties, "mnuFileProperties", "Propert&ies", none, hiddenDisabled,
     says("Add 'mnuFileProperties_Click' code.")},
    {&frmMain::mnuFileBar2, "mnuFileBar2", "-", none, hidden, nothing},
    {&frmMain::mnuFilePageSetup, "mnuFilePageSetup", "Page Set&up...", none, hiddenDisabled,
     runs(&frmMain::mnuFilePageSetup_Click)},
    {&frmMain::mnuFilePrintPreview, "mnuFilePrintPreview", "Print Pre&view", none, hiddenDisabled,
     says("Add 'mnuFilePrintPreview_Click' code.")},
    {&frmMain::mnuFilePrint, "mnuFilePrint", "&Print...", none, hiddenDisabled, runs(&frmMain::mnuFilePrint_Click)},
    {&frmMain::mnuFileBar3, "mnuFileBar3", "-", none, hidden, nothing},
    {&frmMain::mnuFileSend, "mnuFileSend", "Sen&d...", none, hiddenDisabled, says("Add 'mnuFileSend_Click' code.")},
    {&frmMain::mnuFileBar4, "mnuFileBar4", "-", none, hidden, nothing},
    {ArrayItem{&frmMain::mnuFileMRU, 1}, "mnuFileMRU", "", none, hidden, nothing},
    {ArrayItem{&frmMain::mnuFileMRU, 2}, "mnuFileMRU", "", none, hidden, nothing},
    {ArrayItem{&frmMain::mnuFileMRU, 3}, "mnuFileMRU", "", none, hidden, nothing},
    {&frmMain::mnuFileBar5, "mnuFileBar5", "-", none, hidden, nothing},
    {&frmMain::mnuFileExit, "mnuFileExit", "E&xit", none, shown, runs(&frmMain::mnuFileExit_Click)},

    {&frmMain::mnuEdit, "mnuEdit", "&Edit", none, shown, nothing},
    {&frmMain::mnuClearAll, "mnuClearAll", "Clear All", none, shown, runs(&frmMain::mnuClearAll_Click)},
    {&frmMain::mnuEditBar0, "mnuEditBar0", "-", none, hidden, nothing},
    {&frmMain::mnuEditUndo, "mnuEditUndo", "&Undo", none, hiddenDisabled, says("Add 'mnuEditUndo_Click' code.")},
    {&frmMain::mnuEditCut, "mnuEditCut", "Cu&t", ctrl(Qt::Key_X), hiddenDisabled, runs(&frmMain::mnuEditCut_Click)},
    {&frmMain::mnuEditCopy, "mnuEditCopy", "&Copy", ctrl(Qt::Key_C), hiddenDisabled, runs(&frmMain::mnuEditCopy_Click)},
    {&frmMain::mnuEditPaste, "mnuEditPaste", "&Paste", ctrl(Qt::Key_V), hiddenDisabled,
     runs(&frmMain::mnuEditPaste_Click)},
    {&frmMain::mnuEditPasteSpecial, "mnuEditPasteSpecial", "Paste &Special...", none, hiddenDisabled,
     says("Add 'mnuEditPasteSpecial_Click' code.")},

    {&frmMain::mnuView, "mnuView", "&View", none, shown, nothing},
    {&frmMain::mnuViewNetCntrl, "mnuViewNetCntrl", "Net Contro&l", none, shownChecked,
     runs(&frmMain::mnuViewNetCntrl_Click)},
    {&frmMain::mnuViewStatusBar, "mnuViewStatusBar", "Status &Bar", none, shownChecked,
     runs(&frmMain::mnuViewStatusBar_Click)},
    {&frmMain::mnuViewBar0, "mnuViewBar0", "-", none, hidden, nothing},
    {&frmMain::mnuViewRefresh, "mnuViewRefresh", "&Refresh", none, hiddenDisabled,
     says("Add 'mnuViewRefresh_Click' code.")},
    {&frmMain::mnuViewOptions, "mnuViewOptions", "&Options...", none, hiddenDisabled,
     runs(&frmMain::mnuViewOptions_Click)},
    {&frmMain::mnuViewWebBrowser, "mnuViewWebBrowser", "&Web Browser", none, hiddenDisabled,
     says("Add 'mnuViewWebBrowser_Click' code.")},

    {&frmMain::mnuTools, "mnuTools", "&Tools", none, shown, nothing},
    {&frmMain::mnuToolsOptions, "mnuToolsOptions", "&Options...", none, hiddenDisabled,
     runs(&frmMain::mnuToolsOptions_Click)},
    {&frmMain::mnuToolsTransferNetControl, "mnuToolsTransferNetControl", "&Transfer Net Control...", none, shown,
     runs(&frmMain::mnuToolsTransferNetControl_Click)},

    {&frmMain::mnuWindow, "mnuWindow", "&Window", none, shown, listsWindows},
    {&frmMain::mnuWindowAddParticipant, "mnuWindowAddParticipant", "&Add Participant", ctrl(Qt::Key_A), shown,
     runs(&frmMain::AddParticipant)},
    {&frmMain::mnuWindowBar0, "mnuWindowBar0", "-", none, shown, nothing},
    {&frmMain::mnuWindowCascade, "mnuWindowCascade", "&Cascade", none, shown, runs(&frmMain::mnuWindowCascade_Click)},
    {&frmMain::mnuWindowTileHorizontal, "mnuWindowTileHorizontal", "Tile &Horizontal", none, shown,
     runs(&frmMain::mnuWindowTileHorizontal_Click)},
    {&frmMain::mnuWindowTileVertical, "mnuWindowTileVertical", "Tile &Vertical", none, shown,
     runs(&frmMain::mnuWindowTileVertical_Click)},
    {&frmMain::mnuWindowArrangeIcons, "mnuWindowArrangeIcons", "Arrange &Icons", none, shown,
     runs(&frmMain::mnuWindowArrangeIcons_Click)},
    {&frmMain::mnuWindowBar1, "mnuWindowBar1", "-", none, shown, nothing},
    {&frmMain::mnuWindowMinimizeAll, "mnuWindowMinimizeAll", "&Minimize All", none, shown,
     runs(&frmMain::mnuWindowMinimizeAll_Click)},
    {&frmMain::mnuWindowRestoreAll, "mnuWindowRestoreAll", "&Restore All", none, shown,
     runs(&frmMain::mnuWindowRestoreAll_Click)},

    {&frmMain::mnuHelp, "mnuHelp", "&Help", none, shown, nothing},
    {&frmMain::mnuHelpContents, "mnuHelpContents", "&Contents", none, shown, runs(&frmMain::mnuHelpContents_Click)},
    {&frmMain::mnuHelpSearchForHelpOn, "mnuHelpSearchForHelpOn", "&Search For Help On...", none, shown,
     runs(&frmMain::mnuHelpSearchForHelpOn_Click)},
    {&frmMain::mnuHelpBar0, "mnuHelpBar0", "-", none, shown, nothing},
    {&frmMain::mnuHelpAbout, "mnuHelpAbout", "&About ", none, shown, runs(&frmMain::mnuHelpAbout_Click)},
};

constexpr bool isMenu(const MenuRow& row)
{
    return std::holds_alternative<MemberOf<QMenu>>(row.member);
}

constexpr bool isSeparator(const MenuRow& row)
{
    return row.caption[0] == '-' && row.caption[1] == '\0';
}

// Mistakes a table invites, refused while compiling: an item before any menu, one member
// kept by two rows (the other would stay null), two items on one key, a separator with a
// command, a key or a state it cannot have, a menu that runs a command, a toggle without a
// handler to follow its mark, a window list on an item, a slot outside its array.
constexpr bool wellFormed()
{
    if (!isMenu(kMenuTree[0]))
        return false;
    for (const MenuRow& row : kMenuTree) {
        const Command::Kind kind = row.command.kind;
        if (isMenu(row) && kind != Command::Nothing && kind != Command::WindowList)
            return false;
        if (!isMenu(row) && kind == Command::WindowList)
            return false;
        if (isSeparator(row)
            && (kind != Command::Nothing || row.shortcut != none || !row.state.enabled || row.state.checked))
            return false;
        if (row.state.checked && (kind != Command::Handler || isMenu(row)))
            return false;
        // A handler row names its handler, &frmMain::..., in runs(). (Comparing a member
        // function pointer with null is no constant expression once the sanitizers are on.)
        if (kind == Command::Message && !row.command.message)
            return false;
        // The array is indexed 1 to 3, as the recent-file slots are numbered.
        if (const auto* item = std::get_if<ArrayItem>(&row.member); item && (item->index < 1 || item->index > 3))
            return false;
    }
    for (const MenuRow& a : kMenuTree) {
        int times = 0;
        for (const MenuRow& b : kMenuTree) {
            times += a.member == b.member ? 1 : 0;
            if (&a != &b && a.shortcut != none && a.shortcut == b.shortcut)
                return false;
        }
        if (times != 1)
            return false;
    }
    return true;
}

static_assert(wellFormed(), "the menu table has a row that cannot be built as it stands");

// Marks the entries of the Window menu's list of open participant windows.
const char* const kWindowListEntry = "kolvaneWindowListEntry";

// The Window menu lists the open participant windows below its own items, the active one
// checked; choosing one brings it to the front. The list is built each time the menu opens.
void rebuildWindowList(frmMain& main)
{
    QMenu* menu = main.mnuWindow;
    const QList<QAction*> old = menu->actions();
    for (QAction* a : old) {
        if (a->property(kWindowListEntry).toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    }
    const QList<frmDocument*> open = main.openParticipants();
    if (open.isEmpty())
        return;
    auto* sep = menu->addSeparator();
    sep->setProperty(kWindowListEntry, true);
    frmDocument* active = main.activeParticipant();
    for (frmDocument* doc : open) {
        QString caption = doc->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = menu->addAction(caption);
        entry->setProperty(kWindowListEntry, true);
        entry->setCheckable(true);
        entry->setChecked(doc == active);
        QPointer<frmDocument> target = doc;
        QObject::connect(entry, &QAction::triggered, &main, [&main, target] {
            if (!target)
                return;
            // A window picked from the list is wanted on screen, not as an icon.
            if (target->isMinimized())
                target->showNormal();
            main.mdiArea->setActiveSubWindow(target);
        });
    }
}

// Text fields take Ctrl+A (select all) for themselves before any menu shortcut can see it.
// The menu's own visible shortcuts are the operator's commands, so inside this window they
// win over the focused widget; the editing keys (cut, copy, paste, undo) stay with it.
class MenuShortcutFilter : public QObject {
public:
    explicit MenuShortcutFilter(frmMain* main) : QObject(main), m_main(main) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != m_main)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)
            || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
            return false;
        const QKeySequence pressed(key->keyCombination().toCombined() & ~int(Qt::KeypadModifier));
        const auto actions = m_main->findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
        for (const QAction* a : actions) {
            if (a->isVisible() && a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == pressed) {
                // Unaccepted, the override lets the shortcut run.
                event->ignore();
                return true;
            }
        }
        return false;
    }

private:
    frmMain* m_main;
};

}  // namespace

void MainMenuBuilder::build()
{
    for (const MenuRow& row : kMenuTree) {
        if (isMenu(row))
            addMenu(row);
        else
            addItem(row);
    }
    qApp->installEventFilter(new MenuShortcutFilter(&m_main));
}

void MainMenuBuilder::addMenu(const MenuRow& row)
{
    m_menu = m_main.menuBar()->addMenu(QString::fromLatin1(row.caption));
    m_menu->setObjectName(QLatin1String(row.name));
    m_main.*std::get<MemberOf<QMenu>>(row.member) = m_menu;
    if (row.command.kind == Command::WindowList) {
        frmMain& main = m_main;
        QObject::connect(m_menu, &QMenu::aboutToShow, &main, [&main] { rebuildWindowList(main); });
    }
}

void MainMenuBuilder::addItem(const MenuRow& row)
{
    QAction* a = nullptr;
    if (isSeparator(row)) {
        a = new QAction(&m_main);
        a->setObjectName(QLatin1String(row.name));
        a->setSeparator(true);
        a->setVisible(row.state.shown);
    } else {
        a = new QAction(QString::fromLatin1(row.caption), &m_main);
        a->setObjectName(QLatin1String(row.name));
        if (row.shortcut != none)
            a->setShortcut(QKeySequence(row.shortcut));
        a->setVisible(row.state.shown);
        a->setEnabled(row.state.enabled);
    }
    m_menu->addAction(a);
    if (row.state.checked) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    if (const auto* item = std::get_if<ArrayItem>(&row.member)) {
        (m_main.*item->array)[item->index] = a;
        a->setProperty("index", item->index);
    } else {
        m_main.*std::get<MemberOf<QAction>>(row.member) = a;
    }
    route(a, row);
}

void MainMenuBuilder::route(QAction* action, const MenuRow& row)
{
    frmMain& main = m_main;
    const Command& command = row.command;
    switch (command.kind) {
    case Command::Handler:
        if (row.state.checked) {
            // A toggle's handler inverts the mark itself; a checkable action has already
            // flipped it by the time it reports the click, so that flip is taken back first.
            QObject::connect(action, &QAction::triggered, &main, [&main, action, handler = command.handler] {
                action->setChecked(!action->isChecked());
                (main.*handler)();
            });
        } else {
            QObject::connect(action, &QAction::triggered, &main, command.handler);
        }
        break;
    case Command::Message:
        QObject::connect(action, &QAction::triggered, &main,
                         [&main, text = command.message] { main.showStub(QString::fromLatin1(text)); });
        break;
    case Command::Nothing:
    case Command::WindowList:
        break;
    }
}

}  // namespace kolvane
