#pragma once

#include <QKeySequence>
#include <QObject>
#include <QPointer>

namespace kolvane {

class frmDocument;
class frmMain;

// The keys that, beyond the tab order, let an operator run a whole net without the mouse:
// F6 and Shift+F6 between the net panel and the active participant window, Ctrl+Tab and
// Ctrl+Shift+Tab round the participant windows in number order, the Talk command of the
// window in front in one key, the caret at the end of the comments when the focus tabs into
// them, and a focus sink that takes no typed text.
class KeyboardRoute : public QObject {
public:
    explicit KeyboardRoute(frmMain& main);

    // From a participant window to the net panel control that had the focus last (Start
    // if none has had it); from anywhere else to the active participant's callsign.
    void switchPane();
    // The participant window `step` places on from `from` in number order, round from the
    // last to the first, brought to the front.
    void walkRoll(frmDocument* from, int step);
    // The Talk button of the participant window in front, pressed; a station that is not
    // active gets no turn, and a screen reader is told its state.
    void talkInFront();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusChanged(QWidget* now);
    void toNetPanel();
    void toParticipant();
    // Brings a participant window to the front, restored if it was minimised.
    void bringForward(frmDocument* doc);

    frmMain& m_main;
    // Held apart from the window: focus changes go on while the window is destroyed.
    QPointer<QWidget> m_panel;
    QPointer<QWidget> m_sink;
    QPointer<QWidget> m_lastPanelControl;
};

// In a participant window, Enter and Down move from the callsign to the handle and on to
// the QTH, Up moves back; Enter in the QTH moves to the Active button. After any of its
// buttons, which leave the keyboard in the callsign, a Space there types nothing.
void routeParticipantKeys(frmDocument& doc);

// The key of the Talk command of the participant window in front: Ctrl+T.
QKeySequence talkShortcut();

}  // namespace kolvane
