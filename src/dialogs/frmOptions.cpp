#include "dialogs/frmOptions.h"

#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace kolvane {

namespace {

constexpr int kKeyTab = 9;
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

// The body of the tab strip: the raised panel below the tabs that the pages stand on.
class TabBody : public QWidget {
public:
    explicit TabBody(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.shape = QTabBar::RoundedNorth;
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &p, this);
    }
};

QGroupBox* sampleFrame(int n, QWidget* page, int l, int t)
{
    return place<QGroupBox>(page, QStringLiteral("fraSample%1").arg(n), l, t, 2033, 2022,
                            QStringLiteral("Sample %1").arg(n));
}

int modifierState(Qt::KeyboardModifiers m)
{
    int state = 0;
    if (m & Qt::ShiftModifier)
        state |= kShiftMask;
    if (m & Qt::ControlModifier)
        state |= kCtrlMask;
    if (m & Qt::AltModifier)
        state |= kAltMask;
    return state;
}

}  // namespace

frmOptions::frmOptions(WindowLayer& layer, QWidget* owner) : QDialog(owner, kFixedDialogFlags), m_layer(layer)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(twips::size(6150, 5040));

    // The tab strip covers 105, 120, 5895 x 4245: its row of tabs on top of its body.
    const QRect strip = twips::rect(105, 120, 5895, 4245);
    auto* body = new TabBody(this);
    tbsOptions = new QTabBar(this);
    tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    tbsOptions->setExpanding(false);
    tbsOptions->setDrawBase(false);
    for (int i = 1; i <= kPages; ++i)
        tbsOptions->addTab(QStringLiteral("Group %1").arg(i));
    tbsOptions->setCurrentIndex(0);
    tbsOptions->setGeometry(strip.x(), strip.y(), strip.width(), tbsOptions->sizeHint().height());
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, tbsOptions);
    body->setGeometry(strip.x(), tbsOptions->geometry().bottom() + 1 - overlap, strip.width(),
                      strip.bottom() - tbsOptions->geometry().bottom() + overlap);

    for (int i = 0; i < kPages; ++i) {
        picOptions[i] = place<QWidget>(this, QStringLiteral("picOptions(%1)").arg(i), kHiddenLeft, 480, 5685, 3780);
        picOptions[i]->setEnabled(false);
    }
    fraSample1 = sampleFrame(1, picOptions[0], 208, 207);
    fraSample2 = sampleFrame(2, picOptions[1], 307, 305);
    fraSample3 = sampleFrame(3, picOptions[2], 406, 403);
    fraSample4 = sampleFrame(4, picOptions[3], 505, 502);
    // The selected tab stays whole where the pages reach up to the tabs.
    tbsOptions->raise();

    cmdOK = place<QPushButton>(this, "cmdOK", 2490, 4455, 1095, 375, QStringLiteral("OK"));
    cmdCancel = place<QPushButton>(this, "cmdCancel", 3720, 4455, 1095, 375, QStringLiteral("Cancel"));
    cmdApply = place<QPushButton>(this, "cmdApply", 4920, 4455, 1095, 375, QStringLiteral("&Apply"));

    // The dialog has no default button; Qt would otherwise make OK one and let Enter run it.
    for (QPushButton* b : {cmdOK, cmdCancel, cmdApply}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    setTabOrder(tbsOptions, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdApply);
    tbsOptions->setFocus();

    connect(tbsOptions, &QTabBar::currentChanged, this, &frmOptions::tbsOptions_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);

    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    Form_Load();
    tbsOptions_Click();
}

void frmOptions::Form_Load()
{
    setWindowIcon(parentWidget() ? parentWidget()->windowIcon() : QIcon());
}

void frmOptions::tbsOptions_Click()
{
    const int selected = tbsOptions->currentIndex() + 1;
    for (int i = 0; i < tbsOptions->count() && i < kPages; ++i) {
        const bool shown = i == selected - 1;
        picOptions[i]->move(twips::toPx(shown ? kShownLeft : kHiddenLeft), picOptions[i]->y());
        picOptions[i]->setEnabled(shown);
    }
}

void frmOptions::Form_KeyDown(int KeyCode, int Shift)
{
    const int i = tbsOptions->currentIndex() + 1;
    const int last = tbsOptions->count();
    if (KeyCode != kKeyTab)
        return;
    switch (Shift % 4) {  // Alt plays no part
    case kCtrlMask:
        tbsOptions->setCurrentIndex(i == last ? 0 : i);
        break;
    case kCtrlMask | kShiftMask:
        tbsOptions->setCurrentIndex(i == 1 ? last - 1 : i - 2);
        break;
    default:
        break;
    }
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+Shift+Tab arrives as Backtab.
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        const int shift = modifierState(key->modifiers());
        Form_KeyDown(tab ? kKeyTab : key->key(), shift);
        // A Ctrl+Tab that switched the page is used up here; otherwise the same press,
        // passed on from a control to its parents, would switch once for each of them.
        if (tab && (shift & kCtrlMask))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::cmdApply_Click()
{
    m_layer.messageBox(this, QStringLiteral("Apply Code goes here to set options w/o closing dialog!"));
}

void frmOptions::cmdOK_Click()
{
    m_layer.messageBox(this, QStringLiteral("Code goes here to set options and close dialog!"));
    accept();
}

void frmOptions::cmdCancel_Click()
{
    QDialog::reject();
}

void frmOptions::reject()
{
    cmdCancel_Click();
}

}  // namespace kolvane
