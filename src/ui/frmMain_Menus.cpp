#include "ui/frmMain.h"

#include "ui/ImageList.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"
#include "ui/frmDocument.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace kolvane {

namespace {

// Marks the entries of the Window menu's list of open participant windows.
const char* const kWindowListEntry = "kolvaneWindowListEntry";

QAction* item(frmMain* owner, QMenu* menu, const char* name, const QString& caption,
              const QKeySequence& shortcut = QKeySequence(), bool shown = true, bool enabled = true)
{
    auto* a = new QAction(caption, owner);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(shortcut);
    // A hidden item is also disabled as a shortcut: Qt does not match the keys of an
    // invisible action, so Ctrl+X/C/V stay with the text fields.
    a->setVisible(shown);
    a->setEnabled(enabled);
    menu->addAction(a);
    return a;
}

QAction* bar(frmMain* owner, QMenu* menu, const char* name, bool shown = true)
{
    auto* a = new QAction(owner);
    a->setObjectName(QString::fromLatin1(name));
    a->setSeparator(true);
    a->setVisible(shown);
    menu->addAction(a);
    return a;
}

QMenu* topMenu(frmMain* owner, const char* name, const QString& caption)
{
    QMenu* m = owner->menuBar()->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    return m;
}

QKeySequence ctrl(Qt::Key key)
{
    return QKeySequence(Qt::CTRL | key);
}

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

void frmMain::createMenus()
{
    // ---- File
    mnuFile = topMenu(this, "mnuFile", QStringLiteral("&File"));
    mnuFileNew = item(this, mnuFile, "mnuFileNew", QStringLiteral("&New Session"), ctrl(Qt::Key_N));
    mnuFileOpen = item(this, mnuFile, "mnuFileOpen", QStringLiteral("&Open..."), ctrl(Qt::Key_O));
    mnuFileClose = item(this, mnuFile, "mnuFileClose", QStringLiteral("&Close"));
    mnuFileBar0 = bar(this, mnuFile, "mnuFileBar0");
    mnuFileSave = item(this, mnuFile, "mnuFileSave", QStringLiteral("&Save"), ctrl(Qt::Key_S));
    mnuFileSaveAs = item(this, mnuFile, "mnuFileSaveAs", QStringLiteral("Save &As..."));
    mnuFileSaveAll = item(this, mnuFile, "mnuFileSaveAll", QStringLiteral("Save A&ll"), {}, false, false);
    mnuFileBar1 = bar(this, mnuFile, "mnuFileBar1", false);
    mnuFileProperties = item(this, mnuFile, "mnuFileProperties", QStringLiteral("Propert&ies"), {}, false, false);
    mnuFileBar2 = bar(this, mnuFile, "mnuFileBar2", false);
    mnuFilePageSetup = item(this, mnuFile, "mnuFilePageSetup", QStringLiteral("Page Set&up..."), {}, false, false);
    mnuFilePrintPreview =
        item(this, mnuFile, "mnuFilePrintPreview", QStringLiteral("Print Pre&view"), {}, false, false);
    mnuFilePrint = item(this, mnuFile, "mnuFilePrint", QStringLiteral("&Print..."), {}, false, false);
    mnuFileBar3 = bar(this, mnuFile, "mnuFileBar3", false);
    mnuFileSend = item(this, mnuFile, "mnuFileSend", QStringLiteral("Sen&d..."), {}, false, false);
    mnuFileBar4 = bar(this, mnuFile, "mnuFileBar4", false);
    for (int i = 1; i <= 3; ++i) {
        mnuFileMRU[i] = item(this, mnuFile, "mnuFileMRU", QString(), {}, false);
        mnuFileMRU[i]->setProperty("index", i);
    }
    mnuFileBar5 = bar(this, mnuFile, "mnuFileBar5", false);
    mnuFileExit = item(this, mnuFile, "mnuFileExit", QStringLiteral("E&xit"));

    // ---- Edit
    mnuEdit = topMenu(this, "mnuEdit", QStringLiteral("&Edit"));
    mnuClearAll = item(this, mnuEdit, "mnuClearAll", QStringLiteral("Clear All"));
    mnuEditBar0 = bar(this, mnuEdit, "mnuEditBar0", false);
    mnuEditUndo = item(this, mnuEdit, "mnuEditUndo", QStringLiteral("&Undo"), {}, false, false);
    mnuEditCut = item(this, mnuEdit, "mnuEditCut", QStringLiteral("Cu&t"), ctrl(Qt::Key_X), false, false);
    mnuEditCopy = item(this, mnuEdit, "mnuEditCopy", QStringLiteral("&Copy"), ctrl(Qt::Key_C), false, false);
    mnuEditPaste = item(this, mnuEdit, "mnuEditPaste", QStringLiteral("&Paste"), ctrl(Qt::Key_V), false, false);
    mnuEditPasteSpecial =
        item(this, mnuEdit, "mnuEditPasteSpecial", QStringLiteral("Paste &Special..."), {}, false, false);

    // ---- View
    mnuView = topMenu(this, "mnuView", QStringLiteral("&View"));
    mnuViewNetCntrl = item(this, mnuView, "mnuViewNetCntrl", QStringLiteral("Net Contro&l"));
    mnuViewNetCntrl->setCheckable(true);
    mnuViewNetCntrl->setChecked(true);
    mnuViewStatusBar = item(this, mnuView, "mnuViewStatusBar", QStringLiteral("Status &Bar"));
    mnuViewStatusBar->setCheckable(true);
    mnuViewStatusBar->setChecked(true);
    mnuViewBar0 = bar(this, mnuView, "mnuViewBar0", false);
    mnuViewRefresh = item(this, mnuView, "mnuViewRefresh", QStringLiteral("&Refresh"), {}, false, false);
    mnuViewOptions = item(this, mnuView, "mnuViewOptions", QStringLiteral("&Options..."), {}, false, false);
    mnuViewWebBrowser = item(this, mnuView, "mnuViewWebBrowser", QStringLiteral("&Web Browser"), {}, false, false);

    // ---- Tools
    mnuTools = topMenu(this, "mnuTools", QStringLiteral("&Tools"));
    mnuToolsOptions = item(this, mnuTools, "mnuToolsOptions", QStringLiteral("&Options..."), {}, false, false);
    mnuToolsTransferNetControl =
        item(this, mnuTools, "mnuToolsTransferNetControl", QStringLiteral("&Transfer Net Control..."));

    // ---- Window
    mnuWindow = topMenu(this, "mnuWindow", QStringLiteral("&Window"));
    mnuWindowAddParticipant =
        item(this, mnuWindow, "mnuWindowAddParticipant", QStringLiteral("&Add Participant"), ctrl(Qt::Key_A));
    mnuWindowBar0 = bar(this, mnuWindow, "mnuWindowBar0");
    mnuWindowCascade = item(this, mnuWindow, "mnuWindowCascade", QStringLiteral("&Cascade"));
    mnuWindowTileHorizontal = item(this, mnuWindow, "mnuWindowTileHorizontal", QStringLiteral("Tile &Horizontal"));
    mnuWindowTileVertical = item(this, mnuWindow, "mnuWindowTileVertical", QStringLiteral("Tile &Vertical"));
    mnuWindowArrangeIcons = item(this, mnuWindow, "mnuWindowArrangeIcons", QStringLiteral("Arrange &Icons"));
    mnuWindowBar1 = bar(this, mnuWindow, "mnuWindowBar1");
    mnuWindowMinimizeAll = item(this, mnuWindow, "mnuWindowMinimizeAll", QStringLiteral("&Minimize All"));
    mnuWindowRestoreAll = item(this, mnuWindow, "mnuWindowRestoreAll", QStringLiteral("&Restore All"));
    connect(mnuWindow, &QMenu::aboutToShow, this, [this] { rebuildWindowList(*this); });

    // ---- Help
    mnuHelp = topMenu(this, "mnuHelp", QStringLiteral("&Help"));
    mnuHelpContents = item(this, mnuHelp, "mnuHelpContents", QStringLiteral("&Contents"));
    mnuHelpSearchForHelpOn = item(this, mnuHelp, "mnuHelpSearchForHelpOn", QStringLiteral("&Search For Help On..."));
    mnuHelpBar0 = bar(this, mnuHelp, "mnuHelpBar0");
    mnuHelpAbout = item(this, mnuHelp, "mnuHelpAbout", QStringLiteral("&About "));

    // ---- routing
    connect(mnuFileNew, &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(mnuFileClose, &QAction::triggered, this, &frmMain::mnuFileClose_Click);
    connect(mnuFileSave, &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    connect(mnuFileSaveAs, &QAction::triggered, this, &frmMain::mnuFileSaveAs_Click);
    connect(mnuFilePageSetup, &QAction::triggered, this, &frmMain::mnuFilePageSetup_Click);
    connect(mnuFilePrint, &QAction::triggered, this, &frmMain::mnuFilePrint_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(mnuClearAll, &QAction::triggered, this, &frmMain::mnuClearAll_Click);
    connect(mnuEditCut, &QAction::triggered, this, &frmMain::mnuEditCut_Click);
    connect(mnuEditCopy, &QAction::triggered, this, &frmMain::mnuEditCopy_Click);
    connect(mnuEditPaste, &QAction::triggered, this, &frmMain::mnuEditPaste_Click);
    connect(mnuViewOptions, &QAction::triggered, this, &frmMain::mnuViewOptions_Click);
    connect(mnuToolsOptions, &QAction::triggered, this, &frmMain::mnuToolsOptions_Click);
    connect(mnuToolsTransferNetControl, &QAction::triggered, this, &frmMain::mnuToolsTransferNetControl_Click);
    connect(mnuWindowAddParticipant, &QAction::triggered, this, &frmMain::AddParticipant);
    connect(mnuWindowCascade, &QAction::triggered, this, &frmMain::mnuWindowCascade_Click);
    connect(mnuWindowTileHorizontal, &QAction::triggered, this, &frmMain::mnuWindowTileHorizontal_Click);
    connect(mnuWindowTileVertical, &QAction::triggered, this, &frmMain::mnuWindowTileVertical_Click);
    connect(mnuWindowArrangeIcons, &QAction::triggered, this, &frmMain::mnuWindowArrangeIcons_Click);
    connect(mnuWindowMinimizeAll, &QAction::triggered, this, &frmMain::mnuWindowMinimizeAll_Click);
    connect(mnuWindowRestoreAll, &QAction::triggered, this, &frmMain::mnuWindowRestoreAll_Click);
    connect(mnuHelpContents, &QAction::triggered, this, &frmMain::mnuHelpContents_Click);
    connect(mnuHelpSearchForHelpOn, &QAction::triggered, this, &frmMain::mnuHelpSearchForHelpOn_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);

    // The View toggles invert their own mark; a checkable action has already flipped it
    // by the time it reports the click, so that flip is taken back first.
    connect(mnuViewNetCntrl, &QAction::triggered, this, [this] {
        mnuViewNetCntrl->setChecked(!mnuViewNetCntrl->isChecked());
        mnuViewNetCntrl_Click();
    });
    connect(mnuViewStatusBar, &QAction::triggered, this, [this] {
        mnuViewStatusBar->setChecked(!mnuViewStatusBar->isChecked());
        mnuViewStatusBar_Click();
    });

    const QList<QPair<QAction*, QString>> stubs = {
        {mnuFileSaveAll, QStringLiteral("Add 'mnuFileSaveAll_Click' code.")},
        {mnuFileProperties, QStringLiteral("Add 'mnuFileProperties_Click' code.")},
        {mnuFilePrintPreview, QStringLiteral("Add 'mnuFilePrintPreview_Click' code.")},
        {mnuFileSend, QStringLiteral("Add 'mnuFileSend_Click' code.")},
        {mnuEditUndo, QStringLiteral("Add 'mnuEditUndo_Click' code.")},
        {mnuEditPasteSpecial, QStringLiteral("Add 'mnuEditPasteSpecial_Click' code.")},
        {mnuViewRefresh, QStringLiteral("Add 'mnuViewRefresh_Click' code.")},
        {mnuViewWebBrowser, QStringLiteral("Add 'mnuViewWebBrowser_Click' code.")},
    };
    for (const auto& [action, text] : stubs)
        connect(action, &QAction::triggered, this, [this, text = text] { showStub(text); });

    qApp->installEventFilter(new MenuShortcutFilter(this));
}

// ---------------------------------------------------------------- toolbar

QToolBar* frmMain::ensureToolBar()
{
    if (tbToolBar)
        return tbToolBar;
    imlToolbarIcons = ImageList::toolbarIcons(this);
    imlToolbarIcons->setObjectName(QStringLiteral("imlToolbarIcons"));

    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(imlToolbarIcons->imageSize());
    tbToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    // Nothing shows this band: not even the frame's toolbar menu offers it.
    tbToolBar->toggleViewAction()->setVisible(false);
    tbToolBar->hide();
    // Its own row above the net panel.
    insertToolBar(tbCntrl, tbToolBar);
    insertToolBarBreak(tbCntrl);
    if (auto* more = tbToolBar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More toolbar buttons"));

    // Buttons in order; an empty key is a separator.
    static const char* const kButtons[] = {"New",
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
    const QSize buttonSize = twips::size(609, 582);
    for (const char* name : kButtons) {
        const QString key = QString::fromLatin1(name);
        if (key.isEmpty()) {
            tbToolBar->addSeparator();
            continue;
        }
        auto* button = new QAction(QIcon(imlToolbarIcons->picture(key)), key, tbToolBar);
        button->setObjectName(key);  // the button's key
        button->setToolTip(key);
        button->setData(key);  // the key of its picture in imlToolbarIcons
        tbToolBar->addAction(button);
        if (QWidget* w = tbToolBar->widgetForAction(button))
            w->setFixedSize(buttonSize);
        connect(button, &QAction::triggered, this, [this, button] { tbToolBar_ButtonClick(button->objectName()); });
    }
    return tbToolBar;
}

void frmMain::tbToolBar_ButtonClick(const QString& key)
{
    // The first exact match runs; a failing command ends the click quietly.
    using Command = void (*)(frmMain&);
    static const QList<QPair<QString, Command>> kDispatch = {
        {QStringLiteral("New"), [](frmMain& m) { m.AddParticipant(); }},
        {QStringLiteral("Open"), [](frmMain& m) { m.mnuFileOpen_Click(); }},
        {QStringLiteral("Save"), [](frmMain& m) { m.mnuFileSave_Click(); }},
        {QStringLiteral("Print"), [](frmMain& m) { m.mnuFilePrint_Click(); }},
        {QStringLiteral("Cut"), [](frmMain& m) { m.mnuEditCut_Click(); }},
        {QStringLiteral("Copy"), [](frmMain& m) { m.mnuEditCopy_Click(); }},
        {QStringLiteral("Paste"), [](frmMain& m) { m.mnuEditPaste_Click(); }},
        {QStringLiteral("Bold"), nullptr},
        {QStringLiteral("Italic"), nullptr},
        {QStringLiteral("Underline"), nullptr},
        {QStringLiteral("Align Left"), nullptr},
        {QStringLiteral("Center"), nullptr},
        {QStringLiteral("Align Right"), nullptr},
        {QStringLiteral("Sort Ascending"),
         [](frmMain& m) { m.showStub(QStringLiteral("Add 'Sort Ascending' button code.")); }},
        {QStringLiteral("Sort Descending"),
         [](frmMain& m) { m.showStub(QStringLiteral("Add 'Sort Descending' button code.")); }},
    };
    for (const auto& [name, command] : kDispatch) {
        if (name != key)
            continue;
        try {
            if (command)
                command(*this);
        } catch (...) {
        }
        return;
    }
}

// ---------------------------------------------------------------- menu commands

void frmMain::mnuViewNetCntrl_Click()
{
    mnuViewNetCntrl->setChecked(!mnuViewNetCntrl->isChecked());
    tbCntrl->setVisible(mnuViewNetCntrl->isChecked());
}

void frmMain::mnuViewStatusBar_Click()
{
    mnuViewStatusBar->setChecked(!mnuViewStatusBar->isChecked());
    sbStatusBar->setVisible(mnuViewStatusBar->isChecked());
}

// Cut, Copy and Paste of the menu leave the clipboard and the fields alone; the fields
// keep their own editing keys.
void frmMain::mnuEditCut_Click() {}
void frmMain::mnuEditCopy_Click() {}
void frmMain::mnuEditPaste_Click() {}

void frmMain::mnuFilePrint_Click()
{
    if (!activeParticipant())
        return;
    // 264 = a device context for the printer (&H100) and no page range (&H8). Nothing is
    // printed and the choice is not kept.
    layer().printDialog(this, QStringLiteral("Print"), 264);
}

void frmMain::mnuFilePageSetup_Click()
{
    layer().printDialog(this, QStringLiteral("Page Setup"), 0);
}

void frmMain::mnuFileExit_Click()
{
    close();
}

namespace {

// The program ships without a help file, so both help commands end here.
void showNoHelp(frmMain& main)
{
    main.layer().messageBox(
        &main, QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."),
        main.caption(), MessageIcon::Information);
}

}  // namespace

void frmMain::mnuHelpContents_Click()
{
    showNoHelp(*this);
}

void frmMain::mnuHelpSearchForHelpOn_Click()
{
    showNoHelp(*this);
}

}  // namespace kolvane
