#pragma once
// The pieces of token access (TokenAccess.h) that its source files share: a token cut into its
// kind, its width digits and its bracket contents, the hardware tokens and the feature tokens.
#include "expr/Expr.h"

#include <cstdint>
#include <string>

enum class TokenKind {
    ArgN,
    RetVal,
    Rand,
    Feature,
    Arg,
    Reg,
    Disp,
    Sys,
    Bar,
    UsbSetup,
    Fexist,
    UnknownArray,
};

struct ParsedToken {
    TokenKind Kind = TokenKind::Feature;
    std::string Name;      // a feature's key name in lower case
    uint32_t Bits = 0;     // width named after the array's name (8, 16, 32), 0 = its default
    uint32_t Open = 0;     // offset of "[" (array tokens)
    uint32_t Contents = 0; // offset of the first character inside the brackets
    uint32_t Length = 0;   // characters inside the brackets
};

// Cuts a token text: bracket checks ("Missing closing bracket.", "Missing contents in
// brackets.") and the kind by name. 0 or a column.
uint32_t ParseToken(const char* text, uint32_t length, ParsedToken* token, const char** errorText);

// Sets *errorText and gives column back.
inline uint32_t TokenError(const char** errorText, const char* text, uint32_t column) {
    *errorText = text;
    return column;
}

// Registers, display memory, own memory, raw spaces and the bridge's configuration bytes.
uint32_t GetHardwareToken(const char* text, const ParsedToken& token, ExprValue* value, bool show,
                          const char** errorText);
uint32_t SetHardwareToken(const char* text, const ParsedToken& token, const ExprValue* value,
                          bool echo, const char** errorText);

// Features by key name.
uint32_t GetFeatureToken(const ParsedToken& token, ExprValue* value, bool show,
                         const char** errorText);
