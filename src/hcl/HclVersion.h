#pragma once
// The version text that programs built on the layer print as their banner.

#include <cstddef>

// Formats into buffer (at most size bytes, always terminated):
//   "<chip ID><programName> - <programTitle> - Build <n> [L:84 A:62]\n<notice>\n"
//   "Configuration CRC <stored CRC>h (OK|unconfigured|error)\nBus Type            <bus type>\n"
// followed by ", Description:\n<description>\n" when oxgHclInfo has a description. The build
// number is the number after the first ':' of revisionText (" $Revision: 73 $"), 0 without one.
void oxHclGetVersionText(const char* programName, const char* programTitle,
                         const char* revisionText, char* buffer, std::size_t size);

// The number after the first ':' of a revision keyword text (" $Revision: 73 $"), 0 without ':'.
unsigned oxHclRevisionNumber(const char* revisionText);

// The bus-type text of configuration byte 548 (bits 2-4, SPI mode in bit 1).
const char* oxHclBusTypeText(unsigned char usbConfig0);
