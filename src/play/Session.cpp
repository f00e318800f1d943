// Play's program-wide state, the usage text, the script runner's entry and processor affinity.
#include "play/Session.h"

#include "play/Executor.h"
#include "play/Output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sched.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

ScriptFrame g_Frames[MAX_SCRIPT_DEPTH];
uint32_t g_ScriptDepth = 0;
ScriptFrame* g_CurFrame = nullptr;

bool g_Quit = false;
bool g_SingleStep = false;
uint32_t g_ScreenWidth = 80;
uint32_t g_RandSeed = 1;
char g_RunPath[RUNPATH_ENTRIES][RUNPATH_SIZE];
char* g_Argv[MAX_ARGS];
int32_t g_Argc = 0;
bool g_Acquired = true;
const char* g_Prompt = "=";

bool SingleStepping() {
    return g_SingleStep && g_CurFrame != nullptr;
}

const char* CurrentScope() {
    return g_CurFrame != nullptr ? g_CurFrame->m_Scope : nullptr;
}

void InitSession(int /*argc*/, char** /*argv*/) {
    g_Quit = false;
    g_SingleStep = false;
    g_LinesPrinted = 0;
    g_HaltLines = 0;
    g_Verbose = CAT_ALL;
    g_FlogMask = CAT_ALL;
    g_ScreenWidth = 80;
    g_RandSeed = 1;
    g_ScriptDepth = 0;
    g_CurFrame = nullptr;
    g_Acquired = true;

    std::memset(g_RunPath, 0, sizeof(g_RunPath));
    // Entry 0: the current directory (at most 510 characters) and its separator.
    if (getcwd(g_RunPath[0], RUNPATH_SIZE - 1) != nullptr) {
        std::strcat(g_RunPath[0], "/");
    } else {
        g_RunPath[0][0] = '\0';
    }

    ArgvFree(g_Argv);
    g_Argc = 0;
    if (!ArgvAlloc(g_Argv)) {
        PlayPrint(CAT_OUT, "\n!!!!! ERROR: Insufficient memory.\n\n");
    }
}

void PrintUsage() {
    static const char* const lines[] = {
        "\nDebugger for LCD Controller.\n",
        "\nUsage: PLAY [cmd] [/?]",
        "\n",
        "\nWhere: cmd    A command which can also be typed at the PLAY prompt.",
        "\n       /?     Show this usage message",
        "\n       /BREAK:list       Breakpoint list",
        "\n       /DEBUG:rwx:file   Debug logging",
        "\n       /CPU:mask         CPU affinity mask (32bit hex; 1=CPU0[default], 2=CPU1)",
        "\n                         Select which core(s) the program is allowed to run on.",
        "\n",
    };
    for (const char* line : lines) {
        PlayPrint(CAT_OUT, "%s", line);
    }
}

bool RunScript(bool reportMissing, int32_t argc, char** argv, ExprValue* /*result*/) {
    (void)argc;
    // Script files are not run yet: every name is one that opens no file. The name is the
    // word's value (a text as it is, a number as hexadecimal digits), or the word itself.
    std::string name = argv[0];
    ExprValue value{};
    if (ExprEvaluate(argv[0], std::strlen(argv[0]), &value, CurrentScope(), nullptr) == 0) {
        if (value.IsString != 0) {
            name = value.Text;
        } else {
            char digits[16];
            std::snprintf(digits, sizeof(digits), "%X", value.Number);
            name = digits;
        }
    }
    if (reportMissing) {
        // The last path tried: the last search entry, the name and ".txt".
        const std::string path = std::string(g_RunPath[RUNPATH_ENTRIES - 1]) + name + ".txt";
        PlayPrint(CAT_ERR,
                  "ERROR: '%s' is not a valid command or script file which can be opened.\n",
                  path.c_str());
    }
    return false;
}

std::vector<int> CpusFromMask(uint32_t mask, const std::vector<int>& allowed) {
    const uint32_t own =
        allowed.size() >= 32 ? 0xFFFFFFFFu : static_cast<uint32_t>((1ull << allowed.size()) - 1);
    if (mask == 0 || mask > own) {
        return allowed;
    }
    std::vector<int> cpus;
    for (size_t i = 0; i < allowed.size() && i < 32; ++i) {
        if ((mask >> i) & 1u) {
            cpus.push_back(allowed[i]);
        }
    }
    return cpus;
}

std::vector<int> AllowedCpus() {
    std::vector<int> cpus;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) != 0) {
        return cpus;
    }
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &set)) {
            cpus.push_back(cpu);
        }
    }
    return cpus;
}

bool ApplyAffinity(const std::vector<int>& cpus) {
    if (cpus.empty()) {
        return false;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu : cpus) {
        CPU_SET(cpu, &set);
    }
    // The mask is the process's: every thread that runs now takes it, and threads started later
    // inherit it.
    bool ok = sched_setaffinity(0, sizeof(set), &set) == 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks)) {
            const pid_t tid = static_cast<pid_t>(std::atoi(entry->d_name));
            if (tid > 0) {
                ok = sched_setaffinity(tid, sizeof(set), &set) == 0 && ok;
            }
        }
        closedir(tasks);
    }
    return ok;
}
