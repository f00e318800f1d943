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
constexpr uint32_t kExprDefaultRadix = 16;

// The host's hook for names the evaluator does not know. Given the leaf text (without its
// conversion suffix, NUL-terminated) and its length; on entry value->IsString is 1 when the leaf
// asked for text (a .s suffix without a radix letter), else 0. On success it sets the whole value
// and returns 0; otherwise it returns a 1-based position within the leaf and sets *errorText
// (never null when the evaluator calls it).
using ExprResolver = uint32_t (*)(const char* text, uint32_t length, ExprValue* value,
                                  const char** errorText);

// An operator's function: the trimmed text, the start and end offsets of up to 3 operands, the
// number of operands found, the output value, the scope and the error-text pointer. Returns 0
// or a 1-based error position within the text.
using ExprOpHandler = uint32_t (*)(const char* text, const uint32_t* start, const uint32_t* end,
                                   uint32_t count, ExprValue* value, const char* scope,
                                   const char** errorText);

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

// Evaluates length characters of text in the scope (nullptr = global). 0 on success with
// *value set; otherwise the 1-based error position, with *errorText set to the message when
// errorText is not null. A text whose evaluation would take more work than a bounded number of
// steps is refused with "Expression too complex." at 1.
uint32_t ExprEvaluate(const char* text, size_t length, ExprValue* value, const char* scope,
                      const char** errorText);

// Installs the resolver (replacing any earlier one; nullptr removes it) and gives the installed
// one back.
void ExprSetResolver(ExprResolver resolver);
ExprResolver ExprGetResolver();

// Builds the table name of a variable text: "$a[4+1]" becomes "$a[00000005h]" (the index
// evaluated in the scope, written as "[%08Xh]"); a name without "[" is copied as it is (one of
// 256 characters or more is refused), and text after the "]" is not part of the name. name holds
// 256 bytes. Returns 0, or a 1-based error position within text with *errorText set ("Missing
// closing bracket.", "Missing contents in brackets.", "Unknown token or expression.", "Value cannot
// be a string.", "Array name too long."). Used by the variable leaf, SET and the executor's
// assignment form alike.
uint32_t ExprElementName(const char* text, size_t length, const char* scope, char (&name)[256],
                         size_t* nameLength, const char** errorText);

// The element name of a base name ("$a") and an index: "$a[00000005h]". False (and name
// empty) when the result would reach 256 characters.
bool ExprFormatElementName(const char* base, size_t baseLength, uint32_t index, char (&name)[256],
                           size_t* nameLength);

// Variable table. A name of the form $$x is global whatever the scope; names and scopes
// compare ignoring case.
//
// Sets the variable, creating it when it does not exist; false when it does not exist and the
// table already holds EXPR_MAX_VARS rows.
bool ExprSetVar(const char* name, size_t length, const ExprValue* value, const char* scope);
// Copies the variable's value (an empty Text for a number); false when it does not exist.
bool ExprGetVar(const char* name, size_t length, ExprValue* value, const char* scope);
// The row of the variable; false with *index = the row count when not found.
bool ExprFindVar(const char* name, size_t length, const char* scope, uint32_t* index);
// The name of the n-th variable (from 0, table order) of the scope (nullptr: the n-th global),
// and its value when value is given (the row's own: a stored name such as "$$x" would name
// another variable if looked up again); false past the last.
bool ExprVarName(uint32_t n, const char** name, const char* scope, ExprValue* value = nullptr);
// Deletes every variable of the scope (nullptr: every global); the rest keep their order.
void ExprDeleteScope(const char* scope);
// Frees every row and empties the table.
void ExprFreeVars();
// Number of rows in the table.
uint32_t ExprVarCount();
