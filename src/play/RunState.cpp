// The flags of one run of Play.
#include "play/RunState.h"

bool g_Quit = false;
bool g_Acquired = true;
bool g_NoCard = false;
uint32_t g_RandSeed = 1;

void ResetRunState() {
    g_Quit = false;
    g_Acquired = true;
    g_NoCard = false;
    g_RandSeed = 1;
}
