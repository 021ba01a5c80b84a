#include "ui/Colors.h"

#include "net/Colors.h"

#include <QApplication>
#include <QPalette>
#include <array>
#include <cmath>

namespace kolvane {

QColor toQColor(quint32 c)
{
    if (bgr::isSystemColor(c)) {
        const QPalette pal = QApplication::palette();
        switch (bgr::systemColorIndex(c)) {
        case 8:  // window text
            return pal.color(QPalette::Active, QPalette::WindowText);
        case 11:  // inactive border: the light grey of an inactive window frame
            return pal.color(QPalette::Inactive, QPalette::Window);
        case 12:  // application workspace behind the child windows
            return pal.color(QPalette::Active, QPalette::Dark);
        case 5:  // window background
            return pal.color(QPalette::Active, QPalette::Base);
        case 15:  // button face
            return pal.color(QPalette::Active, QPalette::Button);
        default:
            return pal.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(bgr::red(c), bgr::green(c), bgr::blue(c));
}

namespace {

// sRGB to linear light, looked up: every coloured control of a hundred windows asks.
double linear(int channel)
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (size_t i = 0; i < t.size(); ++i) {
            const double v = double(i) / 255.0;
            t[i] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table[size_t(qBound(0, channel, 255))];
}

double relativeLuminance(const QColor& c)
{
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableTextOn(const QColor& background, const QColor& themeText)
{
    constexpr double kReadable = 4.5;
    if (contrastRatio(themeText, background) >= kReadable)
        return themeText;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

}  // namespace kolvane
