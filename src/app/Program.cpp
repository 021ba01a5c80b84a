#include "app/Program.h"

#include "app/AlwaysOnTop.h"
#include "dialogs/frmSplash.h"
#include "net/AppInfo.h"
#include "ui/Accessibility.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QIcon>

// The icon lives in this static library; naming its resource keeps the linker from
// dropping it.
static void initIconResource()
{
    Q_INIT_RESOURCE(kolvane);
}

namespace kolvane {

Program::Program(WindowLayer& layer) : m_layer(layer) {}

Program::~Program()
{
    delete m_splash.data();
}

void Program::Main()
{
    // Screen readers ask every text field of every window, dialogs included.
    installAccessibility();
    // The splash reads the title while it loads, so the title comes first.
    QCoreApplication::setApplicationName(appTitle());
    // The name of the installed launcher: Wayland compositors match windows to it by this
    // name (the launcher's icon, grouping in the dock).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kolvane.Kolvane"));
    // Every window takes the application's icon unless it sets its own, the splash included.
    initIconResource();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/%1x%1/kolvane.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    m_splash = new frmSplash(m_layer);
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    m_splash->show();
    SetTopMost(m_layer, m_splash, kTrue);
    m_layer.processPendingEvents();

    m_main = std::make_unique<frmMain>(m_state, m_layer);
    m_main->frmSplash = m_splash.data();
    m_main->Show();
    // Without a window manager nothing honours the on-top request; keep the splash above
    // the main window that opened after it all the same.
    if (m_splash && m_splash->isVisible())
        m_splash->raise();
}

frmSplash* Program::splash() const
{
    return m_splash.data();
}

}  // namespace kolvane
