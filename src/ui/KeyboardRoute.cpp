#include "ui/KeyboardRoute.h"

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

// Enter, Down and Up between the three fields of a participant window.
class FieldKeys : public QObject {
public:
    explicit FieldKeys(frmDocument& doc) : QObject(&doc), m_doc(doc) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool down = key->key() == Qt::Key_Down;
        const bool up = key->key() == Qt::Key_Up;
        QWidget* next = nullptr;
        if (watched == m_doc.txtCallsign)
            next = enter || down ? m_doc.txtHandle : nullptr;
        else if (watched == m_doc.txtHandle)
            next = enter || down ? static_cast<QWidget*>(m_doc.txtQTH) : up ? m_doc.txtCallsign : nullptr;
        else if (watched == m_doc.txtQTH)
            next = enter ? static_cast<QWidget*>(m_doc.cmdActive) : up ? m_doc.txtHandle : nullptr;
        if (!next)
            return false;
        next->setFocus(Qt::OtherFocusReason);
        return true;
    }

private:
    frmDocument& m_doc;
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
    if (doc->isMinimized())
        doc->showNormal();
    // Activation lets events run; the window may be gone afterwards.
    if (m_main.mdiArea->activeSubWindow() != doc)
        m_main.mdiArea->setActiveSubWindow(doc);
    if (doc)
        doc->txtCallsign->setFocus(Qt::OtherFocusReason);
}

void routeParticipantKeys(frmDocument& doc)
{
    auto* keys = new FieldKeys(doc);
    for (QWidget* field : {static_cast<QWidget*>(doc.txtCallsign), static_cast<QWidget*>(doc.txtHandle),
                           static_cast<QWidget*>(doc.txtQTH)})
        field->installEventFilter(keys);
}

}  // namespace kolvane
