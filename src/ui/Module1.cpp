#include "ui/Module1.h"

#include "ui/frmDocument.h"

namespace kolvane {

frmDocument* Module1::slot(int n) const
{
    return n >= 1 && n <= kParticipantLimit ? frmD[size_t(n)].data() : nullptr;
}

}  // namespace kolvane
