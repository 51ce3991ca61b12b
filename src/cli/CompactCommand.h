#pragma once

#include "cli/CommandRegistry.h"

// "compact": compacts the database in place, as the Tools menu does, and notes it in the history.
Command CompactCommand();
