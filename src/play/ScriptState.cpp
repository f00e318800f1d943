// The state of running scripts and the script search path.
#include "play/ScriptState.h"

#include <cstring>
#include <unistd.h>

ScriptFrame g_Frames[kMaxScriptDepth];
uint32_t g_ScriptDepth = 0;
ScriptFrame* g_CurFrame = nullptr;
bool g_SingleStep = false;
ExprValue g_LastIf{};
char g_RunPath[kRunPathEntries][kRunPathSize];

bool SingleStepping() {
    return g_SingleStep && g_CurFrame != nullptr;
}

const char* CurrentScope() {
    return g_CurFrame != nullptr ? g_CurFrame->m_Scope : nullptr;
}

void ResetScriptState() {
    g_SingleStep = false;
    g_ScriptDepth = 0;
    g_CurFrame = nullptr;
    g_LastIf = ExprValue{};

    std::memset(g_RunPath, 0, sizeof(g_RunPath));
    // Entry 0: the current directory (at most 510 characters) and its separator.
    if (getcwd(g_RunPath[0], kRunPathSize - 1) != nullptr) {
        std::strcat(g_RunPath[0], "/");
    } else {
        g_RunPath[0][0] = '\0';
    }
}
