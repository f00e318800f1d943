// RUN and RUNPATH: running scripts, listing them, and the folders they are looked up in.
#include "common/Text.h"
#include "play/Args.h"
#include "play/FileWord.h"
#include "play/Output.h"
#include "play/ScriptCommands.h"
#include "play/ScriptRunner.h"
#include "play/ScriptState.h"
#include "play/WordValue.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr char kStartupScript[] = "play.txt";
constexpr size_t kListNameWidth = 42;

// The names of the regular files in the folder that end in ".txt" (any case), sorted.
std::vector<std::string> ScriptFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 4 ||
            !EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".txt")) {
            continue;
        }
        struct stat info {};
        if (stat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The listing line of a script whose first line is a description comment ("'name - text");
// false when it has none.
bool DescriptionLine(const std::string& path, std::string* line) {
    std::ifstream in(path, std::ios::binary);
    std::string first;
    if (!std::getline(in, first)) {
        return false;
    }
    const size_t cr = first.find('\r');
    if (cr != std::string::npos) {
        first.resize(cr);
    }
    const size_t dash = first.find('-');
    if (first.empty() || first[0] != '\'' || dash == std::string::npos) {
        return false;
    }
    std::string name = first.substr(1, std::min(dash - 1, kListNameWidth));
    name.resize(kListNameWidth, ' ');
    size_t text = dash + 1;
    while (text < first.size() && (first[text] == ' ' || first[text] == '\t')) {
        ++text;
    }
    *line = name + " - " + first.substr(text);
    // A line that would reach the last column but one ends with "..." in its last places.
    const size_t limit = std::max<size_t>(g_ScreenWidth, 5) - 2;
    if (line->size() > limit) {
        line->resize(limit - 3);
        *line += "...";
    }
    return true;
}

// Lists the described scripts of every search folder; the number listed.
uint32_t ListScripts() {
    uint32_t listed = 0;
    for (const char* entry : g_RunPath) {
        if (entry[0] == '\0') {
            continue;
        }
        PlayPrint(CAT_OUT, "\n AVAILABLE SCRIPT FILES ::: %s*.txt\n", entry);
        PlayPrint(CAT_OUT, " ------------------------------------------------------------------"
                           "------------\n");
        uint32_t inFolder = 0;
        for (const std::string& name : ScriptFilesIn(entry)) {
            std::string line;
            if (DescriptionLine(entry + name, &line)) {
                PlayPrint(CAT_OUT, "%s\n", line.c_str());
                ++inFolder;
            }
        }
        if (inFolder == 0) {
            PlayPrint(CAT_OUT, " No script files in current directory.\n");
        }
        listed += inFolder;
    }
    return listed;
}

// The folder that a RUNPATH word names: a path word as given, a text value, or a word that does
// not evaluate taken literally. False for a number (already reported).
bool PathOfWord(char** argv, int32_t index, std::string* path) {
    const char* word = argv[index];
    if (IsPathWord(word)) {
        *path = word;
        return true;
    }
    ExprValue value{};
    const char* errorText = nullptr;
    if (EvaluateWord(word, &value, &errorText) != 0) {
        *path = word;
        return true;
    }
    if (value.IsString == 0) {
        return PrintCaretError(ArgsTextLength(argv, index),
                               "ERROR: The Path argument must be text (not a numerical value).\n");
    }
    *path = value.Text;
    return true;
}

void SetRunPathEntry(uint32_t entry, std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    std::snprintf(g_RunPath[entry], kRunPathSize, "%s", path.c_str());
}

} // namespace

bool CmdRun(int32_t argc, char** argv, ExprValue* result) {
    if (WantsUsage(argc, argv)) {
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT, " RUN foo.txt\n");
        PlayPrint(CAT_OUT, " foo\n");
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT,
                  " Runs a script file. Text consists of legal PLAY commands. Typing 'RUN' and\n");
        PlayPrint(CAT_OUT,
                  " suffixing the script file with '.txt' is optional. ALSO NOTE: If you create\n");
        PlayPrint(CAT_OUT, " a script file named '%s', it will be loaded when PLAY first starts\n",
                  kStartupScript);
        PlayPrint(CAT_OUT, " up.\n");
        PlayPrint(CAT_OUT, " scriptfile - Filename of text scriptfile.\n");
        return true;
    }
    if (argc < 2) {
        *result = ExprValue{};
        result->Number = ListScripts();
        return true;
    }
    return RunScript(true, argc - 1, argv + 1, result);
}

bool CmdRunPath(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT, " RUNPATH [path1[ path2 path3 .. pathN]]\n");
        PlayPrint(CAT_OUT, " RUNPATH c:\\ ..\\Scripts \"D:\\work\\My Play Scripts\"\n");
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT,
                  " Sets path of where to RUN scripts from. Up to %d paths can be specified.\n",
                  static_cast<int>(kRunPathEntries));
        return true;
    }
    if (argc - 1 > static_cast<int32_t>(kRunPathEntries)) {
        return PlayPrint(CAT_ERR, "ERROR: RUNPATH takes only up to %d arguments.\n",
                         static_cast<int>(kRunPathEntries));
    }
    if (argc > 1) {
        for (int32_t i = 1; i < argc; ++i) {
            std::string path;
            if (!PathOfWord(argv, i, &path)) {
                return false;
            }
            SetRunPathEntry(static_cast<uint32_t>(i - 1), path);
        }
        for (uint32_t entry = static_cast<uint32_t>(argc - 1); entry < kRunPathEntries; ++entry) {
            g_RunPath[entry][0] = '\0';
        }
    }
    for (const char* entry : g_RunPath) {
        if (entry[0] != '\0') {
            PlayPrint(CAT_SET, "RUNPATH = %s\n", entry);
        }
    }
    return true;
}
