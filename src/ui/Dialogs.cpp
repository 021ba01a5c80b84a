#include "ui/Dialogs.h"

#include "ui/WindowLayer.h"

#include <QGuiApplication>
#include <QScreen>

namespace kolvane {

void centreOnScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = window->frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        window->move(r.topLeft());
    }
}

void showFreshModal(WindowLayer& layer, QPointer<QWidget>& slot, QDialog* dialog,
                    const std::function<void(QDialog*)>& load, const std::function<void(QDialog*)>& done)
{
    QPointer<QDialog> shown = dialog;
    slot = dialog;
    if (load)
        load(dialog);  // may let events run
    if (shown)
        layer.showModal(shown);
    if (shown && done)
        done(shown);
    delete shown.data();
}

}  // namespace kolvane
