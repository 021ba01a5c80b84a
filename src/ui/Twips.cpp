#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kolvane::twips {

double pixelsPerTwip()
{
    double dpi = 96.0;
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const double logical = s->logicalDotsPerInch();
        if (logical > 0)
            dpi = logical;
    }
    return dpi / 1440.0;
}

int toPx(double tw)
{
    return int(std::lround(tw * pixelsPerTwip()));
}

double fromPx(int px)
{
    return px / pixelsPerTwip();
}

QRect rect(int left, int top, int width, int height)
{
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}

QSize size(int width, int height)
{
    return QSize(toPx(width), toPx(height));
}

}  // namespace kolvane::twips
