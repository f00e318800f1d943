// SECTION and GOTO: named places in a script and the jump to them.
#include "common/Text.h"
#include "play/Output.h"
#include "play/ScriptCommands.h"
#include "play/ScriptSections.h"
#include "play/ScriptState.h"
#include "play/WordValue.h"

#include <cstring>
#include <string>

namespace {

// Continues the running script at the section: the next line starts at the word "section".
void JumpTo(const ScriptSection& section) {
    g_CurFrame->m_Pos = section.m_Offset;
}

} // namespace

bool CmdSection(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        const std::string word = UpperAsciiCopy(argv[0]);
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT, " %s sectionname\n\n", word.c_str());
        PlayPrint(CAT_OUT, " Marks current location with the given sectionname.\n");
        return true;
    }
    if (argc > 2) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid number of arguments.\n");
    }
    if (argc == 2 && std::strlen(argv[1]) >= kSectionNameSize) {
        return PlayPrint(CAT_ERR, "ERROR: Section name must not exceed %d characters.\n",
                         static_cast<int>(kSectionNameSize));
    }
    return true;
}

bool CmdGoto(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        const std::string word = UpperAsciiCopy(argv[0]);
        const char* w = word.c_str();
        PlayPrint(CAT_OUT, "\n");
        PlayPrint(CAT_OUT, " %s sectionname|expression\n\n", w);
        PlayPrint(CAT_OUT,
                  " %s foo                                    - Goes to a section named \"foo\"\n",
                  w);
        PlayPrint(CAT_OUT,
                  " %s $var                                   - Goes to the section named in "
                  "$var\n\n",
                  w);
        PlayPrint(CAT_OUT, " Goes to the location marked with sectionname.\n");
        return true;
    }
    if (argc != 2) {
        return PlayPrint(CAT_ERR, "ERROR: Incorrect number of arguments.\n");
    }
    if (g_CurFrame == nullptr) {
        return true; // at the prompt there is nowhere to go
    }
    const ScriptSection* section = FindSection(g_CurFrame->m_Sections, argv[1]);
    if (section != nullptr) {
        JumpTo(*section);
        return true;
    }
    ExprValue value{};
    const char* errorText = nullptr;
    if (EvaluateWord(argv[1], &value, &errorText) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' section not found.\n", argv[1]);
    }
    if (value.IsString == 0) {
        return PlayPrint(CAT_ERR,
                         "ERROR: The value for a section name must be a text value, not "
                         "numerical ('%s'==%lXh).\n",
                         argv[1], static_cast<unsigned long>(value.Number));
    }
    section = FindSection(g_CurFrame->m_Sections, value.Text);
    if (section == nullptr) {
        return PlayPrint(CAT_ERR,
                         "ERROR: No section named '%s' (nor it's value: '%s') were found.\n",
                         argv[1], value.Text);
    }
    JumpTo(*section);
    return true;
}
