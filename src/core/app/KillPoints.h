#pragma once

// What a crash at a given moment leaves is shown by tests that name the moment: the process kills itself (SIGKILL,
// as a power cut or an out-of-memory kill would end it) when the environment variable holds that step's name.
// Without the variable nothing happens.
void KillPointForTesting(const char* variable, const char* step);
