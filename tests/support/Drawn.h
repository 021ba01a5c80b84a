#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace kolvane::test {

// What the operator sees of a widget: its pixels as rendered, not the colours it stores.
inline QImage drawnImage(QWidget* w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The colour covering most of the widget: its background as drawn.
inline QColor drawnBackground(QWidget* w)
{
    const QImage img = drawnImage(w);
    QHash<QRgb, int> counts;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ++counts[img.pixel(x, y) & 0xFFFFFFu];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            most = it.value(), best = it.key();
    return QColor(best);
}

// The colour drawn at a point of the widget, in its own coordinates.
inline QColor drawnAt(QWidget* w, QPoint p)
{
    return QColor(drawnImage(w).pixel(p));
}

// The colour of a frame shape as the operator sees it around its button: read in the
// container, so a hidden frame shows the container's colour.
inline QColor drawnFrame(QWidget* shape)
{
    return drawnAt(shape->parentWidget(), shape->geometry().topLeft() + QPoint(1, 1));
}

inline double contrast(const QColor& a, const QColor& b)
{
    auto lum = [](const QColor& c) {
        auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The drawn pixel inside the widget's border that stands out most from its background:
// the colour of its text.
inline QColor drawnInk(QWidget* w)
{
    const QColor back = drawnBackground(w);
    const QImage img = drawnImage(w);
    QColor ink = back;
    double best = 1.0;
    for (int y = 2; y < img.height() - 2; ++y)
        for (int x = 2; x < img.width() - 2; ++x) {
            const QColor c(img.pixel(x, y));
            const double r = contrast(c, back);
            if (r > best)
                best = r, ink = c;
        }
    return ink;
}

}  // namespace kolvane::test
