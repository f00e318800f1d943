// W: writes a list of values to display memory, or, without data, steps through memory in the
// MODIFY mode, where each location can be given a new value from the keyboard.
#include "common/Numbers.h"
#include "platform/Console.h"
#include "play/MemCmdArgs.h"
#include "play/MemCommands.h"
#include "play/MemWidth.h"
#include "play/Output.h"

namespace {

const char* const kWriteUsage[] = {
    " Writes the given Data sequence to memory starting at StartAddr location.\n",
    " 8|16|32     - Unit size (8-bit|16-bit|32-bit). If the number is missing, this\n",
    "               command uses the unit size it used last (default:8-bit).\n",
    " StartAddr   - Start address. A period (.) repeats the last start address.\n",
    " Data        - The values to write: any\n",
    "               combinations of 'text' or numbers (BINi, OCTo, DECt, HEXh).\n",
    "               Without Data, MODIFY mode shows one location after the other:\n",
    " --Hex digits        - new value\n",
    " --ENTER,SPACE       - move to next memory location (if no Data\n",
    "                       was typed, the location is left as it was)\n",
    " --MINUS             - move to previous memory location\n",
    " --Q,PERIOD,anything - leaves MODIFY mode.\n",
};

constexpr int kBackspace = 8;
constexpr int kBell = 7;
// Digits of the widest unit: more are refused with the bell.
constexpr int kMaxDigits = 8;

enum class Step { Next, Previous, Leave };

bool IsHexDigit(int key) {
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F') || (key >= 'a' && key <= 'f');
}

// Collects the hexadecimal digits typed for one location, up to the key that ends it.
Step ReadLocationKeys(char (&digits)[kMaxDigits + 1]) {
    int count = 0;
    for (;;) {
        const int key = ConsoleGetch();
        if (key == kConsoleEndOfInput) {
            digits[count] = 0;
            return Step::Leave;
        }
        if (key == kConsolePrefixExtended || key == kConsolePrefixFunction) {
            // A decoded extended key (arrow, function key): its second code is part of it and
            // is never taken as a character of its own.
            ConsoleGetch();
            ConsolePutch(kBell);
            continue;
        }
        if (key == kBackspace) {
            if (count > 0) {
                --count;
                ConsoleWrite("\b \b");
            }
        } else if (IsHexDigit(key)) {
            if (count < kMaxDigits) {
                digits[count++] = static_cast<char>(key);
                ConsolePutch(key);
            } else {
                ConsolePutch(kBell);
            }
        } else if (key == '\t' || key == '\n' || key == '\r' || key == ' ') {
            digits[count] = 0;
            return Step::Next;
        } else if (key == '-') {
            ConsolePutch(key);
            digits[count] = 0;
            return Step::Previous;
        } else if (key == '.' || key == 'q' || key == 'Q') {
            ConsolePutch(key);
            digits[count] = 0;
            return Step::Leave;
        } else {
            ConsolePutch(kBell);
        }
    }
}

// The MODIFY mode from start; returns false when the output was stopped at the paging prompt.
bool ModifyMode(MemCmdState& state, uint32_t start) {
    const uint32_t unit = state.m_Unit;
    int64_t index = 0;
    for (;;) {
        const uint32_t address = static_cast<uint32_t>(int64_t{start} + index * unit);
        const uint32_t value = ReadMemByWidth(address, unit);
        if (!memcmd::PrintUnitLine(address, value, unit, ">")) {
            return false;
        }
        char digits[kMaxDigits + 1] = {};
        const Step step = ReadLocationKeys(digits);
        if (!PlayPrint(CAT_OUT, "\n")) {
            return false;
        }
        if (step == Step::Leave) {
            break;
        }
        if (digits[0] != 0) {
            WriteMemByWidth(address, StrToNum(digits, 16), unit);
        }
        // The location stays where it is at either end of the address space.
        const int64_t next = index + (step == Step::Next ? 1 : -1);
        const int64_t nextAddress = int64_t{start} + next * unit;
        if (nextAddress >= 0 && memcmd::InAddressSpace(static_cast<uint64_t>(nextAddress), unit)) {
            index = next;
        }
    }
    state.m_Len = static_cast<uint32_t>(index * unit);
    state.m_Addr = static_cast<uint32_t>(int64_t{start} + index * unit);
    return true;
}

} // namespace

bool CmdWrite(int32_t argc, char** argv, ExprValue*) {
    using namespace memcmd;
    if (WantsUsage(argc, argv)) {
        return PrintUsage(argv[0], {"[StartAddr [Data1 Data2 Data3 Data4 ...]]", kWriteUsage});
    }
    MemCmdState& state = g_WriteState;
    uint32_t start = 0;
    uint32_t values[kParseMaxValues];
    uint32_t count = 0;
    if (!TakeUnit(argv[0], state) || !TakeStart(argv[1], state, &start) ||
        !TakeData(2, argc, argv, values, &count)) {
        return false;
    }
    const uint32_t unit = state.m_Unit;
    if (argc <= 2) {
        if (!InAddressSpace(start, unit)) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid start address.\n", argv[1]);
        }
        return ModifyMode(state, start);
    }
    if (!InAddressSpace(start, uint64_t{count} * unit)) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid start address.\n", argv[1]);
    }
    for (uint32_t k = 0; k < count; ++k) {
        const uint32_t address = start + k * unit;
        WriteMemByWidth(address, values[k], unit);
        if (!PrintUnitLine(address, values[k], unit, "\n")) {
            return false;
        }
    }
    state.m_Len = count * unit;
    state.m_Addr = start + state.m_Len;
    return true;
}
