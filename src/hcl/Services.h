#pragma once
// The layer's own services over the operating system: precise delays and the millisecond clock,
// sleeps, the time of day, the per-board lock, the layer's prompting reporter oxAssert, events,
// threads with priorities, and periodic timers. The other parts of the layer call these rather
// than the operating system directly.

#include <cstdint>
#include <ctime>

// --- Timing -------------------------------------------------------------------------------

// Measures the clock the delays count on; called by the timing services while not calibrated.
bool CalibrateSystemClock();

// Busy-waits the given time (never yields the processor); 0 returns at once.
void oxDelayUs(std::uint32_t microseconds);
void oxDelayNs(std::uint32_t nanoseconds);

// Yields the processor for the given time.
void oxSleepMs(std::uint32_t milliseconds);

// Milliseconds since the clock was calibrated (the first timing call). Every time-out of the
// layer counts on it.
std::uint32_t oxGetMsCount();

// The current calendar time in seconds.
std::time_t oxTime();
// The broken-down local time of a calendar time.
std::tm oxLocalTime(std::time_t time);
// The current calendar time; when words is not NULL it receives, in this order: second,
// minute, hour, day of the month, month (0 .. 11), year (full).
std::time_t oxGetLocalTime(std::uint32_t* words);

// --- Locking ------------------------------------------------------------------------------

// Non-zero takes the lock of the current board (Q3VBOARD), 0 releases it. The lock is recursive
// within the process and shared with every other process on the same board; a process that
// dies releases it. The board is looked up again whenever the lock is taken while not held (on a
// thread inside an HclBoardScope, hcl/HclBoard.h: the number that scope keeps). When the lock
// cannot be had (its file cannot be opened, a folder in its place), nothing is held and every
// transfer to the board fails until the outermost level is released: exchanges never run
// unserialised (oxBoardLockError).
void oxLockBoard(int lock);

// --- Error reporting ----------------------------------------------------------------------

// Prints "ASSERT - " and the formatted message, then "\nAbort [Y]: ", rings the bell and reads
// one key (no echo, lower-cased) until y, n or Enter; other keys ring the bell again. At end of
// input the answer is Enter. n returns the number of characters of "ASSERT - " and the message;
// y and Enter end the program with exit code 99 (from a worker thread without running the
// program's destructors).
int oxAssert(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Exit code of the program when the user chooses to abort at an oxAssert prompt.
constexpr int oxASSERT_EXIT_CODE = 99;

// --- Events and threads -------------------------------------------------------------------

// A handle of an event or a thread; 0 (nullptr) is no handle.
struct oxHandleObject;
using oxHandle = oxHandleObject*;

constexpr std::uint32_t oxINFINITE = 0xFFFFFFFF; // a wait without time-out

// An unnamed auto-reset event, not signalled.
oxHandle oxCreateEvent();
bool oxSetEvent(oxHandle event);
bool oxResetEvent(oxHandle event);
// True only when the event was signalled within the time (oxINFINITE waits forever).
bool oxWaitEvent(oxHandle event, std::uint32_t milliseconds);
// Closes an event or a thread handle (a thread still running goes on, detached).
bool oxCloseHandle(oxHandle handle);

using oxThreadFunction = std::uint32_t (*)(void* argument);

// Starts a thread running function(argument) at once; returns its handle, or 0.
oxHandle oxCreateThread(oxThreadFunction function, void* argument);
// Waits for the thread's end: on success closes its handle and returns true; on time-out
// returns false and keeps the handle.
bool oxWaitThread(oxHandle thread, std::uint32_t milliseconds);
// Level 0 = lowest, 1 = normal, 2 = time-critical (best effort); any other level changes nothing
// and returns false.
bool oxSetThreadPriority(oxHandle thread, int level);
// Suspending another thread has no safe counterpart here: both return false and change nothing.
bool oxSuspendThread(oxHandle thread);
bool oxResumeThread(oxHandle thread);

// --- Timer --------------------------------------------------------------------------------

using oxTimerCallback = void (*)(void* argument);

// Calls callback(argument) every periodMs milliseconds on a thread of its own (the time
// the callback took counts towards the period). Returns the timer's stop event, or 0 (also for
// a NULL callback). oxSetEvent on the returned event stops the timer; the timer's thread then
// closes the event, so the caller must not use it afterwards.
oxHandle oxStartTimer(std::uint32_t periodMs, oxTimerCallback callback, void* argument);
