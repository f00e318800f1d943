// L: lists, reads and writes look-up table entries, and runs the keyword operations.
#include "hcl/Lcd.h"
#include "play/ArgParsers.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/LutCommands.h"
#include "play/Output.h"

#include <cctype>
#include <cstring>
#include <strings.h>

namespace {

const char* const kLutUsage[] = {
    "\n",
    " L[1|2][A] Index [[Red Green Blue]|[Data]]\n",
    "\n",
    " Read/write Look-Up Table entries.\n",
    " 1          - Identifies Main Window Look-Up Table (LUT1).\n",
    " 2          - Identifies PIP Window Look-Up Table (LUT2).\n",
    " A          - Display all Look-Up Table entries.\n",
    " Index      - The register index (hex).\n",
    " Red        - 8-bit Red component of LUT[index].\n",
    " Green      - 8-bit Green component of LUT[index].\n",
    " Blue       - 8-bit Blue component of LUT[index].\n",
    " INIT       - Initialize LUT to default values based on window format.\n",
    " INITRED    - Init LUT R component to default values, retain G/B.\n",
    " INITGREEN  - Init LUT G component to default values, retain R/B.\n",
    " INITBLUE   - Init LUT B component to default values, retain R/G.\n",
    " ZERO       - Clear LUT to 0.\n",
    " ZERORED    - Clear LUT R component to 0, retain G/B.\n",
    " ZEROGREEN  - Clear LUT G component to 0, retain R/B.\n",
    " ZEROBLUE   - Clear LUT B component to 0, retain R/G.\n",
    " CYCLE      - Cycle through the LUT.\n",
    " CYCLERED   - Cycle through the LUT R component.\n",
    " CYCLEGREEN - Cycle through the LUT G component.\n",
    " CYCLEBLUE  - Cycle through the LUT B component.\n",
    " \n",
    " Examples:\n",
    "   l1a                ' Display all entries of LUT1\n",
    "   l2a                ' Display all entries of LUT2\n",
    "   l1 0 ff ff ff      ' Write white to LUT1[0]\n",
    "   l2 1 0 0 ff        ' Write blue to LUT2[1]\n",
    "   l1 2 . 80 .        ' Write only the green component of LUT1[2]\n",
    "   l1 3               ' Read LUT1[3]\n",
    "   l1 init            ' Initialize LUT1\n",
};

const char* const kLutKeywords[] = {"INIT",  "INITRED",  "INITGREEN",  "INITBLUE",
                                    "ZERO",  "ZERORED",  "ZEROGREEN",  "ZEROBLUE",
                                    "CYCLE", "CYCLERED", "CYCLEGREEN", "CYCLEBLUE"};

constexpr uint32_t kLutEntries = oxLCD_LUT_ENTRIES;
constexpr uint32_t kMaxLutIndex = 255;

uint32_t Red(uint32_t entry) {
    return kLutRed.Extract(entry);
}
uint32_t Green(uint32_t entry) {
    return kLutGreen.Extract(entry);
}
uint32_t Blue(uint32_t entry) {
    return kLutBlue.Extract(entry);
}

// The operation of a keyword word, or -1.
int32_t KeywordOperation(const char* word) {
    for (uint32_t i = 0; i < std::size(kLutKeywords); ++i) {
        if (strcasecmp(word, kLutKeywords[i]) == 0) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

// "l1a" or "l2a": all 256 entries, eight a line.
bool ListLut(uint32_t table) {
    for (uint32_t i = 0; i < kLutEntries; ++i) {
        if (i % 8 == 0 && !PlayPrint(CAT_SET, "\nL%u[%02X]", table, i)) {
            return false;
        }
        const uint32_t entry = oxLcdGetLutEntry(i, table - 1);
        if (!PlayPrint(CAT_SET, "  %02X%02X%02X", Red(entry), Green(entry), Blue(entry))) {
            return false;
        }
    }
    return PlayPrint(CAT_SET, "\n");
}

// CYCLE and its colour forms: arrow keys step, RETURN steps until a key, any other key ends.
bool CycleLut(uint32_t lut, uint32_t component) {
    PlayPrint(CAT_OUT, "Programming LUT...\nPress right arrow to step forward, left arrow to "
                       "step backward,\nReturn to continue and other keys to exit\n");
    uint32_t direction = 1;
    char key[kKeyNameSize];
    while (ReadKeyName(key)) {
        const bool stepping = std::strcmp(key, "RETURN") == 0;
        if (!stepping && std::strcmp(key, "LEFT") != 0 && std::strcmp(key, "RIGHT") != 0) {
            break;
        }
        EditLutInteractive(lut, component, key, &direction);
        for (uint64_t steps = 1; stepping && !LoopKeyWaiting(kLoopUntilKey, steps); ++steps) {
            EditLutInteractive(lut, component, key, &direction);
        }
    }
    return true;
}

bool RunKeyword(uint32_t lut, uint32_t operation) {
    if (operation >= LUT_CYCLE) {
        return CycleLut(lut, operation - LUT_CYCLE);
    }
    DrawLutPattern(lut, operation);
    return true;
}

// A colour word: hexadecimal cut to 8 bits, or "." for the current value.
bool TakeColour(const char* word, uint32_t current, uint32_t* colour) {
    if (std::strcmp(word, ".") == 0) {
        *colour = current;
        return true;
    }
    if (ParseNumber(word, 16, colour) != 0) {
        return false;
    }
    *colour &= 0xFF;
    return true;
}

bool AccessEntry(int32_t argc, char** argv, uint32_t table) {
    uint32_t index = 0;
    if (ParseNumber(argv[1], 16, &index) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid parameter for L command.\n");
    }
    if (index > kMaxLutIndex) {
        return PlayPrint(CAT_ERR, "ERROR: LUT index is greater than %02X.\n", kMaxLutIndex);
    }
    const uint32_t lut = table - 1;
    if (argc == 2) {
        const uint32_t entry = oxLcdGetLutEntry(index, lut);
        return PlayPrint(CAT_SET, "       L%u[%02X] > %02X  %02X  %02X\n", table, index, Red(entry),
                         Green(entry), Blue(entry));
    }
    if (argc < 5) {
        return PlayPrint(CAT_ERR,
                         "ERROR: Require all three arguments (red green blue) for L command.");
    }
    const bool keeps = std::strcmp(argv[2], ".") == 0 || std::strcmp(argv[3], ".") == 0 ||
                       std::strcmp(argv[4], ".") == 0;
    const uint32_t current = keeps ? oxLcdGetLutEntry(index, lut) : 0;
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    if (!TakeColour(argv[2], Red(current), &red) || !TakeColour(argv[3], Green(current), &green) ||
        !TakeColour(argv[4], Blue(current), &blue)) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid color parameters for L command.");
    }
    const uint32_t entry =
        kLutBlue.Deposit(kLutGreen.Deposit(kLutRed.Deposit(0, red), green), blue);
    oxLcdSetLutEntry(index, &entry, lut);
    return PlayPrint(CAT_SET, "       L%u[%02X] < %02X  %02X  %02X\n", table, index, red, green,
                     blue);
}

} // namespace

bool CmdLut(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines(kLutUsage);
    }
    const char* word = argv[0];
    const bool tableNamed = (word[1] == '1' || word[1] == '2');
    const uint32_t table = tableNamed ? static_cast<uint32_t>(word[1] - '0') : 0;
    const bool listing =
        tableNamed && std::tolower(static_cast<unsigned char>(word[2])) == 'a' && word[3] == '\0';
    if (listing && argc == 1) {
        return ListLut(table);
    }
    if (!tableNamed || word[2] != '\0') {
        return PlayPrint(CAT_ERR, "ERROR: A LUT wasn't specified (1 or 2?).\n");
    }
    if (argc < 2) {
        return PlayPrint(CAT_ERR, "L command requires index.\n");
    }
    const int32_t operation = KeywordOperation(argv[1]);
    if (operation >= 0) {
        return RunKeyword(table - 1, static_cast<uint32_t>(operation));
    }
    return AccessEntry(argc, argv, table);
}
