#pragma once
// The expression evaluator: unsigned 32-bit numbers and texts of up to 255 characters, the
// operator table, radix and conversion suffixes, script-local ($x) and global ($$x) variables
// with array elements ($a[i]), and the resolver hook through which the host program answers
// every other name (registers, display memory, features, script arguments).
//
// Error positions are 1-based and count from the first character of the text as the caller
// passed it (leading blanks included); 0 means success. Error texts are static.
#include <cstddef>
#include <cstdint>

// The value of an expression, also the result record of Play's commands. Plain record, copied
// whole.
struct ExprValue {
    uint8_t IsString; // 1 = text value, 0 = number
    uint32_t Number;  // meaningful when IsString is 0
    char Text[256];   // NUL-terminated, at most 255 characters; meaningful when IsString is 1
};
static_assert(offsetof(ExprValue, IsString) == 0);
static_assert(offsetof(ExprValue, Number) == 4);
static_assert(offsetof(ExprValue, Text) == 8);
static_assert(sizeof(ExprValue) == 264);

// Longest text an ExprValue holds.
constexpr size_t EXPR_TEXT_MAX = 255;
// Rows of the program-wide variable table.
constexpr uint32_t EXPR_MAX_VARS = 1000;
// Default radix of number leaves.
constexpr uint32_t EXPR_DEFAULT_RADIX = 16;

// The host's hook for names the evaluator does not know. Given the leaf text (without its
// conversion suffix, NUL-terminated) and its length; on entry io_Value->IsString is 1 when the leaf
// asked for text (a .s suffix without a radix letter), else 0. On success it sets the whole value
// and returns 0; otherwise it returns a 1-based position within the leaf and sets *o_ErrorText
// (never null when the evaluator calls it).
using ExprResolver = uint32_t (*)(const char* i_Text, uint32_t i_Length, ExprValue* io_Value,
                                  const char** o_ErrorText);

// An operator's function: the trimmed text, the start and end offsets of up to 3 operands, the
// number of operands found, the output value, the scope and the error-text pointer. Returns 0
// or a 1-based error position within the text.
using ExprOpHandler = uint32_t (*)(const char* i_Text, const uint32_t* i_Start,
                                   const uint32_t* i_End, uint32_t i_Count, ExprValue* o_Value,
                                   const char* i_Scope, const char** o_ErrorText);

// A row of the operator table: the pattern (e marks an operand, {..} names characters that must
// not follow the literal just matched) and its handler.
struct ExprOperator {
    char Pattern[12];
    ExprOpHandler Handler;
};

// The operator table in precedence order (first row binds loosest), ended by an empty row.
extern const ExprOperator g_ExprOperators[];

// A row of the variable table.
struct ExprVar {
    char* Name;       // heap copy with exactly one leading $; elements carry "[%08Xh]"
    uint32_t NameLen; // length of Name
    uint8_t IsString; // as in ExprValue
    uint32_t Number;
    char* Text;  // heap copy of a text value; nullptr for numbers
    char* Scope; // heap copy of the scope's name; nullptr for globals
};

// Evaluates i_Length characters of i_Text in the scope (nullptr = global). 0 on success with
// *o_Value set; otherwise the 1-based error position, with *o_ErrorText set to the message when
// o_ErrorText is not null.
uint32_t ExprEvaluate(const char* i_Text, size_t i_Length, ExprValue* o_Value, const char* i_Scope,
                      const char** o_ErrorText);

// Installs the resolver (replacing any earlier one; nullptr removes it) and gives the installed
// one back.
void ExprSetResolver(ExprResolver i_Resolver);
ExprResolver ExprGetResolver();

// Builds the table name of a variable text: "$a[4+1]" becomes "$a[00000005h]" (the index
// evaluated in the scope, written as "[%08Xh]"); a name without "[" is copied as it is (one of
// 256 characters or more is refused), and text after the "]" is not part of the name. o_Name holds
// 256 bytes. Returns 0, or a 1-based error position within i_Text with *o_ErrorText set ("Missing
// closing bracket.", "Missing contents in brackets.", "Unknown token or expression.", "Value cannot
// be a string.", "Array name too long."). Used by the variable leaf, SET and the executor's
// assignment form alike.
uint32_t ExprElementName(const char* i_Text, size_t i_Length, const char* i_Scope,
                         char (&o_Name)[256], size_t* o_NameLength, const char** o_ErrorText);

// The element name of a base name ("$a") and an index: "$a[00000005h]". False (and o_Name
// empty) when the result would reach 256 characters.
bool ExprFormatElementName(const char* i_Base, size_t i_BaseLength, uint32_t i_Index,
                           char (&o_Name)[256], size_t* o_NameLength);

// Variable table. A name of the form $$x is global whatever the scope; names and scopes
// compare ignoring case.
//
// Sets the variable, creating it when it does not exist; false when it does not exist and the
// table already holds EXPR_MAX_VARS rows.
bool ExprSetVar(const char* i_Name, size_t i_Length, const ExprValue* i_Value, const char* i_Scope);
// Copies the variable's value (an empty Text for a number); false when it does not exist.
bool ExprGetVar(const char* i_Name, size_t i_Length, ExprValue* o_Value, const char* i_Scope);
// The row of the variable; false with *o_Index = the row count when not found.
bool ExprFindVar(const char* i_Name, size_t i_Length, const char* i_Scope, uint32_t* o_Index);
// The name of the n-th variable (from 0, table order) of the scope (nullptr: the n-th global);
// false past the last.
bool ExprVarName(uint32_t i_N, const char** o_Name, const char* i_Scope);
// Deletes every variable of the scope (nullptr: every global); the rest keep their order.
void ExprDeleteScope(const char* i_Scope);
// Frees every row and empties the table.
void ExprFreeVars();
// Number of rows in the table.
uint32_t ExprVarCount();
