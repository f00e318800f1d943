#pragma once
// The display-memory commands D (dump), F (fill), R (read), S (search) and W (write), in 8-,
// 16- and 32-bit forms, and the state each remembers between calls.
#include "play/CommandHandlers.h"

#include <cstdint>

// The remembered state of one memory command, changed only by its own command, field by field
// as its arguments are accepted (unit, then start, then length).
struct MemCmdState {
    uint32_t m_Unit; // unit size in bytes: 1, 2 or 4
    uint32_t m_Addr; // start address of the next call (the end of the previous call's area)
    uint32_t m_Len;  // last length in bytes (R has none)
};

extern MemCmdState g_DumpState;   // D: 1, 0, 0x100
extern MemCmdState g_FillState;   // F: 2, 0, 0
extern MemCmdState g_ReadState;   // R: 1, 0, -
extern MemCmdState g_SearchState; // S: 1, 0, 0
extern MemCmdState g_WriteState;  // W: 1, 0, 0

// Bridge addresses are 24 bits: an area that reaches past this is refused rather than wrapped.
constexpr uint64_t kMemAddressSpace = 0x1000000;

// Sets the five states to their start values (called when the program starts).
void InitMemCmdStates();

// The handlers of the rows "d;d8;d16;d32", "f;f8;f16;f32", "r;r8;r16;r32", "s;s8;s16;s32" and
// "w;w8;w16;w32". Output goes to CAT_OUT, errors to CAT_ERR; each returns false on an error or
// when the user stopped the output with ESC at the paging prompt.
bool CmdDump(int32_t argc, char** argv, ExprValue* result);
bool CmdFill(int32_t argc, char** argv, ExprValue* result);
bool CmdRead(int32_t argc, char** argv, ExprValue* result);
bool CmdSearch(int32_t argc, char** argv, ExprValue* result);
bool CmdWrite(int32_t argc, char** argv, ExprValue* result);
