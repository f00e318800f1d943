#pragma once
// The commands of scripts and user interaction, rows of the command table: RUN and RUNPATH
// (running scripts and their search path), SECTION and GOTO (jumps inside a script), IF, ELSE
// and WHILE (single-line conditions and loops), DELAY and SLEEP, PRINT, INPUT, SHELL and
// SINGLESTEP.
#include "play/CommandHandlers.h"

// "run name args..." runs a script; "run" alone lists the scripts of the search path and gives
// back how many were listed.
bool CmdRun(int32_t argc, char** argv, ExprValue* result);
// "runpath [path1 .. path8]" sets the script search path and lists it.
bool CmdRunPath(int32_t argc, char** argv, ExprValue* result);

// "section name" marks a place in a script (the index is built when the script is loaded).
bool CmdSection(int32_t argc, char** argv, ExprValue* result);
// "goto name|expression" continues the running script at the section.
bool CmdGoto(int32_t argc, char** argv, ExprValue* result);

// "if condition [then] statements": runs the statements when the condition is true.
bool CmdIf(int32_t argc, char** argv, ExprValue* result);
// "else statements": runs them when the most recent IF (at any level) was false.
bool CmdElse(int32_t argc, char** argv, ExprValue* result);
// "while condition [do] statements": runs them as long as the condition is true.
bool CmdWhile(int32_t argc, char** argv, ExprValue* result);

// "delay microseconds" busy-waits; "sleep milliseconds" sleeps (both decimal).
bool CmdDelay(int32_t argc, char** argv, ExprValue* result);
bool CmdSleep(int32_t argc, char** argv, ExprValue* result);

// "print text..." writes each text expression, escapes resolved, without a line end of its own.
bool CmdPrint(int32_t argc, char** argv, ExprValue* result);

// "input key|peek|line" gives back the name of a key, of a key already pressed, or a line.
bool CmdInput(int32_t argc, char** argv, ExprValue* result);

// "shell [text...]" runs one command line through /bin/sh, or an interactive shell, and gives
// back its exit code.
bool CmdShell(int32_t argc, char** argv, ExprValue* result);

// "singlestep [on|off]" switches the pause after every script line, or reports the setting.
bool CmdSingleStep(int32_t argc, char** argv, ExprValue* result);
