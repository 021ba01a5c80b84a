#include "dialogs/frmAbout.h"

#include "net/AppInfo.h"
#include "net/Colors.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"

#include <QPainter>
#include <QPushButton>

namespace kolvane {

namespace {

Label* aboutLabel(Label* lbl)
{
    lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return lbl;
}

void setVerdana(QLabel* lbl, double pt, bool bold)
{
    lbl->setFont(verdanaFont(pt, bold));
}

// A fixed caption in a font that may be wider here than where the layout was drawn:
// let it grow to the right rather than cut it off.
void growToFit(QLabel* lbl)
{
    const QSize hint = lbl->sizeHint();
    if (hint.width() > lbl->width() || hint.height() > lbl->height())
        lbl->resize(qMax(hint.width(), lbl->width()), qMax(hint.height(), lbl->height()));
}

// A word-wrapped text in a fixed box: the small dialog font, made smaller still where
// this system's fonts run wider than the box allows, so that nothing is cut off.
void fitWrappedText(QLabel* lbl)
{
    QFont f = dialogFont();
    for (double pt = f.pointSizeF(); pt >= 6.0; pt -= 0.25) {
        f.setPointSizeF(pt);
        lbl->setFont(f);
        if (lbl->heightForWidth(lbl->width()) <= lbl->height())
            return;
    }
}

}  // namespace

QPixmap fallbackAppIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x35, 0x57));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
    // A mast with waves from its top, as on the splash.
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(16, 12), QPointF(10, 28));
    p.drawLine(QPointF(16, 12), QPointF(22, 28));
    p.drawLine(QPointF(12.5, 22), QPointF(19.5, 22));
    p.setPen(QPen(QColor(0xe6, 0x39, 0x46), 2));
    p.setBrush(Qt::NoBrush);
    for (int r = 5; r <= 10; r += 5) {
        const QRectF box(16 - r, 12 - r, 2 * r, 2 * r);
        p.drawArc(box, 30 * 16, 60 * 16);
        p.drawArc(box, 120 * 16, 60 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe6, 0x39, 0x46));
    p.drawEllipse(QPointF(16, 12), 2.5, 2.5);
    return pm;
}

frmAbout::frmAbout(WindowLayer& layer, QWidget* owner) : QDialog(owner, kFixedDialogFlags), m_layer(layer)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(twips::size(5865, 3885));

    picIcon = place<QLabel>(this, "picIcon", 240, 240, 540, 540);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblTitle = aboutLabel(place<Label>(this, "lblTitle", 1050, 240, 1350, 480, QString()));
    setVerdana(lblTitle, 9.75, true);
    Label1 = aboutLabel(place<Label>(this, "Label1", 2820, 210, 1620, 480, QStringLiteral("Team KV")));
    setVerdana(Label1, 20.25, true);
    growToFit(Label1);
    Label2 = aboutLabel(place<Label>(this, "Label2", 2865, 735, 1440, 240, QStringLiteral("kolvane.example")));
    setVerdana(Label2, 8.25, false);
    growToFit(Label2);
    lblVersion = aboutLabel(place<Label>(this, "lblVersion", 1050, 780, 1275, 225, QStringLiteral("Version")));
    lblVersion->setFont(dialogFont());
    lblDescription =
        aboutLabel(place<Label>(this, "lblDescription", 1050, 1125, 4092, 1170, QStringLiteral("App Description")));
    lblDescription->setWordWrap(true);

    // The grey line lies one pixel above the white one, which is two pixels thick.
    Line1[1] = new Shape(bgr::Grey, this);
    Line1[1]->setObjectName(QStringLiteral("Line1(1)"));
    Line1[1]->setGeometry(twips::toPx(225), twips::toPx(2310), twips::toPx(5657 - 225), 1);
    Line1[0] = new Shape(bgr::White, this);
    Line1[0]->setObjectName(QStringLiteral("Line1(0)"));
    Line1[0]->setGeometry(twips::toPx(240), twips::toPx(2310) + 1, twips::toPx(5657 - 240), 2);

    lblDisclaimer =
        aboutLabel(place<Label>(this, "lblDisclaimer", 255, 2505, 3825, 1245, QStringLiteral("Warning: ...")));
    lblDisclaimer->setWordWrap(true);

    cmdOK = place<QPushButton>(this, "cmdOK", 4245, 2625, 1467, 345, QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdSysInfo = place<QPushButton>(this, "cmdSysInfo", 4260, 3075, 1452, 345, QStringLiteral("&System Info..."));

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

void frmAbout::Form_Load()
{
    const QIcon icon = parentWidget() ? parentWidget()->windowIcon() : QIcon();
    setWindowIcon(icon);
    picIcon->setPixmap(icon.isNull() ? fallbackAppIcon() : icon.pixmap(32, 32));

    lblVersion->setText(QStringLiteral("Version ") + versionText());
    lblTitle->setText(appTitle());
    setWindowTitle(appTitle());
    lblDescription->setText(
        appTitle() + QStringLiteral(" could be used to track and manage on-air gatherings of radio stations, ")
        + QStringLiteral("such as nets and group discussions. Its features ")
        + QStringLiteral("include individual participant 'talk' timers, ID timer and transferring the entire ")
        + QStringLiteral("session to a new Net Control."));
    lblDisclaimer->setText(
        QStringLiteral("DISCLAIMER: This software is provided as-is with no warranty,  ")
        + QStringLiteral("implied or otherwise. Any liability is the sole responsibility of it's user.")
        + QStringLiteral("This software is provided free of charge and it's distribution is encourage ")
        + QStringLiteral("as long as it is not modified in any way or charged for it's use or distribution."));
    fitWrappedText(lblDescription);
    fitWrappedText(lblDisclaimer);
}

void frmAbout::cmdOK_Click()
{
    // Esc (the dialog's reject) closes it the same way.
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    QString sysInfoPath;
    bool found = false;
    if (GetKeyValue(ConfigStore::LocalMachine, sysInfoKey(), sysInfoValue(), sysInfoPath)) {
        // Taken as it stands: if nothing can be started there, the start below fails.
        found = true;
    } else if (GetKeyValue(ConfigStore::LocalMachine, sysInfoLocationKey(), sysInfoLocationValue(), sysInfoPath)) {
        const QString program = sysInfoPath + sysInfoProgram();
        if (m_layer.fileExists(program)) {
            sysInfoPath = program;
            found = true;
        }
    }
    if (found && m_layer.startProgram(sysInfoPath))
        return;
    m_layer.messageBox(this, QStringLiteral("System Information Is Unavailable At This Time"));
}

bool frmAbout::GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    ConfigStore& store = m_layer.configStore();
    // Read access is all a lookup needs. Windows refuses all access rights on the machine's
    // keys to an account that is not an administrator, which would leave the tool
    // unavailable to every ordinary operator.
    const std::optional<quintptr> key = store.openKey(KeyRoot, KeyName, ConfigStore::ReadAccess);
    if (!key) {
        KeyVal.clear();
        return false;
    }

    quint32 type = 0;
    quint32 number = 0;
    QString buffer(kKeyBufferChars, QChar(0));
    if (!store.queryValue(*key, SubKeyRef, kKeyBufferChars, type, buffer, number)) {
        KeyVal.clear();
        store.closeKey(*key);
        return false;
    }

    if (type == ConfigStore::TypeText) {
        const qsizetype end = buffer.indexOf(QChar(0));
        KeyVal = end < 0 ? buffer : buffer.left(end);
    } else if (type == ConfigStore::TypeNumber) {
        KeyVal = QString::number(number);
    }
    store.closeKey(*key);
    return true;
}

}  // namespace kolvane
