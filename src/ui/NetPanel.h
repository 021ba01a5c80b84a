#pragma once

class QWidget;

namespace kolvane {

class frmMain;
struct PanelRow;

// Makes the main window's net panel from the panel table (NetPanel.cpp): the band tbCntrl
// that carries it, the panel Frame1, and each control of the table placed, named and kept
// in its frmMain member, then the Tab sequence and what screen readers are told. Showing the
// net in the controls and handing on what the operator does is the window's own work.
class NetPanelBuilder {
public:
    explicit NetPanelBuilder(frmMain& main) : m_main(main) {}
    void build();

private:
    QWidget* addControl(const PanelRow& row, QWidget* panel);
    void name(const PanelRow& row, QWidget* control);

    frmMain& m_main;
};

}  // namespace kolvane
