#pragma once
// The /debug: trace: every access made through the front is recorded in a list and, when the
// program ends, written to a log file as lines that Play can run again as a script. Every line
// of the log is a Play command or a comment ("'"), and running the log on a fresh board brings
// its registers and display memory to the state that the traced run left.
//
// The trace may be fed from the layer's worker threads (the poll thread reads registers through
// the front); its list is guarded by a lock of its own.

#include <cstdint>

// Event codes of the trace.
enum oxHclTraceCode : std::uint32_t {
    oxTRACE_NONE = 0, // the head record: prints nothing
    oxTRACE_READ_REG8 = 1,
    oxTRACE_READ_REG16 = 2,
    oxTRACE_READ_REG32 = 3,
    oxTRACE_WRITE_REG8 = 4,
    oxTRACE_WRITE_REG16 = 5,
    oxTRACE_WRITE_REG32 = 6,
    oxTRACE_SETBITS_REG8 = 7,
    oxTRACE_SETBITS_REG16 = 8,
    oxTRACE_SETBITS_REG32 = 9,
    oxTRACE_CLEARBITS_REG8 = 10,
    oxTRACE_CLEARBITS_REG16 = 11,
    oxTRACE_CLEARBITS_REG32 = 12,
    oxTRACE_MODIFY_REG8 = 13,
    oxTRACE_MODIFY_REG16 = 14,
    oxTRACE_MODIFY_REG32 = 15,
    oxTRACE_BURST_READ_REG8 = 16,
    oxTRACE_BURST_READ_REG16 = 17,
    oxTRACE_BURST_READ_REG32 = 18,
    oxTRACE_BURST_WRITE_REG8 = 19,
    oxTRACE_BURST_WRITE_REG16 = 20,
    oxTRACE_BURST_WRITE_REG32 = 21,
    oxTRACE_BURST2_READ_REG8 = 22, // a second register-burst family (22 .. 27)
    oxTRACE_BURST2_READ_REG16 = 23,
    oxTRACE_BURST2_READ_REG32 = 24,
    oxTRACE_BURST2_WRITE_REG8 = 25,
    oxTRACE_BURST2_WRITE_REG16 = 26,
    oxTRACE_BURST2_WRITE_REG32 = 27,
    oxTRACE_READ_MEM8 = 28,
    oxTRACE_READ_MEM16 = 29,
    oxTRACE_READ_MEM32 = 30,
    oxTRACE_WRITE_MEM8 = 31, // fills too (oxHclTraceFill)
    oxTRACE_WRITE_MEM16 = 32,
    oxTRACE_WRITE_MEM32 = 33,
    oxTRACE_BURST_READ_MEM8 = 34,
    oxTRACE_BURST_READ_MEM16 = 35,
    oxTRACE_BURST_READ_MEM32 = 36,
    oxTRACE_RECT_READ_MEM8 = 37, // rectangle reads (37 .. 39)
    oxTRACE_RECT_READ_MEM16 = 38,
    oxTRACE_RECT_READ_MEM32 = 39,
    oxTRACE_BURST_WRITE_MEM8 = 40,
    oxTRACE_BURST_WRITE_MEM16 = 41,
    oxTRACE_BURST_WRITE_MEM32 = 42,
    oxTRACE_RECT_WRITE_MEM8 = 43, // rectangle writes (43 .. 45)
    oxTRACE_RECT_WRITE_MEM16 = 44,
    oxTRACE_RECT_WRITE_MEM32 = 45,
};

// The letters of /debug: as bits of oxHclStartTrace.
inline constexpr std::uint32_t oxHCL_TRACE_READS = 1;  // R
inline constexpr std::uint32_t oxHCL_TRACE_WRITES = 2; // W
inline constexpr std::uint32_t oxHCL_TRACE_EXPAND = 4; // X: bursts become one event per element

// The log file when /debug: names none.
inline constexpr const char* oxHCL_DEFAULT_DEBUG_LOG = "debug.log";

// The text after "/debug:": letters R, W, X (any case, order and number) up to the end or a
// ':', then the log file name. Another letter before the ':' gives false and starts nothing;
// otherwise starts the trace (oxHclStartTrace) and gives its result.
bool oxHclParseDebugOptions(const char* text);

// Sets the flags of the given letters (never clears one) and keeps the file name (NULL or
// empty: "debug.log"). False when memory runs out.
bool oxHclStartTrace(std::uint32_t letters, const char* fileName);

// The trace flags set so far (oxHCL_TRACE_*).
std::uint32_t oxHclGetTraceFlags();
// Whether the front records events: trace reads or trace writes is on (either records every
// kind of access).
bool oxHclIsTracing();
// The log file name ("debug.log" until a trace names another).
const char* oxHclGetDebugLogName();

// Records one event: (code, register index or memory address, value) for single accesses and
// (code, index or address, element count, data) for bursts, whose data is read by the code's
// width (1, 2 or 4 bytes an element). With expand-bursts on a burst becomes one event per
// element: register bursts keep their index, memory bursts advance the address element by
// element. An event equal in code, index and value to the last record only counts it again.
// False only when memory runs out.
bool oxHclTraceEvent(std::uint32_t code, std::uint32_t index, std::uint32_t value, const void* data,
                     std::uint32_t extra1, std::uint32_t extra2);

// Records a fill of display memory: count elements of value from address on (code 31,
// 32 or 33). A fill of one element is a write.
bool oxHclTraceFill(std::uint32_t code, std::uint32_t address, std::uint32_t value,
                    std::uint32_t count);

// Writes the recorded events to the log file (truncating it). Nothing (true) when neither
// trace flag is on. A file that cannot be opened prints "Error opening debug logfile %s\n"
// and gives false; a write that fails prints "Error writing debug logfile %s: %s\n" with the
// system's reason and gives false.
bool oxHclWriteDebugLog();

// Test support: the number of records so far (the head record included once started).
unsigned oxHclTraceRecordCount();
// Test support: forgets every record and flag and the file name, as at program start.
void oxHclResetTraceForTesting();
