#pragma once

#include "cli/CommandRegistry.h"

// "info": runs the start-up steps up to the database and prints the folders, the database file
// and the program version.
Command InfoCommand();
