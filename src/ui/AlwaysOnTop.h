#pragma once

#include <QtGlobal>

class QWidget;

namespace kolvane {

class WindowLayer;

// The truth value of the flag below: all bits set.
constexpr qint32 kTrue = -1;

// Puts `window` into the topmost band when `onTop` is exactly kTrue and returns the
// platform's answer; any other value takes it out of the band and returns 0.
qint32 SetTopMost(WindowLayer& layer, QWidget* window, qint32 onTop);

}  // namespace kolvane
