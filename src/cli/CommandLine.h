#pragma once

// Runs quorvel-cli with its arguments; returns the exit status.
int RunCommandLine(int argc, char** argv);
