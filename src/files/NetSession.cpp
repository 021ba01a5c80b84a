#include "files/NetSession.h"

#include "net/Net.h"

namespace kolvane {

SessionData sessionFromNet(const Net& net)
{
    SessionData session;
    session.header = net.header();
    const QList<int> numbers = net.participantNumbers();
    session.participants.reserve(numbers.size());
    for (int n : numbers) {
        const Participant* p = net.participant(n);
        session.participants.append(ParticipantRecord{p->isActive(), p->callsign, p->handle, p->qth});
    }
    return session;
}

}  // namespace kolvane
