#pragma once

#include "cli/CommandRegistry.h"

// "update-db [SCRIPT] [--backup]": runs an update script on the database and prints the lines of Maj.Log as they
// are written. Without SCRIPT, runs the scripts waiting in the data folder as the start-up does (each deleted after
// its run, the version stamp written afterwards, the program folder's database updated too). --backup makes the
// pre-update copy of the database first; without it no question is asked.
Command UpdateCommand();
