#pragma once
// The category words that VERBOSE and FLOG share: CMD, OUT and SET followed by ":" or "=" and ON
// or OFF, in any case, each switching one bit of an output mask; and their report of a mask.
#include <cstdint>

// Applies the words from argv[first] on to mask; false (after the error "ERROR: "<word>" is
// unknown.") at the first unknown word, the words before it staying applied.
bool ApplyMaskWords(int32_t argc, char** argv, int32_t first, uint32_t* mask);

// The report "<label> = CMD:ON OUT:ON SET:OFF" (CAT_SET).
void PrintMask(const char* label, uint32_t mask);
