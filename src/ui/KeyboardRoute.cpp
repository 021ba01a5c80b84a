#include "ui/KeyboardRoute.h"

#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

namespace kolvane {

namespace {

frmDocument* participantHolding(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* doc = qobject_cast<frmDocument*>(w))
            return doc;
    }
    return nullptr;
}

bool isModifierKey(int key)
{
    return (key >= Qt::Key_Shift && key <= Qt::Key_Alt) || key == Qt::Key_AltGr;
}

// Ctrl+Tab goes one window on in the roll, Ctrl+Shift+Tab (Backtab on X11) one back; 0 for
// any other key.
int rollStep(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (!(mods & Qt::ControlModifier) || (mods & (Qt::AltModifier | Qt::MetaModifier)))
        return 0;
    if (key.key() == Qt::Key_Backtab)
        return -1;
    if (key.key() == Qt::Key_Tab)
        return mods & Qt::ShiftModifier ? -1 : 1;
    return 0;
}

// Every key of a participant window's fields is routed here: Enter, Down and Up between the
// three fields, Enter in the QTH to the Active button. Each of the window's buttons leaves
// the keyboard in the callsign, so a Space meant for the button (pressed once more to end a
// turn, or held down until it repeats) would be typed there: until another key is pressed
// there or the keyboard leaves it, a Space in the callsign types nothing.
class FieldKeys : public QObject {
public:
    explicit FieldKeys(frmDocument& doc) : QObject(&doc), m_doc(doc)
    {
        for (QWidget* field : {static_cast<QWidget*>(doc.txtCallsign), static_cast<QWidget*>(doc.txtHandle),
                               static_cast<QWidget*>(doc.txtQTH)})
            field->installEventFilter(this);
        for (QAbstractButton* button :
             {static_cast<QAbstractButton*>(doc.cmdActive), static_cast<QAbstractButton*>(doc.cmdClear),
              static_cast<QAbstractButton*>(doc.cmdTalk)})
            connect(button, &QAbstractButton::clicked, this, [this] { m_afterButton = true; });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut && watched == m_doc.txtCallsign)
            m_afterButton = false;
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (m_afterButton && watched == m_doc.txtCallsign && !isModifierKey(key->key())) {
            if (key->key() == Qt::Key_Space)
                return true;
            m_afterButton = false;
        }
        QWidget* next = nextField(watched, *key);
        if (!next)
            return false;
        next->setFocus(Qt::OtherFocusReason);
        return true;
    }

private:
    // Where a key moves the keyboard from a field; none when the field takes the key.
    QWidget* nextField(const QObject* field, const QKeyEvent& key) const
    {
        if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return nullptr;
        const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
        const bool down = key.key() == Qt::Key_Down;
        const bool up = key.key() == Qt::Key_Up;
        if (field == m_doc.txtCallsign)
            return enter || down ? m_doc.txtHandle : nullptr;
        if (field == m_doc.txtHandle)
            return enter || down ? static_cast<QWidget*>(m_doc.txtQTH) : up ? m_doc.txtCallsign : nullptr;
        if (field == m_doc.txtQTH)
            return enter ? static_cast<QWidget*>(m_doc.cmdActive) : up ? m_doc.txtHandle : nullptr;
        return nullptr;
    }

    frmDocument& m_doc;
    bool m_afterButton = false;
};

// Tab or Shift+Tab into the comments continues them at their end.
class CaretToEnd : public QObject {
public:
    explicit CaretToEnd(QPlainTextEdit* edit) : QObject(edit) { edit->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                static_cast<QPlainTextEdit*>(watched)->moveCursor(QTextCursor::End);
        }
        return false;
    }
};

}  // namespace

KeyboardRoute::KeyboardRoute(frmMain& main)
    : QObject(&main), m_main(main), m_panel(main.Frame1), m_sink(main.txtGirlFriend)
{
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)}) {
        auto* shortcut = new QShortcut(keys, &main);
        connect(shortcut, &QShortcut::activated, this, &KeyboardRoute::switchPane);
    }
    auto* talk = new QShortcut(talkShortcut(), &main);
    talk->setAutoRepeat(false);  // held down, it would give and end the turn by turns
    connect(talk, &QShortcut::activated, this, &KeyboardRoute::talkInFront);
    // Qt's MDI area takes Ctrl+Tab in its own filter on the application, installed with the
    // area before this one, so this one sees the key first.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusChanged(now); });
    new CaretToEnd(main.txtComments);
    // The sink only holds the focus; what is typed there would go nowhere.
    main.txtGirlFriend->setReadOnly(true);
}

void KeyboardRoute::focusChanged(QWidget* now)
{
    if (now && m_panel && now != m_sink && m_panel->isAncestorOf(now))
        m_lastPanelControl = now;
}

void KeyboardRoute::switchPane()
{
    if (participantHolding(QApplication::focusWidget()))
        toNetPanel();
    else
        toParticipant();
}

void KeyboardRoute::toNetPanel()
{
    QWidget* target = m_lastPanelControl;
    if (!target || !target->isEnabled() || !m_main.Frame1->isAncestorOf(target))
        target = m_main.cmdStart;
    target->setFocus(Qt::OtherFocusReason);
}

void KeyboardRoute::toParticipant()
{
    QPointer<frmDocument> doc = m_main.activeParticipant();
    if (!doc)
        doc = m_main.state().slot(m_main.state().iActiveDocument);
    if (!doc) {
        const QList<frmDocument*> open = m_main.openParticipants();
        if (open.isEmpty())
            return;
        doc = open.first();
    }
    bringForward(doc);
    if (doc)
        doc->txtCallsign->setFocus(Qt::OtherFocusReason);
}

void KeyboardRoute::bringForward(frmDocument* d)
{
    QPointer<frmDocument> doc(d);
    if (doc->isMinimized())
        doc->showNormal();
    // Activation lets events run; the window may be gone afterwards.
    if (doc && m_main.mdiArea->activeSubWindow() != doc)
        m_main.mdiArea->setActiveSubWindow(doc);
}

bool KeyboardRoute::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const int step = rollStep(*static_cast<QKeyEvent*>(event));
    frmDocument* from = step ? participantHolding(static_cast<QWidget*>(watched)) : nullptr;
    if (!from || from->mdiArea() != m_main.mdiArea)
        return false;  // elsewhere the key does what it did
    walkRoll(from, step);
    return true;
}

void KeyboardRoute::walkRoll(frmDocument* from, int step)
{
    // The roll goes by window number whatever the order the windows were used in (Qt's own
    // Ctrl+Tab follows that order).
    const QList<frmDocument*> roll = m_main.openParticipants();
    const qsizetype n = roll.size();
    const qsizetype at = roll.indexOf(from);
    if (at < 0 || n < 2)
        return;
    bringForward(roll.at(((at + step) % n + n) % n));
}

void KeyboardRoute::talkInFront()
{
    frmDocument* doc = m_main.activeParticipant();
    if (!doc)
        return;
    if (!doc->cmdTalk->isEnabled()) {
        // As with its button, a station that is not active gets no turn; whoever cannot see
        // the disabled button hears why.
        m_main.announcer->announce(doc->cmdTalk->accessibleDescription());
        return;
    }
    doc->cmdTalk->click();
}

void routeParticipantKeys(frmDocument& doc)
{
    new FieldKeys(doc);
}

QKeySequence talkShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_T);
}

}  // namespace kolvane
