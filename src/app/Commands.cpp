#include "app/Commands.h"

#include "dialogs/DialogRouting.h"
#include "files/commands/SessionCommands.h"

namespace kolvane {

MainCommands makeCommands(frmMain& main)
{
    MainCommands commands;
    commands.files = std::make_unique<SessionCommands>(main);
    commands.dialogs = std::make_unique<DialogRouting>(main);
    return commands;
}

}  // namespace kolvane
