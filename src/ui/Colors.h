#pragma once

#include <QColor>
#include <QtGlobal>

namespace kolvane {

// The one place that knows the byte order of the program's 0x00BBGGRR colours and what
// the system colour numbers stand for on this platform.
QColor toQColor(quint32 bgr);

}  // namespace kolvane
