#pragma once
// Features as tokens: setting a feature of the chip definition with its range and step checks,
// showing a feature's explanation and range, and asking the user for a new value (SET name .).
//
//     ExprValue value{};
//     value.Number = 320;
//     SetFeatureChecked("hdp", &value, true, &errorText);   // "hdp (REG[24h-b6:0]) <- 320"
#include "chipdef/ChipDefBase.h"
#include "expr/Expr.h"

#include <cstdint>
#include <string>

// A number as a feature of that radix shows it: "%Xh" for 16, binary digits for 2, else
// decimal.
std::string FormatInRadix(uint32_t value, uint32_t radix);

// Sets a feature (name in lower case) of the selected product. Numbers and addresses: a text
// value is read in the feature's radix ("Not a number."), the number must lie within MIN..MAX
// ("Must be between 17 and 66!") and, with a STEP above 0, be MIN plus a multiple of it ("Must
// be aligned by 4!"). Other types take the value as text (a number as hexadecimal digits). With
// echo the new value is printed (CAT_SET). 0, or a column with *errorText set.
uint32_t SetFeatureChecked(const char* name, const ExprValue* value, bool echo,
                           const char** errorText);
// The same on another chip definition than Play's own.
uint32_t SetFeatureChecked(ChipDefBase& chip, const char* name, const ExprValue* value, bool echo,
                           const char** errorText);

// Prints a feature's explanation and, for numbers and addresses, prefix and its range line
// ("  lcounter = MIN:17, MAX:66"). 0; 1 with "Unknown feature or token." for no feature.
uint32_t ShowFeature(const char* name, uint32_t length, const char* prefix, const char** errorText);

// ShowFeature, then prompts for a new value by the feature's type and sets a non-empty answer
// with SetFeatureChecked (echoed). 0, or a column with *errorText set.
uint32_t ShowFeatureValue(const char* name, uint32_t length, const char** errorText);
