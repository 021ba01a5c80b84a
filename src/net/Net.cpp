#include "net/Net.h"

#include "net/Callsign.h"
#include "net/Colors.h"
#include "net/ElapsedTime.h"

namespace kolvane {

namespace {

QString zeroTime()
{
    return QStringLiteral("00:00");
}

QString NetHeader::*headerField(HeaderItem item)
{
    switch (item) {
    case HeaderItem::Start:
        return &NetHeader::start;
    case HeaderItem::Stop:
        return &NetHeader::stop;
    case HeaderItem::Frequency:
        return &NetHeader::frequency;
    case HeaderItem::Mode:
        return &NetHeader::mode;
    case HeaderItem::CntrlCall:
        return &NetHeader::cntrlCall;
    case HeaderItem::CntrlHandle:
        return &NetHeader::cntrlHandle;
    case HeaderItem::CntrlQTH:
        return &NetHeader::cntrlQTH;
    case HeaderItem::Comments:
        break;
    }
    return &NetHeader::comments;
}

constexpr HeaderItem kHeaderItems[] = {HeaderItem::Start,    HeaderItem::Stop,      HeaderItem::Frequency,
                                       HeaderItem::Mode,     HeaderItem::CntrlCall, HeaderItem::CntrlHandle,
                                       HeaderItem::CntrlQTH, HeaderItem::Comments};

}  // namespace

quint32 fieldColor(ParticipantState state)
{
    switch (state) {
    case ParticipantState::Inactive:
        return bgr::Slate;
    case ParticipantState::Active:
        return bgr::LightCyan;
    case ParticipantState::Talking:
        break;
    }
    return bgr::Orange;
}

Net::Net(QObject* parent)
    : QObject(parent), m_statusText(statusIdle()), m_idCaption(zeroTime()), m_idBackColor(bgr::SysInactiveBorder)
{
    // The panel at start-up: the mode box offers SSB, the comments hold a first line.
    m_header.mode = QStringLiteral("SSB");
    m_header.comments = QStringLiteral("Comments\r\n");
}

// ---------------------------------------------------------------- header

QString Net::headerText(HeaderItem item) const
{
    return m_header.*headerField(item);
}

void Net::setHeaderText(HeaderItem item, const QString& text)
{
    const QString value = item == HeaderItem::CntrlCall ? upperCallsign(text) : text;
    QString& field = m_header.*headerField(item);
    if (field == value)
        return;
    field = value;
    emit headerChanged(item);
    noteChange();
}

void Net::setHeader(const NetHeader& header)
{
    for (HeaderItem item : kHeaderItems)
        setHeaderText(item, header.*headerField(item));
}

std::optional<HeaderField> Net::firstMissingHeaderField() const
{
    return kolvane::firstMissingHeaderField(m_header);
}

// ---------------------------------------------------------------- status line

void Net::setStatusText(const QString& text)
{
    m_statusText = text;
    // Told every time, the same text again included: a screen reader repeats it.
    emit statusTextChanged(text);
}

// ---------------------------------------------------------------- participants

Participant* Net::slot(int n)
{
    if (n < 1 || n > kParticipantLimit || !m_participants[size_t(n)])
        return nullptr;
    return &*m_participants[size_t(n)];
}

const Participant* Net::participant(int n) const
{
    if (n < 1 || n > kParticipantLimit || !m_participants[size_t(n)])
        return nullptr;
    return &*m_participants[size_t(n)];
}

QList<int> Net::participantNumbers() const
{
    QList<int> out;
    for (int n = 1; n <= m_lDocumentCount && n <= kParticipantLimit; ++n) {
        if (m_participants[size_t(n)])
            out << n;
    }
    return out;
}

int Net::addParticipant()
{
    if (!canAddParticipant())
        return 0;
    const int n = ++m_lDocumentCount;
    m_participants[size_t(n)].emplace();
    emit participantAdded(n);
    noteChange();
    return n;
}

void Net::participantClosed(int n)
{
    if (n == m_iTalkDocument) {
        switchTalkTimer(false);
        setStatusText(statusIdle());
    }
    if (!slot(n))
        return;
    m_participants[size_t(n)].reset();
    emit participantRemoved(n);
    noteChange();
}

void Net::resetRegistry()
{
    for (int n = 1; n <= kParticipantLimit; ++n) {
        if (m_participants[size_t(n)]) {
            m_participants[size_t(n)].reset();
            emit participantRemoved(n);
        }
    }
    m_lDocumentCount = 0;
    noteChange();
}

void Net::changeParticipant(int n, Aspects what)
{
    emit participantChanged(n, what);
    if (what & (Fields | State))
        noteChange();
}

void Net::setParticipantText(int n, QString Participant::*field, Aspect aspect, const QString& text)
{
    Participant* p = slot(n);
    if (!p || p->*field == text)
        return;
    p->*field = text;
    changeParticipant(n, aspect);
}

void Net::setCallsign(int n, const QString& text)
{
    setParticipantText(n, &Participant::callsign, Callsign, upperCallsign(text));
}

void Net::setHandle(int n, const QString& text)
{
    setParticipantText(n, &Participant::handle, Handle, text);
}

void Net::setQTH(int n, const QString& text)
{
    setParticipantText(n, &Participant::qth, QTH, text);
}

// ---------------------------------------------------------------- the turn

void Net::setTalkDocument(qint16 n)
{
    m_iTalkDocument = n;
}

void Net::zeroTalkCounters()
{
    m_iTalkElapsed = m_iTalkSeconds = m_iTalkMinutes = 0;
}

void Net::switchTalkTimer(bool enabled)
{
    m_talkTimerEnabled = enabled;
    emit talkTimerSwitched(enabled);
}

void Net::pressActive(int n, int active)
{
    Participant* p = slot(n);
    if (!p)
        return;
    if (p->isActive()) {
        p->state = ParticipantState::Inactive;
        changeParticipant(n, State);
        // The turn of the window activated last ends with it; the status line keeps what it says.
        if (active == m_iTalkDocument) {
            zeroTalkCounters();
            switchTalkTimer(false);
        }
        return;
    }
    p->state = ParticipantState::Active;
    changeParticipant(n, State);
}

void Net::pressTalk(int n, int active)
{
    if (!slot(m_iTalkDocument)) {
        // The window that held the turn has closed: the turn is free.
        zeroTalkCounters();
        m_iTalkDocument = qint16(active);
    }
    if (m_iTalkDocument != active) {
        Participant* other = slot(m_iTalkDocument);
        if (other && other->state == ParticipantState::Talking) {
            // Its timer caption keeps the time it reached.
            zeroTalkCounters();
            other->state = ParticipantState::Active;
            switchTalkTimer(false);
            changeParticipant(m_iTalkDocument, State);
        }
    }
    m_iTalkDocument = qint16(active);
    Participant* p = slot(n);
    if (!p)
        return;
    if (p->state == ParticipantState::Talking) {
        switchTalkTimer(false);
        p->state = ParticipantState::Active;
        zeroTalkCounters();
        changeParticipant(n, State);
        setStatusText(statusIdle());
        return;
    }
    // The count is not zeroed here: every way a turn ends has left it at zero.
    switchTalkTimer(true);
    p->state = ParticipantState::Talking;
    changeParticipant(n, State);
    setStatusText(atTurnText(n));
}

void Net::pressClear(int n, int active)
{
    if (m_iTalkDocument == active) {
        zeroTalkCounters();
        switchTalkTimer(false);
    }
    Participant* p = slot(n);
    if (!p)
        return;
    // The station stays in the net; only a turn it holds ends.
    if (p->state == ParticipantState::Talking)
        p->state = ParticipantState::Active;
    p->callsign.clear();
    p->handle.clear();
    p->qth.clear();
    p->talkTime = zeroTime();
    changeParticipant(n, Everything);
}

void Net::talkTick()
{
    advanceElapsed(m_iTalkElapsed, m_iTalkSeconds, m_iTalkMinutes);
    if (Participant* p = slot(m_iTalkDocument)) {
        p->talkTime = elapsedDisplay(m_iTalkMinutes, m_iTalkSeconds);
        emit participantChanged(m_iTalkDocument, TalkTime);
    }
}

QString Net::atTurnText(int n) const
{
    const Participant* p = participant(n);
    if (!p)
        return QString();
    return QStringLiteral("At turn: ") + p->callsign + QStringLiteral(" - ") + p->handle + QStringLiteral(" from ")
           + p->qth;
}

// ---------------------------------------------------------------- the ID reminder

void Net::pressIdTimer()
{
    const bool running = m_idState == IdTimerState::Running;
    if (running) {
        m_idBackColor = bgr::SysInactiveBorder;
        m_iIDElapsed = m_iIDSeconds = m_iIDMinutes = 0;
    } else {
        // A new period counts from zero: the counters are zero whenever it is not running.
        m_idBackColor = bgr::White;
    }
    m_idState = running ? IdTimerState::Stopped : IdTimerState::Running;
    emit idTimerChanged();
}

bool Net::idTick()
{
    advanceElapsed(m_iIDElapsed, m_iIDSeconds, m_iIDMinutes);
    // The caption shows 10:00 before the period ends, and keeps it.
    m_idCaption = elapsedDisplay(m_iIDMinutes, m_iIDSeconds);
    if (m_iIDMinutes < 10) {
        emit idTimerChanged();
        return false;
    }
    pressIdTimer();
    m_idState = IdTimerState::Expired;
    emit idTimerChanged();
    return true;
}

void Net::blinkTick()
{
    m_idBackColor = m_idBackColor == bgr::White ? bgr::Orange : bgr::White;
    emit idTimerChanged();
}

// ---------------------------------------------------------------- resetting

void Net::clearAll()
{
    m_idState = IdTimerState::Stopped;
    switchTalkTimer(false);
    zeroTalkCounters();
    m_idCaption = zeroTime();
    m_iIDElapsed = m_iIDSeconds = m_iIDMinutes = 0;
    m_idBackColor = bgr::SysInactiveBorder;
    emit idTimerChanged();

    NetHeader empty;
    empty.mode = QStringLiteral("SSB");
    setHeader(empty);

    for (int n = qMin(m_lDocumentCount, kParticipantLimit); n >= 1; --n) {
        Participant* p = slot(n);
        if (!p)
            continue;
        Aspects what;
        if (!p->callsign.isEmpty() || !p->handle.isEmpty() || !p->qth.isEmpty())
            what |= Fields;
        if (p->state != ParticipantState::Inactive)
            what |= State;
        if (p->talkTime != zeroTime())
            what |= TalkTime;
        if (!what)
            continue;
        *p = Participant();
        changeParticipant(n, what);
    }
}

// ---------------------------------------------------------------- file names

void Net::setSessionFileName(const QString& path)
{
    if (m_sSessionFileName == path)
        return;
    m_sSessionFileName = path;
    noteChange();
}

void Net::setNewNetControl(const std::optional<NetControlStation>& station)
{
    if (station) {
        m_sNewCallsign = station->callsign;
        m_sNewHandle = station->handle;
        m_sNewQTH = station->qth;
        return;
    }
    m_sNewCallsign.clear();
    m_sNewHandle.clear();
}

bool Net::isBlank() const
{
    const NetHeader& h = m_header;
    if (!h.start.isEmpty() || !h.stop.isEmpty() || !h.frequency.isEmpty() || h.mode != QStringLiteral("SSB")
        || !h.cntrlCall.isEmpty() || !h.cntrlHandle.isEmpty() || !h.cntrlQTH.isEmpty())
        return false;
    if (!h.comments.isEmpty() && h.comments != QStringLiteral("Comments\r\n"))
        return false;
    for (const std::optional<Participant>& p : m_participants) {
        if (p && (p->isActive() || !p->callsign.isEmpty() || !p->handle.isEmpty() || !p->qth.isEmpty()))
            return false;
    }
    return true;
}

void Net::markSaved()
{
    m_modified = false;
    emit saved();
}

void Net::noteChange()
{
    m_modified = true;
    emit changed();
}

}  // namespace kolvane
