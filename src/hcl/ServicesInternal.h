#pragma once
// Services shared between the layer's service files, not part of the public set.

#include "hcl/Services.h"

#include <string>

// An unnamed event, not signalled; a manual-reset event stays signalled until reset.
oxHandle oxCreateEventEx(bool manualReset);

// The lock file of the board lock this thread holds through oxLockBoard ("" when none).
std::string oxHeldBoardLockPath();
// The system's error that kept this thread from taking the board lock it asked for through
// oxLockBoard (0 when it holds the lock or asked for none): its transfers to the board fail.
int oxBoardLockError();
