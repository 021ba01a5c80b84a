#pragma once

#include "net/Net.h"
#include "ui/MainCommands.h"
#include "ui/Module1.h"
#include "ui/NetEcho.h"
#include "ui/ParticipantArea.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;

namespace kolvane {

class Announcer;
class ImageList;
class Label;
class Shape;
class TextArea;
class SmallButton;
class TextBox;
class WindowLayer;
class frmDocument;
class frmMain;

// Marks the main window busy for the life of the scope (see frmMain::isBusy()).
class BusyScope {
public:
    explicit BusyScope(frmMain& main);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    QPointer<frmMain> m_main;
};

// Holds back the painting of the main window for the life of the scope; what changed
// meanwhile is painted afterwards, and only that. (Disabling updates would repaint the whole
// window when they are enabled again.)
class PaintingHeld {
public:
    explicit PaintingHeld(frmMain& main);
    ~PaintingHeld();
    PaintingHeld(const PaintingHeld&) = delete;
    PaintingHeld& operator=(const PaintingHeld&) = delete;

private:
    QPointer<frmMain> m_main;
};

// The main window: a multiple-document frame with the net panel, the status line, the
// three timers of the net and the participant windows in its client area. It shows the
// net it is given and hands what the operator does to it.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // `commands` makes the menu commands that live outside the window layer (makeCommands).
    frmMain(Net& net, Module1& state, WindowLayer& layer, MakeCommands commands, QWidget* parent = nullptr);
    ~frmMain() override;

    Net& net() { return m_net; }
    const Net& net() const { return m_net; }
    Module1& state() { return m_state; }
    WindowLayer& layer() { return m_layer; }
    // The client area's bookkeeping of the participant windows: front, stack, batches.
    ParticipantArea& area() { return *m_area; }

    // True while a command that lets events run is under way.
    bool isBusy() const { return m_busy > 0; }

    // Shows the window. Showing it, by Show() or by Qt's show(), first loads it
    // (MDIForm_Load) if it has not been loaded; it is loaded once.
    void Show();
    void setVisible(bool visible) override;
    void MDIForm_Load();
    void MDIForm_Unload();

    // ---- the caption the program gives the frame. Qt appends " - [Participant n]" to the
    // title while a participant window is maximised; this stays as the program set it.
    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

    // ---- status line: panel 1 of the status bar, read back exactly as written
    void setStatusText(const QString& text);
    QString statusText() const { return m_net.statusText(); }

    // ---- net header
    const NetHeader& header() const { return m_net.header(); }
    // The comments box's text, each break as the character it stood for (CR LF for a line
    // break); and the net's comments shown in it, which is no edit of the net.
    QString commentsText() const;
    void setCommentsText(const QString& text);
    void cmdStart_Click();
    void cmdStop_Click();
    void txtCntrlCall_Change();
    void ValidateNetHeader();

    // ---- participants
    void AddParticipant();
    // Runs participant window n's Active button handler, as reading a file does for a
    // station saved as active.
    void pressParticipantActive(int n);
    void cmdAddParticipant_Click();
    frmDocument* activeParticipant() const;
    // The number of the participant window in front, or 0 when none is open.
    int activeParticipantNumber() const;
    // Closes participant window n, if it is open, through its own close handling.
    void closeParticipant(int n);
    // Closes every participant window through its own close handling and empties the
    // registry, so numbering starts again at 1.
    void closeAllParticipants();
    // The open participant windows in ascending number.
    QList<frmDocument*> openParticipants() const;

    // ---- talk timer and ID timer
    void timTalk_Timer();
    void cmdIDTimer_Click();
    void timID_Timer();
    void timBlink_Timer();

    // ---- session reset
    void mnuClearAll_Click();
    void mnuFileNew_Click();

    // ---- window arrangement
    void SortWindows();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuWindowMinimizeAll_Click();
    void mnuWindowRestoreAll_Click();
    // Size of the client area, in twips.
    double clientWidthTwips() const;
    double clientHeightTwips() const;

    // ---- session files and transfer
    void SaveSessionFile();
    void LoadSessionFile();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileClose_Click();
    void mnuToolsTransferNetControl_Click();
    void TransferFileSaveAs();

    // ---- menus and toolbar
    void mnuViewNetCntrl_Click();
    void mnuViewStatusBar_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuFilePrint_Click();
    void mnuFilePageSetup_Click();
    void mnuFileExit_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearchForHelpOn_Click();
    void mnuHelpAbout_Click();
    void mnuViewOptions_Click();
    void mnuToolsOptions_Click();
    void tbToolBar_ButtonClick(const QString& key);
    // The toolbar band (tbToolBar) with its pictures (imlToolbarIcons), made on first use.
    QToolBar* ensureToolBar();
    // A message stub: the text in a plain message box titled with the application title.
    void showStub(const QString& text);

    // ---- controls of the frame
    QMdiArea* mdiArea = nullptr;    // the client area
    QToolBar* tbToolBar = nullptr;  // null until ensureToolBar()
    ImageList* imlToolbarIcons = nullptr;
    QToolBar* tbCntrl = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    QLabel* sbPanel1 = nullptr;  // the status line
    QLabel* sbPanel2 = nullptr;  // today's date
    QLabel* sbPanel3 = nullptr;  // the time
    QTimer* timTalk = nullptr;
    QTimer* timID = nullptr;
    QTimer* timBlink = nullptr;

    // ---- the net panel
    QFrame* Frame1 = nullptr;
    QPushButton* cmdStart = nullptr;
    TextBox* txtStart = nullptr;
    QPushButton* cmdStop = nullptr;
    TextBox* txtStop = nullptr;
    Label* Label1 = nullptr;
    TextBox* txtFrequency = nullptr;
    Label* Label2 = nullptr;
    QComboBox* cmbMode = nullptr;
    Label* Label3 = nullptr;
    TextBox* txtCntrlCall = nullptr;
    Label* Label4 = nullptr;
    TextBox* txtCntrlHandle = nullptr;
    Label* Label5 = nullptr;
    TextBox* txtCntrlQTH = nullptr;
    Label* Label11 = nullptr;
    SmallButton* cmdAddParticipant = nullptr;
    Label* Label9 = nullptr;
    Label* lblIDTimer = nullptr;
    Shape* shpIDTimer = nullptr;
    SmallButton* cmdIDTimer = nullptr;
    TextArea* txtComments = nullptr;
    TextBox* txtGirlFriend = nullptr;
    // Speaks the status line and the end of an ID period to screen readers.
    Announcer* announcer = nullptr;

    // ---- menus (the hidden items exist and are never shown)
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuFileBar0 = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileSaveAll = nullptr;
    QAction* mnuFileBar1 = nullptr;
    QAction* mnuFileProperties = nullptr;
    QAction* mnuFileBar2 = nullptr;
    QAction* mnuFilePageSetup = nullptr;
    QAction* mnuFilePrintPreview = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileBar3 = nullptr;
    QAction* mnuFileSend = nullptr;
    QAction* mnuFileBar4 = nullptr;
    QAction* mnuFileMRU[4] = {};  // 1 to 3
    QAction* mnuFileBar5 = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuClearAll = nullptr;
    QAction* mnuEditBar0 = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditPasteSpecial = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewNetCntrl = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewBar0 = nullptr;
    QAction* mnuViewRefresh = nullptr;
    QAction* mnuViewOptions = nullptr;
    QAction* mnuViewWebBrowser = nullptr;
    QMenu* mnuTools = nullptr;
    QAction* mnuToolsOptions = nullptr;
    QAction* mnuToolsTransferNetControl = nullptr;
    QMenu* mnuWindow = nullptr;
    QAction* mnuWindowAddParticipant = nullptr;
    QAction* mnuWindowBar0 = nullptr;
    QAction* mnuWindowCascade = nullptr;
    QAction* mnuWindowTileHorizontal = nullptr;
    QAction* mnuWindowTileVertical = nullptr;
    QAction* mnuWindowArrangeIcons = nullptr;
    QAction* mnuWindowBar1 = nullptr;
    QAction* mnuWindowMinimizeAll = nullptr;
    QAction* mnuWindowRestoreAll = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpSearchForHelpOn = nullptr;
    QAction* mnuHelpBar0 = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // The auxiliary windows, while they are loaded; shutdown closes them in this order.
    QPointer<QWidget> frmTransfer;
    QPointer<QWidget> frmSplash;
    QPointer<QWidget> frmAbout;
    QPointer<QWidget> frmOptions;

signals:
    // The status line changed; screen readers are told as well.
    void statusTextChanged(const QString& text);
    // The window is closing: its participant windows are about to close, which ends the
    // net, not a change the operator made to it.
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows the net's header in the panel's fields and connects the panel to the net and
    // to the window's handlers.
    void wireNetPanel();
    void createStatusBar();
    void createTimers();
    // What the net says, painted: a header field, the status line, the ID reminder, the
    // talk timer, a station.
    void showHeaderItem(HeaderItem item);
    void showStatus(const QString& text);
    void showIdTimer();
    void switchTalkTimer(bool enabled);
    void showParticipant(int n, Net::Aspects what);
    void updateDateTimePanels();
    // Gives the window its outer size, frame and title bar included, centred on the
    // screen. The frame is known only once a window manager has framed the window, so
    // this runs again when it reports one.
    void placeByOuterFrame();
    // Moves the focus to the sink, whose name tells a screen reader where the focus is and
    // what has just been done.
    void parkFocus(const QString& done = QString());
    void describeIdTimer();

    Net& m_net;
    Module1& m_state;
    WindowLayer& m_layer;
    MainCommands m_commands;
    QString m_caption;
    bool m_loaded = false;
    bool m_waitingForFrame = false;
    QString m_shownStatus;
    QTimer* m_clock = nullptr;
    // Commands that let events run hold the window busy; a close asked for meanwhile waits
    // until the last of them has finished.
    friend class BusyScope;
    int m_busy = 0;
    bool m_closeWaiting = false;
    friend class PaintingHeld;
    int m_paintingHeld = 0;
    bool m_paintWanted = false;
    ParticipantArea* m_area = nullptr;
    // Keeps the header shown in the panel from coming back to the net as an edit.
    NetEcho m_echo;
};

}  // namespace kolvane
