#pragma once
// Play's program-wide state, set by InitSession before anything else, and the start-up helpers
// of main (usage text, processor affinity).
#include "expr/Expr.h"
#include "play/CommandHandlers.h"

#include <cstdint>
#include <vector>

// Script search directories of RUNPATH: entry 0 is the current directory at start.
constexpr uint32_t RUNPATH_ENTRIES = 8;
constexpr uint32_t RUNPATH_SIZE = 512;

// Script nesting.
constexpr uint32_t MAX_SCRIPT_DEPTH = 10;
constexpr uint32_t MAX_SECTIONS = 64;
constexpr uint32_t SECTION_NAME_SIZE = 64;

struct ScriptSection {
    char m_Name[SECTION_NAME_SIZE];
    uint32_t m_Offset;
};

// One running script level (index = nesting depth).
struct ScriptFrame {
    char* m_Text;   // the whole file, NUL-terminated
    uint32_t m_Pos; // offset of the end of the line being executed (GOTO sets it)
    ScriptSection m_Sections[MAX_SECTIONS];
    uint32_t m_Argc;
    char** m_Argv;      // MAX_ARGS words of ARG_SIZE bytes, allocated per run
    char* m_Scope;      // the variable scope: the script's name followed by its depth ("%s%d")
    uint32_t m_Verbose; // the level's output mask (15 at start)
    ExprValue m_RetVal; // the script's return value (number 0 at start)
};

extern ScriptFrame g_Frames[MAX_SCRIPT_DEPTH];
extern uint32_t g_ScriptDepth;  // running levels, 0 at the prompt
extern ScriptFrame* g_CurFrame; // the innermost running level, nullptr at the prompt

extern bool g_Quit;            // set by Q: ends the loop and stops scripts
extern bool g_SingleStep;      // SINGLESTEP
extern uint32_t g_ScreenWidth; // console width used to wrap long texts (80)
extern uint32_t g_RandSeed;    // seed of the "rand" token (1)
extern char g_RunPath[RUNPATH_ENTRIES][RUNPATH_SIZE];
extern char* g_Argv[MAX_ARGS]; // the command line's argument vector (one-command mode)
extern int32_t g_Argc;
extern bool g_Acquired;      // whether the controller was acquired (false under /nocard)
extern const char* g_Prompt; // "="

// True while a script runs with single-stepping on: everything is then shown and logged.
bool SingleStepping();

// The variable scope of the running script, nullptr at the prompt.
const char* CurrentScope();

// Sets the state above to its start values (the arguments are not used); prints the
// insufficient-memory error when the argument vector cannot be allocated, and goes on.
void InitSession(int argc, char** argv);

// Prints the usage text of "/?" (CAT_OUT).
void PrintUsage();

// Runs the script named by argv[0] with the words as its arguments (the script runner's entry).
// False when the script cannot run or one of its lines failed; with reportMissing a name that
// opens no file is reported.
bool RunScript(bool reportMissing, int32_t argc, char** argv, ExprValue* result);

// Processor affinity of "/cpu:": bit i of mask selects allowed[i], the i-th CPU the process may
// use. A mask of 0, or one above the process's own mask (all of allowed, as a number), selects
// all of allowed.
std::vector<int> CpusFromMask(uint32_t mask, const std::vector<int>& allowed);

// The CPUs the process may use now, in ascending order.
std::vector<int> AllowedCpus();

// Makes cpus the affinity of every thread of the process; false when the system refused.
bool ApplyAffinity(const std::vector<int>& cpus);
