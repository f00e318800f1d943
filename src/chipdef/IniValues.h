#pragma once
// The values of the INI import read as the export writes them: hexadecimal numbers, register
// pairs and the keys of the strings pool. The text comes from a file: a value that cannot be
// read gives nothing, never a number made up.
#include "hcl/HclData.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace inivalues {

// The key of a pool entry as the sequence position it labels: decimal digits only, below count.
bool KeyPosition(const std::string& key, uint32_t count, uint32_t* position);

// A hexadecimal number of at most length characters at the start of text (blanks before it
// skipped), or nothing when no digit stands there.
std::optional<uint32_t> ReadHex(std::string_view text, size_t length);

// A register pair as the export writes it, "IIII,VVVV": the index from the first 4 characters
// and the value from the 4 after the separator. Blanks around either number and a shorter index
// are taken as well, and so is a pair without its separator ("IIIIVVVV", split after the
// index's 4 digits). Nothing when the index or the value has no digit.
std::optional<oxHclRegEntry> ReadRegPair(std::string_view text);

} // namespace inivalues
