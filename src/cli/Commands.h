#pragma once

class CommandRegistry;

// Adds every command of quorvel-cli to the registry.
void RegisterCommands(CommandRegistry& registry);
