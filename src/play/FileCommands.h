#pragma once
// The file commands: FDUMP writes display memory or registers to a raw file or a PPM or PGM
// picture; FLOAD reads a raw file, a BMP or PPM picture, a numbered run of them or the frames
// of an AVI video into display memory, a window or a register; FSIZE gives a file's size in
// units as the command's value.
#include "play/CommandHandlers.h"

#include <cstdint>

// The rows "fdump;fdump8;fdump16;fdump32", "fload;fload8;fload16;fload32" and
// "fsize;fsize8;fsize16;fsize32". Reports go to CAT_OUT, errors to CAT_ERR; false on an error.
bool CmdFdump(int32_t argc, char** argv, ExprValue* result);
bool CmdFload(int32_t argc, char** argv, ExprValue* result);
bool CmdFsize(int32_t argc, char** argv, ExprValue* result);

// The last occurrence of ch in text, or nullptr.
const char* StrRChr(const char* text, char ch);
