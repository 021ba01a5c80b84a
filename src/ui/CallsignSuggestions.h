#pragma once

#include "net/Roster.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QKeyEvent;
class QLineEdit;
class QListView;
class QLocale;
class QStringListModel;
class QWidget;

namespace kolvane {

class Net;

// The text of an entry of the list: "K1ABC, Al, Boston, 12 nets, 12/8/26", or for a
// station of the running net "K1ABC, Al, Boston, in the net, Participant 4".
QString suggestionText(const Suggestion& entry, const QLocale& locale);

// The list of known stations under a callsign field, offered from the second character
// typed. The operator chooses: Down and Up enter and move in the list, Enter or a click
// takes the highlighted entry (the callsign, and the handle and QTH where those are still
// empty, then the keyboard to the first of them still empty or on to `next`), Escape
// closes it, Shift+Delete forgets the highlighted station. Without a choice every key does
// what it does without the list, and the field holds exactly what was typed. The keyboard
// stays in the field throughout; the list never takes it.
class CallsignSuggestions : public QObject {
    Q_OBJECT

public:
    struct Targets {
        QLineEdit* handle = nullptr;
        QLineEdit* qth = nullptr;
        QWidget* next = nullptr;  // where the keyboard goes when both are filled
    };
    // `ownWindow` names the participant window the field belongs to (0 elsewhere), whose
    // own station is not offered back to it.
    CallsignSuggestions(QLineEdit* field, Targets targets, Regulars& regulars, const Net* net,
                        std::function<int()> ownWindow = {});

    bool isOpen() const;
    // Made when it first opens: a net of a hundred windows would otherwise build a hundred.
    QListView* list() const { return m_list; }
    const QList<Suggestion>& entries() const { return m_entries; }
    // The highlighted entry's row, or -1.
    int highlighted() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void open();
    void close();
    void highlight(int row);
    void choose(int row);
    void forgetHighlighted();
    bool handleKey(QKeyEvent* key);
    void makeList();

    QLineEdit* m_field;
    Targets m_targets;
    QPointer<Regulars> m_regulars;
    const Net* m_net;
    std::function<int()> m_ownWindow;
    QListView* m_list = nullptr;
    QStringListModel* m_model = nullptr;
    QList<Suggestion> m_entries;
};

}  // namespace kolvane
