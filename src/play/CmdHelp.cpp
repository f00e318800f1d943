// HELP: the section browser over the command table, and the search of the chip definition's
// registers and features for a text.
#include "common/Numbers.h"
#include "common/Text.h"
#include "play/ChipTexts.h"
#include "play/Commands.h"
#include "play/Executor.h"
#include "play/FeatureAccess.h"
#include "play/HelpText.h"
#include "play/InfoCommands.h"
#include "play/LineEditor.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr size_t kLabelColumns = 33;
constexpr size_t kSourceColumns = 22;

// One section of the browser. False when the output was stopped at the pager.
bool PrintSection(int32_t section) {
    bool ok = PlayPrint(CAT_ALL, "\n") &&
              PlayPrint(CAT_ALL, " %s\n", g_HelpSections[section].Title) &&
              PlayPrint(CAT_ALL, " ---------------------------------------------------------------"
                                 "---------------\n");
    bool unbuilt = false;
    for (const CommandEntry& entry : g_Commands) {
        if (!ok) {
            return false;
        }
        if (entry.m_Section != section) {
            continue;
        }
        unbuilt = unbuilt || entry.m_Handler == nullptr;
        ok = PlayPrint(CAT_ALL, "%s%s\n", entry.m_Handler == nullptr ? "*" : " ", entry.m_Help);
    }
    for (const char* line : HelpSectionLines(section)) {
        ok = ok && PlayPrint(CAT_ALL, "%s", line);
    }
    ok = ok && PlayPrint(CAT_ALL, "\n");
    if (ok && unbuilt) {
        ok = PlayPrint(CAT_ALL, "*Marked commands have not been implemented yet.\n");
    }
    return ok;
}

// The browser: Enter goes on to the next section, a digit 1 to 6 jumps, any other key (or the
// end of the input) ends it.
bool BrowseSections() {
    int32_t section = 0;
    while (section < kHelpSectionCount) {
        if (!PrintSection(section)) {
            return false;
        }
        g_LinesPrinted = 0;
        PlayPrint(CAT_ALL, "HELP ");
        for (int32_t other = 0; other < kHelpSectionCount; ++other) {
            if (other != section) {
                PlayPrint(CAT_ALL, "%d=%s,", other + 1, g_HelpSections[other].Key);
            }
        }
        PlayPrint(CAT_ALL, "ESC=EXIT");
        if (section + 1 < kHelpSectionCount) {
            PlayPrint(CAT_ALL, " [%c]>", static_cast<char>('1' + section + 1));
        } else {
            PlayPrint(CAT_ALL, " [ESC]>");
        }
        std::fflush(stdout);
        const int32_t key = GetKey();
        PlayPrint(CAT_ALL, "\n");
        if (key == kKeyEnter || key == kKeyLineFeed) {
            ++section;
        } else if (key >= '1' && key < '1' + kHelpSectionCount) {
            section = key - '1';
        } else {
            break;
        }
    }
    return true;
}

std::string Cut(const std::string& text, size_t columns) {
    std::string cut(columns + 1, '\0');
    CopyEllipsis(cut.data(), text.c_str(), text.size(), columns);
    cut.resize(std::strlen(cut.c_str()));
    return cut;
}

bool Contains(const std::string& text, const std::string& needle) {
    return FindNoCaseN(text.data(), text.size(), needle.data(), needle.size()) != nullptr;
}

const char* TypeWord(uint32_t type) {
    switch (type) {
    case FT_NUMB:
        return "NUMB";
    case FT_ADDR:
        return "ADDR";
    case FT_FREQ:
        return "FREQ";
    case FT_TEXT:
        return "TEXT";
    case FT_LIST:
        return "LIST";
    case FT_BOOL:
        return "BOOL";
    case FT_SEQU:
        return "SEQU";
    default:
        return "HUH?";
    }
}

bool ListRegisters(const std::string& text) {
    bool ok = PlayPrint(CAT_OUT, "\n") &&
              PlayPrint(CAT_OUT, " ============REGISTERS============ ==TOKEN=TYPE=&=NAME== "
                                 "========SOURCE========\n");
    bool any = false;
    for (const ChipRegister& reg : g_ChipDef.Registers()) {
        if (!ok) {
            return false;
        }
        if (!g_ChipDef.IsInSelectedProduct(reg.Product)) {
            continue;
        }
        const std::string name = RegisterLabel(reg.Reg, ChipDefBase::kLocName);
        const std::string location = RegisterLabel(reg.Reg, ChipDefBase::kLocPlace);
        if (!Contains(name, text) && !Contains(location, text)) {
            continue;
        }
        any = true;
        ok = PlayPrint(CAT_OUT, " %-*s NUMB %-16X", static_cast<int>(kLabelColumns),
                       Cut(name, kLabelColumns).c_str(), reg.Reg) &&
             PlayPrint(CAT_OUT, " %-*s\n", static_cast<int>(kSourceColumns),
                       Cut(location, kSourceColumns).c_str());
    }
    if (ok && !any) {
        ok = PlayPrint(CAT_OUT, " NO REGISTERS CONTAINED THE PHRASE '%s'\n", text.c_str());
    }
    return ok;
}

bool ListFeatures(const std::string& text) {
    bool ok = PlayPrint(CAT_OUT, "\n ============FEATURES============= ==TOKEN=TYPE=&=NAME== "
                                 "========SOURCE========\n");
    bool any = false;
    const char* key = nullptr;
    for (uint32_t n = 0; ok && g_ChipDef.GetFeatureKey(n, &key); ++n) {
        const std::string keyName = key;
        const std::string name = FeatureLocationText(keyName.c_str(), ChipDefBase::kLocName);
        const std::string location =
            FeatureLocationText(keyName.c_str(), ChipDefBase::kLocPlace | ChipDefBase::kLocShort);
        if (!Contains(name, text) && !Contains(location, text) && !Contains(keyName, text)) {
            continue;
        }
        any = true;
        ok = PlayPrint(CAT_OUT, " %-*s %-4s %-16s", static_cast<int>(kLabelColumns),
                       Cut(name, kLabelColumns).c_str(),
                       TypeWord(g_ChipDef.GetFeatureType(keyName.c_str())), keyName.c_str()) &&
             PlayPrint(CAT_OUT, " %-*s\n", static_cast<int>(kSourceColumns),
                       Cut(location, kSourceColumns).c_str());
    }
    if (ok && !any) {
        ok = PlayPrint(CAT_OUT, " NO FEATURES CONTAINED THE PHRASE '%s'\n", text.c_str());
    }
    return ok;
}

// An exact command alias: its usage, through the dispatcher (a row without handler says so).
bool ShowCommandUsage(const std::string& text) {
    if (!PlayPrint(CAT_OUT, "\n ====================ONE=COMMAND=FOUND=WITH=AN=EXACT=MATCH"
                            "=====================")) {
        return false;
    }
    ArgVector args;
    ExprValue result{};
    uint32_t row = 0;
    FindCommand(text.c_str(), &row);
    if (g_Commands[row].m_Handler == CmdHelp) {
        std::snprintf(args[0], kArgSize, "%s", "help");
        return DispatchCommand(1, args.Words(), &result);
    }
    if (g_Commands[row].m_Handler == nullptr) {
        PlayPrint(CAT_OUT, "\n"); // the dispatcher's error follows on a line of its own
    }
    std::snprintf(args[0], kArgSize, "%s", text.c_str());
    std::snprintf(args[1], kArgSize, "%s", "?");
    return DispatchCommand(2, args.Words(), &result);
}

bool Search(const std::string& text) {
    uint32_t radix = 16;
    if (GetNumberRadix(text.c_str(), text.size(), 16, &radix)) {
        const uint32_t index = StrToNumN(text.c_str(), text.size(), radix);
        const std::string detail = RegisterDetailText(index, g_ScreenWidth);
        return PlayPrint(CAT_OUT, "\n") && PlayPrint(CAT_OUT, "%s", detail.c_str()) &&
               PlayPrint(CAT_OUT, "\n");
    }
    if (!ListRegisters(text) || !ListFeatures(text)) {
        return false;
    }
    std::string key = text;
    LowerAsciiInPlace(key.data());
    if (g_ChipDef.IsFeatureInProduct(key.c_str())) {
        if (!PlayPrint(CAT_OUT, "\n ====================ONE=FEATURE=FOUND=WITH=AN=EXACT=MATCH"
                                "=====================\n")) {
            return false;
        }
        const char* errorText = nullptr;
        ShowFeature(key.c_str(), static_cast<uint32_t>(key.size()), " ", &errorText);
    }
    uint32_t row = 0;
    if (FindCommand(key.c_str(), &row)) {
        return ShowCommandUsage(key);
    }
    return true;
}

} // namespace

bool CmdHelp(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (argc == 1) {
        return BrowseSections();
    }
    std::string text = argv[1];
    for (int32_t i = 2; i < argc; ++i) {
        text += " ";
        text += argv[i];
    }
    return Search(text);
}
