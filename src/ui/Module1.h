#pragma once

#include "net/Participants.h"

#include <QPointer>
#include <QString>
#include <array>

namespace kolvane {

class frmDocument;

// The shared state of a running net: the participant registry, the turn and ID counters
// and the remembered file names. Start-up creates one and hands it to the windows; a
// test creates a fresh one per case.
struct Module1 {
    // Slot n holds participant window n, or nothing once it has closed. Slot 0 is unused.
    std::array<QPointer<frmDocument>, 101> frmD{};
    // Windows created since the registry was last reset; also the highest number given.
    qint32 lDocumentCount = 0;
    // The participant window activated last.
    qint16 iActiveDocument = 0;

    // The participant that holds, or last held, the turn, and the count of its turn.
    qint16 iTalkDocument = 0;
    qint16 iTalkElapsed = 0;
    qint16 iTalkSeconds = 0;
    qint16 iTalkMinutes = 0;

    // The ID reminder's count.
    qint16 iIDElapsed = 0;
    qint16 iIDSeconds = 0;
    qint16 iIDMinutes = 0;

    QString sSessionFileName;   // where Save writes
    QString sOpenFileName;      // the file being opened
    QString sTransferFileName;  // where a transfer is written
    QString sNewCallsign;       // the station taking over as Net Control
    QString sNewHandle;
    QString sNewQTH;

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
        const int last = qMin(lDocumentCount, kParticipantLimit);
        for (int k = 1; k <= last; ++k) {
            const QPointer<frmDocument> d = slot(order == Order::Ascending ? k : last + 1 - k);
            if (d)
                step(d);
        }
    }

    void zeroTalkCounters() { iTalkElapsed = iTalkSeconds = iTalkMinutes = 0; }
    void zeroIdCounters() { iIDElapsed = iIDSeconds = iIDMinutes = 0; }
};

}  // namespace kolvane
