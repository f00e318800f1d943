// Play's files, scripts and texts as a user meets them on a fresh board, input piped and ended:
// every failure is said, every size is right and no line is skipped. Each row is typed (or
// given as the command's words) and names the line it shows and the exit code.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <span>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Case {
    const char* Name;
    std::string Words;  // command-line words (shell syntax)
    std::string Input;  // lines piped in; "{WORK}" stands for the work folder
    int Code;           // play's exit code
    std::string Shows;  // a text of the output
    std::string Absent; // a text the output must not hold ("" = none)
};

std::string Replace(std::string text, const std::string& mark, const std::string& by) {
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
        text.replace(at, mark.size(), by);
        at += by.size();
    }
    return text;
}

// A file of the size whose bytes are all zero, taking no room on the disk.
bool MakeSparseFile(const std::string& path, off_t size) {
    std::ofstream(path, std::ios::binary).close();
    return ::truncate(path.c_str(), size) == 0;
}

// The files the rows read: a 4 GiB + 5 byte file, an empty one, one larger than display memory,
// a script holding a NUL byte, the same small script in two folders, and SHOW's dump file
// leading to /dev/full.
void MakeFiles(const q3vtest::PlayBench& bench) {
    ASSERT_TRUE(MakeSparseFile(bench.WorkFile("b.bin"), 0x100000005));
    ASSERT_TRUE(MakeSparseFile(bench.WorkFile("big.bin"), 0x1100000));
    bench.WriteFile("empty.bin", "");
    bench.WriteFile("n.txt", std::string("print \"a\\n\"\n\0print \"b\\n\"\n", 26));
    ::mkdir(bench.WorkFile("sub").c_str(), 0700);
    ::mkdir(bench.WorkFile("abs").c_str(), 0700);
    ::mkdir(bench.WorkFile("abs/sub").c_str(), 0700);
    bench.WriteFile("sub/x.txt", "print \"x ran\\n\"\n");
    bench.WriteFile("abs/sub/x.txt", "print \"abs x ran\\n\"\n");
    ASSERT_EQ(::symlink("/dev/full", bench.WorkFile("show.raw").c_str()), 0);
}

// Runs each row in folder ("{WORK}" in its input and its text stands for the folder).
void RunCases(const q3vtest::PlayBench& bench, std::span<const Case> cases,
              const std::string& folder) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string inputPath = bench.WorkFile("input.txt");
        std::ofstream(inputPath, std::ios::binary) << Replace(c.Input, "{WORK}", folder);
        const q3vtest::PlayRun run = q3vtest::RunPlay(bench.Board(), c.Words, inputPath, folder);
        EXPECT_EQ(run.Code, c.Code) << run.Output;
        EXPECT_NE(run.Output.find(Replace(c.Shows, "{WORK}", folder)), std::string::npos)
            << run.Output;
        if (!c.Absent.empty()) {
            EXPECT_EQ(run.Output.find(c.Absent), std::string::npos) << run.Output;
        }
    }
}

const std::string kEightEntries = "runpath p1 p2 p3 p4 p5 p6 p7 p8\n";

TEST(FilesAndTextsProcess, EveryFailureIsSaidAndEverySizeIsRight) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const std::string many(200, 'A');
    const std::string runNotFound = "ERROR: 'sub/x' is not a valid command or script file which "
                                    "can be opened (last path tried 'p8/sub/x.txt').\n";
    const Case cases[] = {
        // FSIZE: a count past 32 bits is refused, never wrapped; in 32-bit units it fits.
        {"fsize of 4 GiB + 5 bytes", "", "$a = fsize b.bin\ncalc $a\n", 0,
         "ERROR: The size of 'b.bin' in 8-bit units does not fit in 32 bits.\n", "5h (5t)"},
        {"fsize of 4 GiB + 5 bytes, one-shot", "fsize b.bin", "", 1,
         "ERROR: The size of 'b.bin' in 8-bit units does not fit in 32 bits.\n", ""},
        {"fsize32 of 4 GiB + 5 bytes", "", "$a = fsize32 b.bin\ncalc $a\n", 0,
         "40000001h (1073741825t)\n", "ERROR"},
        // FLOG: the failed write is said once, with the name and the reason, and logging stops.
        {"flog to /dev/full", "", "flog /dev/full\nd 0 L10\nflog nul\n", 0,
         "ERROR: Could not write to log file '/dev/full' (No space left on device).\n"
         "FLOG stopped file logging.\n",
         ""},
        // The trace that cannot be written says so before the run fails.
        {"trace to /dev/full", "/debug:rw:/dev/full w16 100 1", "", 1,
         "Error writing debug logfile /dev/full: No space left on device\n", ""},
        // A NUL byte: the script is refused with its line, nothing of it runs.
        {"script with a NUL byte", "/nocard run n", "", 1, "n.txt' holds a NUL byte in line 2.\n",
         "\nb\n"},
        // RUNPATH: an absolute path is taken as given; a relative one through the entries, the
        // error naming what was typed.
        {"absolute script path with 8 entries", "", kEightEntries + "run {WORK}/abs/sub/x\n", 0,
         "abs x ran\n", "ERROR"},
        {"relative script path with 8 entries", "", kEightEntries + "run sub/x\n", 0, runNotFound,
         ""},
        {"relative script path through an entry naming the folder", "",
         "runpath p1 p2 p3 p4 p5 p6 p7 .\nrun sub/x\n", 0, "\nx ran\n", "ERROR"},
        {"relative script path, one-shot", "/nocard run sub/x", "", 0, "\nx ran\n", "ERROR"},
        // FDUMP and FLOAD name the start word when the start lies outside display memory.
        {"fdump past display memory", "fdump o.bin mem 1000000 L1", "", 1,
         "ERROR: '1000000' isn't a valid start address.\n", ""},
        {"fload past display memory", "fload o.bin mem 1000000 L1", "", 1,
         "ERROR: '1000000' isn't a valid start address.\n", ""},
        // An empty file ends FLOAD quietly with success, in bursts as unit by unit.
        {"fload of an empty file in bursts", "fload empty.bin mem 0 L10", "", 0,
         "empty.bin->Memory", "ERROR"},
        {"fload of an empty file, whole", "fload empty.bin mem 0 '*'", "", 0, "empty.bin->Memory",
         "ERROR"},
        {"fload of an empty file unit by unit", "fload empty.bin mem 0 L10 b=off", "", 0,
         "empty.bin->Memory", "ERROR"},
        // A file larger than display memory is named so.
        {"fload of a file larger than display memory", "fload big.bin mem 0 '*'", "", 1,
         "ERROR: 'big.bin' is too large for display memory at 0h.\n", ""},
        {"fload of a file larger than display memory to main", "fload big.bin main", "", 1,
         "ERROR: 'big.bin' is too large for display memory at ", ""},
        {"fload of a length past display memory", "fload big.bin mem fffff0 L100", "", 1,
         "ERROR: 'l100' isn't a valid end address or length.\n", ""},
        // SHOW's dump that cannot be written is a failed write, not a failed open.
        {"show fdump to /dev/full", "", "show mem:0 w=4 h=4 f=1 fdump\n", 0, "ERROR: File write\n",
         "File open"},
        // RESET's board word goes through the number parser.
        {"reset usb 3t", "reset usb 3t", "", 0, " done. Current board number is 3\n", "ERROR"},
        {"reset usb (1+2)", "reset usb '(1+2)'", "", 0, " done. Current board number is 3\n",
         "ERROR"},
        {"reset usb with a number past 64 bits", "reset usb 99999999999999999999", "", 1,
         "ERROR: Invalid/missing argument.\n", ""},
        {"reset usb with a number past 32 bits", "reset usb 4294967299", "", 1,
         " failed. 4294967299 is an invalid board number\n", ""},
        // A data list over 128 values is refused before anything is written.
        {"w8 with 200 values", "", "w8 0 \"" + many + "\"\nd8 0 L1\n", 0,
         "ERROR: Too many data values (at most 128).\n\n=d8 0 L1\n00000000:  00 ", ""},
        {"f8 with 200 values", "", "f8 0 L10 \"" + many + "\"\nd8 0 L1\n", 0,
         "ERROR: Too many data values (at most 128).\n\n=d8 0 L1\n00000000:  00 ", ""},
        {"s8 with 200 values", "", "s8 0 L10 \"" + many + "\"\n", 0,
         "ERROR: Too many data values (at most 128).\n", ""},
        {"xf with 200 values", "", "xf 24 1 \"" + many + "\"\nx 24\n", 0,
         "ERROR: Too many data values (at most 128).\n\n=x 24\n[24] > 0000", ""},
        {"xfb with 200 values", "", "xfb 24 1 \"" + many + "\"\n", 0,
         "ERROR: Too many data values (at most 128).\n", ""},
        {"w8 with 128 values", "", "w8 0 \"" + many.substr(0, 128) + "\"\nd8 7F L1\n", 0,
         "0000007F:  41 ", "ERROR"},
        // SET lists each variable's own value.
        {"set listing after set $$$x", "", "set $$$x 1\nset $x 5\nset\n", 0,
         "=set\n$$x = 1h (1t)\n$x = 5h (5t)\n", ""},
        // An empty command word is a word: dispatched, and it fails.
        {"an empty command word", "''", "", 1,
         "ERROR: '' is not a valid command or script file which can be opened.\n", ""},
        // fexist counts whatever exists: a folder, a device.
        {"fexist of a folder and a device", "",
         "calc fexist[\".\"]\ncalc fexist[\"/dev/null\"]\ncalc fexist[\"none\"]\n", 0,
         "=calc fexist[\".\"]\n1h (1t)\n\n=calc fexist[\"/dev/null\"]\n1h (1t)\n\n"
         "=calc fexist[\"none\"]\n0h (0t)\n",
         ""},
    };
    const q3vtest::PlayBench bench;
    MakeFiles(bench);
    RunCases(bench, cases, bench.Work());
}

// A small file system that is full: writes to it fail as on a full disk. Mounting needs the
// right to mount; without it the rows that need one are skipped.
class FullTmpfs {
public:
    explicit FullTmpfs(const std::string& path) : m_Path(path) {
        ::mkdir(path.c_str(), 0700);
        const std::string mount =
            "mount -t tmpfs -o size=4k tmpfs " + q3vtest::ShellWord(path) + " >/dev/null 2>&1";
        m_Mounted = std::system(mount.c_str()) == 0;
        if (!m_Mounted) {
            return;
        }
        // Filled up to the last byte.
        std::FILE* filler = std::fopen((path + "/filler").c_str(), "wb");
        const std::string block(512, 'f');
        while (filler != nullptr &&
               std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        if (filler != nullptr) {
            std::fclose(filler);
        }
    }
    ~FullTmpfs() {
        if (m_Mounted) {
            const std::string unmount = "umount " + q3vtest::ShellWord(m_Path) + " >/dev/null 2>&1";
            EXPECT_EQ(std::system(unmount.c_str()), 0);
        }
    }
    FullTmpfs(const FullTmpfs&) = delete;
    FullTmpfs& operator=(const FullTmpfs&) = delete;

    bool Mounted() const { return m_Mounted; }

private:
    std::string m_Path;
    bool m_Mounted = false;
};

TEST(FilesAndTextsProcess, AFullDiskIsSaid) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    const FullTmpfs full(bench.WorkFile("full"));
    if (!full.Mounted()) {
        GTEST_SKIP() << "a tmpfs cannot be mounted here";
    }
    const Case cases[] = {
        {"flog onto a full disk", "", "flog {WORK}/log.txt\nd 0 L100\nflog nul\n", 0,
         "ERROR: Could not write to log file '{WORK}/log.txt' (No space left on device).\n"
         "FLOG stopped file logging.\n",
         ""},
        {"trace onto a full disk", "/debug:rw:trace.log w16 100 1", "", 1,
         "Error writing debug logfile trace.log: No space left on device\n", ""},
        {"show fdump onto a full disk", "", "show mem:0 w=4 h=4 f=1 fdump\n", 0,
         "ERROR: File write\n", "File open"},
    };
    // Every row runs in the full folder.
    RunCases(bench, cases, bench.WorkFile("full"));
}

// A burst FLOAD of N lengths reads N lengths of the file, not the whole file: the peak resident
// size of play (its own test process has no other child) stays far below the file's size.
TEST(FilesAndTextsProcess, ABurstOfFewLengthsReadsNoMoreOfTheFile) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    constexpr off_t kFileSize = off_t{1} << 30;
    ASSERT_TRUE(MakeSparseFile(bench.WorkFile("huge.bin"), kFileSize));
    const q3vtest::PlayRun run = bench.Run("fload huge.bin mem 0 L10 n=1");
    EXPECT_EQ(run.Code, 0) << run.Output;
    EXPECT_NE(run.Output.find("Len=00010h Data=8-bits\nnTimes=1 "), std::string::npos)
        << run.Output;
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    const long peakBytes = usage.ru_maxrss * 1024L;
    EXPECT_LT(peakBytes, kFileSize / 4) << "peak resident size " << peakBytes;
}

} // namespace
