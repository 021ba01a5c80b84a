#include "ui/QtWindowLayer.h"

#include "net/AppInfo.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QThread>
#include <QWindow>

namespace kolvane {

namespace {

// Gives the keyboard back to the window that opened a dialog. A window manager does so by
// itself; without one (a bare X display) the keyboard stays with nobody once the dialog has
// gone, and then no menu shortcut works, Ctrl+S among them.
void giveActivationBack(QWidget* owner)
{
    // A popup the dialog left open keeps Qt in popup mode, which drops the owner's activation
    // when the system gives it: the file dialog's list of completions stays open after Enter
    // took a typed name. The owner then held the system's keyboard with Qt taking no window
    // for active, so its fields got no focus events (the caret rules, a screen reader) until
    // the operator went to another program and back.
    for (int left = 8; left > 0 && QApplication::activePopupWidget(); --left)
        QApplication::activePopupWidget()->close();
    if (!owner)
        return;
    QWidget* window = owner->window();
    if (!window->isVisible() || window->isActiveWindow())
        return;
    window->activateWindow();
    // The command that opened the dialog goes on only once the window has the keyboard
    // again (or after a short while, should the system never give it): the system may
    // deliver the activation a moment later, and Qt's MDI area must not see its windows
    // rebuilt in between (on Windows it crashed when a restored net was rebuilt there).
    QDeadlineTimer deadline(500);
    while (window->isVisible() && !window->isActiveWindow() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    // An activation that came while a popup was still open was taken by Qt's windows but not
    // by its widgets, and the system sends no second one: the window has the keyboard, so
    // the widgets take it for active as well.
    if (window->isVisible() && !window->isActiveWindow() && QGuiApplication::focusWindow() == window->windowHandle()) {
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        QApplication::setActiveWindow(window);
        QT_WARNING_POP
    }
}

}  // namespace

QString qtFilterFromPipes(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        const QString shown = QStringLiteral("(") + patterns + u')';
        // "All Files (*.kvs)" already names its pattern the way Qt reads it; adding it
        // again would show "All Files (*.kvs) (*.kvs)".
        out << (parts[i].endsWith(shown) ? parts[i] : parts[i] + u' ' + shown);
    }
    return out.join(QStringLiteral(";;"));
}

QMargins qtFrameMargins(const QWidget* window)
{
    const QRect inside = window->geometry();
    const QRect frame = window->frameGeometry();
    return QMargins(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                    frame.bottom() - inside.bottom());
}

QtWindowLayer::QtWindowLayer() : m_store(platform::machineConfigStore()) {}
QtWindowLayer::~QtWindowLayer() = default;

void QtWindowLayer::messageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
                    caption.isEmpty() ? appTitle() : caption, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    giveActivationBack(owner);
}

bool QtWindowLayer::question(QWidget* owner, const QString& text, const QString& accept, const QString& refuse)
{
    QMessageBox box(QMessageBox::Question, appTitle(), text, QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(refuse, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    giveActivationBack(owner);
    return box.clickedButton() == yes;
}

std::optional<QString> QtWindowLayer::openFileName(QWidget* owner, const QString& title, const QString& filter)
{
    std::optional<QString> chosen;
    {
        QFileDialog dlg(owner, title, QString(), qtFilterFromPipes(filter));
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::AnyFile);  // the file need not exist
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            chosen = dlg.selectedFiles().constFirst();
    }  // gone first: while it lingers, its list of completions may open again
    giveActivationBack(owner);
    return chosen;
}

std::optional<QString> QtWindowLayer::saveFileName(QWidget* owner, const QString& title, const QString& filter,
                                                   const QString& defaultSuffix)
{
    std::optional<QString> chosen;
    {
        QFileDialog dlg(owner, title, QString(), qtFilterFromPipes(filter));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
        // Qt's own dialog and the native ones (the Windows dialog's default extension) alike;
        // the name is seen to once more afterwards, for a platform's dialog that leaves it out.
        dlg.setDefaultSuffix(defaultSuffix);
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            chosen = withDefaultSuffix(dlg.selectedFiles().constFirst(), defaultSuffix);
    }  // gone first, as in openFileName
    giveActivationBack(owner);
    return chosen;
}

QString withDefaultSuffix(const QString& path, const QString& suffix)
{
    const QFileInfo typed(path);
    if (suffix.isEmpty() || path.isEmpty() || typed.isDir() || typed.fileName().contains(u'.'))
        return path;
    return path + u'.' + suffix;
}

bool QtWindowLayer::printDialog(QWidget* owner, const QString& title, int flags)
{
    QPrinter printer;
    QPrintDialog dlg(&printer, owner);
    dlg.setWindowTitle(title);
    if (flags & 0x8)  // no page range
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    const bool accepted = dlg.exec() == QDialog::Accepted;
    giveActivationBack(owner);
    return accepted;
}

void QtWindowLayer::processPendingEvents()
{
    // Painting, timer ticks and queued work run; keys, clicks and close requests wait until
    // the command that yields here has finished, so no second command can start in the
    // middle of the first one and pull its windows away from under it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

qint32 QtWindowLayer::setTopMost(QWidget* window, bool onTop)
{
    if (!window)
        return 0;
    if (const std::optional<qint32> answer = platform::setTopMost(window, onTop))
        return *answer;
    // On a window that exists on screen, change the flag in place: QWidget::setWindowFlag
    // would hide it (and re-showing a window that is closing would bring it back).
    if (QWindow* handle = window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
    else
        window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    return 1;
}

QMargins QtWindowLayer::frameMargins(QWidget* window)
{
    if (const std::optional<QMargins> whole = platform::frameMargins(window))
        return *whole;
    return qtFrameMargins(window);
}

void QtWindowLayer::showModal(QDialog* dialog)
{
    const QPointer<QWidget> owner = dialog->parentWidget();
    dialog->exec();
    giveActivationBack(owner);
}

QString QtWindowLayer::loginName()
{
    return platform::loginName();
}

ConfigStore& QtWindowLayer::configStore()
{
    return *m_store;
}

bool QtWindowLayer::fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

bool QtWindowLayer::startProgram(const QString& path)
{
    return QProcess::startDetached(path, QStringList());
}

}  // namespace kolvane
