#pragma once
// The /break: register breakpoints: 32 slots that stop the program before or after chosen
// register accesses and ask the user whether to step or to run on. The front checks them around
// every 8- and 16-bit register read, write, modify, set-bits and clear-bits once a /break: list
// has been parsed.

#include <cstddef>
#include <cstdint>

inline constexpr unsigned oxHCL_MAX_BREAKPOINTS = 32;
inline constexpr std::uint32_t oxHCL_BREAK_FREE = 0xFFFFFFFF;   // start of a free slot
inline constexpr std::uint32_t oxHCL_BREAK_NO_END = 0xFFFFFFFF; // end of a non-range slot

// Access kinds and timings.
inline constexpr std::uint32_t oxHCL_BREAK_READ = 0;
inline constexpr std::uint32_t oxHCL_BREAK_WRITE = 1;
inline constexpr std::uint32_t oxHCL_BREAK_EITHER = 2; // modify, set bits, clear bits
inline constexpr std::uint32_t oxHCL_BREAK_BEFORE = 0;
inline constexpr std::uint32_t oxHCL_BREAK_AFTER = 1;

// One breakpoint slot (nine 32-bit words).
struct oxHclBreakpoint {
    std::uint32_t Access;    // 0 read, 1 write
    std::uint32_t Timing;    // 0 before the access, 1 after it
    std::uint32_t Start;     // register index; oxHCL_BREAK_FREE marks a free slot
    std::uint32_t End;       // last byte of a range; oxHCL_BREAK_NO_END for no range
    std::uint32_t Range;     // range flag
    std::uint32_t Mask;      // mask within the aligned 32-bit register word
    std::uint32_t Shift;     // shift of the match value
    std::uint32_t ValueFlag; // whether a match value was given
    std::uint32_t Value;     // match value
};
static_assert(sizeof(oxHclBreakpoint) == 9 * 4);

// Marks all 32 slots free. Play calls it at start.
bool oxHclClearBreakpoints();

// The text after "/break:": entries separated by ';', each
//   (b|a)(r|w)<any character>(reg|reg16|reg32|reg8)[<register>][==<hex value>]
// where <register> is a hexadecimal index (optionally ending in h), "index--end" (a range),
// "index-bN" (bit N) or "index-bN:M" (bits N down to M). Sets the breakpoints-in-use flag (even
// for an empty or faulty list). On an error sets the layer's last error (8 .. 15), stops, keeps
// the entries already added and gives false.
bool oxHclParseBreakpoints(const char* textIn);

// Reads one register term of length characters (see above). A range gives its end
// and mask 0; a bit field gives its mask and high and low bit, end oxHCL_BREAK_NO_END. False
// for any other text: the caller then reads the whole text as one hexadecimal index.
bool oxHclParseBreakRegister(const char* textIn, std::size_t length, std::uint32_t& indexOut,
                             std::uint32_t& endOut, std::uint32_t& mask, std::uint32_t& highBit,
                             std::uint32_t& lowBit);

// Digits of the radix (2, 10 or 16) up to the first other character, of length characters
// (0: the whole text). Another radix gives 0; a value beyond 32 bits gives 0xFFFFFFFF.
std::uint32_t oxHclParseNumber(const char* textIn, std::size_t length, std::uint32_t radix);

// Fills the first free slot; the range flag is set when end is not oxHCL_BREAK_NO_END.
// False when all 32 slots are used.
bool oxHclAddBreakpoint(std::uint32_t timing, std::uint32_t access, std::uint32_t start,
                        std::uint32_t end, std::uint32_t mask, std::uint32_t shift,
                        std::uint32_t value, std::uint32_t valueFlag);

// Whether a /break: list has been parsed (the front then checks every register access).
bool oxHclBreakpointsInUse();

// The slot i (0 .. 31), or NULL for a free or unknown slot.
const oxHclBreakpoint* oxHclGetBreakpoint(unsigned slot);

// Checks one register access (access 0 read, 1 write, 2 either; width 1, 2 or 4) against the
// slots, or stops at once in step mode; prompts when it stops. Returns true.
bool oxHclCheckBreakpoint(std::uint32_t index, std::uint32_t access, std::uint32_t after,
                          std::uint32_t value, std::uint32_t width);

// The first used slot that matches the access (no step mode, no prompt), or NULL.
const oxHclBreakpoint* oxHclFindBreakpoint(std::uint32_t index, std::uint32_t access,
                                           std::uint32_t after, std::uint32_t valueIn,
                                           std::uint32_t width);

// Prints "\nCurrent Register: %04lX\n", the breakpoint when there is one, "Command: ", then
// reads keys: '?' lists the commands, S steps (step mode on), R runs to the next breakpoint
// (step mode off), other keys ring the bell. At the end of input the program runs on.
void oxHclBreakpointPrompt(const oxHclBreakpoint* breakpoint, std::uint32_t index);

// Whether every checked access stops (switched by S and R at the prompt).
bool oxHclGetStepMode();

// "%s %s break: Reg: %04lX " then "- %04lX\n" for a range, else "Mask: %04lX" and
// " Value: %04lX\n" or "\n".
void oxHclPrintBreakpoint(const oxHclBreakpoint& breakpoint);

// Test support: all slots free, breakpoints not in use, step mode off.
void oxHclResetBreakpointsForTesting();
