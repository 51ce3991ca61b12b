#pragma once

#include "cli/CommandRegistry.h"

// "restore FICHIER": restores the data set from an archive (every part of a numbered set), as the Tools
// menu does; the data set stays as it was when the archive is refused.
Command RestoreCommand();
