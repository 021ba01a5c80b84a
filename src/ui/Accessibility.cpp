#include "ui/Accessibility.h"

#include "ui/Controls.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace kolvane {

namespace {

const char* const kCheckedProperty = "kolvaneAccessibleChecked";
const char* const kShortcutProperty = "kolvaneAccessibleShortcut";

// The boundaries come from the toolkit's finder, walked forward from the start: every step
// moves on or stops, so the walk ends by the end of the text at the latest.
TextSpan finderSpan(const QString& text, int offset, QTextBoundaryFinder::BoundaryType type)
{
    const int size = int(text.size());
    QTextBoundaryFinder finder(type, text);
    int start = 0;
    while (start < size) {
        const int next = finder.toNextBoundary();
        if (next <= start || next > size)
            return {start, size};
        if (next > offset)
            return {start, next};
        start = next;
    }
    return {start, size};
}

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// True when the character at i ends a line (CR LF ends it at the LF).
bool endsLine(const QString& text, int i)
{
    return isBreak(text[i]) && !(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n');
}

TextSpan lineSpan(const QString& text, int offset)
{
    const int size = int(text.size());
    if (offset == size && size > 0 && endsLine(text, size - 1))
        return {size, size};
    int start = qMin(offset, size);
    while (start > 0 && !endsLine(text, start - 1))
        --start;
    int end = qMin(offset, size);
    while (end < size && !endsLine(text, end))
        ++end;
    return {start, end < size ? end + 1 : size};
}

// ---------------------------------------------------------------- text fields

// What both kinds of text field answer alike: the interfaces they offer, the boundary
// queries (through around(), which each field gives its text to) and attributes.
class AccessibleTextField : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return around(offset, type, TextSide::Before, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return around(offset, type, TextSide::At, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override
    {
        return around(offset, type, TextSide::After, start, end);
    }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

protected:
    virtual QString around(int offset, QAccessible::TextBoundaryType type, TextSide side, int* start,
                           int* end) const = 0;
};

// ---------------------------------------------------------------- single-line fields

class AccessibleLineEdit : public AccessibleTextField {
public:
    explicit AccessibleLineEdit(QLineEdit* edit) : AccessibleTextField(edit, QAccessible::EditableText) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = edit()->isReadOnly();
        s.editable = !s.readOnly;
        s.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        QString str;
        if (t == QAccessible::Value) {
            if (edit()->echoMode() == QLineEdit::Normal)
                str = edit()->text();
            else if (edit()->echoMode() != QLineEdit::NoEcho)
                str = QString(edit()->text().size(), u'*');
        }
        if (str.isEmpty())
            str = QAccessibleWidget::text(t);
        if (str.isEmpty() && t == QAccessible::Description)
            str = edit()->placeholderText();
        return str;
    }

    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
            return;
        }
        if (!edit()->isReadOnly())
            edit()->setText(text);
    }

    // ---- text
    QString text(int startOffset, int endOffset) const override
    {
        if (!readable())
            return QString();
        const QString all = edit()->text();
        startOffset = qBound(0, startOffset, int(all.size()));
        endOffset = qBound(startOffset, endOffset, int(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(edit()->text().size()); }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }

    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *startOffset = edit()->selectionStart();
            *endOffset = edit()->selectionEnd();
        }
    }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index == 0)
            edit()->setSelection(startOffset, endOffset - startOffset);
    }

    QRect characterRect(int offset) const override
    {
        const QString shown = edit()->displayText();
        if (offset < 0 || offset > shown.size())
            return QRect();
        // The caret's rectangle is known; other positions lie their advance away from it.
        const QRect caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QFontMetrics fm(edit()->font());
        const int x = caret.x() + fm.horizontalAdvance(shown.left(offset))
                      - fm.horizontalAdvance(shown.left(edit()->cursorPosition()));
        const int w = offset < shown.size() ? fm.horizontalAdvance(shown.at(offset)) : 1;
        return QRect(edit()->mapToGlobal(QPoint(x, caret.y())), QSize(w, caret.height()));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }

    // ---- editing
    void deleteText(int startOffset, int endOffset) override
    {
        if (edit()->isReadOnly())
            return;
        edit()->setSelection(startOffset, endOffset - startOffset);
        edit()->del();
    }
    void insertText(int offset, const QString& text) override
    {
        if (edit()->isReadOnly())
            return;
        edit()->setCursorPosition(offset);
        edit()->insert(text);
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        if (edit()->isReadOnly())
            return;
        edit()->setSelection(startOffset, endOffset - startOffset);
        edit()->insert(text);
    }

private:
    QLineEdit* edit() const { return static_cast<QLineEdit*>(object()); }
    // A password is never read out, not even piece by piece.
    bool readable() const { return edit()->echoMode() == QLineEdit::Normal; }

    QString around(int offset, QAccessible::TextBoundaryType type, TextSide side, int* start, int* end) const override
    {
        if (!readable()) {
            *start = *end = -1;
            return QString();
        }
        const QString all = edit()->text();
        if (offset == -2)
            offset = cursorPosition();
        else if (offset == -1)
            offset = int(all.size());
        return textAround(all, offset, type, side, start, end);
    }
};

// ---------------------------------------------------------------- multi-line fields

class AccessiblePlainTextEdit : public AccessibleTextField {
public:
    explicit AccessiblePlainTextEdit(QPlainTextEdit* edit) : AccessibleTextField(edit, QAccessible::EditableText) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.multiLine = true;
        s.readOnly = edit()->isReadOnly();
        s.editable = !s.readOnly;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return edit()->toPlainText();
        return QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t != QAccessible::Value)
            QAccessibleWidget::setText(t, text);
        else if (!edit()->isReadOnly())
            edit()->setPlainText(text);
    }

    // ---- text (offsets are positions in the document; its plain text has one character
    // for each of them)
    QString text(int startOffset, int endOffset) const override
    {
        const QString all = edit()->toPlainText();
        startOffset = qBound(0, startOffset, int(all.size()));
        endOffset = qBound(startOffset, endOffset, int(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(edit()->toPlainText().size()); }
    int cursorPosition() const override { return edit()->textCursor().position(); }
    void setCursorPosition(int position) override
    {
        QTextCursor c = edit()->textCursor();
        c.setPosition(qBound(0, position, characterCount()));
        edit()->setTextCursor(c);
    }

    int selectionCount() const override { return edit()->textCursor().hasSelection() ? 1 : 0; }
    void selection(int index, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const QTextCursor c = edit()->textCursor();
        if (index == 0 && c.hasSelection()) {
            *startOffset = c.selectionStart();
            *endOffset = c.selectionEnd();
        }
    }
    void removeSelection(int index) override
    {
        if (index != 0)
            return;
        QTextCursor c = edit()->textCursor();
        c.clearSelection();
        edit()->setTextCursor(c);
    }
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index != 0)
            return;
        const int count = characterCount();
        QTextCursor c = edit()->textCursor();
        c.setPosition(qBound(0, startOffset, count));
        c.setPosition(qBound(0, endOffset, count), QTextCursor::KeepAnchor);
        edit()->setTextCursor(c);
    }

    QRect characterRect(int offset) const override
    {
        if (offset < 0 || offset > characterCount())
            return QRect();
        QTextCursor c(edit()->document());
        c.setPosition(offset);
        const QRect caret = edit()->cursorRect(c);
        const QString all = edit()->toPlainText();
        const int w = offset < all.size() ? QFontMetrics(edit()->font()).horizontalAdvance(all.at(offset)) : 1;
        return QRect(edit()->viewport()->mapToGlobal(caret.topLeft()), QSize(w, caret.height()));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return edit()->cursorForPosition(edit()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int startIndex, int) override
    {
        setCursorPosition(startIndex);
        edit()->ensureCursorVisible();
    }

    // ---- editing
    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        if (edit()->isReadOnly())
            return;
        const int count = characterCount();
        QTextCursor c(edit()->document());
        c.setPosition(qBound(0, startOffset, count));
        c.setPosition(qBound(0, endOffset, count), QTextCursor::KeepAnchor);
        c.insertText(text);
    }

private:
    QPlainTextEdit* edit() const { return static_cast<QPlainTextEdit*>(object()); }

    // A line as the field has wrapped it, where it has laid out that paragraph; else up to
    // the line break.
    TextSpan visualLine(const QString& all, int offset) const
    {
        const QTextBlock block = edit()->document()->findBlock(offset);
        const QTextLayout* layout = block.isValid() ? block.layout() : nullptr;
        if (layout && layout->lineCount() > 0) {
            const QTextLine line = layout->lineForTextPosition(offset - block.position());
            if (line.isValid()) {
                const int start = block.position() + line.textStart();
                int end = start + line.textLength();
                if (line.lineNumber() == layout->lineCount() - 1)
                    end = block.position() + block.length();  // with the line break
                return {start, qMin(end, int(all.size()))};
            }
        }
        return lineSpan(all, offset);
    }

    QString around(int offset, QAccessible::TextBoundaryType type, TextSide side, int* start, int* end) const override
    {
        const QString all = edit()->toPlainText();
        if (offset == -2)
            offset = cursorPosition();
        else if (offset == -1)
            offset = int(all.size());
        return textAround(all, offset, type, side, start, end, [this, &all](int at) { return visualLine(all, at); });
    }
};

// ---------------------------------------------------------------- the small buttons

class AccessibleSmallButton : public QAccessibleWidget {
public:
    explicit AccessibleSmallButton(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isDown();
        const QVariant checked = button()->property(kCheckedProperty);
        if (checked.isValid()) {
            s.checkable = true;
            s.checked = checked.toBool();
        }
        return s;
    }
    QStringList actionNames() const override
    {
        QStringList names;
        if (button()->isEnabled())
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Accelerator && !shortcut().isEmpty())
            return shortcut();
        return QAccessibleWidget::text(t);
    }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (shortcut().isEmpty() || action != pressAction())
            return QAccessibleWidget::keyBindingsForAction(action);
#ifdef Q_OS_WIN
        return {shortcut()};
#else
        // AT-SPI hands a binding over as "mnemonic;key sequence;shortcut", from this list
        // joined with ";": the key is the button's shortcut (Orca says it after the button).
        return {QString(), QString(), shortcut()};
#endif
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && button()->isEnabled())
            button()->animateClick();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const
    {
        return static_cast<QAbstractButton*>(object());
    }
    QString shortcut() const
    {
        return button()->property(kShortcutProperty).value<QKeySequence>().toString(QKeySequence::NativeText);
    }
};

// ---------------------------------------------------------------- the mode box

// An editable drop-down list named by its own name, with its text as its value. The
// toolkit's own names it by its text on Linux, so a screen reader that reads the name
// heard "SSB" where the box is the mode; the label stays tied to it as its relation.
class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->isEditable() ? box()->lineEdit()->text() : box()->currentText();
        if (t == QAccessible::Name && box()->accessibleName().isEmpty())
            return text(QAccessible::Value);
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return box()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->isEditable())
            return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == box()->view())
            return 0;
        if (box()->isEditable() && child->object() == box()->lineEdit())
            return 1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (box()->isEditable() && box()->lineEdit()->rect().contains(x, y))
            return child(1);
        return nullptr;
    }
    // The box hands the keyboard to its line, which is where the focus is read.
    QAccessibleInterface* focusChild() const override { return box()->isEditable() ? child(1) : nullptr; }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(object()); }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object)
{
    if (auto* box = qobject_cast<QComboBox*>(object))
        return new AccessibleComboBox(box);
    if (auto* e = qobject_cast<QLineEdit*>(object))
        return new AccessibleLineEdit(e);
    if (auto* e = qobject_cast<QPlainTextEdit*>(object))
        return new AccessiblePlainTextEdit(e);
    if (auto* b = qobject_cast<SmallButton*>(object))
        return new AccessibleSmallButton(b);
    if (auto* a = qobject_cast<Announcer*>(object))
        return new QAccessibleWidget(a, QAccessible::Notification);
    return nullptr;
}

}  // namespace

TextSpan textSpanAt(const QString& text, int offset, QAccessible::TextBoundaryType type)
{
    const int size = int(text.size());
    offset = qBound(0, offset, size);
    switch (type) {
    case QAccessible::CharBoundary:
        return offset == size ? TextSpan{size, size} : finderSpan(text, offset, QTextBoundaryFinder::Grapheme);
    case QAccessible::WordBoundary:
        return offset == size ? TextSpan{size, size} : finderSpan(text, offset, QTextBoundaryFinder::Word);
    case QAccessible::SentenceBoundary:
        return offset == size ? TextSpan{size, size} : finderSpan(text, offset, QTextBoundaryFinder::Sentence);
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
        return lineSpan(text, offset);
    case QAccessible::NoBoundary:
        break;
    }
    return {0, size};
}

QString textAround(const QString& text, int offset, QAccessible::TextBoundaryType type, TextSide side, int* start,
                   int* end, const std::function<TextSpan(int)>& lineAt)
{
    const int size = int(text.size());
    if (offset < 0 || offset > size) {
        *start = *end = -1;
        return QString();
    }
    auto spanAt = [&](int at) {
        return type == QAccessible::LineBoundary && lineAt ? lineAt(at) : textSpanAt(text, at, type);
    };
    TextSpan span = spanAt(offset);
    if (side == TextSide::Before)
        span = span.start > 0 ? spanAt(span.start - 1) : TextSpan{0, 0};
    else if (side == TextSide::After)
        span = span.end < size ? spanAt(span.end) : TextSpan{size, size};
    *start = span.start;
    *end = span.end;
    return text.mid(span.start, span.end - span.start);
}

void installAccessibility()
{
    // The toolkit keeps a factory once, however often it is installed.
    QAccessible::installFactory(accessibleFactory);
}

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(-10, -10, 1, 1);
}

void Announcer::announce(const QString& message)
{
    setAccessibleName(message);
    // A screen reader speaks a notification when it appears; without one listening there
    // is nothing to show it to.
    if (QAccessible::isActive()) {
        hide();
        show();
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    emit announced(message);
}

void setAccessibleChecked(QWidget* button, bool checked)
{
    const QVariant before = button->property(kCheckedProperty);
    if (before.isValid() && before.toBool() == checked)
        return;
    button->setProperty(kCheckedProperty, checked);
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

void setAccessibleShortcut(QWidget* button, const QKeySequence& keys)
{
    button->setProperty(kShortcutProperty, keys);
}

}  // namespace kolvane
