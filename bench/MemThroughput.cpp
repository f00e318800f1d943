// Throughput of display-memory traffic through the whole stack: the memory commands (F and D,
// unit by unit as the commands do them), the front API, CSCL, the USB transport and the
// simulated board, and the front's burst transfers, each next to a plain memcpy of the same
// size measured in the same run.
//
// Counters of each row:
//   MB/s      throughput of the row (10^6 bytes per second of wall time)
//   memcpy    MB/s of a plain memcpy of the same size, measured in this run
//   ratio     memcpy / MB/s: how many times a memcpy is faster than the row
//   us/req    microseconds per request to the board (a unit for F and D, a CSCL chunk of at
//             most 65520 bytes for bursts)
#include "expr/Expr.h"
#include "hcl/HclApi.h"
#include "hcl/HclBoard.h"
#include "hcl/HclStart.h"
#include "hcl/Services.h"
#include "play/Args.h"
#include "play/FileCommands.h"
#include "play/MemCommands.h"
#include "play/Output.h"
#include "play/Session.h"

// The shared test helper: the board folder goes where the tests' folders go.
#include "../tests/support/TempFolder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kCommandBytes = 1u << 20; // F and D: 1 MiB
constexpr uint32_t kBurstBytes = 384u << 10; // bursts: 384 KiB, the whole display memory
constexpr uint32_t kChunkBytes = 65520;      // largest CSCL data chunk

// Standard output sent to /dev/null for the life of the object (D's lines, the layer's
// acquisition lines), so the terminal's speed is not measured.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        m_Saved = dup(STDOUT_FILENO);
        const int sink = open("/dev/null", O_WRONLY);
        dup2(sink, STDOUT_FILENO);
        close(sink);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(m_Saved, STDOUT_FILENO);
        close(m_Saved);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int m_Saved = -1;
};

// A fresh board folder (removed when the program ends), Play's state at start, and the
// controller acquired once.
bool Acquire() {
    static const bool s_Acquired = [] {
        const std::string& folder = q3vtest::ProgramTempFolder("q3v-bench");
        if (folder.empty()) {
            return false;
        }
        setenv("Q3VSIM_DIR", folder.c_str(), 1);
        unsetenv("Q3VBOARD");
        InitSession(0, nullptr);
        InitMemCmdStates();
        QuietStdout quiet;
        return oxHclInitialize();
    }();
    return s_Acquired;
}

// MB/s of memcpy for a size, measured once per size for at least 100 ms.
double MemcpyMBps(uint32_t bytes) {
    static std::map<uint32_t, double> s_Rates;
    if (auto it = s_Rates.find(bytes); it != s_Rates.end()) {
        return it->second;
    }
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    uint64_t copied = 0;
    const auto begin = Clock::now();
    auto now = begin;
    do {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
        copied += bytes;
        now = Clock::now();
    } while (now - begin < std::chrono::milliseconds(100));
    const double seconds = std::chrono::duration<double>(now - begin).count();
    return s_Rates[bytes] = copied / seconds / 1e6;
}

void SetCounters(benchmark::State& state, uint64_t bytes, uint64_t requests, double seconds,
                 uint32_t size) {
    const double mbps = bytes / seconds / 1e6;
    const double memcpy = MemcpyMBps(size);
    state.counters["MB/s"] = mbps;
    state.counters["memcpy"] = memcpy;
    state.counters["ratio"] = memcpy / mbps;
    state.counters["us/req"] = seconds * 1e6 / static_cast<double>(requests);
}

// The board lock held across a whole command when held is set, so the per-request lock of the
// interface table nests and costs no system call: the difference to the row without it is
// the price of taking the lock for every request.
class HeldBoard {
public:
    explicit HeldBoard(bool held) : m_Held(held) {
        if (m_Held) {
            oxLockBoard(1);
        }
    }
    ~HeldBoard() {
        if (m_Held) {
            oxLockBoard(0);
        }
    }
    HeldBoard(const HeldBoard&) = delete;
    HeldBoard& operator=(const HeldBoard&) = delete;

private:
    bool m_Held;
};

// Runs one command line through its handler, as the dispatcher would.
bool RunCommand(CommandHandler handler, const char* line) {
    static ArgVector s_Words;
    const int32_t argc = SplitArgs(line, std::strlen(line), s_Words.Words());
    ExprValue result{};
    const HclBoardScope boardScope;
    return handler(argc, s_Words.Words(), &result);
}

void BM_Memcpy(benchmark::State& state) {
    const auto bytes = static_cast<uint32_t>(state.range(0));
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    uint64_t copied = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
        seconds += std::chrono::duration<double>(Clock::now() - begin).count();
        copied += bytes;
    }
    state.counters["MB/s"] = copied / seconds / 1e6;
}

// F of 1 MiB at the unit given (1, 2 or 4 bytes): one front write per unit.
void BM_FillCommand(benchmark::State& state) {
    if (!Acquire()) {
        state.SkipWithError("the simulated board could not be acquired");
        return;
    }
    const auto unit = static_cast<uint32_t>(state.range(0));
    const HeldBoard held(state.range(1) != 0);
    char line[64];
    std::snprintf(line, sizeof line, "f%u 0 L%X 11 22 33 44", unit * 8, kCommandBytes / unit);
    uint64_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        if (!RunCommand(CmdFill, line)) {
            state.SkipWithError("F failed");
            return;
        }
        seconds += std::chrono::duration<double>(Clock::now() - begin).count();
        bytes += kCommandBytes;
    }
    SetCounters(state, bytes, bytes / unit, seconds, kCommandBytes);
}

// D of 1 MiB at the unit given: one front read per unit, the lines formatted and written to
// /dev/null.
void BM_DumpCommand(benchmark::State& state) {
    if (!Acquire()) {
        state.SkipWithError("the simulated board could not be acquired");
        return;
    }
    const auto unit = static_cast<uint32_t>(state.range(0));
    const HeldBoard held(state.range(1) != 0);
    char line[64];
    std::snprintf(line, sizeof line, "d%u 0 L%X", unit * 8, kCommandBytes / unit);
    const uint32_t halt = g_HaltLines;
    g_HaltLines = 0;
    uint64_t bytes = 0;
    double seconds = 0;
    bool ok = true;
    {
        QuietStdout quiet;
        for (auto _ : state) {
            const auto begin = Clock::now();
            ok = ok && RunCommand(CmdDump, line);
            seconds += std::chrono::duration<double>(Clock::now() - begin).count();
            bytes += kCommandBytes;
        }
    }
    g_HaltLines = halt;
    if (!ok) {
        state.SkipWithError("D failed");
        return;
    }
    SetCounters(state, bytes, bytes / unit, seconds, kCommandBytes);
}

// A 384 KiB burst write through the front (32-bit elements).
void BM_BurstWrite(benchmark::State& state) {
    if (!Acquire()) {
        state.SkipWithError("the simulated board could not be acquired");
        return;
    }
    std::vector<uint32_t> data(kBurstBytes / 4);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint32_t>(i * 2654435761u);
    }
    uint64_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        oxHclBurstWriteMemory32(0, data.data(), static_cast<uint32_t>(data.size()));
        seconds += std::chrono::duration<double>(Clock::now() - begin).count();
        bytes += kBurstBytes;
    }
    const uint64_t chunks = (kBurstBytes + kChunkBytes - 1) / kChunkBytes;
    SetCounters(state, bytes, bytes / kBurstBytes * chunks, seconds, kBurstBytes);
}

// A 384 KiB burst read through the front (32-bit elements).
void BM_BurstRead(benchmark::State& state) {
    if (!Acquire()) {
        state.SkipWithError("the simulated board could not be acquired");
        return;
    }
    std::vector<uint32_t> data(kBurstBytes / 4);
    uint64_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        oxHclBurstReadMemory32(0, data.data(), static_cast<uint32_t>(data.size()));
        benchmark::DoNotOptimize(data.data());
        seconds += std::chrono::duration<double>(Clock::now() - begin).count();
        bytes += kBurstBytes;
    }
    const uint64_t chunks = (kBurstBytes + kChunkBytes - 1) / kChunkBytes;
    SetCounters(state, bytes, bytes / kBurstBytes * chunks, seconds, kBurstBytes);
}

// MB/s of one 384 KiB burst write or read through the front, measured once each for at least
// 100 ms: the rows FLOAD and FDUMP stand next to.
double BurstMBps(bool write) {
    static std::map<bool, double> s_Rates;
    if (auto it = s_Rates.find(write); it != s_Rates.end()) {
        return it->second;
    }
    std::vector<uint32_t> data(kBurstBytes / 4, 0x5A5A5A5A);
    uint64_t moved = 0;
    const auto begin = Clock::now();
    auto now = begin;
    do {
        if (write) {
            oxHclBurstWriteMemory32(0, data.data(), static_cast<uint32_t>(data.size()));
        } else {
            oxHclBurstReadMemory32(0, data.data(), static_cast<uint32_t>(data.size()));
        }
        moved += kBurstBytes;
        now = Clock::now();
    } while (now - begin < std::chrono::milliseconds(100));
    const double seconds = std::chrono::duration<double>(now - begin).count();
    return s_Rates[write] = moved / seconds / 1e6;
}

// The 384 KiB raw file of the file-command rows, written once.
const std::string& RawFile() {
    static const std::string s_Path = [] {
        const std::string path = q3vtest::ProgramTempFolder("q3v-bench") + "/raw384k.bin";
        std::vector<uint8_t> bytes(kBurstBytes);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>(i * 131);
        }
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }();
    return s_Path;
}

// FLOAD32 (write: 0) or FDUMP32 (1) of the 384 KiB raw file in burst mode, beside a plain burst
// of the same size in the same run: ratio = time(command) / time(burst).
void BM_FileCommand(benchmark::State& state) {
    if (!Acquire()) {
        state.SkipWithError("the simulated board could not be acquired");
        return;
    }
    const bool dump = state.range(0) != 0;
    char line[512];
    if (dump) {
        std::snprintf(line, sizeof line, "fdump32 %s.out mem 0 L%X", RawFile().c_str(),
                      kBurstBytes / 4);
    } else {
        std::snprintf(line, sizeof line, "fload32 %s mem 0 *", RawFile().c_str());
    }
    const double burst = BurstMBps(!dump);
    uint64_t bytes = 0;
    double seconds = 0;
    bool ok = true;
    {
        QuietStdout quiet;
        for (auto _ : state) {
            const auto begin = Clock::now();
            ok = ok && RunCommand(dump ? CmdFdump : CmdFload, line);
            seconds += std::chrono::duration<double>(Clock::now() - begin).count();
            bytes += kBurstBytes;
        }
    }
    if (!ok) {
        state.SkipWithError(dump ? "FDUMP failed" : "FLOAD failed");
        return;
    }
    const double mbps = bytes / seconds / 1e6;
    state.counters["MB/s"] = mbps;
    state.counters["burst"] = burst;
    state.counters["ratio"] = burst / mbps;
}

} // namespace

BENCHMARK(BM_Memcpy)->Arg(kCommandBytes)->Arg(kBurstBytes);
// Rows: unit 1, 2, 4 bytes as the commands do them; then unit 1 with the board lock held
// across the command (held:1), which shows what the per-request lock costs.
BENCHMARK(BM_FillCommand)
    ->ArgNames({"unit", "held"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({4, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DumpCommand)
    ->ArgNames({"unit", "held"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({4, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BurstWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BurstRead)->Unit(benchmark::kMillisecond);
// Rows: FLOAD (dump:0) and FDUMP (dump:1) of a 384 KiB raw file in burst mode.
BENCHMARK(BM_FileCommand)->ArgName("dump")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
