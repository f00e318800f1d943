// The texts of HELP's section browser: the section titles and the script language reference.
#include "play/HelpText.h"

#include "play/InfoCommands.h"

// clang-format off
const HelpSection g_HelpSections[kHelpSectionCount] = {
    {"BASIC", "BASIC PLAY COMMANDS        For more details on each command, type: <command> ?"},
    {"ADVANCED", "ADVANCED PLAY COMMANDS"},
    {"SCRIPT", "PLAY COMMANDS FOR SCRIPTING"},
    {"LANGUAGE1", "SCRIPT LANGUAGE REFERENCE 1"},
    {"LANGUAGE2", "SCRIPT LANGUAGE REFERENCE 2"},
    {"KEYS", "PLAY EDITING KEYS"},
};

namespace {

constexpr const char* kLanguage1[] = {
    " ' comment                                 - COMMENTS: prefixed with quote\n",
    " statement1; statement2                    - COMPOUND STATEMENTS: use semicolon\n",
    " $i, $MyVar, $a[$i], $$GlobalVar           - TOKEN: uint32 or text variable\n",
    " bpp, hdp, vdp, rot                        - TOKEN: features or bitfields\n",
    " reg[0012h],  reg16[$i],    reg[12h-b3:2]  - TOKEN: register access\n",
    " disp8[$i],   disp16[$i],   disp32[$i]     - TOKEN: display buffer access\n",
    " sys8[$i],    sys16[$i],    sys32[$i]      - TOKEN: system-wide memory access\n",
    " bar8[$b,$i], bar16[$b,$i], bar32[$b,$i]   - TOKEN: raw I/F access ($b is bar)\n",
    " bar8[$i],    bar16[$i],    bar32[$i]      - TOKEN: raw I/F access (bar is 0)\n",
    " usbsetup[$i]                              - TOKEN: USB Client register access\n",
    " fexist[\"filename\"]                        - TOKEN: is 1 if file exists else 0\n",
    " arg[n], argn                              - TOKEN: script arguments\n",
    " retval                                    - TOKEN: assign to return a value\n",
    " rand                                      - TOKEN: random value (rand=seed)\n",
};

constexpr const char* kLanguage2[] = {
    " 44t, 2Ch, 54o, 101100i                    - RADIX: dec,hex(default),oct,bin\n",
    " e.n<radix><width>                         - CONVERTER: string to number\n",
    " e.s<radix><width>                         - CONVERTER: number to string\n",
    "                                                        If $var is 3Fh, then:\n",
    "                                                        $var.sh8  = \"      3F\"\n",
    "                                                        $var.st08 = \"00000063\"\n",
    "                                                        $var.st_08= \"0000_0063\"\n",
    " e**e                                      - OPERATOR: Exponential\n",
    " !e    ~e                                  - OPERATOR: LogicalNot,BitComplement\n",
    " e*e   e/e   e%e                           - OPERATOR: Multiply,Divide,Modulus\n",
    " e+e   e-e                                 - OPERATOR: Add,Subtract\n",
    " e<<e  e>>e                                - OPERATOR: LeftShift,RightShift\n",
    " e<e   e>e   e<=e   e>=e                   - OPERATOR: Relational\n",
    " e==e  e!=e                                - OPERATOR: Equality\n",
    " e&e   e|e   e^e                           - OPERATOR: Bitwise And,Or,XOr\n",
    " NOTe                                      - OPERATOR: Logical Not\n",
    " e&&e  e||e  eANDe  eORe  eXORe            - OPERATOR: Logical And,Or,XOr\n",
    " e?e:e                                     - OPERATOR: Conditional If-Then-Else\n",
    " eRNDDNb  eRNDTOb  eRNDUPb                 - OPERATOR: Round down, to, up\n",
    " R2Ye  Y2Re                                - OPERATOR: RGB <-> YCbCr offset\n",
};

constexpr const char* kKeys[] = {
    " ESC                                       - Clears command line\n",
    " CTRL-R                                    - Recalls last command\n",
    " CTRL-BACKSPACE                            - Deletes last word\n",
};
// clang-format on

} // namespace

std::span<const char* const> HelpSectionLines(int32_t section) {
    switch (section) {
    case 3:
        return kLanguage1;
    case 4:
        return kLanguage2;
    case 5:
        return kKeys;
    default:
        return {};
    }
}
