#pragma once

#include <QFont>
#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace kolvane {

// A number for the colours of a palette, the same for every palette with the same colours in
// every group and role; 0 for one holding a gradient or a texture. A number is never given
// to other colours, so a picture kept under it is never taken for another look.
quint64 paletteLook(const QPalette& palette);

// QFont::key(), for the font asked for last without working it out again.
QString fontKey(const QFont& font);

// The key of a kept picture, of raw numbers and texts: keys are built at every paint, and
// formatted text would cost a good part of what the picture saves.
class PictureKey {
public:
    PictureKey& operator<<(quint64 v);
    PictureKey& operator<<(const QString& text);
    QString take() { return std::move(m_units); }

private:
    QString m_units;
};

// The style the program draws with: the platform's own, except on Windows, whose native
// styles paint push buttons themselves and ignore their palette, so the participant
// windows' silver buttons would come out in the system's colours. Fusion draws what the
// palette says there, as it does on Linux.
QString baseStyleName();

// The platform's style, with the pictures every participant window repeats drawn once:
//   - the four title-bar pictures of the window menu;
//   - the panel of a text field, the bevel of a push button, a title bar and a window frame, kept per look
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
    quint64 m_serial = 0;
};

}  // namespace kolvane
