#include "ui/frmMain.h"

#include "net/AppInfo.h"
#include "net/Colors.h"
#include "net/DateStamp.h"
#include "net/ElapsedTime.h"
#include "net/Participants.h"
#include "ui/Accessibility.h"
#include "ui/CallsignSuggestions.h"
#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/KeyboardRoute.h"
#include "ui/MainMenus.h"
#include "ui/NetPanel.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"
#include "ui/frmDocument.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace kolvane {

frmMain::frmMain(Net& net, Module1& state, WindowLayer& layer, MakeCommands commands, QWidget* parent)
    : QMainWindow(parent), m_net(net), m_state(state), m_layer(layer)
{
    // Before any field exists, so that every one gets the program's accessible text.
    installAccessibility();
    setCaption(appTitle());
    setObjectName(QStringLiteral("frmMain"));

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setBackground(toQColor(bgr::SysAppWorkspace));
    setCentralWidget(mdiArea);
    m_area = new ParticipantArea(mdiArea, this);

    MainMenuBuilder(*this).build();
    // The toolbar starts hidden and nothing shows it: it and its pictures are made on first use.
    NetPanelBuilder(*this).build();
    wireNetPanel();
    createStatusBar();
    createTimers();
    showIdTimer();
    connect(&m_net, &Net::headerChanged, this, &frmMain::showHeaderItem);
    connect(&m_net, &Net::statusTextChanged, this, &frmMain::showStatus);
    connect(&m_net, &Net::idTimerChanged, this, &frmMain::showIdTimer);
    connect(&m_net, &Net::talkTimerSwitched, this, &frmMain::switchTalkTimer);
    connect(&m_net, &Net::participantChanged, this, &frmMain::showParticipant);
    new KeyboardRoute(*this);
    // Net Control's own callsign is offered from the roster too; once both are filled the
    // keyboard goes on where Tab from the QTH goes.
    if (m_state.regulars)
        new CallsignSuggestions(txtCntrlCall, {txtCntrlHandle, txtCntrlQTH, txtComments}, *m_state.regulars, &m_net);
    m_commands = commands(*this);
}

frmMain::~frmMain()
{
    // The client area activates its remaining children as it destroys them; by then this
    // window is half gone and must not hear about it.
    disconnect(mdiArea, nullptr, m_area, nullptr);
}

// ---------------------------------------------------------------- composition

void frmMain::wireNetPanel()
{
    connect(shpIDTimer, &Shape::visibilityChanged, this, &frmMain::describeIdTimer);

    // The fields show the net's header; what is typed goes to the net.
    for (HeaderItem item : {HeaderItem::Start, HeaderItem::Stop, HeaderItem::Frequency, HeaderItem::Mode,
                            HeaderItem::CntrlCall, HeaderItem::CntrlHandle, HeaderItem::CntrlQTH, HeaderItem::Comments})
        showHeaderItem(item);
    const std::pair<TextBox*, HeaderItem> typed[] = {
        {txtStart, HeaderItem::Start},         {txtStop, HeaderItem::Stop},
        {txtFrequency, HeaderItem::Frequency}, {txtCntrlHandle, HeaderItem::CntrlHandle},
        {txtCntrlQTH, HeaderItem::CntrlQTH},
    };
    for (const auto& [field, item] : typed)
        connect(field, &QLineEdit::textChanged, this, [this, item = item](const QString& text) {
            if (m_echo.isEdit())
                m_net.setHeaderText(item, text);
        });
    connect(cmbMode, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (m_echo.isEdit())
            m_net.setHeaderText(HeaderItem::Mode, text);
    });
    connect(txtComments, &QPlainTextEdit::textChanged, this, [this] {
        if (m_echo.isEdit())
            m_net.setHeaderText(HeaderItem::Comments, commentsText());
    });

    connect(cmdStart, &QPushButton::clicked, this, &frmMain::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmMain::cmdStop_Click);
    connect(txtCntrlCall, &QLineEdit::textChanged, this, &frmMain::txtCntrlCall_Change);
    connect(cmdAddParticipant, &QPushButton::clicked, this, &frmMain::cmdAddParticipant_Click);
    connect(cmdIDTimer, &QPushButton::clicked, this, &frmMain::cmdIDTimer_Click);
}

void frmMain::createStatusBar()
{
    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(sbStatusBar);
    const int minWidth = twips::toPx(1440);
    auto panel = [minWidth](QWidget* parent) {
        auto* l = new QLabel(parent);
        l->setTextFormat(Qt::PlainText);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setMinimumWidth(minWidth);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return l;
    };
    announcer = new Announcer(this);
    m_shownStatus = m_net.statusText();
    // Named as the bar's panels are numbered.
    sbPanel1 = panel(sbStatusBar);
    sbPanel1->setObjectName(QStringLiteral("sbStatusBar.Panels(1)"));
    sbPanel2 = panel(sbStatusBar);
    sbPanel2->setObjectName(QStringLiteral("sbStatusBar.Panels(2)"));
    sbPanel3 = panel(sbStatusBar);
    sbPanel3->setObjectName(QStringLiteral("sbStatusBar.Panels(3)"));
    // The status line's accessible name is its text, announced on every change.
    sbPanel1->setAccessibleDescription(QStringLiteral("Status line"));
    sbPanel2->setAccessibleDescription(QStringLiteral("Date"));
    sbPanel3->setAccessibleDescription(QStringLiteral("Time"));
    sbStatusBar->addWidget(sbPanel1, 1);
    sbStatusBar->addPermanentWidget(sbPanel2);
    sbStatusBar->addPermanentWidget(sbPanel3);
    sbPanel1->setText(m_net.statusText());

    // Panels 2 and 3 keep today's date and the time current by themselves.
    m_clock = new QTimer(this);
    m_clock->setTimerType(Qt::PreciseTimer);  // a coarse timer may wake seconds late
    m_clock->setSingleShot(true);
    connect(m_clock, &QTimer::timeout, this, &frmMain::updateDateTimePanels);
    updateDateTimePanels();
}

void frmMain::updateDateTimePanels()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = stampLocale();  // US English where no locale is configured
    // The locale's short date, with the year in full: a log is read years later.
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QStringLiteral("yyyy")))
        dateFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    sbPanel2->setText(locale.toString(now.date(), dateFormat));
    sbPanel3->setText(locale.toString(now.time(), QLocale::ShortFormat));
    // Wake again just after the next minute begins.
    const int msIntoMinute = now.time().second() * 1000 + now.time().msec();
    m_clock->start(60000 - msIntoMinute + 50);
}

void frmMain::createTimers()
{
    auto timer = [this](const char* name, int ms) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        // A precise timer schedules each tick from the previous one, so a count of ticks
        // is a count of seconds and ten minutes of ticks take ten minutes.
        t->setTimerType(Qt::PreciseTimer);
        t->setInterval(ms);
        return t;
    };
    timTalk = timer("timTalk", 1000);
    timID = timer("timID", 1000);
    timBlink = timer("timBlink", 500);
    connect(timTalk, &QTimer::timeout, this, &frmMain::timTalk_Timer);
    connect(timID, &QTimer::timeout, this, &frmMain::timID_Timer);
    connect(timBlink, &QTimer::timeout, this, &frmMain::timBlink_Timer);
}

// ---------------------------------------------------------------- load and close

void frmMain::Show()
{
    show();
}

void frmMain::setVisible(bool visible)
{
    // However the window is shown, it loads first, and only once. Loading shows it (the
    // first participant window shows the frame), so the load comes before Qt's show.
    if (visible && !m_loaded)
        MDIForm_Load();
    if (!visible || !isVisible())
        QMainWindow::setVisible(visible);
}

void frmMain::MDIForm_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    // Until a frame is reported (and always where no window manager draws one) the inside
    // takes the whole size.
    m_waitingForFrame = true;
    placeByOuterFrame();
    m_net.setTalkDocument(1);
    AddParticipant();
    txtGirlFriend->setFocus();
}

void frmMain::placeByOuterFrame()
{
    const QSize outer = twips::size(11925, 9140);
    // The whole frame as the system draws it; Qt may count less of it as the frame (on
    // Windows it leaves out the resize borders), and places the window by its own count.
    const QMargins whole = m_layer.frameMargins(this);
    const QMargins counted = qtFrameMargins(this);
    resize(outer.shrunkBy(whole));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), outer);
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft() + QPoint(whole.left() - counted.left(), whole.top() - counted.top()));
    }
}

BusyScope::BusyScope(frmMain& main) : m_main(&main)
{
    ++main.m_busy;
}

BusyScope::~BusyScope()
{
    if (!m_main || --m_main->m_busy > 0 || !m_main->m_closeWaiting)
        return;
    m_main->m_closeWaiting = false;
    QTimer::singleShot(0, m_main.data(), [main = m_main] {
        if (main)
            main->close();
    });
}

PaintingHeld::PaintingHeld(frmMain& main) : m_main(&main)
{
    ++main.m_paintingHeld;
}

PaintingHeld::~PaintingHeld()
{
    if (!m_main || --m_main->m_paintingHeld > 0 || !m_main->m_paintWanted)
        return;
    m_main->m_paintWanted = false;
    QCoreApplication::postEvent(m_main.data(), new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (m_busy > 0) {
        // Closing now would pull the windows away from a command that is still using
        // them; the close follows as soon as it has finished.
        m_closeWaiting = true;
        event->ignore();
        return;
    }
    emit closing();
    // Participant windows close first, each through its own close handling, while the
    // frame and its timers still exist.
    m_state.visitParticipants(Module1::Order::Ascending, [](const QPointer<frmDocument>& d) { d->close(); });
    MDIForm_Unload();
    event->accept();
}

void frmMain::MDIForm_Unload()
{
    for (QPointer<QWidget>* w : {&frmTransfer, &frmSplash, &frmAbout, &frmOptions}) {
        if (*w)
            (*w)->close();
    }
}

// ---------------------------------------------------------------- caption

void frmMain::setCaption(const QString& caption)
{
    m_caption = caption;
    setWindowTitle(caption);
}

bool frmMain::event(QEvent* event)
{
    const QEvent::Type type = event->type();
    // Qt paints what has changed when this request arrives; while painting is held it waits.
    if (type == QEvent::UpdateRequest && m_paintingHeld > 0) {
        m_paintWanted = true;
        return true;
    }
    if (m_waitingForFrame && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) && isVisible()
        && frameGeometry() != geometry()) {
        // The window manager has framed the window: the size set at load is the outer one.
        m_waitingForFrame = false;
        placeByOuterFrame();
    }
    if (type == QEvent::WindowTitleChange) {
        // A title set while no participant window is maximised is the caption itself; one
        // set meanwhile is Qt adding the maximised window's name.
        const QList<QMdiSubWindow*> windows = mdiArea ? mdiArea->subWindowList() : QList<QMdiSubWindow*>();
        if (std::none_of(windows.cbegin(), windows.cend(), [](const QMdiSubWindow* w) { return w->isMaximized(); }))
            m_caption = windowTitle();
    }
    return QMainWindow::event(event);
}

// ---------------------------------------------------------------- status line

void frmMain::setStatusText(const QString& text)
{
    m_net.setStatusText(text);
}

void frmMain::showStatus(const QString& text)
{
    if (text != m_shownStatus)
        announcer->announce(text);
    m_shownStatus = text;
    sbPanel1->setText(text);
    // Screen readers announce the status line when it changes.
    QAccessibleEvent ev(sbPanel1, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&ev);
    emit statusTextChanged(text);
}

double frmMain::clientWidthTwips() const
{
    return twips::fromPx(mdiArea->viewport()->width());
}

double frmMain::clientHeightTwips() const
{
    return twips::fromPx(mdiArea->viewport()->height());
}

void frmMain::showStub(const QString& text)
{
    m_layer.messageBox(this, text);
}

}  // namespace kolvane
