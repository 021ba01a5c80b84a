#include "ui/frmMain.h"

#include "net/Colors.h"
#include "net/ElapsedTime.h"
#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/frmDocument.h"

#include <QTimer>

namespace kolvane {

namespace {

QString idTimerExpired()
{
    return QStringLiteral("ID timer expired");
}

}  // namespace

// ---------------------------------------------------------------- talk timer

void frmMain::startTalkTimer()
{
    timTalk->start();
}

void frmMain::stopTalkTimer()
{
    timTalk->stop();
}

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

}  // namespace kolvane
