#pragma once

#include <QObject>
#include <QPointer>

namespace kolvane {

class frmDocument;
class frmMain;

// The keys that, beyond the tab order, let an operator run a whole net without the mouse:
// F6 and Shift+F6 between the net panel and the active participant window, the caret at
// the end of the comments when the focus tabs into them, and a focus sink that takes no
// typed text.
class KeyboardRoute : public QObject {
public:
    explicit KeyboardRoute(frmMain& main);

    // From a participant window to the net panel control that had the focus last (Start
    // if none has had it); from anywhere else to the active participant's callsign.
    void switchPane();

private:
    void focusChanged(QWidget* now);
    void toNetPanel();
    void toParticipant();

    frmMain& m_main;
    // Held apart from the window: focus changes go on while the window is destroyed.
    QPointer<QWidget> m_panel;
    QPointer<QWidget> m_sink;
    QPointer<QWidget> m_lastPanelControl;
};

// In a participant window, Enter and Down move from the callsign to the handle and on to
// the QTH, Up moves back; Enter in the QTH moves to the Active button.
void routeParticipantKeys(frmDocument& doc);

}  // namespace kolvane
