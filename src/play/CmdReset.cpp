// RESET: re-opens the transport to the board, optionally selecting another board number
// (the environment variable Q3VBOARD, 0 to 7).
#include "hcl/HclBoard.h"
#include "hcl/HclData.h"
#include "hcl/HclStart.h"
#include "play/Acquisition.h"
#include "play/ArgParsers.h"
#include "play/InfoCommands.h"
#include "play/Output.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kMaxBoard = 7;

constexpr std::array kUsageLines = {
    "\n",
    " RESET\n",
    " RESET USB\n",
    " RESET USB Number (0 to 7)\n",
    "\n",
    " Shows and resets the adapter transport layer.\n",
    " Adapters other than USB are not supported yet.\n",
    "\n",
};

// A whole decimal word; false for anything else (also for a number too large for 64 bits).
bool ParseDecimal(const char* word, uint64_t* number) {
    const char* end = word + std::strlen(word);
    const auto [next, error] = std::from_chars(word, end, *number, 10);
    return word != end && error == std::errc() && next == end;
}

bool AllDigits(const char* word) {
    return std::all_of(word, word + std::strlen(word), [](char c) { return c >= '0' && c <= '9'; });
}

// The board number of Q3VBOARD: 0 when it is not set; a value that is no board number 0 to 7
// is reported and taken as 0.
uint32_t CurrentBoard() {
    const char* text = std::getenv("Q3VBOARD");
    if (text == nullptr) {
        return 0;
    }
    uint64_t number = 0;
    if (!ParseDecimal(text, &number) || number > kMaxBoard) {
        PlayPrint(CAT_OUT, " Invalid board number set by Q3VBOARD=%.32s \n", text);
        PlayPrint(CAT_OUT, " Assume board number 0\n");
        return 0;
    }
    return static_cast<uint32_t>(number);
}

} // namespace

bool CmdReset(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        return PrintUsageLines(kUsageLines);
    }
    if (argc > 3) {
        return PlayPrint(CAT_ERR, "ERROR: Wrong number of arguments.\n");
    }
    uint32_t board = CurrentBoard();
    PlayPrint(CAT_OUT, " %s Transport Layer, Current board number is %u\n",
              oxHclIsAdapterUsb() != 0 ? "USB" : "PCI", board);
    PlayPrint(CAT_OUT, " Resetting the Transport layer...");
    if (argc == 3) {
        // Decimal digits are taken whole (a large number is no board, never cut to one);
        // otherwise the number parser: a radix letter or an expression.
        uint64_t number = 0;
        uint32_t parsed = 0;
        if (!ParseDecimal(argv[2], &number)) {
            if (AllDigits(argv[2]) || ParseNumber(argv[2], 10, &parsed) != 0) {
                return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
            }
            number = parsed;
        }
        if (number != board) {
            if (number > kMaxBoard) {
                PlayPrint(CAT_OUT, " failed. %llu is an invalid board number\n",
                          static_cast<unsigned long long>(number));
                return false;
            }
            board = static_cast<uint32_t>(number);
            if (setenv("Q3VBOARD", std::to_string(board).c_str(), 1) != 0) {
                PlayPrint(CAT_OUT, "  SetEnvironmentVariable Error %x\n", errno);
                return false;
            }
            oxHclBoardSelectionChanged(); // the command's kept board number is stale now
        }
    }
    // A board that did not open again leaves the controller out of reach until a RESET opens
    // one: the layer would answer every access without reaching a board.
    const bool acquired = oxHclReinitialize();
    ControllerReset(acquired);
    if (!acquired) {
        PlayPrint(CAT_OUT, " failed\n");
        return false;
    }
    return PlayPrint(CAT_OUT, " done. Current board number is %u\n", board);
}
