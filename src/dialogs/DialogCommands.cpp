#include "dialogs/frmAbout.h"
#include "dialogs/frmOptions.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"

#include <QPointer>

namespace kolvane {

namespace {

// Shows a freshly built dialog modally, owned by the main window, with `slot` naming it
// while it is up (so the main window's shutdown can close it), then ends it: every
// showing starts from scratch.
template <typename Dialog>
void showFresh(frmMain& main, QPointer<QWidget>& slot)
{
    QPointer<Dialog> dialog = new Dialog(main.layer(), &main);
    slot = dialog.data();
    main.layer().showModal(dialog);
    delete dialog.data();
}

}  // namespace

// Help > About, View > Options and Tools > Options.
void frmMain::mnuHelpAbout_Click()
{
    showFresh<kolvane::frmAbout>(*this, frmAbout);
}

void frmMain::mnuViewOptions_Click()
{
    showFresh<kolvane::frmOptions>(*this, frmOptions);
}

void frmMain::mnuToolsOptions_Click()
{
    showFresh<kolvane::frmOptions>(*this, frmOptions);
}

}  // namespace kolvane
