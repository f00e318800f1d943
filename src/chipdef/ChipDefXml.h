#pragma once
// The built-in chip database: the lines of chipdef.xml compiled into the program, each without
// its line end (a build step writes them from the source file; nothing reads a file at run time).
//
//     chip.LoadXmlDatabase(ChipDefXml, ChipDefXmlLineCount);
#include <cstdint>

extern const char* const ChipDefXml[];
extern const uint32_t ChipDefXmlLineCount;
