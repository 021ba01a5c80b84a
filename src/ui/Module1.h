#pragma once

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

    void zeroTalkCounters() { iTalkElapsed = iTalkSeconds = iTalkMinutes = 0; }
    void zeroIdCounters() { iIDElapsed = iIDSeconds = iIDMinutes = 0; }
};

}  // namespace kolvane
