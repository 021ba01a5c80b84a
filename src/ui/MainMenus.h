#pragma once

class QAction;
class QMenu;

namespace kolvane {

class frmMain;
struct MenuRow;

// Makes the main window's menu bar from the menu table (MainMenus.cpp): each top menu and
// item in the table's order, kept in the frmMain member the row names, and connected to what
// the row runs. It also gives the visible shortcuts precedence over the text fields.
class MainMenuBuilder {
public:
    explicit MainMenuBuilder(frmMain& main) : m_main(main) {}
    void build();

private:
    void addMenu(const MenuRow& row);
    void addItem(const MenuRow& row);
    void route(QAction* action, const MenuRow& row);

    frmMain& m_main;
    QMenu* m_menu = nullptr;  // the menu that the next items go into
};

}  // namespace kolvane
