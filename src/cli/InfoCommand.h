#pragma once

#include "cli/CommandRegistry.h"

// "info": runs the start-up steps up to the database and prints the folders, the database file
// and the program version.
Command InfoCommand();

// The start-up steps before the database, as every command that touches the data runs them;
// returns the exit status to end with, or ExitStatus::kOk to go on. The lock stays held by lock.
class InstanceLock;
int PrepareForCommand(CommandContext& context, InstanceLock& lock);
