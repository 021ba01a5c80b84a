#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace kolvane {

class frmDocument;

// The client area of the main window as the participant windows live in it: which window
// is in front and active, bringing windows forward (one by one, or in a batch that activates
// only the last for real), the stack, and the layouts of the Window menu.
class ParticipantArea : public QObject {
    Q_OBJECT

public:
    enum Layout { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

    ParticipantArea(QMdiArea* area, QObject* parent);

    QMdiArea* mdi() const { return m_mdi; }

    // The participant window in front: the active one, else the topmost shown (a frame that
    // is not the active window has no active child for Qt).
    frmDocument* activeParticipant() const;
    // The one in front as far as a running batch goes.
    frmDocument* frontParticipant() const;
    // Brings a participant window to the front as the active one: the top of the stack, the
    // focus, and its activation handling (a window already in front stays as it is).
    void activate(frmDocument* d);
    // Puts the keyboard focus into a field of a participant window, which brings that window
    // to the front.
    void focusField(frmDocument* d, QWidget* field);
    // A participant window's close handling tells the area before and after the window goes.
    void windowClosing(frmDocument* d);
    void windowClosed(frmDocument* d);
    // Makes `d` the window Qt activated last, without running its activation handling.
    void activateForQtOnly(frmDocument* d);
    // Puts the windows a batch has brought forward on top of the stack, the last one uppermost.
    void applyPendingStacking();
    // Arranges the open participant windows, taking them in stacking order, topmost first.
    void arrange(Layout layout);

    bool inBatch() const { return m_activationBatch > 0; }
    // Inside WindowsShownTogether: a window shown now comes up with the area.
    bool showingTogether() const { return m_showingTogether > 0; }
    void showTogether(frmDocument* d);

private:
    friend class ActivationBatch;
    friend class WindowsShownTogether;
    void onSubWindowActivated(QMdiSubWindow* window);
    void endActivationBatch();

    QMdiArea* m_mdi;
    int m_activationBatch = 0;
    int m_showingTogether = 0;
    QList<QPointer<frmDocument>> m_shownTogether;  // shown disabled, enabled when the area shows
    QPointer<frmDocument> m_front;                 // in front as far as the batch goes
    QList<QPointer<frmDocument>> m_raised;         // brought forward by the batch, in this order
    QPointer<QWidget> m_frontFocus;                // the field asked for in the window in front
    QPointer<frmDocument> m_closingNext;           // comes forward when the window in front has closed
    QPointer<frmDocument> m_activationDone;        // activated for real, its handling already run
};

// Holds back the real activation of participant windows for the life of the scope. A window
// brought to the front meanwhile is raised to the top of the stack and its activation
// handling runs at once, in the same order as before; when the outermost scope ends, the
// window then in front is activated once, for real, and takes the focus. Each real
// activation makes Qt walk every child window (regions, title eliding), so activating each
// of n windows in turn costs the square of n.
class ActivationBatch {
public:
    explicit ActivationBatch(ParticipantArea& area);
    ~ActivationBatch();
    ActivationBatch(const ActivationBatch&) = delete;
    ActivationBatch& operator=(const ActivationBatch&) = delete;

private:
    QPointer<ParticipantArea> m_area;
};

// Inside an activation batch: the participant windows added during the scope are shown
// together when it ends, the area hidden meanwhile, so whatever is shown within them
// meanwhile (an Active frame) comes up with them. Qt asks the display server where the
// pointer is for every widget shown on its own within a visible window.
class WindowsShownTogether {
public:
    explicit WindowsShownTogether(ParticipantArea& area);
    ~WindowsShownTogether();
    WindowsShownTogether(const WindowsShownTogether&) = delete;
    WindowsShownTogether& operator=(const WindowsShownTogether&) = delete;

private:
    QPointer<ParticipantArea> m_area;
};

}  // namespace kolvane
