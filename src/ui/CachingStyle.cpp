#include "ui/CachingStyle.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QPushButton>
#include <QStyleOption>

namespace kolvane {

QString baseStyleName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("fusion");
#else
    return QApplication::style()->name();
#endif
}

namespace {

// Pictures larger than this are drawn directly: a maximised title bar is drawn seldom, and
// the cache is shared with the style's own.
constexpr int kMaxCachedArea = 640 * 48;

class PaletteLooks {
public:
    // 0 where the palette holds a gradient or a texture, which is not kept.
    quint64 look(const QPalette& palette)
    {
        const qint64 identity = palette.cacheKey();
        if (const auto it = m_byIdentity.constFind(identity); it != m_byIdentity.constEnd())
            return *it;
        QByteArray colours;
        colours.reserve(QPalette::NColorGroups * QPalette::NColorRoles * int(sizeof(quint64)));
        for (int g = 0; g < QPalette::NColorGroups; ++g) {
            for (int r = 0; r < QPalette::NColorRoles; ++r) {
                const QBrush& b = palette.brush(QPalette::ColorGroup(g), QPalette::ColorRole(r));
                if (b.style() != Qt::SolidPattern && b.style() != Qt::NoBrush)
                    return remember(identity, 0);
                const quint64 rgba = b.style() == Qt::NoBrush ? 0 : b.color().rgba64();
                colours.append(reinterpret_cast<const char*>(&rgba), sizeof rgba);
            }
        }
        auto look = m_byColours.constFind(colours);
        if (look == m_byColours.constEnd())
            look = m_byColours.insert(colours, ++m_lastLook);
        return remember(identity, *look);
    }

private:
    quint64 remember(qint64 identity, quint64 look)
    {
        // Every palette change makes a new identity; the table is emptied now and then.
        if (m_byIdentity.size() > 4096)
            m_byIdentity.clear();
        if (m_byColours.size() > 1024)
            m_byColours.clear();
        m_byIdentity.insert(identity, look);
        return look;
    }

    QHash<qint64, quint64> m_byIdentity;
    QHash<QByteArray, quint64> m_byColours;
    quint64 m_lastLook = 0;
};

PaletteLooks& paletteLooks()
{
    static PaletteLooks looks;
    return looks;
}

// What every cached picture's key holds: the element and what the option and the painter bring.
PictureKey commonKey(quint64 style, quint64 kind, const QStyleOption* option, const QPainter* painter, quint64 look)
{
    PictureKey key;
    key << style << kind << quint64(option->state) << quint64(option->direction) << look
        << quint64(option->palette.currentColorGroup()) << quint64(option->rect.width())
        << quint64(option->rect.height()) << quint64(painter->device()->devicePixelRatio() * 1000);
    return key;
}

// Only a plain raster painter gives the same pixels from a picture as from drawing.
bool cacheable(const QStyleOption* option, const QPainter* painter)
{
    const QPaintEngine* engine = painter->paintEngine();
    const QRect& r = option->rect;
    return engine && engine->type() == QPaintEngine::Raster && painter->device()
           && painter->transform().type() <= QTransform::TxTranslate
           && painter->compositionMode() == QPainter::CompositionMode_SourceOver && !r.isEmpty()
           && r.width() * r.height() <= kMaxCachedArea;
}

// Draws `draw` once into a picture kept under `key`, then the picture where it belongs.
template <class Draw>
void drawThroughCache(const QString& key, const QStyleOption* option, QPainter* painter, Draw draw)
{
    const QRect& r = option->rect;
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        const qreal dpr = painter->device()->devicePixelRatio();
        picture = QPixmap(r.size() * dpr);
        picture.setDevicePixelRatio(dpr);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setFont(painter->font());
        p.setPen(painter->pen());
        p.setBrush(painter->brush());
        p.setRenderHints(painter->renderHints());
        p.setLayoutDirection(painter->layoutDirection());
        p.translate(-r.topLeft());
        draw(&p);
        p.end();
        QPixmapCache::insert(key, picture);
    }
    painter->drawPixmap(r.topLeft(), picture);
}

bool isFieldOfItsOwn(const QWidget* widget)
{
    // A line edit inside a combo box or a spin box is drawn as part of it.
    const QWidget* parent = widget ? widget->parentWidget() : nullptr;
    return qobject_cast<const QLineEdit*>(widget) && !qobject_cast<const QComboBox*>(parent)
           && !qobject_cast<const QAbstractSpinBox*>(parent);
}

}  // namespace

PictureKey& PictureKey::operator<<(quint64 v)
{
    for (int i = 0; i < 4; ++i, v >>= 16)
        m_units.append(QChar(ushort(v & 0xffff)));
    return *this;
}

PictureKey& PictureKey::operator<<(const QString& text)
{
    *this << quint64(text.size());
    m_units.append(text);
    return *this;
}

QString fontKey(const QFont& font)
{
    // The widgets of a window share one font; its key is worked out once. The font is let go
    // with the application, before the font database it refers to.
    struct Last {
        QFont font;
        QString key;
    };
    static Last* last = nullptr;
    if (!last) {
        last = new Last{font, font.key()};
        qAddPostRoutine([] {
            delete last;
            last = nullptr;
        });
    } else if (!(font == last->font)) {
        last->font = font;
        last->key = font.key();
    }
    return last->key;
}

quint64 paletteLook(const QPalette& palette)
{
    return paletteLooks().look(palette);
}

CachingStyle::CachingStyle(const QString& baseStyle) : QProxyStyle(baseStyle)
{
    // Pictures drawn by another style, or by this one over another base, are never taken.
    static quint64 styles = 0;
    m_serial = ++styles;
}

QIcon CachingStyle::standardIcon(StandardPixmap sp, const QStyleOption* option, const QWidget* widget) const
{
    // Every participant window's menu asks for the same four title-bar pictures.
    const bool titleBar = sp == SP_TitleBarNormalButton || sp == SP_TitleBarMinButton || sp == SP_TitleBarMaxButton
                          || sp == SP_TitleBarCloseButton;
    if (!titleBar || option)
        return QProxyStyle::standardIcon(sp, option, widget);
    auto it = m_icons.constFind(sp);
    if (it == m_icons.constEnd())
        it = m_icons.insert(sp, QProxyStyle::standardIcon(sp, option, widget));
    return *it;
}

void CachingStyle::drawPrimitive(PrimitiveElement pe, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    const bool kept = (pe == PE_PanelLineEdit && isFieldOfItsOwn(widget))
                      || (pe == PE_FrameWindow && qobject_cast<const QMdiSubWindow*>(widget));
    if (!kept || !frame || !cacheable(option, painter))
        return QProxyStyle::drawPrimitive(pe, option, painter, widget);
    const quint64 look = paletteLook(option->palette);
    if (!look)
        return QProxyStyle::drawPrimitive(pe, option, painter, widget);
    PictureKey key = commonKey(m_serial, 0x10000 + quint64(pe), option, painter, look);
    key << quint64(frame->lineWidth) << quint64(frame->midLineWidth) << quint64(frame->features)
        << quint64(frame->frameShape);
    drawThroughCache(key.take(), option, painter,
                     [&](QPainter* p) { QProxyStyle::drawPrimitive(pe, option, p, widget); });
}

void CachingStyle::drawControl(ControlElement ce, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (ce != CE_PushButtonBevel || !button || !qobject_cast<const QPushButton*>(widget) || !cacheable(option, painter))
        return QProxyStyle::drawControl(ce, option, painter, widget);
    const quint64 look = paletteLook(option->palette);
    if (!look)
        return QProxyStyle::drawControl(ce, option, painter, widget);
    PictureKey key = commonKey(m_serial, 0x20000 + quint64(ce), option, painter, look);
    key << quint64(button->features);
    drawThroughCache(key.take(), option, painter,
                     [&](QPainter* p) { QProxyStyle::drawControl(ce, option, p, widget); });
}

void CachingStyle::drawComplexControl(ComplexControl cc, const QStyleOptionComplex* option, QPainter* painter,
                                      const QWidget* widget) const
{
    const auto* bar = qstyleoption_cast<const QStyleOptionTitleBar*>(option);
    if (cc != CC_TitleBar || !bar || !qobject_cast<const QMdiSubWindow*>(widget) || !cacheable(option, painter))
        return QProxyStyle::drawComplexControl(cc, option, painter, widget);
    const quint64 look = paletteLook(option->palette);
    if (!look)
        return QProxyStyle::drawComplexControl(cc, option, painter, widget);
    PictureKey key = commonKey(m_serial, 0x30000 + quint64(cc), option, painter, look);
    key << quint64(bar->subControls) << quint64(bar->activeSubControls) << quint64(bar->titleBarState)
        << quint64(bar->titleBarFlags) << quint64(bar->icon.cacheKey()) << fontKey(painter->font()) << bar->text;
    drawThroughCache(key.take(), option, painter,
                     [&](QPainter* p) { QProxyStyle::drawComplexControl(cc, option, p, widget); });
}

}  // namespace kolvane
