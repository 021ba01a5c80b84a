#include "ui/frmMain.h"

#include "net/Colors.h"
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

void frmMain::switchTalkTimer(bool enabled)
{
    // Switched off and on again when the turn moves, so the new turn's first second is a
    // whole one.
    if (!enabled)
        timTalk->stop();
    else if (!timTalk->isActive())
        timTalk->start();
}

void frmMain::timTalk_Timer()
{
    m_net.talkTick();
}

// ---------------------------------------------------------------- ID timer

void frmMain::cmdIDTimer_Click()
{
    m_net.pressIdTimer();
    parkFocus(timID->isActive() ? QStringLiteral("ID timer running")
                                : QStringLiteral("ID timer stopped at ") + lblIDTimer->text());
}

void frmMain::timID_Timer()
{
    if (!m_net.idTick())
        return;
    // The period has ended: the focus leaves whatever field the operator was in, as the
    // button's own press does.
    parkFocus(QStringLiteral("ID timer stopped at ") + lblIDTimer->text());
    txtGirlFriend->setAccessibleName(QStringLiteral("Net panel, ") + idTimerExpired());
    announcer->announce(idTimerExpired());
}

void frmMain::showIdTimer()
{
    lblIDTimer->setText(m_net.idTimerCaption());
    lblIDTimer->setBackColor(m_net.idTimerBackColor());
    const IdTimerState state = m_net.idTimerState();
    const bool running = state == IdTimerState::Running;
    if (running != timID->isActive()) {
        if (running)
            timID->start();
        else
            timID->stop();
    }
    shpIDTimer->setVisible(running);
    const bool blinking = state == IdTimerState::Expired;
    if (blinking != timBlink->isActive()) {
        if (blinking)
            timBlink->start();
        else
            timBlink->stop();
    }
    describeIdTimer();
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
    m_net.blinkTick();
}

}  // namespace kolvane
