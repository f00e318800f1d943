#pragma once
// The start of a Play session: every module's program-wide state set to its start value, before
// anything else runs. Each module resets its own state; this only calls them in turn.

// Sets the run flags, the script state, the output state and the argument vector to their start
// values (the arguments are not used); prints the insufficient-memory error when the argument
// vector cannot be allocated, and goes on.
void InitSession(int argc, char** argv);
