#pragma once

#include <QString>
#include <QtGlobal>

namespace kolvane {

// One tick of a seconds counter (the talk timer or the ID timer): the count grows by one
// and saturates at 32767, the seconds and minutes shown are derived from it. Hours are
// dropped from the display.
void advanceElapsed(qint16& elapsed, qint16& seconds, qint16& minutes);

// "mm:ss", each part at least two digits: "00:00", "01:01", "59:59".
QString elapsedDisplay(qint16 minutes, qint16 seconds);

}  // namespace kolvane
