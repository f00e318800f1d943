// The memory commands R, W, F, D and S against the simulated board.
#include "MemCommandsFixture.h"

#include "hcl/HclBoard.h"
#include "hcl/ServicesInternal.h"
#include "play/InfoCommands.h"
#include "play/MemWidth.h"

#include <cstring>
#include <sstream>

namespace memtest {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Calls a handler directly with the words of line (the command word as given).
bool Call(CommandHandler handler, const char* line, ExprValue* result = nullptr) {
    ArgVector words;
    const int32_t argc = SplitArgs(line, std::strlen(line), words.Words());
    ExprValue scratch{};
    return handler(argc, words.Words(), result != nullptr ? result : &scratch);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// --- R -------------------------------------------------------------------------------------

TEST_F(MemCommandsTest, ReadPrintsEachUnitWithItsAsciiColumn) {
    Poke(0x1000, {0x34, 0x12, 0x41, 0x7F});
    EXPECT_EQ(Line("r16 1000"), "00001000:  1234  '4.'\n");
    EXPECT_EQ(Line("r 1000 1002"), "00001000:  1234  '4.'\n00001002:  7F41  'A.'\n")
        << "the unit of the last call is kept";
    EXPECT_EQ(Line("r8 1002"), "00001002:  41  'A'\n");
    EXPECT_EQ(Line("r32 1000"), "00001000:  7F411234  '4.A.'\n");
    EXPECT_EQ(g_ReadState.m_Unit, 4u);
    EXPECT_EQ(g_ReadState.m_Addr, 0x1000u);
    // A bare R and "." read the first address of the last call again.
    EXPECT_EQ(Line("r"), "00001000:  7F411234  '4.A.'\n");
    EXPECT_EQ(Line("r8 ."), "00001000:  34  '4'\n");
}

TEST_F(MemCommandsTest, ReadGivesTheValueReadAsItsResult) {
    Poke(0x20, {0xAA, 0x55});
    ExprValue value{};
    ASSERT_TRUE(Call(CmdRead, "r16 20", &value));
    EXPECT_EQ(value.IsString, 0);
    EXPECT_EQ(value.Number, 0x55AAu);
}

TEST_F(MemCommandsTest, ReadStopsAtTheFirstWordThatIsNoAddress) {
    Poke(0, {1, 2});
    bool ok = true;
    EXPECT_EQ(Line("r 0 1 zz 0", &ok),
              "00000000:  01  '.'\n00000001:  02  '.'\nERROR: 'zz' isn't a valid address.\n");
    EXPECT_FALSE(ok);
}

// --- W -------------------------------------------------------------------------------------

TEST_F(MemCommandsTest, WriteStoresEachValueCutToTheUnitAndShowsIt) {
    EXPECT_EQ(Line("w16 1000 55aa 1 12345"),
              "00001000:  55AA  '.U'\n00001002:  0001  '..'\n00001004:  2345  'E#'\n");
    EXPECT_EQ(Peek(0x1000, 6), (Bytes{0xAA, 0x55, 0x01, 0x00, 0x45, 0x23}));
    EXPECT_EQ(g_WriteState.m_Len, 6u);
    EXPECT_EQ(g_WriteState.m_Addr, 0x1006u);
    // A text gives one unit per character; the next bare start continues after the last area.
    EXPECT_EQ(Line("w8 1006 \"Hi\""), "00001006:  48  'H'\n00001007:  69  'i'\n");
    EXPECT_EQ(Peek(0x1006, 2), (Bytes{'H', 'i'}));
}

// --- W in the MODIFY mode ------------------------------------------------------------------

TEST_F(MemCommandsTest, ModifyWritesTypedDigitsAndSteps) {
    Poke(0x1000, {0x00, 0x77});
    ConsoleSetInputForTesting("5\r-q", 4);
    bool ok = false;
    EXPECT_EQ(Line("w 1000", &ok),
              "00001000:  00  '.'>5\n00001001:  77  'w'>-\n00001000:  05  '.'>q\n");
    EXPECT_TRUE(ok);
    EXPECT_EQ(Peek(0x1000, 2), (Bytes{0x05, 0x77}));
    EXPECT_EQ(g_WriteState.m_Addr, 0x1000u) << "leaving keeps the current location";
    // A later bare W starts where the mode was left; digits after a backspace replace it,
    // and the unit of the command is used for each location.
    ConsoleSetInputForTesting("1\b2 3 .", 7);
    EXPECT_EQ(Line("w16"), "00001000:  7705  '.w'>1\b \b2\n00001002:  0000  '..'>3\n"
                           "00001004:  0000  '..'>.\n");
    EXPECT_EQ(Peek(0x1000, 4), (Bytes{0x02, 0x00, 0x03, 0x00}));
    EXPECT_EQ(g_WriteState.m_Addr, 0x1004u);
    EXPECT_EQ(g_WriteState.m_Len, 4u);
}

TEST_F(MemCommandsTest, ModifyBoundsTheDigitsAndRingsForOtherKeys) {
    // Ten digits: the two beyond a 32-bit value ring the bell; "x" rings it too.
    ConsoleSetInputForTesting("123456789Ax\rq", 13);
    EXPECT_EQ(Line("w32 40"), "00000040:  00000000  '....'>12345678\a\a\a\n"
                              "00000044:  00000000  '....'>q\n");
    EXPECT_EQ(Peek(0x40, 4), (Bytes{0x78, 0x56, 0x34, 0x12}));
}

TEST_F(MemCommandsTest, ModifyTakesDecodedExtendedKeysAsOneKey) {
    // Page Down arrives as ESC [ 6 ~ and decodes to the prefix 224 and 81 ("Q"); an arrow up
    // decodes to 224 and 72. Neither leaves the mode nor types a digit: each rings the bell.
    const char keys[] = "\x1b[6~\x1b[A7\r.";
    ConsoleSetTerminalInputForTesting(keys, sizeof keys - 1);
    EXPECT_EQ(Line("w 0"), "00000000:  00  '.'>\a\a7\n00000001:  00  '.'>.\n");
    EXPECT_EQ(Peek(0, 1), (Bytes{0x07}));
}

TEST_F(MemCommandsTest, ModifyEndsAtTheEndOfInputAndStaysInsideTheAddressSpace) {
    // "-" at address 0 stays at 0; the end of the input leaves the mode without writing.
    ConsoleSetInputForTesting("-9", 2);
    bool ok = false;
    EXPECT_EQ(Line("w 0", &ok), "00000000:  00  '.'>-\n00000000:  00  '.'>9\n");
    EXPECT_TRUE(ok);
    EXPECT_EQ(Peek(0, 1), (Bytes{0x00}));
    EXPECT_EQ(g_WriteState.m_Addr, 0u);
}

// --- F -------------------------------------------------------------------------------------

TEST_F(MemCommandsTest, FillRepeatsTheDataThroughLengthInUnits) {
    Poke(0, Bytes(20, 0xEE));
    // The initial unit of F is 16 bits; L8 is eight units, so 16 bytes.
    EXPECT_EQ(Line("f 0 L8 1 2 3"), "");
    EXPECT_EQ(Peek(0, 18), (Bytes{1, 0, 2, 0, 3, 0, 1, 0, 2, 0, 3, 0, 1, 0, 2, 0, 0xEE, 0xEE}));
    EXPECT_EQ(g_FillState.m_Addr, 0x10u);
    EXPECT_EQ(g_FillState.m_Len, 0x10u);
}

TEST_F(MemCommandsTest, FillAreaForms) {
    struct Case {
        const char* m_Line;
        std::uint32_t m_At;
        Bytes m_Expected;
    };
    const Case cases[] = {
        // The end form names the last unit.
        {"f8 100 103 \"ab\"", 0x100, {'a', 'b', 'a', 'b', 0xEE}},
        {"f32 200 204 11223344", 0x200, {0x44, 0x33, 0x22, 0x11, 0x44, 0x33, 0x22, 0x11, 0xEE}},
        // A length below one unit writes nothing.
        {"f32 300 L0 1", 0x300, {0xEE}},
        {"f8 400 400 9", 0x400, {9, 0xEE}},
    };
    for (const Case& c : cases) {
        Poke(c.m_At, Bytes(16, 0xEE));
        bool ok = false;
        EXPECT_EQ(Line(c.m_Line, &ok), "") << c.m_Line;
        EXPECT_TRUE(ok) << c.m_Line;
        EXPECT_EQ(Peek(c.m_At, static_cast<std::uint32_t>(c.m_Expected.size())), c.m_Expected)
            << c.m_Line;
    }
}

// --- D -------------------------------------------------------------------------------------

TEST_F(MemCommandsTest, BareDumpsContinueAndPeriodsRepeat) {
    std::vector<std::string> lines = Lines(Line("d"));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "00000000:  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  "
                        "'................'");
    EXPECT_EQ(lines[15].substr(0, 9), "000000F0:");
    lines = Lines(Line("d"));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0].substr(0, 9), "00000100:");
    lines = Lines(Line("d ."));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0].substr(0, 9), "00000100:");
    EXPECT_EQ(lines[15].substr(0, 9), "000001F0:");
    lines = Lines(Line("d .."));
    EXPECT_EQ(lines[0].substr(0, 9), "00000000:");
}

TEST_F(MemCommandsTest, DumpLinesShowFillersOutsideTheArea) {
    Poke(0x1000, {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E'});
    Poke(0x2000, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 1, 2, 3, 4, 5, 6, 7, 8});
    struct Case {
        const char* m_Line;
        const char* m_Output;
    };
    const Case cases[] = {
        {"d 1004 L4", "00001000:  -- -- -- -- 34 35 36 37  -- -- -- -- -- -- -- --  "
                      "'----4567--------'\n"},
        // L4 is four 16-bit units from 1001: the units that overlap 1001 .. 1008.
        {"d16 1001 L4", "00001000:  3130 3332 3534 3736  3938 ---- ---- ----  "
                        "'012345678-------'\n"},
        {"d32 2000 200c", "00002000:  64636261 68676665  04030201 08070605  "
                          "'abcdefgh........'\n"},
        {"d8 200e L4", "00002000:  -- -- -- -- -- -- -- --  -- -- -- -- -- -- 07 08  "
                       "'--------------..'\n"
                       "00002010:  00 00 -- -- -- -- -- --  -- -- -- -- -- -- -- --  "
                       "'..--------------'\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Line(c.m_Line), c.m_Output) << c.m_Line;
    }
    EXPECT_EQ(g_DumpState.m_Addr, 0x2012u);
    EXPECT_EQ(g_DumpState.m_Len, 4u);
}

TEST_F(MemCommandsTest, EscapeAtThePagerStopsTheDump) {
    g_HaltLines = 3;
    ConsoleSetInputForTesting("\x1b", 1);
    bool ok = true;
    const std::vector<std::string> lines = Lines(Line("d 100 L100", &ok));
    EXPECT_FALSE(ok);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].substr(0, 9), "00000120:");
    EXPECT_EQ(lines[3].substr(0, 8), "-- more ") << "the pager's prompt, then nothing more";
    EXPECT_EQ(g_DumpState.m_Addr, 0x100u) << "the start stays for the next bare dump";
}

// --- S -------------------------------------------------------------------------------------

TEST_F(MemCommandsTest, SearchReportsOverlappingMatches) {
    Poke(0, {'A', 'B', 'A', 'B', 'A', 'A', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 'A', 'B'});
    struct Case {
        const char* m_Line;
        const char* m_Output;
    };
    const Case cases[] = {
        {"s 0 L10 \"AB\"", "Found: 00000000\nFound: 00000002\nFound: 0000000F\n"
                           "3 matches found.\n"},
        {"s 0 L10 \"AA\"", "Found: 00000004\nFound: 00000005\n2 matches found.\n"},
        {"s 0 L10 41 42 41", "Found: 00000000\nFound: 00000002\n2 matches found.\n"},
        // 16-bit units: only even positions, compared whole.
        {"s16 0 L8 4241", "Found: 00000000\nFound: 00000002\n2 matches found.\n"},
        {"s16 0 L8 42", "0 match found.\n"},
        // An empty pattern matches at every position.
        {"s8 0 L2 \"\"", "Found: 00000000\nFound: 00000001\n2 matches found.\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Line(c.m_Line), c.m_Output) << c.m_Line;
    }
    EXPECT_EQ(g_SearchState.m_Addr, 2u);
}

TEST_F(MemCommandsTest, SearchPatternsNeverWrapPastTheAddressSpace) {
    // The second unit of the pattern would lie at 1000000; it must not be read at 0 instead.
    EXPECT_EQ(Line("s ffffff L1 0 0"), "0 match found.\n");
    EXPECT_EQ(Line("s fffffe L1 0 0"), "Found: 00FFFFFE\n1 matches found.\n");
}

// --- Errors and state ----------------------------------------------------------------------

TEST_F(MemCommandsTest, MalformedArgumentsGetTheirErrors) {
    struct Case {
        const char* m_Line;
        const char* m_Error;
    };
    const Case cases[] = {
        {"d zz", "ERROR: 'zz' isn't a valid start address.\n"},
        {"d 0 zz", "ERROR: 'zz' isn't a valid end address or length.\n"},
        {"d 10 f", "ERROR: 'f' isn't a valid end address or length.\n"},
        {"d 0 Lzz", "ERROR: 'Lzz' isn't a valid end address or length.\n"},
        // Areas past the 24-bit address space, also those whose size wraps in 32 bits.
        {"d 0 L1000001", "ERROR: 'L1000001' isn't a valid end address or length.\n"},
        {"d32 0 L40000000", "ERROR: 'L40000000' isn't a valid end address or length.\n"},
        {"f32 fffff0 L400000 1", "ERROR: 'L400000' isn't a valid end address or length.\n"},
        {"s 0 ffffffff 1", "ERROR: 'ffffffff' isn't a valid end address or length.\n"},
        // A start outside the address space is named, not the length that follows it.
        {"d8 1000000 L1", "ERROR: '1000000' isn't a valid start address.\n"},
        {"f 1000000 L1 0", "ERROR: '1000000' isn't a valid start address.\n"},
        {"s ffffffff L1 0", "ERROR: 'ffffffff' isn't a valid start address.\n"},
        {"f 0 L4", "ERROR: Not enough parameters.\n"},
        {"s 0 L4", "ERROR: Not enough parameters.\n"},
        {"f 0 L4 1 zz", "ERROR: 'zz' isn't a valid data parameter.\n"},
        {"f 0 L4 \"\"", "ERROR: '\"\"' isn't a valid data parameter.\n"},
        {"s 0 L4 \"AB\"x", "ERROR: '\"AB\"x' isn't a valid data parameter.\n"},
        {"w zz 1", "ERROR: 'zz' isn't a valid start address.\n"},
        {"w 0 1 zz", "ERROR: 'zz' isn't a valid data parameter.\n"},
        {"w ffffff 1 2", "ERROR: 'ffffff' isn't a valid start address.\n"},
        {"w 1000000", "ERROR: '1000000' isn't a valid start address.\n"},
        {"r 1000000", "ERROR: '1000000' isn't a valid address.\n"},
        {"r32 fffffe", "ERROR: 'fffffe' isn't a valid address.\n"},
    };
    for (const Case& c : cases) {
        bool ok = true;
        EXPECT_EQ(Line(c.m_Line, &ok), c.m_Error) << c.m_Line;
        EXPECT_FALSE(ok) << c.m_Line;
    }
    // Nothing was written by the refused fills and writes.
    EXPECT_EQ(Peek(0, 4), (Bytes{0, 0, 0, 0}));
}

TEST_F(MemCommandsTest, UnitSuffixesOutsideTheTableAreRefused) {
    for (const char* line : {"r12 0", "d0", "f7 0 L1 1", "s64 0 L1 1", "w3 0 1"}) {
        EXPECT_FALSE(Call(line[0] == 'r'   ? CmdRead
                          : line[0] == 'd' ? CmdDump
                          : line[0] == 'f' ? CmdFill
                          : line[0] == 's' ? CmdSearch
                                           : CmdWrite,
                          line))
            << line;
    }
    const std::string text = Output();
    EXPECT_NE(text.find("ERROR: 'r12' isn't a valid command.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ERROR: 's64' isn't a valid command.\n"), std::string::npos) << text;
    EXPECT_EQ(g_ReadState.m_Unit, 1u);
    EXPECT_EQ(g_FillState.m_Unit, 2u);
}

TEST_F(MemCommandsTest, ARefusedArgumentKeepsWhatTheStepsBeforeItStored) {
    EXPECT_FALSE(Run("d16 200 zz"));
    EXPECT_EQ(g_DumpState.m_Unit, 2u);
    EXPECT_EQ(g_DumpState.m_Addr, 0x200u);
    EXPECT_EQ(g_DumpState.m_Len, 0x100u);
    EXPECT_FALSE(Run("f32 300 L2 zz"));
    EXPECT_EQ(g_FillState.m_Unit, 4u);
    EXPECT_EQ(g_FillState.m_Addr, 0x300u);
    EXPECT_EQ(g_FillState.m_Len, 8u);
}

TEST_F(MemCommandsTest, EachCommandKeepsItsOwnState) {
    ASSERT_TRUE(Run("d32 400 L2; f8 500 L3 1; s16 600 L4 0; w16 700 1; r32 800"));
    EXPECT_EQ(g_DumpState.m_Unit, 4u);
    EXPECT_EQ(g_DumpState.m_Addr, 0x408u);
    EXPECT_EQ(g_FillState.m_Unit, 1u);
    EXPECT_EQ(g_FillState.m_Addr, 0x503u);
    EXPECT_EQ(g_SearchState.m_Unit, 2u);
    EXPECT_EQ(g_SearchState.m_Addr, 0x608u);
    EXPECT_EQ(g_WriteState.m_Unit, 2u);
    EXPECT_EQ(g_WriteState.m_Addr, 0x702u);
    EXPECT_EQ(g_ReadState.m_Unit, 4u);
    EXPECT_EQ(g_ReadState.m_Addr, 0x800u);
    // A bare command continues with its own unit and area.
    EXPECT_EQ(Line("d"), "00000400:  -------- --------  00000000 00000000  '--------........'\n");
}

TEST_F(MemCommandsTest, UsageTextsShowTheStem) {
    const std::string text = Line("d16 ?");
    EXPECT_EQ(text.rfind("\n d   [StartAddr [EndAddr|Len]]\n d8  [StartAddr [EndAddr|Len]]\n"
                         " d16 [StartAddr [EndAddr|Len]]\n d32 [StartAddr [EndAddr|Len]]\n\n"
                         " Shows a memory dump starting at StartAddr.\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(g_DumpState.m_Unit, 1u) << "a usage request changes no state";
    for (const char* line : {"r ?", "w ?", "f ?", "s ?"}) {
        bool ok = false;
        EXPECT_NE(Line(line, &ok).find("(default:8-bit)"), std::string::npos) << line;
        EXPECT_TRUE(ok) << line;
    }
}

// --- Width helpers -------------------------------------------------------------------------

TEST_F(MemCommandsTest, MemoryWidthHelpersUseTheirWidth) {
    WriteMemByWidth(0x500, 0x11223344, 4);
    WriteMemByWidth(0x504, 0x5566, 2);
    WriteMemByWidth(0x506, 0x1FF, 1);
    WriteMemByWidth(0x507, 0x1AB, 3); // any other width is 8 bits
    EXPECT_EQ(Peek(0x500, 8), (Bytes{0x44, 0x33, 0x22, 0x11, 0x66, 0x55, 0xFF, 0xAB}));
    EXPECT_EQ(ReadMemByWidth(0x500, 4), 0x11223344u);
    EXPECT_EQ(ReadMemByWidth(0x500, 2), 0x3344u);
    EXPECT_EQ(ReadMemByWidth(0x500, 1), 0x44u);
    EXPECT_EQ(ReadMemByWidth(0x501, 0), 0x33u);
}

TEST_F(MemCommandsTest, RegisterWidthHelpersUseTheirWidth) {
    board::EnableLog(true);
    board::ClearLog();
    WriteRegByBits(16, 0x40, 0x12345);
    WriteRegByBits(8, 0x42, 0x1FF);
    WriteRegByBits(32, 0x44, 1); // no 32-bit registers: nothing reaches the board
    std::vector<std::pair<std::uint32_t, std::uint32_t>> writes;
    for (const board::LogEntry& e : board::TakeLog()) {
        if (e.What == board::LogEntry::Kind::Access && e.Write) {
            writes.emplace_back(e.Address, e.Value & ((1ull << (8 * e.Length)) - 1));
        }
    }
    EXPECT_EQ(writes, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0x60840, 0x2345},
                                                                            {0x60842, 0xFF}}));
    EXPECT_EQ(ReadRegByBits(32, 0x40), 0u);
}

TEST(MemWidthBuffers, LoadAndFillByWidth) {
    struct Case {
        std::uint32_t m_Bytes;
        std::uint32_t m_Count;
        Bytes m_Expected; // the buffer after filling 0x11223344 from offset 1
    };
    const Case cases[] = {
        {1, 3, {0, 0x44, 0x44, 0x44, 0, 0, 0, 0, 0, 0}},
        {2, 2, {0, 0x44, 0x33, 0x44, 0x33, 0, 0, 0, 0, 0}},
        {4, 2, {0, 0x44, 0x33, 0x22, 0x11, 0x44, 0x33, 0x22, 0x11, 0}},
        {3, 2, Bytes(10, 0)},
        {4, 0, Bytes(10, 0)},
    };
    for (const Case& c : cases) {
        Bytes buffer(10, 0);
        FillByWidth(c.m_Bytes, buffer.data() + 1, 0x11223344, c.m_Count);
        EXPECT_EQ(buffer, c.m_Expected) << c.m_Bytes << " x " << c.m_Count;
    }
    const Bytes data{0xFF, 0x01, 0x02, 0x03, 0x84};
    EXPECT_EQ(LoadByWidth(1, data.data() + 1), 0x01u);
    EXPECT_EQ(LoadByWidth(2, data.data() + 1), 0x0201u);
    EXPECT_EQ(LoadByWidth(4, data.data() + 1), 0x84030201u);
    EXPECT_EQ(LoadByWidth(3, data.data() + 1), 0u);
}

TEST_F(MemCommandsTest, AsciiColumnShowsPrintableBytesLowFirst) {
    Output();
    EXPECT_TRUE(PrintAsciiColumn(0x7E1F2041, 4));
    EXPECT_TRUE(PrintAsciiColumn(0x4241, 1));
    EXPECT_EQ(Output(), "A .~A");
}

// --- the board number within a command --------------------------------------------------------

// The statements of a script run within the script's command, which keeps the board number it
// read: RESET to another board within it must still move the next requests, and the board lock,
// to the new board.
TEST_F(MemCommandsTest, ResetWithinACommandMovesItsLaterRequestsToTheNewBoard) {
    const HandlerSwap reset("reset", CmdReset);
    const std::shared_ptr<board::SimBoard> board3 = board::SimBoard::Attach(SimFolder(), 3);
    ASSERT_NE(board3, nullptr);
    board3->PowerOn();
    std::string lockPath;
    bool reset3 = false;
    {
        const HclBoardScope script;
        EXPECT_EQ(Line("f8 40 L4 11"), "");
        Line("reset usb 3", &reset3);
        EXPECT_EQ(Line("f8 40 L4 22"), "");
        oxLockBoard(1);
        lockPath = oxHeldBoardLockPath();
        oxLockBoard(0);
    }
    unsetenv("Q3VBOARD");
    EXPECT_TRUE(reset3);
    EXPECT_EQ(Peek(0x40, 4), Bytes(4, 0x11));
    std::vector<std::uint8_t> onBoard3(4);
    EXPECT_TRUE(board3->ReadMemory(0x40, onBoard3));
    EXPECT_EQ(onBoard3, Bytes(4, 0x22));
    EXPECT_EQ(lockPath.substr(lockPath.rfind('/') + 1), "47264MGEMutex3");
}

} // namespace
} // namespace memtest
