#pragma once

// Nets that the suites and the benchmark put on screen or on disk: a header typed into the
// net panel, a button pressed as a click presses it, timer ticks, a session file written
// by the program's own writer. Header-only and free of Qt Test, so the benchmark uses it too.
#include "files/SessionFile.h"
#include "files/SessionStorage.h"
#include "support/SampleNet.h"
#include "ui/Controls.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QMdiArea>

namespace kolvane::test {

// Types a header into the net panel, comments included.
inline void typeHeader(frmMain& m, const NetHeader& h)
{
    m.txtStart->setText(h.start);
    m.txtStop->setText(h.stop);
    m.txtFrequency->setText(h.frequency);
    m.cmbMode->setEditText(h.mode);
    m.txtCntrlCall->setText(h.cntrlCall);
    m.txtCntrlHandle->setText(h.cntrlHandle);
    m.txtCntrlQTH->setText(h.cntrlQTH);
    m.txtComments->setPlainText(h.comments);  // as if pasted
}

// What a click on one of a participant window's buttons does: the window comes to the
// front, then the button's handler runs.
inline void press(frmMain& m, frmDocument* d, void (frmDocument::*handler)())
{
    m.mdiArea->setActiveSubWindow(d);
    (d->*handler)();
}

// Runs a timer's handler `count` times, as that many ticks would.
inline void ticks(frmMain& m, void (frmMain::*tick)(), int count)
{
    for (int i = 0; i < count; ++i)
        (m.*tick)();
}

// Writes `session` as a session file at `path`; true when it was written.
inline bool writeNetFile(const QString& path, const SessionData& session)
{
    return writeSessionFileAt(path, session).isEmpty();
}

}  // namespace kolvane::test
