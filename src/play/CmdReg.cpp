// X: reads or writes one register; XA and XB list every readable register of the chip by
// category, in full or brief form.
#include "common/Numbers.h"
#include "play/AccessRefusals.h"
#include "play/MemWidth.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/RegCmdArgs.h"

#include <cctype>
#include <strings.h>

namespace {

const char* const kRegUsage[] = {
    "\n",
    " XA\n",
    " XB\n",
    " X8  [Index [Data]]\n",
    " X16 [Index [Data]]\n",
    " X32 [Index [Data]]\n",
    "\n",
    " Read/write to registers.\n",
    " A       - Display all registers.\n",
    " B       - Display all registers in a brief format.\n",
    " 8|16|32 - Unit size (8-bit|16-bit|32-bit). With an index and no number, the\n",
    "           chip's register width; without an index, the unit used last.\n",
    " Index   - Register index (hex). If there is no index, the Register command\n",
    "           will read from the Index used in your last Register command.\n",
    " Data    - Value to write to REG[Index].\n",
};

constexpr uint32_t kNameSize = 64;

// One entry of a listing, eight to a line.
bool PrintEntry(uint32_t index, uint32_t* printed) {
    if (*printed > 0 && !PlayPrint(CAT_OUT, *printed % 8 == 0 ? "\n" : " ")) {
        return false;
    }
    ++*printed;
    const int indexWidth = static_cast<int>(g_ChipDef.GetDefaultIndexWidth());
    const int valueWidth = static_cast<int>(g_ChipDef.GetRegisterValueWidth(index, false));
    return PlayPrint(CAT_OUT, "%0*X=%0*X", indexWidth, index, valueWidth,
                     g_ChipDef.GetRegisterValue(index, false));
}

// XA (full: a header and a line break per category) and XB (brief: one running list).
bool ListRegisters(bool full) {
    char key[kNameSize];
    char name[kNameSize];
    uint32_t printed = 0;
    for (uint32_t i = 0; g_ChipDef.GetCategory(i, key, name, kNameSize); ++i) {
        if (!g_ChipDef.IsCategoryInProduct(key)) {
            continue;
        }
        if (full) {
            if (!PlayPrint(CAT_OUT, "\n%s Registers\n", name)) {
                return false;
            }
            printed = 0;
        }
        uint32_t index = 0;
        for (uint32_t n = 0; g_ChipDef.GetRegisterIndexByOrdinal(false, n, &index); ++n) {
            const char* category = g_ChipDef.GetRegisterCategory(index, false);
            if (!g_ChipDef.IsRegisterInProduct(index, false) || category == nullptr ||
                strcasecmp(category, key) != 0 || g_ChipDef.IsRegisterWriteOnly(index, false)) {
                continue;
            }
            if (!PrintEntry(index, &printed)) {
                return false;
            }
        }
        if (full && !PlayPrint(CAT_OUT, "\n")) {
            return false;
        }
    }
    return full || PlayPrint(CAT_OUT, "\n");
}

} // namespace

bool CmdReg(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines(kRegUsage);
    }
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(argv[0][1])));
    if (letter == 'a' || letter == 'b') {
        if (argc != 1 || argv[0][2] != '\0') {
            return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
        }
        return ListRegisters(letter == 'a');
    }
    if (letter != '\0' && letter != '1' && letter != '3' && letter != '8') {
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    RegCmdState& state = g_RegState;
    uint32_t index = 0;
    uint32_t unit = 0;
    if (!regcmd::TakeIndexAndUnit(argv[0], argc > 1 ? argv[1] : nullptr, state, &index, &unit)) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    bool printed = false;
    if (argc > 2) {
        uint32_t data = 0;
        if (ParseNumber(argv[2], 16, &data) != 0) {
            return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
        }
        if (RefusalReported(RegAccessRefusal(RegAccess::Write, unit * 8, index))) {
            return false;
        }
        state.m_Unit = unit;
        WriteRegByBits(unit * 8, index, data);
        printed = regcmd::PrintRegWriteLine("", index, data, unit);
    } else {
        if (RefusalReported(RegAccessRefusal(RegAccess::Read, unit * 8, index))) {
            return false;
        }
        state.m_Unit = unit;
        printed = regcmd::PrintRegReadLine("", index, ReadRegByBits(unit * 8, index), unit);
    }
    if (!printed) {
        return false;
    }
    state.m_Index = index;
    return true;
}
