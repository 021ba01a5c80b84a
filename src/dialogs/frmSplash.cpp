#include "dialogs/frmSplash.h"

#include "net/AppInfo.h"
#include "ui/AlwaysOnTop.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

namespace kolvane {

namespace {

Label* verdanaLabel(Label* lbl, double pt, bool bold, bool autoSize)
{
    lbl->setFont(verdanaFont(pt, bold));
    if (autoSize)
        lbl->adjustSize();
    return lbl;
}

}  // namespace

QPixmap splashLogo()
{
    QPixmap pm(364, 292);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 292);
    sky.setColorAt(0, QColor(0x1d, 0x35, 0x57));
    sky.setColorAt(1, QColor(0x45, 0x7b, 0x9d));
    p.fillRect(pm.rect(), sky);
    // Ground.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x4d, 0x2e));
    QPainterPath hill;
    hill.moveTo(0, 292);
    hill.cubicTo(90, 230, 270, 230, 364, 292);
    p.drawPath(hill);
    // Lattice mast.
    const QPointF top(182, 70);
    p.setPen(QPen(QColor(0xf1, 0xfa, 0xee), 3));
    p.drawLine(top, QPointF(150, 250));
    p.drawLine(top, QPointF(214, 250));
    p.setPen(QPen(QColor(0xf1, 0xfa, 0xee), 1.5));
    for (int i = 0; i < 6; ++i) {
        const double y1 = 95 + i * 26, y2 = y1 + 26;
        const double w1 = (y1 - 70) * 32 / 180, w2 = (y2 - 70) * 32 / 180;
        p.drawLine(QPointF(182 - w1, y1), QPointF(182 + w2, y2));
        p.drawLine(QPointF(182 + w1, y1), QPointF(182 - w2, y2));
    }
    // Waves from the top of the mast.
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        p.setPen(QPen(QColor(0xe6, 0x39, 0x46, 255 - i * 50), 4));
        const double r = i * 26;
        const QRectF box(top.x() - r, top.y() - r, 2 * r, 2 * r);
        p.drawArc(box, 30 * 16, 60 * 16);
        p.drawArc(box, 90 * 16 + 30 * 16, 60 * 16);
    }
    p.setBrush(QColor(0xe6, 0x39, 0x46));
    p.setPen(Qt::NoPen);
    p.drawEllipse(top, 6, 6);
    return pm;
}

frmSplash::frmSplash(WindowLayer& layer, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_layer(layer)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(twips::size(7455, 4710));
    setAutoFillBackground(true);

    fraMainFrame = place<QFrame>(this, "fraMainFrame", 45, -15, 7380, 4590);
    fraMainFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    fraMainFrame->setAcceptDrops(true);
    QWidget* f = fraMainFrame;

    picLogo = place<QLabel>(f, "picLogo", 90, 180, 5430, 4335);
    // Shown as drawn, from the top left corner, as a picture box shows its picture: scaling
    // it into the box would cost more than drawing it.
    picLogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picLogo->setPixmap(splashLogo());

    lblProductName = verdanaLabel(place<Label>(f, "lblProductName", 5640, 915, 1665, 270, QString()), 12, true, false);
    lblVersion = verdanaLabel(place<Label>(f, "lblVersion", 5640, 1290, 1575, 240, QString()), 9.75, false, false);
    lblPlatform =
        verdanaLabel(place<Label>(f, "lblPlatform", 5640, 1950, 435, 240, QStringLiteral("W32")), 9.75, false, true);
    lblPlatform->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCopyright = verdanaLabel(place<Label>(f, "lblCopyright", 5640, 2700, 840, 195, QStringLiteral("Copyright")),
                                8.25, false, true);
    lblCompany =
        verdanaLabel(place<Label>(f, "lblCompany", 5640, 3060, 870, 270, QStringLiteral("Team KV")), 12, true, true);
    Label1 = verdanaLabel(place<Label>(f, "Label1", 5640, 3360, 1395, 195, QStringLiteral("kolvane.example")), 8.25,
                          false, true);
    // Placeholders that nothing fills; they would cover the logo, so they stay hidden.
    lblCompanyProduct = verdanaLabel(
        place<Label>(f, "lblCompanyProduct", 405, 210, 1305, 435, QStringLiteral("Team KV")), 18, true, false);
    lblCompanyProduct->hide();
    autoSizeWhenShown(lblCompanyProduct);
    lblLicenseTo = verdanaLabel(place<Label>(f, "lblLicenseTo", 3135, 300, 4050, 255, QStringLiteral("LicenseTo")),
                                8.25, false, false);
    lblLicenseTo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblLicenseTo->hide();
    lblWarning = verdanaLabel(place<Label>(f, "lblWarning", 300, 3720, 6855, 195, QString()), 8.25, false, false);

    for (QWidget* w : std::initializer_list<QWidget*>{fraMainFrame, picLogo, lblProductName, lblVersion, lblPlatform,
                                                      lblCopyright, lblCompany, lblCompanyProduct, lblLicenseTo})
        w->installEventFilter(this);
    // A click on these two would reach the frame behind them; they swallow it instead.
    Label1->installEventFilter(this);
    lblWarning->installEventFilter(this);

    timSplash = new QTimer(this);
    timSplash->setObjectName(QStringLiteral("timSplash"));
    timSplash->setInterval(4000);
    connect(timSplash, &QTimer::timeout, this, &frmSplash::timSplash_Timer);

    Form_Load();

    centreOnScreen(this);
}

void frmSplash::Form_Load()
{
    lblVersion->setText(QStringLiteral("v") + versionText());
    lblProductName->setText(appTitle());
    lblProductName->adjustSize();
    timSplash->start();
}

void frmSplash::fraMainFrame_Click()
{
    timSplash->stop();
    close();
}

void frmSplash::timSplash_Timer()
{
    close();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    const bool mouse = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
                       || event->type() == QEvent::MouseButtonDblClick;
    if (mouse && watched == lblWarning && event->type() == QEvent::MouseButtonRelease) {
        // The empty warning line runs across the lower logo; where it lies over the logo a
        // click is a click on the logo.
        const QPoint at = lblWarning->mapTo(fraMainFrame, static_cast<QMouseEvent*>(event)->position().toPoint());
        if (picLogo->geometry().contains(at))
            fraMainFrame_Click();
        return true;
    }
    if (mouse && (watched == Label1 || watched == lblWarning))
        return true;
    if (event->type() == QEvent::MouseButtonRelease) {
        fraMainFrame_Click();
        return true;
    }
    if (watched == fraMainFrame && (event->type() == QEvent::DragEnter || event->type() == QEvent::Drop)) {
        event->accept();
        if (event->type() == QEvent::Drop)
            fraMainFrame_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::mouseReleaseEvent(QMouseEvent*)
{
    fraMainFrame_Click();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmSplash::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    timSplash->stop();
    SetTopMost(m_layer, this, 0);
}

}  // namespace kolvane
