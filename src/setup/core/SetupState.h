#pragma once
// The program-wide state of Setup's shell: the one chip definition, the open file, the program
// arguments of Save and Run, and the switches of the Help menu. One instance of each for the
// whole run; the windows read and change them, the logic below the windows owns them.
//
//     if (!g_OpenPath.empty()) { ... a file is open ... }
#include "setup/core/SetupChipDef.h"

#include <cstdint>
#include <string>

// Setup's one chip definition. Play has its own g_ChipDef, a ChipDef (in play/PlayChipDef.h);
// the two programs are linked apart, so each has one of that name.
extern SetupChipDef g_ChipDef;

// The open configurable file's path; empty while none is open.
extern std::string g_OpenPath;
// Whether a file has been opened successfully during this run ("Save/&Run!" is then enabled).
extern bool g_EverOpened;
// The program arguments handed to the file by Save and Run.
extern std::string g_ProgramArguments;

extern bool g_DebuggingEnabled;
extern bool g_ToolTipsEnabled;
extern bool g_ToolTipPositionLocked;
// Index into the tooltip delays (menu items 40021 .. 40026).
extern std::uint32_t g_ToolTipDelayIndex;

// Back to the state of a fresh start (no file, debugging off, tooltips on, delay 500 ms).
void ResetSetupState();
