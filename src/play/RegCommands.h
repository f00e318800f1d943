#pragma once
// The register commands: X (read or write one register, XA and XB list them all), XF and XR
// (repeated register writes and reads), XFB and XRB (the same in one burst transfer), XBS
// (watch register bits and mirror them on GPIO pins) and BAR (raw access through a base
// address register), with the state each remembers between calls.
#include "play/CommandHandlers.h"

#include <cstdint>

// The remembered state of one register command.
struct RegCmdState {
    uint32_t m_Index;  // last register index
    uint32_t m_Unit;   // unit in bytes: 1, 2 or 4
    uint32_t m_Cycles; // last cycle count (0 = without end); unused by X and BAR
};

// The register unit in bytes of the chip's register 0 (2 for 16-bit registers).
extern uint32_t g_DefaultRegUnit;

extern RegCmdState g_RegState;       // X
extern RegCmdState g_RegFillState;   // XF and XFB
extern RegCmdState g_RegRereadState; // XR and XRB
extern RegCmdState g_BarState;       // BAR

// Sets g_DefaultRegUnit from the chip definition and the four states to their start values
// (called when the program starts, after the chip definition).
void InitRegCmdStates();

// The handlers of the rows "x;x8;x16;x32;xa;xb", "xf;...", "xr;...", "xfb;...", "xrb;...",
// "xbs;bitstatus" and "bar;...". Register lines go to CAT_SET, listings and usage texts to
// CAT_OUT, errors to CAT_ERR; each returns false on an error or a stopped output.
bool CmdReg(int32_t argc, char** argv, ExprValue* result);
bool CmdRegFill(int32_t argc, char** argv, ExprValue* result);
bool CmdRegReread(int32_t argc, char** argv, ExprValue* result);
bool CmdRegFillBurst(int32_t argc, char** argv, ExprValue* result);
bool CmdRegRereadBurst(int32_t argc, char** argv, ExprValue* result);
bool CmdBitStatus(int32_t argc, char** argv, ExprValue* result);
bool CmdBar(int32_t argc, char** argv, ExprValue* result);
