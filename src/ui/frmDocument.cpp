#include "ui/frmDocument.h"

#include "net/Callsign.h"
#include "net/Colors.h"
#include "net/NetHeader.h"
#include "net/Participants.h"
#include "ui/Accessibility.h"
#include "ui/CallsignSuggestions.h"
#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/KeyboardRoute.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"

#include <QCloseEvent>
#include <QFrame>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>

namespace kolvane {

namespace {

constexpr int kPanelWidth = 3630;
constexpr int kPanelHeight = 900;
constexpr int kMinWidth = 3750;
constexpr int kMinHeight = 900;

// The captions above and beside the fields: silver on dark grey, sized to their text,
// deaf to the mouse.
Label* staticLabel(Label* lbl)
{
    lbl->setColors(bgr::Silver, bgr::DarkGrey);
    autoSizeKeepingRightEdge(lbl);
    lbl->setEnabled(false);
    return lbl;
}

TextBox* field(TextBox* f)
{
    f->setBackColor(bgr::Slate);
    f->setFocusPolicy(Qt::ClickFocus);  // reached with the mouse, not with Tab
    f->setTextMargins(0, 0, 0, 0);
    return f;
}

}  // namespace

frmDocument::frmDocument(frmMain& main) : m_main(main), m_net(main.net()), m_state(main.state())
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(twips::size(kMinWidth, kMinHeight));

    client = new QWidget(this);
    client->setFont(dialogFont());
    client->setAutoFillBackground(true);
    QPalette pal = client->palette();
    pal.setColor(QPalette::Window, toQColor(bgr::DarkGrey));
    client->setPalette(pal);

    framParticipant = place<QFrame>(client, "framParticipant", 0, 0, kPanelWidth, kPanelHeight);
    framParticipant->setFrameShape(QFrame::NoFrame);
    framParticipant->setAutoFillBackground(true);
    framParticipant->setPalette(pal);

    QWidget* p = framParticipant;
    Label4 = staticLabel(place<Label>(p, "Label4", 90, 30, 330, 195, QStringLiteral("Call")));
    Label1 = staticLabel(place<Label>(p, "Label1", 1020, 30, 585, 195, QStringLiteral("Handle")));
    Label2 = staticLabel(place<Label>(p, "Label2", 1950, 30, 360, 195, QStringLiteral("QTH")));
    Label3 = staticLabel(place<Label>(p, "Label3", 2970, 30, 495, 195, QStringLiteral("Timer")));
    txtCallsign = field(place<TextBox>(p, "txtCallsign", 90, 255, 855, 225));
    txtHandle = field(place<TextBox>(p, "txtHandle", 1020, 255, 855, 225));
    txtQTH = field(place<TextBox>(p, "txtQTH", 1980, 255, 855, 225));
    lblTalkTimer = place<Label>(p, "lblTalkTimer", 2970, 255, 540, 225, QStringLiteral("00:00"));
    lblTalkTimer->setAlignment(Qt::AlignCenter);
    lblTalkTimer->setBackColor(bgr::Slate);

    Label6 = staticLabel(place<Label>(p, "Label6", 90, 585, 600, 195, QStringLiteral("Active:")));
    Label7 = staticLabel(place<Label>(p, "Label7", 1410, 570, 540, 195, QStringLiteral("Clear:")));
    Label8 = staticLabel(place<Label>(p, "Label8", 2655, 570, 435, 195, QStringLiteral("Talk:")));

    // The frames lie behind their buttons, 30 twips larger on every side.
    shpActive = place<Shape>(p, "shpActive", 765, 555, 315, 255, bgr::Yellow);
    shpActive->hide();
    shpTalk = place<Shape>(p, "shpTalk", 3135, 555, 315, 255, bgr::Orange);
    shpTalk->hide();

    cmdActive = place<SmallButton>(p, "cmdActive", 795, 585, 255, 195);
    cmdClear = place<SmallButton>(p, "cmdClear", 2040, 585, 255, 195);
    cmdClear->setEnabled(false);
    cmdTalk = place<SmallButton>(p, "cmdTalk", 3165, 585, 255, 195);
    cmdTalk->setEnabled(false);
    setTabOrder(cmdActive, cmdClear);
    setTabOrder(cmdClear, cmdTalk);

    cmdActive->setAccessibleName(QStringLiteral("Active"));
    cmdClear->setAccessibleName(QStringLiteral("Clear"));
    cmdTalk->setAccessibleName(QStringLiteral("Talk"));
    setAccessibleShortcut(cmdTalk, talkShortcut());
    for (QPushButton* b : {static_cast<QPushButton*>(cmdActive), static_cast<QPushButton*>(cmdClear),
                           static_cast<QPushButton*>(cmdTalk)})
        b->setToolTip(b->accessibleName());
    connect(this, &QWidget::windowTitleChanged, this, &frmDocument::nameForScreenReaders);
    connect(shpActive, &Shape::visibilityChanged, this, &frmDocument::describeState);
    connect(shpTalk, &Shape::visibilityChanged, this, &frmDocument::describeState);
    routeParticipantKeys(*this);
    if (m_state.regulars)
        new CallsignSuggestions(txtCallsign, {txtHandle, txtQTH, cmdActive}, *m_state.regulars, &m_net,
                                [this] { return number(); });

    connect(txtCallsign, &QLineEdit::textChanged, this, &frmDocument::txtCallsign_Change);
    connect(txtHandle, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_echo.isEdit())
            m_net.setHandle(number(), text);
    });
    connect(txtQTH, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_echo.isEdit())
            m_net.setQTH(number(), text);
    });
    // A click into the window activates it before the button's own handler runs.
    for (auto [button, handler] :
         {std::pair{cmdActive, &frmDocument::cmdActive_Click}, std::pair{cmdClear, &frmDocument::cmdClear_Click},
          std::pair{cmdTalk, &frmDocument::cmdTalk_Click}}) {
        connect(button, &QPushButton::clicked, this, [this, handler = handler] {
            BusyScope busy(m_main);
            QPointer<frmDocument> self(this);
            activateForClick();
            if (self)
                (this->*handler)();
        });
    }
}

void frmDocument::joinArea(QMdiArea* area)
{
    // Given as a child window: with its own top-level flags Qt would make it a window of its
    // own first and move it into the area a second time. The client becomes its widget only
    // once it is in the area: moving a window that has a widget into an area makes Qt write
    // the main window's title to the display server again, twice for every participant.
    area->addSubWindow(this, Qt::SubWindow);
    setWidget(client);
}

void frmDocument::nameForScreenReaders()
{
    // The fields carry the participant's number so a screen reader tells them apart.
    const QString who = QStringLiteral("Participant %1 ").arg(number());
    txtCallsign->setAccessibleName(who + QStringLiteral("callsign"));
    txtHandle->setAccessibleName(who + QStringLiteral("handle"));
    txtQTH->setAccessibleName(who + QStringLiteral("QTH"));
    lblTalkTimer->nameWithCaption(who + QStringLiteral("talk time"));
    describeState();
}

void frmDocument::describeState()
{
    const QString state = shpTalk->Visible()     ? QStringLiteral("Talking")
                          : shpActive->Visible() ? QStringLiteral("Active")
                                                 : QStringLiteral("Inactive");
    setAccessibleDescription(state);
    setAccessibleChecked(cmdActive, shpActive->Visible());
    setAccessibleChecked(cmdTalk, shpTalk->Visible());
    // The fields say it too: the buttons leave the focus in the callsign.
    for (QWidget* field :
         {static_cast<QWidget*>(txtCallsign), static_cast<QWidget*>(txtHandle), static_cast<QWidget*>(txtQTH)})
        field->setAccessibleDescription(state);
    const QString who = QStringLiteral("Participant %1, ").arg(number());
    for (QWidget* b :
         {static_cast<QWidget*>(cmdActive), static_cast<QWidget*>(cmdClear), static_cast<QWidget*>(cmdTalk)})
        b->setAccessibleDescription(who + state);
}

int frmDocument::number() const
{
    return participantNumberFromCaption(windowTitle());
}

void frmDocument::Form_Load()
{
    BusyScope busy(m_main);
    m_main.layer().processPendingEvents();
    setWindowIcon(m_main.windowIcon());
    m_main.layer().processPendingEvents();
    resize(twips::size(kMinWidth, 1290));
}

void frmDocument::Form_Activate()
{
    // The system may activate a window that has closed and waits to be deleted (Windows
    // does when the program becomes active again right after a command closed windows);
    // and the events let run below may delete it: it must not be touched afterwards.
    if (m_unloaded)
        return;
    const QPointer<frmDocument> self(this);
    BusyScope busy(m_main);
    m_main.layer().processPendingEvents();
    if (!self || m_unloaded)
        return;
    m_state.iActiveDocument = qint16(number());
    m_main.layer().processPendingEvents();
}

void frmDocument::Form_Resize()
{
    // The minimum size is enforced by the window itself (setMinimumSize); here the panel
    // is kept centred: horizontally on the outer width, vertically on the client height.
    if (!framParticipant || !client)
        return;
    const int left = width() / 2 - framParticipant->width() / 2;
    const int top = client->height() / 2 - framParticipant->height() / 2;
    framParticipant->move(left, top);
}

void frmDocument::Form_Unload()
{
    BusyScope busy(m_main);
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_main.layer().processPendingEvents();
    const int n = participantNumberFromCaption(windowTitle().trimmed());
    if (n >= 1 && n <= kParticipantLimit && m_state.frmD[size_t(n)] == this)
        m_state.frmD[size_t(n)] = nullptr;
    // The turn it holds or last held ends; the station leaves the net.
    m_net.participantClosed(n);
}

void frmDocument::txtCallsign_Change()
{
    // The net keeps the callsign in upper case and the field shows it so.
    if (m_echo.isEdit())
        m_net.setCallsign(number(), txtCallsign->text());
    txtCallsign->setCursorPosition(qMin(kCallsignCaret, int(txtCallsign->text().size())));
}

void frmDocument::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    m_main.area().windowClosing(this);
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        m_main.area().windowClosed(this);
}

void frmDocument::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    Form_Resize();
}

void frmDocument::activateForClick()
{
    if (mdiArea() && mdiArea()->activeSubWindow() != this)
        mdiArea()->setActiveSubWindow(this);
    if (m_state.iActiveDocument != number())
        Form_Activate();
}

void frmDocument::paintFields(quint32 c)
{
    txtCallsign->setBackColor(c);
    txtHandle->setBackColor(c);
    txtQTH->setBackColor(c);
    lblTalkTimer->setBackColor(c);
}

void frmDocument::FrameBrightSub()
{
    paintFields(bgr::LightCyan);
}

void frmDocument::FrameDimSub()
{
    paintFields(bgr::Slate);
}

void frmDocument::showParticipant(int n, Net::Aspects what)
{
    const Participant* p = m_net.participant(n);
    if (!p)
        return;
    // Written only when it differs, so that the caret of the operator typing stays put.
    const std::pair<TextBox*, QString> fields[] = {
        {txtCallsign, p->callsign},
        {txtHandle, p->handle},
        {txtQTH, p->qth},
    };
    if (what & Net::Fields) {
        m_echo.showing([&] {
            for (const auto& [field, text] : fields) {
                if (field->text() != text)
                    field->setText(text);
            }
        });
    }
    if (what & Net::TalkTime)
        lblTalkTimer->setText(p->talkTime);
    if (what & Net::State) {
        const bool active = p->isActive();
        shpActive->setVisible(active);
        shpTalk->setVisible(p->state == ParticipantState::Talking);
        cmdTalk->setEnabled(active);
        cmdClear->setEnabled(active);
        if (p->state == ParticipantState::Inactive)
            FrameDimSub();
        else if (p->state == ParticipantState::Active)
            FrameBrightSub();
        else
            paintFields(fieldColor(p->state));
    }
}

void frmDocument::focusCallsign()
{
    m_main.area().focusField(this, txtCallsign);
}

void frmDocument::cmdActive_Click()
{
    m_net.pressActive(number(), m_state.iActiveDocument);
    focusCallsign();
}

void frmDocument::cmdTalk_Click()
{
    m_net.pressTalk(number(), m_state.iActiveDocument);
    focusCallsign();
}

void frmDocument::cmdClear_Click()
{
    m_net.pressClear(number(), m_state.iActiveDocument);
    focusCallsign();
}

}  // namespace kolvane
