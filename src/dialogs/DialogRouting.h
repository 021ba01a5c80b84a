#pragma once

#include "ui/MainCommands.h"

namespace kolvane {

class frmMain;

// Help > About, View > Options and Tools > Options: each shows its dialog afresh, modally,
// owned by the main window.
class DialogRouting : public DialogCommands {
public:
    explicit DialogRouting(frmMain& main) : m_main(main) {}
    void showAbout() override;
    void showOptions() override;

private:
    frmMain& m_main;
};

}  // namespace kolvane
