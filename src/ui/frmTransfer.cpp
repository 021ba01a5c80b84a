#include "ui/frmTransfer.h"

#include "ui/CallsignSuggestions.h"
#include "ui/Controls.h"
#include "ui/Twips.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"

#include <QCloseEvent>
#include <QPushButton>

namespace kolvane {

frmTransfer::frmTransfer(frmMain& main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setWindowTitle(QStringLiteral("Transfer Net Control To:"));
    // An ordinary sizable window: only its starting size is set.
    resize(twips::size(3870, 2115));

    const QString captions[3] = {QStringLiteral("&Callsign:"), QStringLiteral("&Handle:"), QStringLiteral("&QTH:")};
    const int labelTops[3] = {210, 600, 1005};
    const int fieldTops[3] = {195, 585, 990};
    const char* const fieldNames[3] = {"txtNewCallsign", "txtNewHandle", "txtNewQTH"};
    TextBox* fields[3] = {};
    for (int i = 0; i < 3; ++i) {
        lblLabels[i] =
            place<Label>(this, QStringLiteral("lblLabels(%1)").arg(i), 780, labelTops[i], 1080, 255, captions[i]);
        fields[i] = place<TextBox>(this, QString::fromLatin1(fieldNames[i]), 1980, fieldTops[i], 870, 285);
        lblLabels[i]->setBuddy(fields[i]);
    }
    txtNewCallsign = fields[0];
    txtNewHandle = fields[1];
    txtNewQTH = fields[2];

    cmdOK = place<QPushButton>(this, "cmdOK", 525, 1560, 1140, 360, QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = place<QPushButton>(this, "cmdCancel", 2130, 1560, 1140, 360, QStringLiteral("Cancel"));

    setTabOrder(txtNewCallsign, txtNewHandle);
    setTabOrder(txtNewHandle, txtNewQTH);
    setTabOrder(txtNewQTH, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtNewCallsign->setFocus();

    connect(txtNewCallsign, &QLineEdit::textChanged, this, &frmTransfer::txtNewCallsign_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmTransfer::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTransfer::cmdCancel_Click);
    // The new station is often a regular, or a station of the net; with both of its other
    // fields filled, OK is next.
    if (main.state().regulars)
        new CallsignSuggestions(txtNewCallsign, {txtNewHandle, txtNewQTH, cmdOK}, *main.state().regulars, &main.net());
}

void frmTransfer::Form_Load()
{
    m_main.layer().processPendingEvents();
}

void frmTransfer::Form_QueryUnload(UnloadMode mode)
{
    if (mode != UnloadMode::FormCode)
        cmdCancel_Click();
}

void frmTransfer::cmdOK_Click()
{
    struct Check {
        TextBox* field;
        QString message;
    };
    const Check checks[] = {
        {txtNewCallsign, QStringLiteral("Please enter NEW Net Control Callsign")},
        {txtNewHandle, QStringLiteral("Please enter New Net Control Handle")},
        {txtNewQTH, QStringLiteral("Please enter New Net Control QTH")},
    };
    for (const Check& c : checks) {
        if (c.field->text().isEmpty()) {
            m_main.setStatusText(c.message);
            m_main.layer().messageBox(this, c.message);
            m_main.layer().processPendingEvents();
            c.field->setFocus();
            return;
        }
    }
    m_station = NetControlStation{txtNewCallsign->text(), txtNewHandle->text(), txtNewQTH->text()};
    closeByProgram(QDialog::Accepted);
}

void frmTransfer::cmdCancel_Click()
{
    m_station.reset();
    closeByProgram(QDialog::Rejected);
}

void frmTransfer::txtNewCallsign_Change()
{
    forceCallsignCase(txtNewCallsign);
}

void frmTransfer::reject()
{
    if (m_closingByProgram)
        QDialog::reject();
    else
        cmdCancel_Click();
}

void frmTransfer::closeEvent(QCloseEvent* event)
{
    if (isVisible())
        Form_QueryUnload(m_closingByProgram ? UnloadMode::FormCode : UnloadMode::ControlMenu);
    event->accept();
}

void frmTransfer::closeByProgram(int result)
{
    m_closingByProgram = true;
    done(result);
}

}  // namespace kolvane
