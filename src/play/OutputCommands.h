#pragma once
// The commands that steer Play's output: VERBOSE (the console mask), FLOG (the log file and its
// mask) and H (the page length), rows "verbose", "flog" and "h;halt" of the command table.
#include "play/CommandHandlers.h"

// "verbose [CMD|OUT|SET=ON|OFF] ..." changes the running script level's mask (the top-level one
// at the prompt and in "play.txt") and reports the mask in effect.
bool CmdVerbose(int32_t argc, char** argv, ExprValue* result);

// "flog file [CMD|OUT|SET=ON|OFF] ..." opens the log file for appending and changes the logged
// categories; "flog nul" closes it.
bool CmdFlog(int32_t argc, char** argv, ExprValue* result);

// "h [lines]" sets the page length (0 = no paging), gives back the previous one and reports it.
bool CmdHalt(int32_t argc, char** argv, ExprValue* result);
