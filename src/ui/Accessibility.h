#pragma once

#include <QAccessible>
#include <QKeySequence>
#include <QString>
#include <QWidget>
#include <functional>

namespace kolvane {

// A piece of text from `start` up to, not including, `end`.
struct TextSpan {
    int start = 0;
    int end = 0;
};

// The piece of the given kind that holds `offset` (0 to text.size()): a character, a word
// or the gap between two words, a sentence, or a line (paragraph) together with the line
// break that ends it. At the end of the text a character, word or sentence is empty, and
// a line is the last one (empty after a final line break). No boundary kind walks further
// than the end of the text.
TextSpan textSpanAt(const QString& text, int offset, QAccessible::TextBoundaryType type);

enum class TextSide { Before, At, After };

// What an accessible text answers when asked for the piece before, at or after `offset`,
// with the span in *start and *end; an offset outside the text gives nothing and -1, -1.
// `lineAt`, where given, finds lines as the field lays them out.
QString textAround(const QString& text, int offset, QAccessible::TextBoundaryType type, TextSide side, int* start,
                   int* end, const std::function<TextSpan(int)>& lineAt = {});

// Gives the program's text fields an accessible text of their own, on every window created
// afterwards: screen readers ask them for words and lines, and the toolkit's own answer
// never returns for a word at the end of a field. Also names the roles of the few controls
// below. Safe to call more than once.
void installAccessibility();

// Says a short message to a screen reader, whatever has the focus: an unseen notification
// whose text is the message, shown afresh for each message.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);
    void announce(const QString& message);
    QString lastMessage() const { return accessibleName(); }

signals:
    void announced(const QString& message);
};

// Shows a state of the net to screen readers as the checked state of one of the small
// buttons; the button looks and clicks as before.
void setAccessibleChecked(QWidget* button, bool checked);

// Tells screen readers the key that runs one of the small buttons from anywhere in its
// window, as the button's shortcut.
void setAccessibleShortcut(QWidget* button, const QKeySequence& keys);

}  // namespace kolvane
