#include "cli/Commands.h"

#include "cli/BackupCommand.h"
#include "cli/CompactCommand.h"
#include "cli/InfoCommand.h"
#include "cli/RestoreCommand.h"
#include "cli/UpdateCommand.h"

void RegisterCommands(CommandRegistry& registry) {
    registry.add(InfoCommand());
    registry.add(CompactCommand());
    registry.add(BackupCommand());
    registry.add(RestoreCommand());
    registry.add(HistoryCommand());
    registry.add(UpdateCommand());
}
