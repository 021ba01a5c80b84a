#include "ui/frmMain.h"

#include "net/AppInfo.h"
#include "net/Colors.h"
#include "net/DateStamp.h"
#include "net/ElapsedTime.h"
#include "net/Participants.h"
#include "ui/Accessibility.h"
#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/KeyboardRoute.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"
#include "ui/frmDocument.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
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
#include <QToolBar>
#include <algorithm>
#include <limits>
#include <optional>

namespace kolvane {

namespace {

QString idTimerExpired()
{
    return QStringLiteral("ID timer expired");
}

TextBox* headerField(QWidget* parent, int l, int t, int w, int h, bool tabStop)
{
    auto* f = new TextBox(parent);
    f->setGeometry(twips::rect(l, t, w, h));
    f->setBackColor(bgr::White);
    f->setForeColor(bgr::Black);
    f->setTextMargins(0, 0, 0, 0);
    f->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    return f;
}

Label* panelLabel(const QString& caption, QWidget* parent, int l, int t, int w, int h, bool autoSize = true)
{
    auto* lbl = new Label(caption, parent);
    lbl->setGeometry(twips::rect(l, t, w, h));
    lbl->setForeColor(bgr::Black);
    if (autoSize)
        autoSizeKeepingRightEdge(lbl);
    return lbl;
}

QPushButton* captionButton(const QString& caption, QWidget* parent, int l, int t, int w, int h)
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(twips::rect(l, t, w, h));
    return b;
}

}  // namespace

frmMain::frmMain(Module1& state, WindowLayer& layer, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_layer(layer)
{
    // Before any field exists, so that every one gets the program's accessible text.
    installAccessibility();
    setCaption(appTitle());
    setObjectName(QStringLiteral("frmMain"));

    mdiArea = new QMdiArea(this);
    mdiArea->setBackground(toQColor(bgr::SysAppWorkspace));
    setCentralWidget(mdiArea);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::onSubWindowActivated);

    createMenus();
    // The toolbar starts hidden and nothing shows it: it and its pictures are made on first use.
    createNetPanel();
    createStatusBar();
    createTimers();
    describeIdTimer();
    new KeyboardRoute(*this);
}

frmMain::~frmMain()
{
    // The client area activates its remaining children as it destroys them; by then this
    // window is half gone and must not hear about it.
    disconnect(mdiArea, nullptr, this, nullptr);
}

// ---------------------------------------------------------------- composition

void frmMain::createNetPanel()
{
    tbCntrl = new QToolBar(this);
    tbCntrl->setObjectName(QStringLiteral("tbCntrl"));
    tbCntrl->setMovable(false);
    tbCntrl->setFloatable(false);
    tbCntrl->toggleViewAction()->setVisible(false);
    tbCntrl->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, tbCntrl);

    // The overflow button a narrow window shows at the band's end.
    if (auto* more = tbCntrl->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More of the net panel"));

    // The band is 1095 twips high and holds only the net panel.
    auto* band = new QWidget;
    band->setFixedHeight(twips::toPx(1095));
    band->setMinimumWidth(twips::toPx(45 + 11490));
    tbCntrl->addWidget(band);

    Frame1 = new QFrame(band);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::NoFrame);
    Frame1->setGeometry(twips::rect(45, 15, 11490, 1035));
    Frame1->setFont(dialogFont());
    QWidget* p = Frame1;

    cmdStart = captionButton(QStringLiteral("Start"), p, 15, 45, 465, 225);
    txtStart = headerField(p, 585, 45, 3285, 225, false);
    cmdStop = captionButton(QStringLiteral("Stop"), p, 15, 345, 465, 225);
    txtStop = headerField(p, 585, 345, 3285, 225, false);
    Label1 = panelLabel(QStringLiteral("Freq:"), p, 135, 705, 360, 195);
    txtFrequency = headerField(p, 585, 675, 870, 285, true);
    Label2 = panelLabel(QStringLiteral("Mode:"), p, 1590, 705, 450, 195);
    cmbMode = new QComboBox(p);
    cmbMode->setEditable(true);
    cmbMode->setInsertPolicy(QComboBox::NoInsert);
    cmbMode->addItems({QStringLiteral("SSB"), QStringLiteral("FM"), QStringLiteral("AM"), QStringLiteral("CW"),
                       QStringLiteral("PSK-31")});
    cmbMode->setEditText(QStringLiteral("SSB"));
    cmbMode->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    // Any mode is kept as typed: a case-sensitive completer with nothing to offer stops the
    // box from completing "F" to "FM" and from matching a typed "fm" to the list's "FM".
    auto* exact = new QCompleter(QStringList(), cmbMode);
    exact->setCaseSensitivity(Qt::CaseSensitive);
    cmbMode->setCompleter(exact);
    cmbMode->setGeometry(twips::rect(2100, 660, 1020, 315));
    Label3 = panelLabel(QStringLiteral("Callsign:"), p, 3990, 45, 585, 195);
    txtCntrlCall = headerField(p, 4650, 30, 900, 285, true);
    Label4 = panelLabel(QStringLiteral("Handle:"), p, 4020, 375, 555, 195);
    txtCntrlHandle = headerField(p, 4650, 360, 900, 285, true);
    Label5 = panelLabel(QStringLiteral("QTH:"), p, 4185, 705, 390, 195);
    txtCntrlQTH = headerField(p, 4650, 695, 900, 285, true);
    Label11 = panelLabel(QStringLiteral("Add Prtcpt:"), p, 5655, 150, 795, 195, false);
    Label11->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    autoSizeKeepingRightEdge(Label11);
    cmdAddParticipant = new SmallButton(p);
    cmdAddParticipant->setGeometry(twips::rect(6630, 150, 255, 195));
    Label9 = panelLabel(QStringLiteral("ID Timer:"), p, 5805, 510, 645, 195);
    lblIDTimer = new Label(QStringLiteral("00:00"), p);
    lblIDTimer->setGeometry(twips::rect(5790, 705, 645, 210));
    lblIDTimer->setAlignment(Qt::AlignCenter);
    lblIDTimer->setFont(verdanaFont(9));
    lblIDTimer->setBackColor(bgr::SysInactiveBorder);
    lblIDTimer->setForeColor(bgr::SysWindowText);
    shpIDTimer = new Shape(bgr::Red, p);
    shpIDTimer->setGeometry(twips::rect(6600, 600, 315, 255));
    shpIDTimer->hide();
    cmdIDTimer = new SmallButton(p);
    cmdIDTimer->setGeometry(twips::rect(6630, 630, 255, 195));
    txtComments = new TextArea(p);
    txtComments->setGeometry(twips::rect(7185, 75, 3885, 870));
    txtComments->setTabChangesFocus(true);
    txtComments->setBackColor(bgr::White);
    setCommentsText(QStringLiteral("Comments\r\n"));
    txtGirlFriend = headerField(p, -210, 705, 150, 285, false);

    setTabOrder(cmdStart, cmdStop);
    setTabOrder(cmdStop, txtFrequency);
    setTabOrder(txtFrequency, cmbMode);
    setTabOrder(cmbMode, txtCntrlCall);
    setTabOrder(txtCntrlCall, txtCntrlHandle);
    setTabOrder(txtCntrlHandle, txtCntrlQTH);
    setTabOrder(txtCntrlQTH, txtComments);
    setTabOrder(txtComments, cmdIDTimer);
    setTabOrder(cmdIDTimer, cmdAddParticipant);

    // Names a screen reader reads out; the three-apostrophe buttons also get them as tooltips.
    const std::pair<QWidget*, const char*> names[] = {
        {cmdStart, "Start"},
        {txtStart, "Start time"},
        {cmdStop, "Stop"},
        {txtStop, "Stop time"},
        {txtFrequency, "Frequency"},
        {cmbMode, "Mode"},
        {txtCntrlCall, "Callsign"},
        {txtCntrlHandle, "Handle"},
        {txtCntrlQTH, "QTH"},
        {txtComments, "Comments"},
        {cmdAddParticipant, "Add participant"},
        {cmdIDTimer, "ID timer start/stop"},
    };
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(QString::fromLatin1(name));
    cmdAddParticipant->setToolTip(cmdAddParticipant->accessibleName());
    cmdIDTimer->setToolTip(cmdIDTimer->accessibleName());
    if (cmbMode->lineEdit())
        cmbMode->lineEdit()->setAccessibleName(cmbMode->accessibleName());
    // A combo box names itself by its text here; its label comes to screen readers through
    // the label's relation. The caption has no access key, so no key is taken.
    Label2->setBuddy(cmbMode);
    lblIDTimer->nameWithCaption(QStringLiteral("ID timer"));
    txtGirlFriend->setAccessibleName(QStringLiteral("Net panel"));
    txtGirlFriend->setAccessibleDescription(
        QStringLiteral("Shift+Tab for the net panel, F6 for the participant window"));
    connect(shpIDTimer, &Shape::visibilityChanged, this, &frmMain::describeIdTimer);

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
    sbPanel1 = panel(sbStatusBar);
    sbPanel2 = panel(sbStatusBar);
    sbPanel3 = panel(sbStatusBar);
    // The status line's accessible name is its text, announced on every change.
    sbPanel1->setAccessibleDescription(QStringLiteral("Status line"));
    sbPanel2->setAccessibleDescription(QStringLiteral("Date"));
    sbPanel3->setAccessibleDescription(QStringLiteral("Time"));
    sbStatusBar->addWidget(sbPanel1, 1);
    sbStatusBar->addPermanentWidget(sbPanel2);
    sbStatusBar->addPermanentWidget(sbPanel3);
    setStatusText(statusIdle());

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
    auto timer = [this](int ms) {
        auto* t = new QTimer(this);
        // A precise timer schedules each tick from the previous one, so a count of ticks
        // is a count of seconds and ten minutes of ticks take ten minutes.
        t->setTimerType(Qt::PreciseTimer);
        t->setInterval(ms);
        return t;
    };
    timTalk = timer(1000);
    timID = timer(1000);
    timBlink = timer(500);
    connect(timTalk, &QTimer::timeout, this, &frmMain::timTalk_Timer);
    connect(timID, &QTimer::timeout, this, &frmMain::timID_Timer);
    connect(timBlink, &QTimer::timeout, this, &frmMain::timBlink_Timer);
}

// ---------------------------------------------------------------- load and close

void frmMain::Show()
{
    MDIForm_Load();
    if (!isVisible())
        show();
}

void frmMain::MDIForm_Load()
{
    // Until a frame is reported (and always where no window manager draws one) the inside
    // takes the whole size.
    m_waitingForFrame = true;
    placeByOuterFrame();
    m_state.iTalkDocument = 1;
    AddParticipant();
    txtGirlFriend->setFocus();
}

void frmMain::placeByOuterFrame()
{
    const QSize outer = twips::size(11925, 9140);
    const QRect inside = geometry();
    const QRect frame = frameGeometry();
    const QMargins border(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                          frame.bottom() - inside.bottom());
    resize(outer.shrunkBy(border));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), outer);
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());  // a window's position is that of its frame
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
    // Participant windows close first, each through its own close handling, while the
    // frame and its timers still exist.
    for (int i = 1; i <= m_state.lDocumentCount && i <= kParticipantLimit; ++i) {
        if (frmDocument* d = m_state.slot(i))
            d->close();
    }
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
    if (text != m_status)
        announcer->announce(text);
    m_status = text;
    sbPanel1->setText(text);
    // Screen readers announce the status line when it changes.
    QAccessibleEvent ev(sbPanel1, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&ev);
    emit statusTextChanged(text);
}

// ---------------------------------------------------------------- net header

NetHeader frmMain::header() const
{
    NetHeader h;
    h.start = txtStart->text();
    h.stop = txtStop->text();
    h.frequency = txtFrequency->text();
    h.mode = cmbMode->currentText();
    h.cntrlCall = txtCntrlCall->text();
    h.cntrlHandle = txtCntrlHandle->text();
    h.cntrlQTH = txtCntrlQTH->text();
    h.comments = commentsText();
    return h;
}

namespace {

// A block of the comments that a U+2029 character, not a line break, set apart from the
// one before. The editor shows both as a new paragraph; the file keeps them apart.
constexpr int kAfterParagraphSeparator = 1;

}  // namespace

QString frmMain::commentsText() const
{
    // Each paragraph's raw text keeps non-breaking spaces and line separators, which
    // toPlainText() would turn into blanks and line breaks.
    QString text;
    for (QTextBlock b = txtComments->document()->begin(); b.isValid(); b = b.next()) {
        if (b != txtComments->document()->begin())
            text += b.userState() == kAfterParagraphSeparator ? QString(QChar(QChar::ParagraphSeparator))
                                                              : QStringLiteral("\r\n");
        text += b.text();
    }
    return text;
}

void frmMain::setCommentsText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    txtComments->setPlainText(plain);
    // The editor opened a paragraph at every line break and at every U+2029; mark those
    // that came from the character, so that it is written back as it was read.
    QTextBlock b = txtComments->document()->begin();
    for (const QChar c : std::as_const(plain)) {
        if (c != u'\n' && c != QChar(QChar::ParagraphSeparator))
            continue;
        b = b.next();
        if (!b.isValid())
            break;
        if (c == QChar(QChar::ParagraphSeparator))
            b.setUserState(kAfterParagraphSeparator);
    }
}

void frmMain::cmdStart_Click()
{
    txtStart->setText(dateTimeStamp(QDateTime::currentDateTime()));
    parkFocus(QStringLiteral("Start stamped ") + txtStart->text());
}

void frmMain::cmdStop_Click()
{
    txtStop->setText(dateTimeStamp(QDateTime::currentDateTime()));
    parkFocus(QStringLiteral("Stop stamped ") + txtStop->text());
}

void frmMain::parkFocus(const QString& done)
{
    txtGirlFriend->setAccessibleName(done.isEmpty() ? QStringLiteral("Net panel")
                                                    : QStringLiteral("Net panel, ") + done);
    txtGirlFriend->setFocus();
}

void frmMain::txtCntrlCall_Change()
{
    forceCallsignCase(txtCntrlCall);
}

void frmMain::ValidateNetHeader()
{
    BusyScope busy(*this);
    if (const auto missing = firstMissingHeaderField(header())) {
        const QString message = missingFieldMessage(*missing);
        setStatusText(message);
        m_layer.messageBox(this, message);
        m_layer.processPendingEvents();
        QWidget* fieldOf[] = {txtStart, txtFrequency, cmbMode, txtCntrlCall, txtCntrlHandle, txtCntrlQTH};
        fieldOf[int(*missing)]->setFocus();
        return;
    }
    m_layer.processPendingEvents();
    setStatusText(statusIdle());
}

// ---------------------------------------------------------------- participants

void frmMain::AddParticipant()
{
    BusyScope busy(*this);
    if (m_state.lDocumentCount >= kParticipantLimit) {
        m_layer.messageBox(this, participantLimitMessage());
        return;
    }
    const int n = ++m_state.lDocumentCount;
    // Loading and showing let events run; the window is checked after each step.
    QPointer<frmDocument> doc = new frmDocument(*this);
    m_state.frmD[size_t(n)] = doc.data();
    mdiArea->addSubWindow(doc);
    doc->Form_Load();
    if (!doc)
        return;
    doc->setWindowTitle(participantCaption(n));
    if (!isVisible()) {
        // Showing a child window shows the frame. The frame comes up first and the child
        // after it: a child shown along with the frame is activated in the middle of the
        // frame's show, and the activation lets pending events run, which can free objects
        // (finished layout animations) that the frame is still walking through.
        doc->hide();
        show();
    }
    if (!doc)
        return;
    if (m_activationBatch > 0) {
        // Shown without Qt's activation (a disabled window is not activated) and brought to
        // the front by the batch.
        doc->setEnabled(false);
        doc->show();
        doc->setEnabled(true);
        activateParticipant(doc);
        return;
    }
    doc->show();
    if (doc && mdiArea->currentSubWindow() != doc)
        mdiArea->setActiveSubWindow(doc);
}

void frmMain::cmdAddParticipant_Click()
{
    AddParticipant();
}

void frmMain::closeAllParticipants()
{
    BusyScope busy(*this);
    ActivationBatch batch(*this);
    const int count = qMin(m_state.lDocumentCount, kParticipantLimit);
    // Each time the window Qt activated last closes, Qt brings the next one forward, walking
    // every window; closing in ascending order would chain those walks. So the window that
    // closes last becomes the one Qt activated last, and the batch works out which window
    // comes forward at each close.
    for (int i = count; i >= 1; --i) {
        if (frmDocument* d = m_state.slot(i)) {
            activateForQtOnly(d);
            break;
        }
    }
    for (int i = 1; i <= count; ++i) {
        if (frmDocument* d = m_state.slot(i))
            d->close();
        m_state.frmD[size_t(i)] = nullptr;
    }
    m_state.lDocumentCount = 0;
}

frmDocument* frmMain::activeParticipant() const
{
    return qobject_cast<frmDocument*>(mdiArea->currentSubWindow());
}

QList<frmDocument*> frmMain::openParticipants() const
{
    QList<frmDocument*> out;
    for (int i = 1; i <= m_state.lDocumentCount && i <= kParticipantLimit; ++i) {
        if (frmDocument* d = m_state.slot(i))
            out << d;
    }
    return out;
}

void frmMain::onSubWindowActivated(QMdiSubWindow* window)
{
    auto* doc = qobject_cast<frmDocument*>(window);
    if (!doc || doc == m_activationDone)
        return;  // nothing activated, or a window whose activation handling has run already
    if (m_activationBatch > 0) {
        // Qt activated it by itself in the middle of a batch: it is in front now, above the
        // windows brought forward before it.
        m_front = doc;
        m_frontFocus = nullptr;
        m_raised << doc;
    }
    doc->Form_Activate();
}

// ---------------------------------------------------------------- activation

ActivationBatch::ActivationBatch(frmMain& main) : m_main(&main)
{
    if (main.m_activationBatch++ == 0) {
        main.m_front = qobject_cast<frmDocument*>(main.mdiArea->currentSubWindow());
        main.m_frontFocus = nullptr;
    }
}

ActivationBatch::~ActivationBatch()
{
    if (m_main && --m_main->m_activationBatch == 0)
        m_main->endActivationBatch();
}

frmDocument* frmMain::frontParticipant() const
{
    if (m_activationBatch > 0)
        return m_front;
    return activeParticipant();
}

void frmMain::activateParticipant(frmDocument* d)
{
    if (!d)
        return;
    if (m_activationBatch == 0) {
        mdiArea->setActiveSubWindow(d);
        return;
    }
    if (d == m_front)
        return;  // as with a real activation, the window in front stays as it is
    m_front = d;
    m_frontFocus = nullptr;
    m_raised << d;
    d->Form_Activate();
}

void frmMain::focusParticipantField(frmDocument* d, QWidget* field)
{
    if (!d || !field)
        return;
    if (m_activationBatch == 0) {
        field->setFocus();
        return;
    }
    // The focus moving into another window brings that window forward; the field takes the
    // focus when the batch ends.
    QPointer<frmDocument> doc(d);
    QPointer<QWidget> f(field);
    activateParticipant(d);
    if (doc && f && doc == m_front)
        m_frontFocus = f;
}

void frmMain::participantClosing(frmDocument* d)
{
    m_closingNext = nullptr;
    if (m_activationBatch == 0 || d != m_front)
        return;
    // When the window activated last closes, Qt brings forward the window created next after
    // it (after the last one, the first), unless that one is hidden.
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList(QMdiArea::CreationOrder);
    const qsizetype at = windows.indexOf(d);
    if (at < 0 || windows.size() < 2)
        return;
    QMdiSubWindow* next = windows.at((at + 1) % windows.size());
    if (!next->isHidden())
        m_closingNext = qobject_cast<frmDocument*>(next);
}

void frmMain::participantClosed(frmDocument* d)
{
    QPointer<frmDocument> next = m_closingNext;
    m_closingNext = nullptr;
    if (m_activationBatch == 0 || d != m_front)
        return;
    m_front = nullptr;
    m_frontFocus = nullptr;
    activateParticipant(next);
}

void frmMain::applyPendingStacking()
{
    if (m_raised.isEmpty())
        return;
    // Raised one after another, the windows would end in this order: those never raised as
    // they lay, below those raised, the one raised last on top. Only the windows out of place
    // move, so a stack already in that order is not repainted.
    QList<QMdiSubWindow*> raised;
    for (auto it = m_raised.crbegin(); it != m_raised.crend(); ++it) {
        if (*it && !(*it)->isHidden() && !raised.contains(it->data()))
            raised.prepend(it->data());
    }
    m_raised.clear();
    const QList<QMdiSubWindow*> stack = mdiArea->subWindowList(QMdiArea::StackingOrder);  // bottom first
    QList<QMdiSubWindow*> wanted;
    for (QMdiSubWindow* w : stack) {
        if (!raised.contains(w))
            wanted << w;
    }
    wanted << raised;
    qsizetype same = 0;
    while (same < stack.size() && same < wanted.size() && stack.at(same) == wanted.at(same))
        ++same;
    for (qsizetype i = same; i < wanted.size(); ++i)
        wanted.at(i)->raise();
}

void frmMain::activateForQtOnly(frmDocument* d)
{
    applyPendingStacking();  // Qt raises the window it activates
    if (!d || mdiArea->currentSubWindow() == d)
        return;
    m_activationDone = d;
    mdiArea->setActiveSubWindow(d);
    m_activationDone = nullptr;
}

void frmMain::endActivationBatch()
{
    QPointer<frmDocument> front = m_front;
    QPointer<QWidget> focus = m_frontFocus;
    m_front = nullptr;
    m_frontFocus = nullptr;
    m_closingNext = nullptr;
    applyPendingStacking();
    if (!front || front->isHidden())
        return;
    // Qt moves the window it had activated before to just under the one it activates now;
    // the stack the batch has built is kept (icons go to the bottom either way).
    QPointer<QMdiSubWindow> previous = mdiArea->currentSubWindow();
    QPointer<QMdiSubWindow> above;
    if (previous && previous != front && !previous->isMinimized()) {
        const QList<QMdiSubWindow*> stack = mdiArea->subWindowList(QMdiArea::StackingOrder);  // bottom first
        for (qsizetype i = stack.indexOf(previous) + 1; i > 0 && i < stack.size() && !above; ++i) {
            if (stack.at(i) == front)
                break;
            if (!stack.at(i)->isMinimized())
                above = stack.at(i);
        }
    }
    activateForQtOnly(front);
    if (previous && above && !previous->isMinimized())
        previous->stackUnder(above);
    if (front && focus && front->isAncestorOf(focus))
        focus->setFocus();
}

// ---------------------------------------------------------------- talk timer

void frmMain::timTalk_Timer()
{
    advanceElapsed(m_state.iTalkElapsed, m_state.iTalkSeconds, m_state.iTalkMinutes);
    if (frmDocument* d = m_state.slot(m_state.iTalkDocument))
        d->lblTalkTimer->setText(elapsedDisplay(m_state.iTalkMinutes, m_state.iTalkSeconds));
}

// ---------------------------------------------------------------- ID timer

void frmMain::cmdIDTimer_Click()
{
    if (shpIDTimer->Visible()) {
        lblIDTimer->setBackColor(bgr::SysInactiveBorder);
        m_state.zeroIdCounters();
    } else {
        lblIDTimer->setBackColor(bgr::White);
    }
    timBlink->stop();
    shpIDTimer->setVisible(!shpIDTimer->Visible());
    if (timID->isActive())
        timID->stop();
    else
        timID->start();
    describeIdTimer();
    parkFocus(timID->isActive() ? QStringLiteral("ID timer running")
                                : QStringLiteral("ID timer stopped at ") + lblIDTimer->text());
}

void frmMain::timID_Timer()
{
    advanceElapsed(m_state.iIDElapsed, m_state.iIDSeconds, m_state.iIDMinutes);
    lblIDTimer->setText(elapsedDisplay(m_state.iIDMinutes, m_state.iIDSeconds));
    if (m_state.iIDMinutes >= 10) {
        cmdIDTimer_Click();
        timBlink->start();
        describeIdTimer();
        txtGirlFriend->setAccessibleName(QStringLiteral("Net panel, ") + idTimerExpired());
        announcer->announce(idTimerExpired());
    }
}

void frmMain::describeIdTimer()
{
    // Running shows as the button's checked state; an ended period, until the button is
    // pressed again, in its description.
    setAccessibleChecked(cmdIDTimer, shpIDTimer->Visible());
    cmdIDTimer->setAccessibleDescription(timBlink->isActive() ? idTimerExpired() : QString());
}

void frmMain::timBlink_Timer()
{
    lblIDTimer->setBackColor(lblIDTimer->backColor() == bgr::White ? bgr::Orange : bgr::White);
}

// ---------------------------------------------------------------- session reset

void frmMain::mnuClearAll_Click()
{
    BusyScope busy(*this);
    timID->stop();
    timTalk->stop();
    timBlink->stop();
    m_state.zeroTalkCounters();
    shpIDTimer->hide();
    lblIDTimer->setText(QStringLiteral("00:00"));
    m_state.zeroIdCounters();
    lblIDTimer->setBackColor(bgr::SysInactiveBorder);
    describeIdTimer();

    txtStart->setText(QString());
    txtStop->setText(QString());
    txtFrequency->setText(QString());
    cmbMode->setEditText(QStringLiteral("SSB"));
    txtCntrlCall->setText(QString());
    txtCntrlHandle->setText(QString());
    txtCntrlQTH->setText(QString());
    txtComments->clear();

    // Highest number first, so participant 1 ends in front and active. Activation lets
    // events run, so every step checks that the window is still there. What the loop changes
    // is painted once, after it.
    std::optional<PaintingHeld> held(std::in_place, *this);
    std::optional<ActivationBatch> batch(std::in_place, *this);
    for (int i = qMin(m_state.lDocumentCount, kParticipantLimit); i >= 1; --i) {
        QPointer<frmDocument> d = m_state.slot(i);
        if (!d)
            continue;
        activateParticipant(d);
        if (d)
            d->cmdClear_Click();
        if (d)
            d->shpTalk->hide();
        if (d)
            d->cmdTalk->setEnabled(false);
        if (d)
            d->cmdClear->setEnabled(false);
        if (d)
            d->shpActive->hide();
        if (d)
            d->FrameDimSub();
    }
    batch.reset();
    held.reset();
    m_layer.processPendingEvents();
    setStatusText(statusIdle());
}

void frmMain::mnuFileNew_Click()
{
    BusyScope busy(*this);
    setStatusText(QStringLiteral("Status: Initializing.... Please wait."));
    m_layer.processPendingEvents();
    // Qt repaints the menu bar for every window that comes or goes.
    UpdatesFrozen frozen(mdiArea);
    UpdatesFrozen frozenMenu(menuBar());
    closeAllParticipants();
    AddParticipant();
    mnuClearAll_Click();
    setCaption(appTitle());
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
