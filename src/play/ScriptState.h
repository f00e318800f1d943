#pragma once
// The state of running scripts: one frame per nesting level, the running depth, the single-step
// flag and the script search path (RUNPATH). Data only: the output, the executor and the
// argument parsers read it; the script runner and the commands that own it change it.
#include "expr/Expr.h"

#include <cstdint>

// Script search directories of RUNPATH: entry 0 is the current directory at start.
constexpr uint32_t kRunPathEntries = 8;
constexpr uint32_t kRunPathSize = 512;

// Script nesting.
constexpr uint32_t kMaxScriptDepth = 10;
constexpr uint32_t kMaxSections = 64;
constexpr uint32_t kSectionNameSize = 64;

struct ScriptSection {
    char m_Name[kSectionNameSize];
    uint32_t m_Offset;
};

// One running script level (index = nesting depth).
struct ScriptFrame {
    char* m_Text;   // the whole file, NUL-terminated
    uint32_t m_Pos; // offset of the end of the line being executed (GOTO sets it)
    ScriptSection m_Sections[kMaxSections];
    uint32_t m_Argc;
    char** m_Argv;      // kMaxArgs words of kArgSize bytes, allocated per run
    char* m_Scope;      // the variable scope: the script's name followed by its depth ("%s%d")
    uint32_t m_Verbose; // the level's output mask (15 at start)
    ExprValue m_RetVal; // the script's return value (number 0 at start)
};

extern ScriptFrame g_Frames[kMaxScriptDepth];
extern uint32_t g_ScriptDepth;  // running levels, 0 at the prompt
extern ScriptFrame* g_CurFrame; // the innermost running level, nullptr at the prompt
extern bool g_SingleStep;       // SINGLESTEP
extern ExprValue g_LastIf;      // the condition of the most recent IF at any level (ELSE)
extern char g_RunPath[kRunPathEntries][kRunPathSize];

// True while a script runs with single-stepping on: everything is then shown and logged.
bool SingleStepping();

// The variable scope of the running script, nullptr at the prompt.
const char* CurrentScope();

// No script running, single-stepping off, the last IF's condition the number 0, and the search path
// reset: entry 0 the current directory with its separator, the others empty.
void ResetScriptState();
