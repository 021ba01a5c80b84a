#pragma once

#include "net/Participants.h"

#include <QPointer>
#include <array>

namespace kolvane {

class Regulars;
class frmDocument;

// What the windows of a net share: the participant windows by number and the one activated
// last. The net itself (its stations, counters and file names) is the Net they show.
// Start-up creates one and hands it to the windows; a test creates a fresh one per case.
struct Module1 {
    // Slot n holds participant window n, or nothing once it has closed. Slot 0 is unused.
    std::array<QPointer<frmDocument>, kParticipantLimit + 1> frmD{};
    // The participant window activated last.
    qint16 iActiveDocument = 0;
    // The regulars' roster the callsign fields suggest from, and the file commands teach;
    // none in a rig that needs no suggestions.
    Regulars* regulars = nullptr;

    // The window in slot n, or null for an empty or out-of-range slot.
    frmDocument* slot(int n) const;

    enum class Order { Ascending, Descending };
    // Runs `step` on every open participant window, by number. Each window is looked up
    // when its turn comes, so one that closed during an earlier step is passed over; the
    // step gets a guarded pointer, since a step that lets events run may see its own
    // window go.
    template <typename Step>
    void visitParticipants(Order order, Step step) const
    {
        for (int k = 1; k <= kParticipantLimit; ++k) {
            const QPointer<frmDocument> d = slot(order == Order::Ascending ? k : kParticipantLimit + 1 - k);
            if (d)
                step(d);
        }
    }
};

}  // namespace kolvane
