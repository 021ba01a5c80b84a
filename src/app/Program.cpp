#include "app/Program.h"

#include "app/Commands.h"
#include "dialogs/frmSplash.h"
#include "files/RecoveryCopy.h"
#include "files/RosterFile.h"
#include "files/RosterStore.h"
#include "files/commands/RecoveryOffer.h"
#include "net/AppInfo.h"
#include "ui/Accessibility.h"
#include "ui/AlwaysOnTop.h"
#include "ui/CachingStyle.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

// The icon lives in this static library; naming its resource keeps the linker from
// dropping it.
static void initIconResource()
{
    Q_INIT_RESOURCE(kolvane);
}

namespace kolvane {

namespace {

// How long after the main window's show the roster is read.
constexpr int kRosterDelayMs = 200;

// The application icon in the sizes the resources hold, each decoded when a size is first
// asked for: a start-up shows one or two of them, and decoding all would slow it.
class ResourceIconEngine : public QIconEngine {
public:
    explicit ResourceIconEngine(QList<int> sizes) : m_sizes(std::move(sizes)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        Q_UNUSED(state);
        // The smallest picture at least as large as asked, else the largest; scaled down to fit.
        int pick = m_sizes.last();
        for (int s : m_sizes) {
            if (s >= size.width() && s >= size.height()) {
                pick = s;
                break;
            }
        }
        QPixmap pm = source(pick);
        if (pm.width() > size.width() || pm.height() > size.height())
            pm = pm.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode != QIcon::Normal) {
            QStyleOption opt;
            opt.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &opt);
        }
        return pm;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> out;
        for (int s : m_sizes)
            out << QSize(s, s);
        return out;
    }
    QIconEngine* clone() const override { return new ResourceIconEngine(*this); }
    QString key() const override { return QStringLiteral("kolvane-resource"); }

private:
    QPixmap source(int size)
    {
        auto it = m_decoded.find(size);
        if (it == m_decoded.end())
            it = m_decoded.insert(size, QPixmap(QStringLiteral(":/icons/%1x%1/kolvane.png").arg(size)));
        return *it;
    }

    QList<int> m_sizes;
    QHash<int, QPixmap> m_decoded;
};

}  // namespace

Program::Program(WindowLayer& layer, const QString& recoveryFolder, const QString& rosterPath)
    : m_layer(layer), m_recoveryFolder(recoveryFolder.isEmpty() ? defaultRecoveryFolder() : recoveryFolder),
      m_rosterPath(rosterPath)
{
    m_state.regulars = &m_regulars;
}

Program::~Program()
{
    m_recovery.reset();
    m_rosterStore.reset();  // what was learnt reaches the file
    delete m_splash.data();
}

void Program::afterSplash(const std::function<void()>& step)
{
    // Once the splash has gone, and once the main window has the keyboard (or after two
    // seconds, should the system never give it): the system may activate the window only
    // after the splash has gone, and Qt's MDI area must not see its windows rebuilt before
    // that. Never while a command or a window's activation handling lets events run: the
    // step may close windows that Qt is still activating further up (on Windows a restore
    // started there deleted Participant 1 in the middle of its activation).
    const auto run = [this, step] {
        if (!m_main || !m_main->isVisible())
            return;
        if (!m_main->isActiveWindow())
            m_main->activateWindow();
        auto* waiting = new QTimer(m_main.get());
        waiting->setInterval(20);
        const QDeadlineTimer deadline(2000);
        QObject::connect(waiting, &QTimer::timeout, m_main.get(), [this, step, waiting, deadline] {
            if (m_main->isBusy())
                return;
            if (m_main->isVisible() && !m_main->isActiveWindow() && !deadline.hasExpired())
                return;
            waiting->deleteLater();
            waiting->stop();
            if (m_main->isVisible())
                step();
        });
        waiting->start();
    };
    if (m_splash)
        QObject::connect(m_splash, &QObject::destroyed, m_main.get(), run, Qt::QueuedConnection);
    else
        QTimer::singleShot(0, m_main.get(), run);
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
    QApplication::setWindowIcon(QIcon(new ResourceIconEngine({16, 32, 48, 64})));
    // The program's style, with the pictures every participant window repeats drawn once.
    QApplication::setStyle(new CachingStyle(baseStyleName()));

    m_splash = new frmSplash(m_layer);
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    m_splash->show();
    SetTopMost(m_layer, m_splash, kTrue);
    m_layer.processPendingEvents();

    m_main = std::make_unique<frmMain>(m_net, m_state, m_layer, &makeCommands);
    m_main->frmSplash = m_splash.data();
    m_main->Show();
    // A window manager gives the new window the keyboard; without one (a bare X display)
    // nothing would until the operator clicks into it.
    if (!m_main->isActiveWindow())
        m_main->activateWindow();
    // Without a window manager nothing honours the on-top request; keep the splash above
    // the main window that opened after it all the same.
    if (m_splash && m_splash->isVisible())
        m_splash->raise();

    // From here on the net is kept on disk as it changes. When the window closes, the copy
    // is written once more and kept only if it holds something unsaved.
    m_recovery = std::make_unique<RecoveryCopy>(m_net, m_recoveryFolder);
    QObject::connect(m_recovery.get(), &RecoveryCopy::notKept, m_main.get(), [this](const QString& message) {
        afterSplash([this, message] { m_layer.messageBox(m_main.get(), message); });
    });
    QObject::connect(m_main.get(), &frmMain::closing, m_recovery.get(), &RecoveryCopy::finish);
    if (m_recovery->start())
        afterSplash([this] { offerLeftNets(*m_main, *m_recovery); });

    // The roster is read on a thread of its own, once the window is up: nobody types two
    // letters of a callsign in the first moments, and the start-up does not wait for it.
    // The application's name is set by now, so the data folder is the program's own.
    m_rosterStore =
        std::make_unique<RosterStore>(m_regulars, m_rosterPath.isEmpty() ? defaultRosterPath() : m_rosterPath);
    QObject::connect(m_rosterStore.get(), &RosterStore::unusable, m_main.get(), [this](const QString& message) {
        afterSplash([this, message] { m_layer.messageBox(m_main.get(), message); });
    });
    QTimer::singleShot(kRosterDelayMs, m_main.get(), [this] {
        if (m_rosterStore)
            m_rosterStore->start();
    });
}

frmSplash* Program::splash() const
{
    return m_splash.data();
}

}  // namespace kolvane
