#pragma once

#include <QScopedValueRollback>
#include <utility>

namespace kolvane {

// The boundary between a window's fields and the net. A field reports every change of its
// text, the net's own text shown in it as well as what the operator types; only the latter
// is an edit of the net. Handing the former back would replace the net's text with the
// field's idea of it, which is not always the same text (the comments box cannot tell a
// U+2029 from a line break until it has been told which was which).
class NetEcho {
public:
    // Runs `show`, which puts the net's text into fields, with their changes held back
    // from the net.
    template <typename Show>
    void showing(Show&& show)
    {
        const QScopedValueRollback<bool> guard(m_showing, true);
        std::forward<Show>(show)();
    }
    // True when a field's change comes from the operator and belongs in the net.
    bool isEdit() const { return !m_showing; }

private:
    bool m_showing = false;
};

}  // namespace kolvane
