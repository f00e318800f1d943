#pragma once
// The flags of one run of Play that the prompt loop, the dispatcher and the commands share:
// whether to quit, whether the controller was acquired and whether /nocard was given, and the
// seed of the "rand" token.
#include <cstdint>

extern bool g_Quit;         // set by Q: ends the loop and stops scripts
extern bool g_Acquired;     // whether the controller was acquired (false under /nocard
                            // and after a RESET that failed)
extern bool g_NoCard;       // the /nocard switch was given
extern uint32_t g_RandSeed; // seed of the "rand" token (1)

// Sets the flags above to their start values.
void ResetRunState();
