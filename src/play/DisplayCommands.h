#pragma once
// The display commands: SHOW draws a test pattern into the main or PIP window (or any
// display-memory address), optionally animated and paced; WIN sets up or lists the windows
// through their chip features; M prints the chip definition's summary of the configuration;
// INIT initialises the controller from the configuration block.
#include "play/CommandHandlers.h"

#include <cstdint>

// The rows "show;sh", "win", "m" and "init". Output goes to CAT_OUT, errors to CAT_ERR; each
// returns false on an error.
bool CmdShow(int32_t argc, char** argv, ExprValue* result);
bool CmdWin(int32_t argc, char** argv, ExprValue* result);
bool CmdMode(int32_t argc, char** argv, ExprValue* result);
bool CmdInit(int32_t argc, char** argv, ExprValue* result);

// The flags of INIT's words (NOREGS ... ONLYCRC), with the defaults added: NOVRAM without an
// ONLY flag, ONLYCRC with one. False with the word's index in *badWord (0 when NO and ONLY
// flags are mixed).
bool ParseInitFlags(int32_t argc, char** argv, uint32_t* flags, int32_t* badWord);
