#include "ui/NetPanel.h"

#include "net/Colors.h"
#include "ui/Controls.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QToolBar>
#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>
#include <variant>

namespace kolvane {

namespace {

// What a control is, and so which class makes it and how it looks.
enum class Kind {
    Button,        // QPushButton with its caption
    Field,         // a header field: white, black text, no margins
    Sink,          // the focus sink: a field out of sight that takes the focus and no text
    Caption,       // a static label: black text, sized to its caption
    RightCaption,  // the same, right-aligned
    ModeBox,       // the editable list of modes
    Small,         // a small "'''" button, its accessible name also its tooltip
    TimerDisplay,  // the ID timer's mm:ss, centred, read out as its accessible name and the time
    RedFrame,      // a red rectangle behind a small button, hidden until the program shows it
    Comments,      // the multi-line comments, Tab leaving them
};

// A member of frmMain that keeps a T.
template <typename T>
using MemberOf = T* frmMain::*;

// The frmMain member that keeps the control; its type must be the one its kind makes.
using PanelMember = std::variant<MemberOf<QPushButton>, MemberOf<TextBox>, MemberOf<Label>, MemberOf<QComboBox>,
                                 MemberOf<SmallButton>, MemberOf<Shape>, MemberOf<TextArea>>;

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// In the Tab column: the Tab key passes the control by (a label, or a field it skips).
constexpr int skipped = -1;

}  // namespace

struct PanelRow {
    PanelMember member;
    const char* name;  // the design name, the object's name
    Kind kind;
    TwipsRect rect;              // inside Frame1
    const char* caption;         // a button's or a label's caption
    int tab;                     // the place in the Tab sequence, or skipped
    const char* accessibleName;  // what a screen reader calls it; nullptr: its caption
};

namespace {

// The controls of the net panel in the order they are made (and stacked, a later one over an
// earlier one: the red frame lies under the ID timer button).
constexpr PanelRow kNetPanel[] = {
    {&frmMain::cmdStart, "cmdStart", Kind::Button, {15, 45, 465, 225}, "Start", 0, "Start"},
    {&frmMain::txtStart, "txtStart", Kind::Field, {585, 45, 3285, 225}, "", skipped, "Start time"},
    {&frmMain::cmdStop, "cmdStop", Kind::Button, {15, 345, 465, 225}, "Stop", 1, "Stop"},
    {&frmMain::txtStop, "txtStop", Kind::Field, {585, 345, 3285, 225}, "", skipped, "Stop time"},
    {&frmMain::Label1, "Label1", Kind::Caption, {135, 705, 360, 195}, "Freq:", skipped, nullptr},
    {&frmMain::txtFrequency, "txtFrequency", Kind::Field, {585, 675, 870, 285}, "", 2, "Frequency"},
    {&frmMain::Label2, "Label2", Kind::Caption, {1590, 705, 450, 195}, "Mode:", skipped, nullptr},
    {&frmMain::cmbMode, "cmbMode", Kind::ModeBox, {2100, 660, 1020, 315}, "", 3, "Mode"},
    {&frmMain::Label3, "Label3", Kind::Caption, {3990, 45, 585, 195}, "Callsign:", skipped, nullptr},
    {&frmMain::txtCntrlCall, "txtCntrlCall", Kind::Field, {4650, 30, 900, 285}, "", 4, "Callsign"},
    {&frmMain::Label4, "Label4", Kind::Caption, {4020, 375, 555, 195}, "Handle:", skipped, nullptr},
    {&frmMain::txtCntrlHandle, "txtCntrlHandle", Kind::Field, {4650, 360, 900, 285}, "", 5, "Handle"},
    {&frmMain::Label5, "Label5", Kind::Caption, {4185, 705, 390, 195}, "QTH:", skipped, nullptr},
    {&frmMain::txtCntrlQTH, "txtCntrlQTH", Kind::Field, {4650, 695, 900, 285}, "", 6, "QTH"},
    {&frmMain::Label11, "Label11", Kind::RightCaption, {5655, 150, 795, 195}, "Add Prtcpt:", skipped, nullptr},
    {&frmMain::cmdAddParticipant, "cmdAddParticipant", Kind::Small, {6630, 150, 255, 195}, "", 11, "Add participant"},
    {&frmMain::Label9, "Label9", Kind::Caption, {5805, 510, 645, 195}, "ID Timer:", skipped, nullptr},
    {&frmMain::lblIDTimer, "lblIDTimer", Kind::TimerDisplay, {5790, 705, 645, 210}, "00:00", skipped, "ID timer"},
    {&frmMain::shpIDTimer, "shpIDTimer", Kind::RedFrame, {6600, 600, 315, 255}, "", skipped, nullptr},
    {&frmMain::cmdIDTimer, "cmdIDTimer", Kind::Small, {6630, 630, 255, 195}, "", 8, "ID timer start/stop"},
    {&frmMain::txtComments, "txtComments", Kind::Comments, {7185, 75, 3885, 870}, "", 7, "Comments"},
    {&frmMain::txtGirlFriend, "txtGirlFriend", Kind::Sink, {-210, 705, 150, 285}, "", skipped, "Net panel"},
};

constexpr bool madeAsItsMember(const PanelRow& row)
{
    switch (row.kind) {
    case Kind::Button:
        return std::holds_alternative<MemberOf<QPushButton>>(row.member);
    case Kind::Field:
    case Kind::Sink:
        return std::holds_alternative<MemberOf<TextBox>>(row.member);
    case Kind::Caption:
    case Kind::RightCaption:
    case Kind::TimerDisplay:
        return std::holds_alternative<MemberOf<Label>>(row.member);
    case Kind::ModeBox:
        return std::holds_alternative<MemberOf<QComboBox>>(row.member);
    case Kind::Small:
        return std::holds_alternative<MemberOf<SmallButton>>(row.member);
    case Kind::RedFrame:
        return std::holds_alternative<MemberOf<Shape>>(row.member);
    case Kind::Comments:
        return std::holds_alternative<MemberOf<TextArea>>(row.member);
    }
    return false;
}

constexpr bool takesNoFocus(Kind kind)
{
    return kind == Kind::Caption || kind == Kind::RightCaption || kind == Kind::TimerDisplay || kind == Kind::RedFrame
           || kind == Kind::Sink;
}

// Mistakes a table invites, refused while compiling: a member of another class than the
// kind makes, one member kept by two rows (the other would stay null), two controls at
// one place in the Tab sequence, a Tab place for a control that takes no focus.
constexpr bool wellFormed()
{
    for (const PanelRow& a : kNetPanel) {
        if (!madeAsItsMember(a) || (takesNoFocus(a.kind) && a.tab != skipped))
            return false;
        for (const PanelRow& b : kNetPanel) {
            if (&a != &b && (a.member == b.member || (a.tab != skipped && a.tab == b.tab)))
                return false;
        }
    }
    return true;
}

static_assert(wellFormed(), "the net panel table has a row that cannot be built as it stands");

constexpr int kRows = int(std::size(kNetPanel));

template <typename T, typename... Args>
T* make(frmMain& main, const PanelRow& row, QWidget* panel, Args&&... args)
{
    T* control = place<T>(panel, QLatin1String(row.name), row.rect.left, row.rect.top, row.rect.width, row.rect.height,
                          std::forward<Args>(args)...);
    main.*std::get<MemberOf<T>>(row.member) = control;
    return control;
}

// The header fields and the sink: white with black text; only some are tab stops.
TextBox* headerField(TextBox* f, bool tabStop)
{
    f->setColors(bgr::Black, bgr::White);
    f->setTextMargins(0, 0, 0, 0);
    f->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    return f;
}

}  // namespace

void NetPanelBuilder::build()
{
    frmMain& main = m_main;
    main.tbCntrl = new QToolBar(&main);
    QToolBar* tbCntrl = main.tbCntrl;
    tbCntrl->setObjectName(QStringLiteral("tbCntrl"));
    tbCntrl->setMovable(false);
    tbCntrl->setFloatable(false);
    tbCntrl->toggleViewAction()->setVisible(false);
    tbCntrl->setContextMenuPolicy(Qt::PreventContextMenu);
    main.addToolBar(Qt::TopToolBarArea, tbCntrl);

    // The overflow button a narrow window shows at the band's end.
    if (auto* more = tbCntrl->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More of the net panel"));

    // The band is 1095 twips high and holds only the net panel.
    auto* band = new QWidget;
    band->setFixedHeight(twips::toPx(1095));
    band->setMinimumWidth(twips::toPx(45 + 11490));
    tbCntrl->addWidget(band);

    main.Frame1 = place<QFrame>(band, QStringLiteral("Frame1"), 45, 15, 11490, 1035);
    main.Frame1->setFrameShape(QFrame::NoFrame);
    main.Frame1->setFont(dialogFont());

    QWidget* made[kRows] = {};
    std::pair<int, QWidget*> stops[kRows] = {};
    int stopCount = 0;
    for (int i = 0; i < kRows; ++i) {
        made[i] = addControl(kNetPanel[i], main.Frame1);
        if (kNetPanel[i].tab != skipped)
            stops[stopCount++] = {kNetPanel[i].tab, made[i]};
    }
    std::sort(stops, stops + stopCount,
              [](const std::pair<int, QWidget*>& a, const std::pair<int, QWidget*>& b) { return a.first < b.first; });
    for (int i = 1; i < stopCount; ++i)
        QWidget::setTabOrder(stops[i - 1].second, stops[i].second);

    for (int i = 0; i < kRows; ++i)
        name(kNetPanel[i], made[i]);
    // The label also comes to screen readers through its relation. The caption has no
    // access key, so no key is taken.
    main.Label2->setBuddy(main.cmbMode);
}

QWidget* NetPanelBuilder::addControl(const PanelRow& row, QWidget* panel)
{
    frmMain& main = m_main;
    const QString caption = QLatin1String(row.caption);
    switch (row.kind) {
    case Kind::Button:
        return make<QPushButton>(main, row, panel, caption);
    case Kind::Field:
    case Kind::Sink:
        return headerField(make<TextBox>(main, row, panel), row.tab != skipped);
    case Kind::Caption:
    case Kind::RightCaption: {
        Label* label = make<Label>(main, row, panel, caption);
        if (row.kind == Kind::RightCaption)
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setForeColor(bgr::Black);
        autoSizeKeepingRightEdge(label);
        return label;
    }
    case Kind::ModeBox: {
        QComboBox* box = make<QComboBox>(main, row, panel);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems({QStringLiteral("SSB"), QStringLiteral("FM"), QStringLiteral("AM"), QStringLiteral("CW"),
                       QStringLiteral("PSK-31")});
        box->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
        // Any mode is kept as typed: a case-sensitive completer with nothing to offer stops
        // the box from completing "F" to "FM" and from matching a typed "fm" to the list's "FM".
        auto* exact = new QCompleter(QStringList(), box);
        exact->setCaseSensitivity(Qt::CaseSensitive);
        box->setCompleter(exact);
        return box;
    }
    case Kind::Small:
        return make<SmallButton>(main, row, panel);
    case Kind::TimerDisplay: {
        Label* display = make<Label>(main, row, panel, caption);
        display->setAlignment(Qt::AlignCenter);
        display->setFont(verdanaFont(9));
        display->setColors(bgr::SysWindowText, bgr::SysInactiveBorder);
        return display;
    }
    case Kind::RedFrame: {
        Shape* frame = make<Shape>(main, row, panel, bgr::Red);
        frame->hide();
        return frame;
    }
    case Kind::Comments: {
        TextArea* comments = make<TextArea>(main, row, panel);
        comments->setTabChangesFocus(true);
        comments->setBackColor(bgr::White);
        return comments;
    }
    }
    return nullptr;
}

void NetPanelBuilder::name(const PanelRow& row, QWidget* control)
{
    if (!row.accessibleName)
        return;
    const QString name = QLatin1String(row.accessibleName);
    switch (row.kind) {
    case Kind::TimerDisplay:
        static_cast<Label*>(control)->nameWithCaption(name);
        return;
    case Kind::Small:
        // The three apostrophes say nothing: the name is the tooltip as well.
        control->setAccessibleName(name);
        control->setToolTip(name);
        return;
    case Kind::ModeBox:
        control->setAccessibleName(name);
        if (QLineEdit* edit = static_cast<QComboBox*>(control)->lineEdit())
            edit->setAccessibleName(name);
        return;
    case Kind::Sink:
        control->setAccessibleName(name);
        control->setAccessibleDescription(QStringLiteral("Shift+Tab for the net panel, F6 for the participant window"));
        return;
    case Kind::Button:
    case Kind::Field:
    case Kind::Caption:
    case Kind::RightCaption:
    case Kind::RedFrame:
    case Kind::Comments:
        control->setAccessibleName(name);
        return;
    }
}

}  // namespace kolvane
