#pragma once
// The chip definition's texts as Play prints them, each as a std::string: the location of a
// feature ("REG[24h-b6:0]"), a register's label ("REG[24h] [RO]"), a feature's explanation and a
// register's detail. The flags are those of ChipDefBase::GetFeatureLocationText and
// GetRegisterLabel (ChipDefBase::kLocName, kLocPlace, kLocAccess, kLocShort, ...). The
// explanation and the detail are written into a buffer that grows until the whole text fits (a
// register with many explanations runs to several KiB), so nothing is cut.
//
//     FeatureLocationText("hdp", ChipDefBase::kLocPlace | ChipDefBase::kLocShort);
//                                                         // "REG[24h-b6:0]"
//     RegisterDetailText(0xD0, g_ScreenWidth);            // bit map and 16 explanations
#include "play/PlayChipDef.h"

#include <cstdint>
#include <string>

// The location text of a feature of chip's selected product (empty for an unknown name).
std::string FeatureLocationText(const char* name, uint32_t flags, ChipDefBase& chip = g_ChipDef);

// The label of register index; "UNKNOWN" for a register the database does not know.
std::string RegisterLabel(uint32_t index, uint32_t flags);

// The explanation of a feature (name, description, formula, value and the possible values) at
// width columns, lines joined by "\n"; empty for an unknown name.
std::string FeatureExplanation(const char* name, uint32_t width);

// The detail of register index at width columns: its label, values, bit map and the
// explanations of its features, lines joined by "\n"; for a register the database does not know,
// the text that says so.
std::string RegisterDetailText(uint32_t index, uint32_t width);
