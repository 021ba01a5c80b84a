#pragma once

#include <QWidget>

namespace kolvane {

// Holds back painting of a widget and its children for the life of the guard. Bulk
// operations on many participant windows let events run at each window; without this
// every round would repaint the whole client area.
class UpdatesFrozen {
public:
    explicit UpdatesFrozen(QWidget* widget) : m_widget(widget), m_wasEnabled(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesFrozen()
    {
        if (m_wasEnabled)
            m_widget->setUpdatesEnabled(true);
    }
    UpdatesFrozen(const UpdatesFrozen&) = delete;
    UpdatesFrozen& operator=(const UpdatesFrozen&) = delete;

private:
    QWidget* m_widget;
    bool m_wasEnabled;
};

}  // namespace kolvane
