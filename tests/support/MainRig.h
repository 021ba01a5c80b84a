#pragma once

#include "app/Commands.h"
#include "support/ScriptedWindowLayer.h"
#include "ui/Module1.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QDialog>
#include <QMdiArea>
#include <QTest>
#include <functional>
#include <memory>

namespace kolvane::test {

// A fresh main window on a fresh state and a scripted window layer, loaded the way
// start-up loads it: participant 1 open, focus parked.
struct MainRig {
    ScriptedWindowLayer layer;
    Net net;
    Module1 state;
    std::unique_ptr<frmMain> main;

    // With `regulars`, the callsign fields suggest from them and the file commands teach them.
    explicit MainRig(bool load = true, Regulars* regulars = nullptr)
    {
        state.regulars = regulars;
        main = std::make_unique<frmMain>(net, state, layer, &makeCommands);
        if (load)
            main->Show();
    }
    ~MainRig()
    {
        if (main)
            main->close();
    }
    frmDocument* doc(int n) const { return state.slot(n); }
    // Adds participants until `count` have been created since the last reset.
    void addUpTo(int count)
    {
        while (net.lDocumentCount() < count)
            main->AddParticipant();
    }
    // What a click on a participant's button does: activate the window, then the handler.
    void activate(int n) { main->mdiArea->setActiveSubWindow(doc(n)); }
    // Runs `command`, which shows a dialog modally, and closes the main window while the
    // dialog is up. True when the shutdown closed the dialog.
    bool shutdownWhileShowing(const std::function<void()>& command)
    {
        bool closed = false;
        layer.answerModal([&](QDialog* d) {
            const bool shown = d->isVisible();
            main->close();
            closed = shown && !d->isVisible();
        });
        command();
        return closed;
    }
};

}  // namespace kolvane::test
