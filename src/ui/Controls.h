#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace kolvane {

// Small wrappers that let the windows keep colours as the program's own 0x00BBGGRR
// values and read them back exactly (the ID reminder's blink compares them).

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    void setBackColor(quint32 bgr);
    quint32 backColor() const { return m_back; }
    void setForeColor(quint32 bgr);

private:
    quint32 m_back;
};

class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(const QString& caption = QString(), QWidget* parent = nullptr);
    // Gives the label an opaque background of this colour.
    void setBackColor(quint32 bgr);
    quint32 backColor() const { return m_back; }
    void setForeColor(quint32 bgr);

private:
    quint32 m_back = 0;
};

// A filled rectangle lying behind a small button, so that it shows as a frame around it.
class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(quint32 fill, QWidget* parent = nullptr);
    quint32 fillColor() const { return m_fill; }
    // Shown or hidden by the program, whatever the state of the window around it.
    bool Visible() const { return !isHidden(); }

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

// Holds back painting of a widget and its children for the life of the guard. Bulk
// operations on many participant windows let events run at each window; without this
// every round would repaint the whole client area.
class UpdatesFrozen {
public:
    explicit UpdatesFrozen(QWidget* widget);
    ~UpdatesFrozen();
    UpdatesFrozen(const UpdatesFrozen&) = delete;
    UpdatesFrozen& operator=(const UpdatesFrozen&) = delete;

private:
    QWidget* m_widget;
    bool m_wasEnabled;
};

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
