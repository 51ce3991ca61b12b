#pragma once

struct Command;
struct CommandContext;

// Runs a command as it declares: reads its arguments, then takes the instance lock and prepares the data folders
// (exit status 3 when another copy works on the data, 1 when the preparation fails), then connects the data module
// (1 when it does not open), and runs the body. The lock is held and the connection open until the body returns.
int RunCommand(const Command& command, CommandContext& context);
