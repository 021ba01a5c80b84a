#include "ui/Controls.h"

#include "net/Callsign.h"
#include "net/Colors.h"
#include "ui/Colors.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionButton>
#include <limits>

namespace kolvane {

namespace {

// Paints a widget's fixed background and its text. An explicit text colour is used as it
// is; with none, or with a system colour, the theme's text colour is kept where it stays
// readable on the background and black or white is used where it would not.
void applyFixedColors(QWidget* w, QPalette::ColorRole backRole, QPalette::ColorRole textRole,
                      std::optional<quint32> back, std::optional<quint32> fore)
{
    QPalette p = w->palette();
    if (back)
        p.setColor(backRole, toQColor(*back));
    QColor text;
    if (fore && !bgr::isSystemColor(*fore))
        text = toQColor(*fore);
    else if (back)
        text = readableTextOn(toQColor(*back),
                              fore ? toQColor(*fore) : QApplication::palette().color(QPalette::Active, textRole));
    if (text.isValid())
        p.setColor(textRole, text);
    w->setPalette(p);
}

bool themeChanged(const QEvent* event)
{
    return event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
}

}  // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent), m_back(bgr::White)
{
    // A line edit keeps only 32767 characters by default; a value loaded from a file
    // must come back out of the field whole.
    setMaxLength(std::numeric_limits<int>::max());
}

void TextBox::setBackColor(quint32 c)
{
    m_back = c;
    applyColors();
}

void TextBox::setForeColor(quint32 c)
{
    m_fore = c;
    applyColors();
}

void TextBox::applyColors()
{
    const QScopedValueRollback<bool> guard(m_applying, true);
    applyFixedColors(this, QPalette::Base, QPalette::Text, m_back, m_fore);
}

void TextBox::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (!m_applying && themeChanged(event))
        applyColors();
}

TextArea::TextArea(QWidget* parent) : QPlainTextEdit(parent), m_back(bgr::White) {}

void TextArea::setBackColor(quint32 c)
{
    m_back = c;
    applyColors();
}

void TextArea::applyColors()
{
    const QScopedValueRollback<bool> guard(m_applying, true);
    applyFixedColors(this, QPalette::Base, QPalette::Text, m_back, std::nullopt);
}

void TextArea::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (!m_applying && themeChanged(event))
        applyColors();
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

Label::Label(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setTextFormat(Qt::PlainText);
}

void Label::setBackColor(quint32 c)
{
    m_back = c;
    setAutoFillBackground(true);
    // Fill with its own colour even inside a toolbar band, whose children would otherwise
    // take the band's button role and draw its grey whatever colour the label holds.
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
    applyColors();
}

void Label::setForeColor(quint32 c)
{
    m_fore = c;
    applyColors();
}

void Label::applyColors()
{
    const QScopedValueRollback<bool> guard(m_applying, true);
    applyFixedColors(this, QPalette::Window, QPalette::WindowText, m_back, m_fore);
}

void Label::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (!m_applying && themeChanged(event))
        applyColors();
}

Shape::Shape(quint32 fill, QWidget* parent) : QWidget(parent), m_fill(fill)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
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

UpdatesFrozen::UpdatesFrozen(QWidget* widget) : m_widget(widget), m_wasEnabled(widget->updatesEnabled())
{
    m_widget->setUpdatesEnabled(false);
}

UpdatesFrozen::~UpdatesFrozen()
{
    if (m_wasEnabled)
        m_widget->setUpdatesEnabled(true);
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
    label->adjustSize();
    if (label->width() > before.width())
        label->move(before.right() + 1 - label->width(), label->y());
}

void forceCallsignCase(QLineEdit* field)
{
    // Writing the upper-case text back is itself a change; the second run finds it
    // unchanged, setText() raises nothing, and the chain stops there.
    field->setText(upperCallsign(field->text()));
    field->setCursorPosition(qMin(kCallsignCaret, int(field->text().size())));
}

}  // namespace kolvane
