#pragma once

#include <QRect>
#include <QSize>

namespace kolvane::twips {

// 1440 twips to the inch: 15 twips to a pixel at 96 dpi, fewer on a screen with a higher
// logical DPI, so layouts keep their proportions.
double pixelsPerTwip();
int toPx(double twips);
double fromPx(int px);
QRect rect(int left, int top, int width, int height);
QSize size(int width, int height);

}  // namespace kolvane::twips
