#include "cli/Commands.h"

#include "cli/CompactCommand.h"
#include "cli/InfoCommand.h"
#include "cli/UpdateCommand.h"

void RegisterCommands(CommandRegistry& registry)
{
    registry.add(InfoCommand());
    registry.add(CompactCommand());
    registry.add(UpdateCommand());
}
