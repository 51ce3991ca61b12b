#pragma once

// Runs the graphical program from start-up to the end of its event loop; returns the exit status.
int RunQuorvel(int argc, char** argv);
