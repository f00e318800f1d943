#pragma once
// Token access: the names that expressions, assignments and SET use for things outside the
// evaluator. Registers and bit-fields (reg[24], reg16[12h-b3:0]), display memory (disp[..]),
// the program's own memory (sys[..]), raw interface spaces (bar[n,..]), the USB bridge's
// configuration bytes (usbsetup[..]), the script's arguments and return value (arg[n], argn,
// retval), a random number (rand), the existence of a file (fexist["name"]) and every feature
// of the chip definition by its key name.
//
//     ExprSetResolver(ResolveToken);                      // calc reg[24] now reads REG[24h]
//     SetTokenValue("hdp", 3, &value, true, &errorText);  // "hdp (REG[24h-b6:0]) <- 320"
//
// Every function returns 0, or a 1-based column within the token text with *errorText set.
#include "expr/Expr.h"

#include <cstdint>

// What a name without brackets names: compared ignoring case over the length of the given name
// with "argn", "retval" and "rand" in that order ("a" is argn, "r" retval, "ra" rand); every
// other name is a feature.
enum class PlainToken { ArgN, RetVal, Rand, Feature };
PlainToken ClassifyPlainName(const char* text, uint32_t length);

// A bit-field spec of a register token's brackets: hexadecimal index digits (an optional "h"),
// "-b" and a decimal bit from 0 to 31, optionally ":" and a lower bit not above it ("12h-b3",
// "12-b7:4"). True with the index, the field's mask and its bits; false for anything else.
bool ParseRegisterSpec(const char* text, uint32_t length, uint32_t* index, uint32_t* mask,
                       uint32_t* highBit, uint32_t* lowBit);

// Whether the text has the shape of a bit-field spec (index digits, "-b" and a digit) whatever
// its numbers: such a text is never read as an index expression.
bool LooksLikeRegisterSpec(const char* text, uint32_t length);

// The next value of the rand token (Park-Miller minimal standard generator over g_RandSeed).
uint32_t NextRandom();

// Evaluates an expression in the running script's scope to a number ("Value cannot be a
// string." for a text).
uint32_t EvalToNumber(const char* text, uint32_t length, uint32_t* number, const char** errorText);

// Reads a token into *value (on entry value->IsString tells that text was asked for); with
// show it also prints the value (CAT_SET).
uint32_t GetTokenValue(const char* text, uint32_t length, ExprValue* value, bool show,
                       const char** errorText);

// Writes a token; with echo it prints the new value (CAT_SET).
uint32_t SetTokenValue(const char* target, uint32_t length, const ExprValue* value, bool echo,
                       const char** errorText);

// The evaluator's resolver: GetTokenValue without showing.
uint32_t ResolveToken(const char* text, uint32_t length, ExprValue* value, const char** errorText);
