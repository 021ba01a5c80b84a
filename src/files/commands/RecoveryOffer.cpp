#include "files/commands/RecoveryOffer.h"

#include "files/RecoveryCopy.h"
#include "files/commands/SessionCommands.h"
#include "ui/WindowLayer.h"
#include "ui/frmMain.h"

namespace kolvane {

bool offerLeftNets(frmMain& main, RecoveryCopy& recovery)
{
    const QList<LeftCopy> left = recovery.claimLeftCopies();
    // Before any offer, so the operator knows a net may be missing from them.
    const QStringList unreadable = recovery.takeUnreadableCopies();
    if (!unreadable.isEmpty())
        main.layer().messageBox(&main, unreadableCopiesMessage(unreadable));
    bool restored = false;
    for (const LeftCopy& copy : left) {
        if (restored) {
            recovery.keepLeftCopy(copy);
            continue;
        }
        if (main.layer().question(&main, leftNetQuestion(copy), QStringLiteral("Restore"), QStringLiteral("Discard"))) {
            SessionCommands(main).restoreSession(copy.session, copy.info.savedAs);
            restored = true;
            // The left copy goes only once the restored net is on disk as this program's
            // own: whatever happens in between, one of the two is there to offer.
            recovery.writeNow();
            recovery.waitForWrites();
        }
        recovery.dropLeftCopy(copy);
    }
    return restored;
}

}  // namespace kolvane
