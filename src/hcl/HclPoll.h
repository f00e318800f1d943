#pragma once
// Polled interrupts: software interrupts from register bits, for adapters without an interrupt
// line. A thread of its own reads each source's register through the front (so tracing and
// breakpoints apply) and calls the installed callback for every source whose bits are set.

#include <cstdint>

inline constexpr unsigned oxHCL_MAX_POLL_SOURCES = 8;

using oxPollCallback = void (*)();

// Adds one source: only the register index (third word) and the mask (fifth word) are kept;
// the others are accepted for the signature of the kernel-driver interrupt entries. False when
// 8 sources exist already. Sources cannot be removed.
bool oxAddPollInterrupt(std::uint32_t word1, std::uint32_t word2, std::uint32_t index,
                        std::uint32_t word4, std::uint32_t mask);

// Stores the callback. Non-NULL starts the poll thread when none runs (a running one picks up
// the new callback); when the thread cannot be started the callback is cleared and false
// returned. NULL stops a running thread (waits up to 1000 ms for it).
bool oxSetPollInterruptCallback(oxPollCallback callback);

// The poll thread's body: until stopped, reads each source's register with oxHclReadReg16,
// calls the callback for every source whose value AND mask is not 0, then sleeps 1 ms.
std::uint32_t oxPollInterruptThread(void* argument);

// Test support: the number of sources added so far.
unsigned oxPollInterruptCount();
// Test support: stops the thread and forgets all sources, as at program start.
void oxResetPollInterruptsForTesting();
