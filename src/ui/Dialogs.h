#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

namespace kolvane {

class WindowLayer;

// A fixed-size dialog with a title bar and a close box but no minimise or maximise box.
constexpr Qt::WindowFlags kFixedDialogFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                              | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// Moves a top-level window so that it stands centred on the primary screen.
void centreOnScreen(QWidget* window);

// Shows a dialog made for this one showing modally, named in `slot` while it is up (the
// main window's shutdown closes what the slots name), then deletes it: every showing
// starts from scratch. `load` runs before the dialog shows, once the slot names it; `done`
// runs once it has closed, before it is deleted, to take its answer.
void showFreshModal(WindowLayer& layer, QPointer<QWidget>& slot, QDialog* dialog,
                    const std::function<void(QDialog*)>& load = {}, const std::function<void(QDialog*)>& done = {});

}  // namespace kolvane
