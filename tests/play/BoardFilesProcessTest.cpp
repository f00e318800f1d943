// One board per folder, whatever happens to its files while plays run: a play whose state file
// is removed, cut short or replaced fails its accesses with the transport's error (no signal,
// nothing written to a file nobody else sees) and a new play starts on the new file; a lock file
// removed or replaced by a folder never lets two plays run unserialised; dumps and logs refuse
// the board's own files.
#include "PipedPlay.h"
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Folders {
    q3vtest::TempFolder Root{"q3v-boardfiles"};
    std::string Board() const { return Root.Path() + "/sim"; }
    std::string Work() const { return Root.Path() + "/work"; }
    std::string State() const { return Board() + "/board-0.state"; }
    std::string Lock() const { return Board() + "/47264MGEMutex0"; }
    Folders() {
        fs::create_directories(Board());
        fs::create_directories(Work());
    }
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const char kUnplugged[] = "IOCTL failed";

struct StateFileCase {
    const char* Name;
    std::function<void(const Folders&)> Change;
};

TEST(BoardFilesProcess, AStateFileGoneUnderARunningPlayUnplugsItsBoard) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const StateFileCase cases[] = {
        {"removed", [](const Folders& f) { fs::remove(f.State()); }},
        {"truncated", [](const Folders& f) { fs::resize_file(f.State(), 4096); }},
        {"replaced",
         [](const Folders& f) {
             fs::copy_file(f.State(), f.State() + ".new");
             fs::rename(f.State() + ".new", f.State());
         }},
        {"moved away", [](const Folders& f) { fs::rename(f.State(), f.Board() + "/kept"); }},
    };
    for (const StateFileCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const Folders folders;
        q3vtest::PipedPlay play(folders.Board(), folders.Work());
        const std::string written = play.Type("w16 100 1234");
        ASSERT_TRUE(Contains(written, "00000100:  1234")) << written;
        c.Change(folders);
        // The access that finds the file gone and the next fail with the transport's error.
        const std::string first = play.Type("w16 200 abcd");
        EXPECT_TRUE(Contains(first, kUnplugged)) << first;
        const std::string next = play.Type("r16 100");
        EXPECT_TRUE(Contains(next, kUnplugged)) << next;
        std::string rest;
        const int code = play.Finish(&rest);
        EXPECT_TRUE(code == 0 || code == 1) << code << rest;

        // A new play is on the new file: the write after the change is nowhere.
        const q3vtest::PlayRun after = q3vtest::RunPlay(folders.Board(), "r16 200");
        EXPECT_EQ(after.Code, 0) << after.Output;
        EXPECT_TRUE(Contains(after.Output, "00000200:  0000")) << after.Output;
    }
}

// A RESET after the file went attaches the new file, as a new play does.
TEST(BoardFilesProcess, AResetAfterTheStateFileWentUsesTheNewFile) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt());
    const Folders folders;
    q3vtest::PipedPlay play(folders.Board(), folders.Work());
    play.Type("w16 100 1234");
    fs::remove(folders.State());
    EXPECT_TRUE(Contains(play.Type("r16 100"), kUnplugged));
    const std::string reset = play.Type("reset usb 0");
    EXPECT_TRUE(Contains(reset, " done.")) << reset;
    EXPECT_TRUE(Contains(play.Type("w16 100 5678"), "00000100:  5678"));
    EXPECT_EQ(play.Finish(), 0);
    const q3vtest::PlayRun after = q3vtest::RunPlay(folders.Board(), "r16 100");
    EXPECT_TRUE(Contains(after.Output, "00000100:  5678")) << after.Output;
}

// Two plays write and read back their own addresses, before and after the lock file goes (or is
// cut short, its mutex with it); a read never returns another value than the one written just
// before it.
struct LockFileCase {
    const char* Name;
    std::function<void(const Folders&)> Change;
    bool AccessesFail; // no lock can be had after the change
};

int WrongReads(q3vtest::PipedPlay& play, unsigned base, unsigned rounds, unsigned* failed) {
    int wrong = 0;
    for (unsigned i = 0; i < rounds; ++i) {
        char address[16];
        char value[16];
        std::snprintf(address, sizeof address, "%X", base + i * 4);
        std::snprintf(value, sizeof value, "%08X", 0x5A000000u + base + i);
        play.Type(std::string("w32 ") + address + " " + value);
        const std::string read = play.Type(std::string("r32 ") + address);
        if (Contains(read, kUnplugged)) {
            ++*failed;
        } else if (!Contains(read, std::string(":  ") + value)) {
            ++wrong;
        }
    }
    return wrong;
}

TEST(BoardFilesProcess, ALockFileGoneNeverLetsTwoPlaysInterleave) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt());
    const LockFileCase cases[] = {
        {"removed", [](const Folders& f) { fs::remove(f.Lock()); }, false},
        {"moved away", [](const Folders& f) { fs::rename(f.Lock(), f.Board() + "/old"); }, false},
        {"cut short", [](const Folders& f) { fs::resize_file(f.Lock(), 0); }, false},
        {"replaced by a folder",
         [](const Folders& f) {
             fs::remove(f.Lock());
             fs::create_directory(f.Lock());
         },
         true},
    };
    constexpr unsigned kRounds = 150;
    for (const LockFileCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const Folders folders;
        q3vtest::PipedPlay a(folders.Board(), folders.Work());
        q3vtest::PipedPlay b(folders.Board(), folders.Work());
        unsigned failed = 0;
        EXPECT_EQ(WrongReads(a, 0x1000, 4, &failed), 0);
        EXPECT_EQ(WrongReads(b, 0x2000, 4, &failed), 0);
        EXPECT_EQ(failed, 0u);
        c.Change(folders);
        // One play's next access comes before any other play opens the file again.
        unsigned failedFirst = 0;
        EXPECT_EQ(WrongReads(a, 0x3000, 1, &failedFirst), 0);
        EXPECT_EQ(failedFirst, c.AccessesFail ? 1u : 0u);
        // A newcomer after the change, and the two plays from before, all at once.
        q3vtest::PipedPlay late(folders.Board(), folders.Work());
        int wrongA = 0;
        int wrongB = 0;
        int wrongLate = 0;
        unsigned failedA = 0;
        unsigned failedB = 0;
        unsigned failedLate = 0;
        std::thread second([&] { wrongB = WrongReads(b, 0x20000, kRounds, &failedB); });
        std::thread third([&] {
            if (!c.AccessesFail) {
                wrongLate = WrongReads(late, 0x30000, kRounds, &failedLate);
            }
        });
        wrongA = WrongReads(a, 0x10000, kRounds, &failedA);
        second.join();
        third.join();
        EXPECT_EQ(wrongA + wrongB + wrongLate, 0);
        if (c.AccessesFail) {
            EXPECT_EQ(failedA + failedB, 2 * kRounds) << "no lock, no access";
            EXPECT_TRUE(Contains(late.Banner(), kUnplugged)) << late.Banner();
        } else {
            EXPECT_EQ(failedA + failedB + failedLate, 0u);
        }
        for (q3vtest::PipedPlay* play : {&a, &b, &late}) {
            const int code = play->Finish();
            EXPECT_TRUE(code == 0 || code == 1) << code;
        }
    }
}

// Every route that opens a file by name for writing refuses the board's own files, whatever the
// name that reaches them: the board survives, the file keeps its size, no signal.
struct WriteRouteCase {
    const char* Words; // the line typed (or the switch and command given), in the board's folder
    const char* Link;  // another name made for a board file first ("" for none)
    const char* Target;
    bool Symbolic;
    const char* Refusal;
};

TEST(BoardFilesProcess, WritingRoutesRefuseTheBoardsOwnFiles) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt());
    const WriteRouteCase cases[] = {
        {"fdump board-0.state mem 0 L10", "", "", false, "ERROR: File open"},
        {"fdump 47264MGEMutex0 mem 0 L10", "", "", false, "ERROR: File open"},
        {"fdump ./board-0.state reg 0 L2", "", "", false, "ERROR: File open"},
        {"fdump a.bin mem 0 L10 a=on", "a.bin", "board-0.state", false, "ERROR: File open"},
        {"fdump pic.ppm mem 0 L8 w=4 h=2 f=1", "pic.ppm", "board-0.state", true,
         "ERROR: File open"},
        {"fdump pic.pgm mem 0 L8 w=4 h=2 f=1", "pic.pgm", "47264MGEMutex0", false,
         "ERROR: File open"},
        {"show mem:500 w=2 h=2 f=2 pat=fill fdump", "show.raw", "board-0.state", true,
         "ERROR: File open"},
        {"flog board-0.state", "", "", false,
         "ERROR: Could not open file 'board-0.state' for writing."},
        {"flog log.txt", "log.txt", "47264MGEMutex0", true,
         "ERROR: Could not open file 'log.txt' for writing."},
        {"/debug:w:board-0.state w16 200 5", "", "", false,
         "Error opening debug logfile board-0.state"},
    };
    for (const WriteRouteCase& c : cases) {
        SCOPED_TRACE(c.Words);
        const Folders folders;
        const std::string board = folders.Board();
        ASSERT_EQ(q3vtest::RunPlay(board, "w16 100 1234", "", board).Code, 0);
        if (c.Link[0] != '\0') {
            const fs::path target = fs::path(board) / c.Target;
            const fs::path link = fs::path(board) / c.Link;
            if (c.Symbolic) {
                fs::create_symlink(c.Target, link);
            } else {
                fs::create_hard_link(target, link);
            }
        }
        const auto stateSize = fs::file_size(folders.State());
        const auto lockSize = fs::file_size(folders.Lock());
        // Typed at the prompt (a one-shot command's words would be lower-cased); switches are
        // given on the command line.
        const bool typed = c.Words[0] != '/';
        const std::string input = folders.Work() + "/input.txt";
        std::ofstream(input) << (typed ? c.Words : "") << "\n";
        const q3vtest::PlayRun run = q3vtest::RunPlay(board, typed ? "" : c.Words, input, board);
        EXPECT_TRUE(run.Code == 0 || run.Code == 1) << run.Output;
        EXPECT_TRUE(Contains(run.Output, c.Refusal)) << run.Output;
        EXPECT_EQ(fs::file_size(folders.State()), stateSize);
        EXPECT_EQ(fs::file_size(folders.Lock()), lockSize);
        const q3vtest::PlayRun after = q3vtest::RunPlay(board, "r16 100", "", board);
        EXPECT_TRUE(Contains(after.Output, "00000100:  1234")) << after.Output;
    }
}

} // namespace
