#include "ui/frmMain.h"

#include "ui/ImageList.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"

#include <QAction>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace kolvane {

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
