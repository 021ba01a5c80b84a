#include "ui/frmMain.h"

// The menu commands whose work lives in their own folders: the session file commands and
// the transfer (files/commands), and the auxiliary dialogs (dialogs).

namespace kolvane {

void frmMain::SaveSessionFile()
{
    m_commands.files->SaveSessionFile();
}

void frmMain::LoadSessionFile()
{
    m_commands.files->LoadSessionFile();
}

void frmMain::mnuFileOpen_Click()
{
    m_commands.files->mnuFileOpen_Click();
}

void frmMain::mnuFileSave_Click()
{
    m_commands.files->mnuFileSave_Click();
}

void frmMain::mnuFileSaveAs_Click()
{
    m_commands.files->mnuFileSaveAs_Click();
}

void frmMain::mnuFileClose_Click()
{
    m_commands.files->mnuFileClose_Click();
}

void frmMain::mnuToolsTransferNetControl_Click()
{
    m_commands.files->mnuToolsTransferNetControl_Click();
}

void frmMain::TransferFileSaveAs()
{
    m_commands.files->TransferFileSaveAs();
}

void frmMain::mnuHelpAbout_Click()
{
    m_commands.dialogs->showAbout();
}

void frmMain::mnuViewOptions_Click()
{
    m_commands.dialogs->showOptions();
}

void frmMain::mnuToolsOptions_Click()
{
    m_commands.dialogs->showOptions();
}

}  // namespace kolvane
