#pragma once

#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <optional>
#include <utility>

namespace kolvane {

// The colours of one control as the program's own 0x00BBGGRR values, read back exactly
// (the ID reminder's blink compares them). Text left in the theme's colour stays readable
// on the fixed background (readableTextOn), and both follow a change of the desktop theme.
class FixedColors {
public:
    FixedColors(QWidget* owner, QPalette::ColorRole backRole, QPalette::ColorRole textRole,
                std::optional<quint32> back = std::nullopt);
    void setBack(quint32 bgr);
    void setFore(quint32 bgr);
    void setBoth(quint32 fore, quint32 back);
    std::optional<quint32> back() const { return m_back; }
    // From the owner's changeEvent: paints again after a change of theme.
    void changed(const QEvent* event);

private:
    void apply();
    QWidget* m_owner;
    QPalette::ColorRole m_backRole;
    QPalette::ColorRole m_textRole;
    std::optional<quint32> m_back;
    std::optional<quint32> m_fore;  // the theme's text colour until set
    bool m_applying = false;
    bool m_applied = false;  // the palette holds m_back and m_fore
};

// A one-line field. Without the keyboard it shows the beginning of its text, however long:
// the caret (and selection) that the keyboard left or a change of its text put there waits,
// unseen, until the keyboard comes back. Its text is never touched for it.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    void setBackColor(quint32 bgr) { m_colors.setBack(bgr); }
    quint32 backColor() const { return m_colors.back().value_or(0); }
    // Without a call the text keeps the theme's text colour.
    void setForeColor(quint32 bgr) { m_colors.setFore(bgr); }
    void setColors(quint32 fore, quint32 back) { m_colors.setBoth(fore, back); }

protected:
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool holdsKeyboard() const;
    void showBeginning();
    void moveCaretUnheard(int anchor, int caret);

    FixedColors m_colors;
    int m_waitingAnchor = -1;  // the caret and the selection's other end, while the field
    int m_waitingCaret = -1;   // shows its beginning
    bool m_movingCaret = false;
    bool m_beginningQueued = false;
};

// The multi-line comments field.
class TextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextArea(QWidget* parent = nullptr);
    void setBackColor(quint32 bgr) { m_colors.setBack(bgr); }

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FixedColors m_colors;
};

class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(const QString& caption = QString(), QWidget* parent = nullptr);
    // Gives the label an opaque background of this colour.
    void setBackColor(quint32 bgr);
    quint32 backColor() const { return m_colors.back().value_or(0); }
    void setForeColor(quint32 bgr) { m_colors.setFore(bgr); }
    // Both at once: one change of palette instead of two.
    void setColors(quint32 fore, quint32 back);
    // The caption. A label named with nameWithCaption() keeps its accessible name current.
    void setText(const QString& caption);
    // Screen readers read the label as `what` and its caption ("ID timer 10:00").
    void nameWithCaption(const QString& what);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ownBackground();
    FixedColors m_colors;  // transparent until a background is set
    QString m_what;
};

// A filled rectangle lying behind a small button, so that it shows as a frame around it.
class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(quint32 fill, QWidget* parent = nullptr);
    quint32 fillColor() const { return m_fill; }
    // Shown or hidden by the program, whatever the state of the window around it.
    bool Visible() const { return !isHidden(); }
    void setVisible(bool visible) override;

signals:
    // Shown or hidden by the program.
    void visibilityChanged();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    quint32 m_fill;
};

// The "'''" buttons of the net panel and of the participant windows.
class SmallButton : public QPushButton {
    Q_OBJECT
public:
    explicit SmallButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
};

// Creates a control of type T in `parent`, named with its design name, at a rectangle
// given in twips; `args` go to its constructor ahead of the parent. Every window builds
// its controls with this.
template <typename T, typename... Args>
T* place(QWidget* parent, const QString& name, int left, int top, int width, int height, Args&&... args)
{
    auto* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(twips::rect(left, top, width, height));
    return control;
}

// The small font of the net panel and the participant windows: their fields are 15 pixels
// high at 96 dpi.
QFont dialogFont();

// Verdana at the given size, or the default family at that size where Verdana is not
// installed (asking for a missing family makes the font system search its fallbacks).
QFont verdanaFont(double pointSize, bool bold = false);

// Sizes a label to its caption. A caption wider than the room the layout gives it grows
// to the left, so that it never runs into the field it names.
void autoSizeKeepingRightEdge(QLabel* label);

// Sizes a label to its caption when it is first shown; a label that stays hidden never
// lays its text out (nor loads its font).
void autoSizeWhenShown(QLabel* label);

// The callsign rule, run from a callsign field's change handler: the whole text in upper
// case, the caret after the 20th character or at the end of a shorter text.
void forceCallsignCase(QLineEdit* field);

}  // namespace kolvane
