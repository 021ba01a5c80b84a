#include "ui/Controls.h"

#include "net/Callsign.h"
#include "net/Colors.h"
#include "ui/CachingStyle.h"
#include "ui/Colors.h"
#include "ui/Twips.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QHash>
#include <QKeyEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionButton>
#include <limits>

namespace kolvane {

FixedColors::FixedColors(QWidget* owner, QPalette::ColorRole backRole, QPalette::ColorRole textRole,
                         std::optional<quint32> back)
    : m_owner(owner), m_backRole(backRole), m_textRole(textRole), m_back(back)
{}

void FixedColors::setBack(quint32 c)
{
    // A palette change repaints and reaches every child; the same colour again changes nothing.
    if (m_applied && m_back == c)
        return;
    m_back = c;
    apply();
}

void FixedColors::setFore(quint32 c)
{
    if (m_applied && m_fore == c)
        return;
    m_fore = c;
    apply();
}

void FixedColors::setBoth(quint32 fore, quint32 back)
{
    if (m_applied && m_fore == fore && m_back == back)
        return;
    m_fore = fore;
    m_back = back;
    apply();
}

void FixedColors::changed(const QEvent* event)
{
    const bool themeChanged =
        event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
    if (themeChanged && !m_applying)
        apply();
}

void FixedColors::apply()
{
    const QScopedValueRollback<bool> guard(m_applying, true);
    QPalette p = m_owner->palette();
    if (m_back)
        p.setColor(m_backRole, toQColor(*m_back));
    // An explicit text colour is used as it is; the theme's own (or a system colour) only
    // where it stays readable on the background.
    QColor text;
    if (m_fore && !bgr::isSystemColor(*m_fore))
        text = toQColor(*m_fore);
    else if (m_back)
        text = readableTextOn(toQColor(*m_back),
                              m_fore ? toQColor(*m_fore) : QApplication::palette().color(QPalette::Active, m_textRole));
    if (text.isValid())
        p.setColor(m_textRole, text);
    m_owner->setPalette(p);
    m_applied = true;
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent), m_colors(this, QPalette::Base, QPalette::Text, bgr::White)
{
    // A line edit keeps only 32767 characters by default; a value loaded from a file
    // must come back out of the field whole.
    setMaxLength(std::numeric_limits<int>::max());
    // A text set while the field is without the keyboard leaves the caret at its end (or
    // where the callsign rule puts it), which would scroll the field to its end. The field
    // goes back to its beginning once whoever set it has finished, before it is painted.
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] {
        if (m_movingCaret || m_beginningQueued || holdsKeyboard())
            return;
        m_beginningQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_beginningQueued = false;
                if (!holdsKeyboard())
                    showBeginning();
            },
            Qt::QueuedConnection);
    });
}

bool TextBox::holdsKeyboard() const
{
    // Also while its window is not the active one: the keyboard comes back to it.
    return window()->focusWidget() == this;
}

void TextBox::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    m_colors.changed(event);
}

void TextBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup (a menu, a list of suggestions) leaves the field in the middle of its editing.
    if (event->reason() != Qt::PopupFocusReason)
        showBeginning();
}

void TextBox::focusInEvent(QFocusEvent* event)
{
    // Before the field's own handling, which may select the whole text (on Tab), and before
    // the first key: the key goes where the caret was.
    if (m_waitingCaret >= 0) {
        const int size = int(text().size());
        moveCaretUnheard(qMin(m_waitingAnchor, size), qMin(m_waitingCaret, size));
        m_waitingAnchor = m_waitingCaret = -1;
    }
    QLineEdit::focusInEvent(event);
}

void TextBox::showBeginning()
{
    const int caret = cursorPosition();
    const int anchor = !hasSelectedText() ? caret : selectionStart() == caret ? selectionEnd() : selectionStart();
    if (caret == 0 && anchor == 0)
        return;
    m_waitingAnchor = anchor;
    m_waitingCaret = caret;
    moveCaretUnheard(0, 0);
}

void TextBox::moveCaretUnheard(int anchor, int caret)
{
    // A screen reader would take the move for the operator's and read the field out of turn
    // (in place of its name when the field is getting the keyboard); the caret it last heard
    // of is where the operator left it, so it is not told.
    const QScopedValueRollback<bool> guard(m_movingCaret, true);
    const bool listening = QAccessible::isActive();
    const QAccessible::UpdateHandler before =
        listening ? QAccessible::installUpdateHandler([](QAccessibleEvent*) {}) : nullptr;
    if (anchor == caret)
        setCursorPosition(caret);
    else
        setSelection(anchor, caret - anchor);
    if (listening)
        QAccessible::installUpdateHandler(before);
}

TextArea::TextArea(QWidget* parent) : QPlainTextEdit(parent), m_colors(this, QPalette::Base, QPalette::Text, bgr::White)
{}

void TextArea::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    m_colors.changed(event);
}

void TextArea::keyPressEvent(QKeyEvent* event)
{
    // Shift+Enter would put a line separator into the paragraph, a character the saved
    // comments keep as it is; the operator means a new line, as with Enter alone.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

Label::Label(const QString& caption, QWidget* parent)
    : QLabel(parent), m_colors(this, QPalette::Window, QPalette::WindowText)
{
    // The format first: changing it lays out a caption already given a second time.
    setTextFormat(Qt::PlainText);
    QLabel::setText(caption);
}

void Label::ownBackground()
{
    if (!autoFillBackground())
        setAutoFillBackground(true);
    // Fill with its own colour even inside a toolbar band, whose children would otherwise
    // take the band's button role and draw its grey whatever colour the label holds.
    if (backgroundRole() != QPalette::Window)
        setBackgroundRole(QPalette::Window);
    if (foregroundRole() != QPalette::WindowText)
        setForegroundRole(QPalette::WindowText);
}

void Label::setBackColor(quint32 c)
{
    ownBackground();
    m_colors.setBack(c);
}

void Label::setColors(quint32 fore, quint32 back)
{
    ownBackground();
    m_colors.setBoth(fore, back);
}

void Label::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    m_colors.changed(event);
}

void Label::paintEvent(QPaintEvent* event)
{
    // A hundred participant windows draw the same captions on the same colours; an opaque
    // caption is laid out and drawn once and its picture reused. What is drawn is what
    // QLabel draws for a plain one-line caption: the text aligned in the contents rectangle.
    const QBrush& back = palette().brush(backgroundRole());
    const bool plain = textFormat() == Qt::PlainText && !wordWrap() && frameShape() == QFrame::NoFrame && margin() == 0
                       && indent() < 0 && !text().isRightToLeft() && !buddy() && autoFillBackground()
                       && back.style() == Qt::SolidPattern && back.isOpaque() && !text().isEmpty();
    const quint64 look = plain ? paletteLook(palette()) : 0;
    if (!look) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QPaintEngine* engine = painter.paintEngine();
    const QRect cr = contentsRect();
    const int flags = int(QStyle::visualAlignment(Qt::LeftToRight, alignment())) | Qt::TextForceLeftToRight;
    QStyleOption opt;
    opt.initFrom(this);
    auto draw = [&](QPainter* p, const QRect& r) {
        style()->drawItemText(p, r, flags, opt.palette, isEnabled(), text(), foregroundRole());
    };
    if (!engine || engine->type() != QPaintEngine::Raster || cr.isEmpty()) {
        draw(&painter, cr);
        return;
    }
    const qreal dpr = devicePixelRatio();
    PictureKey k;
    k << 0x40000 << look << quint64(opt.palette.currentColorGroup()) << quint64(cr.width()) << quint64(cr.height())
      << quint64(flags) << quint64(isEnabled()) << quint64(foregroundRole()) << quint64(backgroundRole())
      << quint64(dpr * 1000) << quintptr(style()) << style()->name() << fontKey(font()) << text();
    const QString key = k.take();
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(cr.size() * dpr);
        picture.setDevicePixelRatio(dpr);
        picture.fill(opt.palette.color(backgroundRole()));
        QPainter p(&picture);
        p.setFont(font());
        draw(&p, QRect(QPoint(0, 0), cr.size()));
        p.end();
        QPixmapCache::insert(key, picture);
    }
    painter.drawPixmap(cr.topLeft(), picture);
}

void Label::setText(const QString& caption)
{
    if (caption == text())
        return;
    QLabel::setText(caption);
    if (!m_what.isEmpty())
        setAccessibleName(m_what + u' ' + caption);
}

void Label::nameWithCaption(const QString& what)
{
    m_what = what;
    setAccessibleName(what + u' ' + text());
}

Shape::Shape(quint32 fill, QWidget* parent) : QWidget(parent), m_fill(fill)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setVisible(bool visible)
{
    const bool was = Visible();
    QWidget::setVisible(visible);
    if (Visible() != was)
        emit visibilityChanged();
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(m_fill));
}

SmallButton::SmallButton(QWidget* parent) : QPushButton(QStringLiteral("'''"), parent)
{
    QPalette p = palette();
    p.setColor(QPalette::Button, toQColor(bgr::Silver));
    setPalette(p);
}

void SmallButton::paintEvent(QPaintEvent*)
{
    // The style's margins would leave no room for the caption in a 17 x 13 pixel button,
    // so the bevel comes from the style and the caption is centred on the whole face.
    QPainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
    // The face is always light grey; the caption takes the theme's colour only where it
    // stays readable on it.
    p.setPen(isEnabled() ? readableTextOn(palette().color(QPalette::Button),
                                          QApplication::palette().color(QPalette::Active, QPalette::ButtonText))
                         : palette().color(QPalette::Disabled, QPalette::ButtonText));
    p.drawText(rect(), Qt::AlignCenter, text());
}

QFont dialogFont()
{
    QFont f = QApplication::font();
    f.setPointSizeF(8);
    return f;
}

QFont verdanaFont(double pointSize, bool bold)
{
    static const bool installed = QFontDatabase::hasFamily(QStringLiteral("Verdana"));
    QFont f = installed ? QFont(QStringLiteral("Verdana")) : QApplication::font();
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void autoSizeKeepingRightEdge(QLabel* label)
{
    const QRect before = label->geometry();
    // Every participant window sizes the same captions in the same font; laying out the text
    // once is enough.
    static QHash<QString, QSize> sizes;
    const bool plain = label->textFormat() == Qt::PlainText && !label->wordWrap()
                       && label->frameShape() == QFrame::NoFrame && label->margin() == 0 && label->indent() < 0;
    if (plain) {
        label->ensurePolished();
        const QString key = label->text() + QChar(0) + fontKey(label->font());
        auto it = sizes.constFind(key);
        if (it == sizes.constEnd())
            it = sizes.insert(key, label->sizeHint());
        label->resize(*it);
    } else {
        label->adjustSize();
    }
    if (label->width() > before.width())
        label->move(before.right() + 1 - label->width(), label->y());
}

namespace {

class SizeOnFirstShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            static_cast<QLabel*>(watched)->adjustSize();
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

}  // namespace

void autoSizeWhenShown(QLabel* label)
{
    if (!label->isHidden()) {
        label->adjustSize();
        return;
    }
    label->installEventFilter(new SizeOnFirstShow(label));
}

void forceCallsignCase(QLineEdit* field)
{
    // Writing the upper-case text back is itself a change; the second run finds it
    // unchanged, setText() raises nothing, and the chain stops there.
    field->setText(upperCallsign(field->text()));
    field->setCursorPosition(qMin(kCallsignCaret, int(field->text().size())));
}

}  // namespace kolvane
