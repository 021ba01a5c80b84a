#include "dialogs/DialogRouting.h"

#include "dialogs/frmAbout.h"
#include "dialogs/frmOptions.h"
#include "ui/Dialogs.h"
#include "ui/frmMain.h"

namespace kolvane {

void DialogRouting::showAbout()
{
    showFreshModal(m_main.layer(), m_main.frmAbout, new kolvane::frmAbout(m_main.layer(), &m_main));
}

void DialogRouting::showOptions()
{
    showFreshModal(m_main.layer(), m_main.frmOptions, new kolvane::frmOptions(m_main.layer(), &m_main));
}

}  // namespace kolvane
