#include "ui/Controls.h"

#include "net/Callsign.h"
#include "net/Colors.h"
#include "ui/Colors.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <limits>

namespace kolvane {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent), m_back(bgr::White)
{
    // A line edit keeps only 32767 characters by default; a value loaded from a file
    // must come back out of the field whole.
    setMaxLength(std::numeric_limits<int>::max());
}

void TextBox::setBackColor(quint32 c)
{
    m_back = c;
    QPalette p = palette();
    p.setColor(QPalette::Base, toQColor(c));
    setPalette(p);
}

void TextBox::setForeColor(quint32 c)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, toQColor(c));
    setPalette(p);
}

Label::Label(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setTextFormat(Qt::PlainText);
}

void Label::setBackColor(quint32 c)
{
    m_back = c;
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(c));
    setPalette(p);
}

void Label::setForeColor(quint32 c)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, toQColor(c));
    p.setColor(QPalette::Disabled, QPalette::WindowText, toQColor(c));
    setPalette(p);
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
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
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
    // Every participant window sizes the same captions in the same font; laying out the text
    // once is enough.
    static QHash<QString, QSize> sizes;
    const bool plain = label->textFormat() == Qt::PlainText && !label->wordWrap()
                       && label->frameShape() == QFrame::NoFrame && label->margin() == 0 && label->indent() < 0;
    if (plain) {
        label->ensurePolished();
        const QString key = label->text() + QChar(0) + label->font().key();
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
