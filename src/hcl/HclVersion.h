#pragma once
// The version text that programs built on the layer print as their banner.

#include <cstddef>

// Formats into o_Buffer (at most i_Size bytes, always terminated):
//   "<chip ID><programName> - <programTitle> - Build <n> [L:84 A:62]\n<notice>\n"
//   "Configuration CRC <stored CRC>h (OK|unconfigured|error)\nBus Type            <bus type>\n"
// followed by ", Description:\n<description>\n" when oxgHclInfo has a description. The build
// number is the number after the first ':' of i_RevisionText (" $Revision: 73 $"), 0 without one.
void oxHclGetVersionText(const char* i_ProgramName, const char* i_ProgramTitle,
                         const char* i_RevisionText, char* o_Buffer, std::size_t i_Size);

// The number after the first ':' of a revision keyword text (" $Revision: 73 $"), 0 without ':'.
unsigned oxHclRevisionNumber(const char* i_RevisionText);

// The bus-type text of configuration byte 548 (bits 2-4, SPI mode in bit 1).
const char* oxHclBusTypeText(unsigned char i_UsbConfig0);
