// The key poll of long loops: terminal rules and plain-input rules.
#include "play/KeyPoll.h"

#include "platform/Console.h"

bool LoopKeyWaiting(LoopEnd end, uint64_t stepsDone) {
    if (!ConsoleIsTerminal() && (end == kLoopEndsItself || stepsDone == 0)) {
        return false;
    }
    return ConsoleKbhit();
}
