#pragma once
// The built-in help and the small commands: HELP ("?"; the section browser, or a search of the
// chip definition's registers and features), DEBUG (the layer's register-write echo), VER (the
// banner) and RESET (re-opens the transport to the board, optionally another board number).
#include "play/CommandHandlers.h"

#include <cstddef>

bool CmdHelp(int32_t argc, char** argv, ExprValue* result);
bool CmdDebug(int32_t argc, char** argv, ExprValue* result);
bool CmdVersion(int32_t argc, char** argv, ExprValue* result);
bool CmdReset(int32_t argc, char** argv, ExprValue* result);

// Play's banner, printed at start and by VER.
void GetPlayBanner(char* text, size_t size);

// HELP's browser sections, in order.
struct HelpSection {
    const char* Key;
    const char* Title;
};
constexpr int32_t kHelpSectionCount = 6;
extern const HelpSection g_HelpSections[kHelpSectionCount];
