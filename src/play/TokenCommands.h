#pragma once
// The commands over token access: SET (show or set a register, bit-field, feature or
// $variable, list the variables, or walk the user through setting a feature) and DIAGNOSE
// (the chip definition's diagnostics and warnings about the current configuration).
#include "play/CommandHandlers.h"

#include <cstdint>

bool CmdSet(int32_t argc, char** argv, ExprValue* result);
bool CmdDiagnose(int32_t argc, char** argv, ExprValue* result);

// "SET token .": shows a register's detail and asks for a bit location whose feature it then
// asks a new value for, or asks a feature's new value directly. caretColumn is the column of
// the token word in the echoed line. False after an error (printed).
bool SetRegisterInteractive(const char* target, uint32_t length, uint32_t caretColumn);
