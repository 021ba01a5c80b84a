#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace kolvane {

// A number for the colours of a palette, the same for every palette with the same colours in
// every group and role; 0 for one holding a gradient or a texture. A number is never given
// to other colours, so a picture kept under it is never taken for another look.
quint64 paletteLook(const QPalette& palette);

// The platform's style, with the pictures every participant window repeats drawn once:
//   - the four title-bar pictures of the window menu;
//   - the panel of a text field, the bevel of a push button and a title bar, kept per look
//     (element, state, size, colours, text) and reused wherever that look comes again.
// The style's own cache misses them: it keys on the palette's identity, and every widget
// holds a palette of its own even where the colours are the same.
class CachingStyle : public QProxyStyle {
public:
    explicit CachingStyle(const QString& baseStyle);

    QIcon standardIcon(StandardPixmap sp, const QStyleOption* option, const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement pe, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement ce, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;

private:
    mutable QHash<int, QIcon> m_icons;
};

}  // namespace kolvane
