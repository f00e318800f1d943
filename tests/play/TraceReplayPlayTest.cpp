// The /debug: trace of the built `play` is a script: each line it writes is a command of the
// table or a comment, and the log fed to `play` on a fresh board gives that board the display
// memory of the traced run.
//
// The traced sessions use only the memory commands: the register commands (X) are not built,
// so the "x" lines a register access writes would be refused in a replay ("not implemented
// yet"), and the register state is not compared.
#include "board/SimBoard.h"
#include "common/Text.h"
#include "play/Commands.h"
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A session of memory commands whose result depends on their order: later writes and fills
// overwrite parts of earlier ones; repeated identical writes, quoted text, the remembered
// unit, both end forms of F, the last word of display memory, and reads that reach the trace;
// Q ends it.
constexpr const char* kSession = "w8 100 1 2 3\n"
                                 "w16 200 1234 5678 9abc\n"
                                 "w32 300 11223344 aabbccdd ffffffff\n"
                                 "w8 3000 \"AB\"\n"
                                 "w8 110 55\n"
                                 "w8 110 55\n"
                                 "w8 110 55\n"
                                 "w 111 66\n"
                                 "f 400 L8 1 2 3\n"
                                 "f16 500 51f 77\n"
                                 "f8 600 L3 55\n"
                                 "f32 700 L3 deadbeef 0\n"
                                 "w16 2000 1111\n"
                                 "f16 2000 L4 2222 3333\n"
                                 "w8 2001 44\n"
                                 "w32 5fffc 87654321\n"
                                 "r16 200\n"
                                 "r 100 101\n"
                                 "d 100 L10\n"
                                 "s8 100 L10 2 3\n"
                                 "q\n"; // the trace is written when Q ends the session too

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

// Display memory and look-up tables of board 0 in the folder; empty when it cannot be read.
std::vector<std::uint8_t> MemoryOf(const std::string& folder) {
    std::vector<std::uint8_t> bytes(board::kMemoryMapEnd);
    const auto simBoard = board::SimBoard::Attach(folder, 0);
    if (simBoard == nullptr || !simBoard->ReadMemory(0, bytes)) {
        bytes.clear();
    }
    return bytes;
}

// The lines of the log that are neither a comment nor a built command of the table, each with
// its line number; a blank line counts as such a line too.
std::string LinesThatAreNoScript(const std::string& log) {
    std::string faults;
    std::istringstream in(log);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line[0] == '\'') {
            continue;
        }
        std::string word = line.substr(0, line.find_first_of(" \t"));
        LowerAsciiInPlace(word.data());
        uint32_t row = 0;
        if (word.empty() || !FindCommand(word.c_str(), &row) ||
            g_Commands[row].m_Handler == nullptr) {
            faults += std::to_string(number) + ": " + line + "\n";
        }
    }
    return faults;
}

// "" when the two memories are the same, else the first differing address and both bytes.
std::string FirstDifference(const std::vector<std::uint8_t>& traced,
                            const std::vector<std::uint8_t>& replayed) {
    if (traced.size() != replayed.size()) {
        return "the memories have different sizes";
    }
    for (std::size_t a = 0; a < traced.size(); ++a) {
        if (traced[a] != replayed[a]) {
            char text[96];
            std::snprintf(text, sizeof text, "at %05zX: traced %02X, replayed %02X", a, traced[a],
                          replayed[a]);
            return text;
        }
    }
    return "";
}

class TraceReplay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
        ASSERT_FALSE(m_Work.Path().empty());
    }

    // Checks that the log is a script, feeds it to play on the fresh board folder "replayed"
    // (no line may be refused), and compares the display memories of the two boards.
    void ExpectReplayGivesTheSameMemory(const std::string& tracedBoard) {
        const std::string log = ReadText(m_Work.File("trace.log"));
        ASSERT_FALSE(log.empty()) << "no trace written";
        EXPECT_EQ(LinesThatAreNoScript(log), "") << log;

        const q3vtest::PlayRun replay =
            q3vtest::RunPlay(Folder("replayed"), "", m_Work.File("trace.log"));
        EXPECT_EQ(replay.Code, 0) << replay.Output;
        EXPECT_EQ(replay.Output.find("ERROR"), std::string::npos) << replay.Output;

        const std::vector<std::uint8_t> traced = MemoryOf(tracedBoard);
        const std::vector<std::uint8_t> replayed = MemoryOf(Folder("replayed"));
        ASSERT_FALSE(traced.empty());
        EXPECT_EQ(FirstDifference(traced, replayed), "") << log;
    }

    // A board folder in the work folder (made when missing).
    std::string Folder(const char* name) {
        const std::string folder = m_Work.File(name);
        std::filesystem::create_directories(folder);
        return folder;
    }

    q3vtest::TempFolder m_Work{"q3v-tracereplay"}; // logs and boards, removed in every outcome
};

class TraceReplayPlay : public TraceReplay, public ::testing::WithParamInterface<const char*> {};

TEST_P(TraceReplayPlay, ALoggedSessionReplaysToTheSameMemory) {
    ASSERT_TRUE(WriteText(m_Work.File("session.txt"), kSession));
    const std::string letters = GetParam();
    const q3vtest::PlayRun traced =
        q3vtest::RunPlay(Folder("traced"), "/debug:" + letters + ":trace.log",
                         m_Work.File("session.txt"), m_Work.Path());
    ASSERT_EQ(traced.Code, 0) << traced.Output;
    ASSERT_EQ(traced.Output.find("ERROR"), std::string::npos) << traced.Output;

    // The session wrote what its order gives (so equal memories are no two empty boards).
    const std::vector<std::uint8_t> memory = MemoryOf(Folder("traced"));
    ASSERT_FALSE(memory.empty());
    EXPECT_EQ(std::vector<std::uint8_t>(memory.begin() + 0x2000, memory.begin() + 0x2008),
              (std::vector<std::uint8_t>{0x22, 0x44, 0x33, 0x33, 0x22, 0x22, 0x33, 0x33}));
    EXPECT_EQ(memory[0x110], 0x55);
    EXPECT_EQ(memory[0x111], 0x66);

    ExpectReplayGivesTheSameMemory(Folder("traced"));
}

// Reads alone, writes alone (either records every access) and all three letters, the expand
// letter with them.
INSTANTIATE_TEST_SUITE_P(Letters, TraceReplayPlay, ::testing::Values("w", "r", "rwx"));

TEST_F(TraceReplay, ATraceAskedWithOneCommandHoldsItsWrite) {
    const q3vtest::PlayRun traced =
        q3vtest::RunPlay(Folder("traced"), "/debug:w:trace.log w16 1000 55aa", "", m_Work.Path());
    ASSERT_EQ(traced.Code, 0) << traced.Output;
    const std::string log = ReadText(m_Work.File("trace.log"));
    EXPECT_NE(log.find("w16 1000 55AA\n"), std::string::npos) << log;
    const std::vector<std::uint8_t> memory = MemoryOf(Folder("traced"));
    ASSERT_FALSE(memory.empty());
    EXPECT_EQ(memory[0x1000], 0xAA);
    EXPECT_EQ(memory[0x1001], 0x55);
    ExpectReplayGivesTheSameMemory(Folder("traced"));
}

} // namespace
