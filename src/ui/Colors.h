#pragma once

#include <QColor>
#include <QtGlobal>

namespace kolvane {

// The one place that knows the byte order of the program's 0x00BBGGRR colours and what
// the system colour numbers stand for on this platform.
QColor toQColor(quint32 bgr);

// Contrast of two colours as the accessibility guidelines define it: 1 (none) to 21.
double contrastRatio(const QColor& a, const QColor& b);

// The text colour for a fixed background: the theme's own text colour where it stays
// readable there (4.5:1), otherwise black or white, whichever stands out more. A dark
// desktop theme would otherwise draw light text on the light cyan, orange and white
// that the net's windows keep whatever the theme.
QColor readableTextOn(const QColor& background, const QColor& themeText);

}  // namespace kolvane
