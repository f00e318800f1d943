#pragma once
// The chip definition's texts as Play shows them: the location of a feature ("REG[24h-b6:0]"),
// a register's label ("REG[24h] [RO]"), a feature's explanation and a register's detail. Token
// access, SET and HELP take every such text from here, each in a text of its own that grows to
// fit (a register with many explanations runs to several KiB), so nothing is cut.
//
// Flag bits, as the chip definition names them: kTextName (the NAME), kTextLocation (register,
// index and bits), kTextAccess (access flags in brackets), kTextShort (short forms: "-b6:0]",
// "RO,").
#include "play/PlayChipDef.h"

#include <cstdint>
#include <string>

constexpr uint32_t kTextName = 0x01;
constexpr uint32_t kTextLocation = 0x02;
constexpr uint32_t kTextAccess = 0x08;
constexpr uint32_t kTextShort = 0x10;

// The location text of a feature of the selected product (empty for an unknown name).
std::string FeatureLocationText(const char* name, uint32_t flags, ChipDefBase& chip = g_ChipDef);

// The label of register index: "REG[%0*Xh]" (kTextLocation), its NAME (kTextName), its access
// flags (kTextAccess, kTextShort); "UNKNOWN" for a register the database does not know.
std::string RegisterLabel(uint32_t index, uint32_t flags);

// The long explanation of a feature (its description, bits and value lines) wrapped at width
// columns, lines joined by "\n"; empty when the chip definition gives none.
std::string FeatureExplanation(const char* name, uint32_t width);

// The detail of register index at width columns: its label, description and bit map, lines
// joined by "\n"; empty when the chip definition gives none.
std::string RegisterDetailText(uint32_t index, uint32_t width);
