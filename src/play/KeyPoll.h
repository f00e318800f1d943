#pragma once
// The key poll of Play's long loops (SHOW's animation, FLOAD's loops, the register loops, XBS,
// L's stepping). On a terminal a loop looks at the keyboard between steps and ends at a key.
// When standard input is not a terminal (a pipe, a file, CI), a loop with an end of its own
// runs to that end without looking, and a loop that runs until a key ends at the first waiting
// byte, or at the end of the input, after its first step: nothing waits for a key that cannot
// come.
//
//     for (uint32_t step = 0;; ++step) {
//         if (LoopKeyWaiting(kLoopUntilKey, step)) { /* read the key (ReadKeyName), stop */ }
//         ...one step...
//     }
#include <cstdint>

enum LoopEnd : uint32_t {
    kLoopEndsItself = 0, // a count, a time or a cycle number ends it
    kLoopUntilKey = 1,   // only a key ends it
};

// Whether the loop should read a key now: a key (or the end of the input) is waiting, and the
// loop is one that looks at the keyboard at this step (stepsDone steps done so far).
bool LoopKeyWaiting(LoopEnd end, uint64_t stepsDone);
