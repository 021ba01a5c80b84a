#pragma once

#include "net/NetHeader.h"
#include "net/Participants.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>

namespace kolvane {

// Where a station stands in the net.
enum class ParticipantState { Inactive, Active, Talking };

// One checked-in station, as its participant window shows it.
struct Participant {
    QString callsign;  // always upper case
    QString handle;
    QString qth;
    ParticipantState state = ParticipantState::Inactive;
    QString talkTime = QStringLiteral("00:00");  // the current or last turn, mm:ss

    bool isActive() const { return state != ParticipantState::Inactive; }
};

// The background of a station's fields and timer: slate, light cyan or orange.
quint32 fieldColor(ParticipantState state);

// The ten-minute identification reminder.
enum class IdTimerState {
    Stopped,  // counters at 0, the caption keeps the time it reached
    Running,  // counting, red frame around its button
    Expired,  // ten minutes reached: the caption blinks until the button is pressed
};

// The fields of the net header, in the order of the net panel.
enum class HeaderItem { Start, Stop, Frequency, Mode, CntrlCall, CntrlHandle, CntrlQTH, Comments };

// The running net: its header, the stations by participant window number, the turn and
// its count, the ID reminder, the status line and the remembered file names. The rules of
// the net are its operations; the windows show what it holds and hear of every change
// through its signals, and so does the recovery copy.
class Net : public QObject {
    Q_OBJECT

public:
    // What of a participant changed.
    enum Aspect {
        Callsign = 0x1,
        Handle = 0x2,
        QTH = 0x4,
        State = 0x8,
        TalkTime = 0x10,
        Fields = Callsign | Handle | QTH,
        Everything = Fields | State | TalkTime,
    };
    Q_DECLARE_FLAGS(Aspects, Aspect)

    explicit Net(QObject* parent = nullptr);

    // ---- the header
    const NetHeader& header() const { return m_header; }
    QString headerText(HeaderItem item) const;
    // The Net Control callsign is kept in upper case, whatever is typed.
    void setHeaderText(HeaderItem item, const QString& text);
    // Every field at once, as loading a file sets them.
    void setHeader(const NetHeader& header);
    // The first field a save or a transfer needs that is empty, or nothing.
    std::optional<HeaderField> firstMissingHeaderField() const;

    // ---- the status line: read back exactly as last written
    const QString& statusText() const { return m_statusText; }
    void setStatusText(const QString& text);

    // ---- the participants, by window number 1 to 100
    // Windows created since the numbering last started; also the highest number given.
    qint32 lDocumentCount() const { return m_lDocumentCount; }
    bool canAddParticipant() const { return m_lDocumentCount < kParticipantLimit; }
    // The next number, with an empty, inactive station; 0 once the limit is reached.
    int addParticipant();
    // The station of window n, or null once that window has closed.
    const Participant* participant(int n) const;
    // The open stations' numbers, ascending.
    QList<int> participantNumbers() const;
    // Window n has closed: if it holds or last held the turn, the talk timer stops and the
    // status line rests; the counters and the turn's owner stay.
    void participantClosed(int n);
    // Every window has closed: numbering starts again at 1.
    void resetRegistry();
    // A station's fields; the callsign is kept in upper case.
    void setCallsign(int n, const QString& text);
    void setHandle(int n, const QString& text);
    void setQTH(int n, const QString& text);

    // ---- the turn. `active` is the number of the window activated last, the one whose
    // button was pressed.
    qint16 iTalkDocument() const { return m_iTalkDocument; }
    qint16 iTalkElapsed() const { return m_iTalkElapsed; }
    qint16 iTalkSeconds() const { return m_iTalkSeconds; }
    qint16 iTalkMinutes() const { return m_iTalkMinutes; }
    // The main window names participant 1 as the turn's owner when it loads.
    void setTalkDocument(qint16 n);
    void zeroTalkCounters();
    // True while a station talks: the talk timer ticks.
    bool talkTimerEnabled() const { return m_talkTimerEnabled; }
    // The Active button: Inactive <-> Active.
    void pressActive(int n, int active);
    // The Talk button: puts the station at turn, takes the turn from another, or ends it.
    void pressTalk(int n, int active);
    // The Clear button: empties the station; the turn it holds ends.
    void pressClear(int n, int active);
    // One second of the talk timer.
    void talkTick();
    // "At turn: K1ABC - Al from Boston".
    QString atTurnText(int n) const;

    // ---- the ID reminder
    qint16 iIDElapsed() const { return m_iIDElapsed; }
    qint16 iIDSeconds() const { return m_iIDSeconds; }
    qint16 iIDMinutes() const { return m_iIDMinutes; }
    IdTimerState idTimerState() const { return m_idState; }
    const QString& idTimerCaption() const { return m_idCaption; }
    quint32 idTimerBackColor() const { return m_idBackColor; }
    // The ID button: starts a period (also after one has ended) or stops the running one.
    void pressIdTimer();
    // One second of the ID timer; true when it ended the period.
    bool idTick();
    // One half second of the reminder's blink.
    void blinkTick();

    // ---- resetting
    // Clear All: timers stopped and zeroed, header emptied (mode "SSB"), every station
    // emptied and inactive; the windows and their numbers stay.
    void clearAll();

    // ---- remembered file names
    const QString& sSessionFileName() const { return m_sSessionFileName; }
    void setSessionFileName(const QString& path);
    QString sOpenFileName;      // the file being opened
    QString sTransferFileName;  // where a transfer is written
    const QString& sNewCallsign() const { return m_sNewCallsign; }
    const QString& sNewHandle() const { return m_sNewHandle; }
    const QString& sNewQTH() const { return m_sNewQTH; }
    // The transfer dialog's answer: the new station, or nothing when it was cancelled or
    // closed, which forgets the callsign and the handle (the QTH is only read with them).
    void setNewNetControl(const std::optional<NetControlStation>& station);

    // ---- what a save would lose
    // True once anything a session file holds has changed since the last save.
    bool isModified() const { return m_modified; }
    void markSaved();
    // Nothing typed and no station active: the net as start-up, New Session and Clear All
    // leave it, however many empty windows are open.
    bool isBlank() const;

signals:
    void headerChanged(kolvane::HeaderItem item);
    void participantChanged(int n, kolvane::Net::Aspects what);
    void participantAdded(int n);
    void participantRemoved(int n);
    // The talk timer is switched on or off (each switch, so a turn that moves restarts it).
    void talkTimerSwitched(bool enabled);
    void idTimerChanged();
    void statusTextChanged(const QString& text);
    // Something a session file holds changed: the header, a station, the stations
    // present, or the name Save writes to.
    void changed();
    // The net was saved as it stands.
    void saved();

private:
    Participant* slot(int n);
    void changeParticipant(int n, Aspects what);
    void setParticipantText(int n, QString Participant::*field, Aspect aspect, const QString& text);
    void switchTalkTimer(bool enabled);
    void noteChange();

    NetHeader m_header;
    QString m_statusText;
    qint32 m_lDocumentCount = 0;
    std::array<std::optional<Participant>, kParticipantLimit + 1> m_participants;  // [0] unused

    qint16 m_iTalkDocument = 0;
    qint16 m_iTalkElapsed = 0;
    qint16 m_iTalkSeconds = 0;
    qint16 m_iTalkMinutes = 0;
    bool m_talkTimerEnabled = false;

    qint16 m_iIDElapsed = 0;
    qint16 m_iIDSeconds = 0;
    qint16 m_iIDMinutes = 0;
    IdTimerState m_idState = IdTimerState::Stopped;
    QString m_idCaption;
    quint32 m_idBackColor = 0;

    QString m_sSessionFileName;
    QString m_sNewCallsign;
    QString m_sNewHandle;
    QString m_sNewQTH;
    bool m_modified = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Net::Aspects)

}  // namespace kolvane
