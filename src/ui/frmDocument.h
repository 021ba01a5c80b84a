#pragma once

#include "net/Net.h"
#include "ui/NetEcho.h"

#include <QMdiSubWindow>

class QFrame;

namespace kolvane {

class Label;
class Shape;
class SmallButton;
class TextBox;
class frmMain;
struct Module1;

// One participant window: a station's callsign, handle and QTH, its talk timer and the
// Active / Clear / Talk buttons with their coloured frames. Its number lives only in its
// caption, "Participant n"; it shows station n of the net and hands its buttons and what
// is typed into it to the net.
class frmDocument : public QMdiSubWindow {
    Q_OBJECT

public:
    explicit frmDocument(frmMain& main);

    // The number read from the caption.
    int number() const;

    // Puts the window into the main window's area, as a child window with its client.
    void joinArea(QMdiArea* area);

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void txtCallsign_Change();

    // Turn-taking.
    void cmdActive_Click();
    void cmdTalk_Click();
    void cmdClear_Click();
    void FrameBrightSub();
    void FrameDimSub();

    // Paints what changed of station n, the one this window shows.
    void showParticipant(int n, Net::Aspects what);
    // Brings the window forward with the keyboard in its callsign, where each of its
    // buttons leaves it.
    void focusCallsign();

    QWidget* client = nullptr;
    QFrame* framParticipant = nullptr;
    Label* Label4 = nullptr;  // "Call"
    Label* Label1 = nullptr;  // "Handle"
    Label* Label2 = nullptr;  // "QTH"
    Label* Label3 = nullptr;  // "Timer"
    TextBox* txtCallsign = nullptr;
    TextBox* txtHandle = nullptr;
    TextBox* txtQTH = nullptr;
    Label* lblTalkTimer = nullptr;
    Label* Label6 = nullptr;  // "Active:"
    Shape* shpActive = nullptr;
    SmallButton* cmdActive = nullptr;
    Label* Label7 = nullptr;  // "Clear:"
    SmallButton* cmdClear = nullptr;
    Label* Label8 = nullptr;  // "Talk:"
    Shape* shpTalk = nullptr;
    SmallButton* cmdTalk = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void nameForScreenReaders();
    // Tells screen readers whether the participant is Inactive, Active or Talking.
    void describeState();
    // A click into the window activates it before the button's own handler runs.
    void activateForClick();
    void paintFields(quint32 bgr);

    frmMain& m_main;
    Net& m_net;
    Module1& m_state;
    bool m_unloaded = false;
    // Keeps the station shown in the fields from coming back to the net as an edit.
    NetEcho m_echo;
};

}  // namespace kolvane
