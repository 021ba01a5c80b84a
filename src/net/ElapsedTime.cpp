#include "net/ElapsedTime.h"

#include <limits>

namespace kolvane {

void advanceElapsed(qint16& elapsed, qint16& seconds, qint16& minutes)
{
    if (elapsed < std::numeric_limits<qint16>::max())
        ++elapsed;
    seconds = qint16(elapsed % 60);
    minutes = qint16((elapsed / 60) % 60);
}

QString elapsedDisplay(qint16 minutes, qint16 seconds)
{
    return QStringLiteral("%1:%2")
        .arg(int(minutes), 2, 10, QLatin1Char('0'))
        .arg(int(seconds), 2, 10, QLatin1Char('0'));
}

}  // namespace kolvane
