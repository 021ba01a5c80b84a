#pragma once

namespace kolvane {

class RecoveryCopy;
class frmMain;

// Offers the nets that programs no longer running left unsaved, newest first, each in a
// question: Restore (the default) rebuilds it as Open does, with the name Save writes to;
// Discard deletes its copy. This program runs one net, so once one is restored the others
// stay for a later start (or a second program). Left copies that cannot be offered are
// named first, in one message. True when a net was restored.
bool offerLeftNets(frmMain& main, RecoveryCopy& recovery);

}  // namespace kolvane
