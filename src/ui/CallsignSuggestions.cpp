#include "ui/CallsignSuggestions.h"

#include "net/DateStamp.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QScreen>
#include <QStringListModel>

namespace kolvane {

QString suggestionText(const Suggestion& entry, const QLocale& locale)
{
    QStringList parts{entry.callsign};
    for (const QString& s : {entry.handle, entry.qth}) {
        if (!s.isEmpty())
            parts << s;
    }
    if (entry.inNet()) {
        parts << QStringLiteral("in the net, Participant %1").arg(entry.participant);
    } else {
        parts << (entry.nets == 1 ? QStringLiteral("1 net") : QStringLiteral("%1 nets").arg(entry.nets));
        if (entry.last.isValid())
            parts << locale.toString(entry.last, QLocale::ShortFormat);
    }
    return parts.join(QStringLiteral(", "));
}

CallsignSuggestions::CallsignSuggestions(QLineEdit* field, Targets targets, Regulars& regulars, const Net* net,
                                         std::function<int()> ownWindow)
    : QObject(field), m_field(field), m_targets(targets), m_regulars(&regulars), m_net(net),
      m_ownWindow(std::move(ownWindow))
{
    // Installed after the field's own routes, so it sees the keys first.
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, &CallsignSuggestions::refresh);
}

void CallsignSuggestions::makeList()
{
    QLineEdit* field = m_field;
    // A window of its own so that it may reach beyond the participant window, shown without
    // taking the keyboard from the field.
    m_list = new QListView(field);
    m_list->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setObjectName(field->objectName() + QStringLiteral("Suggestions"));
    m_list->setAccessibleName(QStringLiteral("Known stations"));
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setUniformItemSizes(true);
    m_model = new QStringListModel(m_list);
    m_list->setModel(m_model);
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex& index) { choose(index.row()); });
}

bool CallsignSuggestions::isOpen() const
{
    return m_list && m_list->isVisible();
}

int CallsignSuggestions::highlighted() const
{
    if (!isOpen())
        return -1;
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() && m_list->selectionModel()->isSelected(current) ? current.row() : -1;
}

void CallsignSuggestions::refresh()
{
    // Typed into the field, so it is where its window's keys go; whether the system has told
    // Qt that the window is active is not asked (after a file dialog it may not have).
    if (!m_regulars || m_field->window()->focusWidget() != m_field) {
        close();
        return;
    }
    m_entries = m_regulars->suggest(m_field->text(), m_net, m_ownWindow ? m_ownWindow() : 0);
    if (m_entries.isEmpty()) {
        close();
        return;
    }
    QStringList texts;
    const QLocale locale = stampLocale();  // as the status line's date
    for (const Suggestion& s : std::as_const(m_entries))
        texts << suggestionText(s, locale);
    if (!m_list)
        makeList();
    m_model->setStringList(texts);
    open();
}

void CallsignSuggestions::open()
{
    m_list->setFont(m_field->font());
    const int frame = 2 * m_list->frameWidth();
    const int width = qMax(m_field->width(), m_list->sizeHintForColumn(0) + frame + 4);
    const int height = m_list->sizeHintForRow(0) * int(m_entries.size()) + frame;
    QPoint at = m_field->mapToGlobal(QPoint(0, m_field->height()));
    if (const QScreen* screen = m_field->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - width)));
        if (at.y() + height > room.bottom())
            at.setY(m_field->mapToGlobal(QPoint(0, 0)).y() - height);  // above the field
    }
    m_list->setGeometry(QRect(at, QSize(width, height)));
    m_list->clearSelection();
    m_list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    if (!m_list->isVisible())
        m_list->show();
}

void CallsignSuggestions::close()
{
    if (isOpen())
        m_list->hide();
}

void CallsignSuggestions::highlight(int row)
{
    if (row < 0) {
        m_list->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(row);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
    // The keyboard stays in the field: a screen reader is told of the entry as if the
    // focus had moved onto it.
    if (QAccessible::isActive()) {
        QAccessibleEvent focus(m_list, QAccessible::Focus);
        focus.setChild(row);
        QAccessible::updateAccessibility(&focus);
        QAccessibleEvent selected(m_list, QAccessible::Selection);
        selected.setChild(row);
        QAccessible::updateAccessibility(&selected);
    }
}

void CallsignSuggestions::choose(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    const Suggestion entry = m_entries.at(row);
    close();
    // Set as if typed: the field's own handling puts it in upper case and into the net.
    m_field->setText(entry.callsign);
    for (auto [field, text] : {std::pair{m_targets.handle, entry.handle}, std::pair{m_targets.qth, entry.qth}}) {
        if (field && field->text().isEmpty() && !text.isEmpty())
            field->setText(text);
    }
    QWidget* next = m_targets.next;
    if (m_targets.qth && m_targets.qth->text().isEmpty())
        next = m_targets.qth;
    if (m_targets.handle && m_targets.handle->text().isEmpty())
        next = m_targets.handle;
    // As Tab would take it there: the comments then go on at their end.
    if (next)
        next->setFocus(Qt::TabFocusReason);
}

void CallsignSuggestions::forgetHighlighted()
{
    const int row = highlighted();
    if (row < 0 || !m_regulars)
        return;
    const Suggestion entry = m_entries.at(row);
    if (!entry.inNet() || entry.nets > 0)
        m_regulars->forget(entry.callsign);
    refresh();
    if (isOpen())
        highlight(qMin(row, int(m_entries.size()) - 1));
}

bool CallsignSuggestions::handleKey(QKeyEvent* key)
{
    if ((key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) != Qt::NoModifier)
        return false;
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    const int row = highlighted();
    switch (key->key()) {
    case Qt::Key_Down:
        if (shift)
            return false;
        highlight(qMin(row + 1, int(m_entries.size()) - 1));
        return true;
    case Qt::Key_Up:
        if (shift || row < 0)
            return false;
        highlight(row - 1);  // above the first entry: back to what was typed
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (shift)
            return false;
        if (row >= 0) {
            choose(row);
            return true;
        }
        close();
        return false;  // on along the field's own route
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Delete:
        if (!shift || row < 0)
            return false;
        forgetHighlighted();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        close();
        return false;
    default:
        return false;
    }
}

bool CallsignSuggestions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_field)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While the list is open its keys are the field's, not a shortcut's.
        if (isOpen()) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape || (key->key() == Qt::Key_Delete && highlighted() >= 0)) {
                event->accept();
                return true;
            }
        }
        return false;
    case QEvent::KeyPress:
        return isOpen() && handleKey(static_cast<QKeyEvent*>(event));
    case QEvent::FocusOut:
    case QEvent::Hide:
        close();
        return false;
    default:
        return false;
    }
}

}  // namespace kolvane
