// Cost of the INI import on large files: ChipDef::ImportIniFile (the file read from disk, parsed
// and imported) of a file whose [LCD1Regs] holds N lines, and of one that holds N sections, next
// to the import of a file of the same N lines as comments, measured in the same run: the reader's
// pass over the lines that the import then finds nothing in.
//
// Counters (processor time of the thread, so that a loaded machine moves them less):
//   ms       milliseconds per import of the file of the row
//   plain_ms milliseconds per import of the file of N comment lines, the best of 5, this run
//   ratio    ms / plain_ms: how much the sections and keys cost beyond reading the lines
#include "chipdef/ChipDef.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

enum class Shape { KeyLines, Sections, Comments };

// The text of an INI file: the chip section, then N lines of the shape.
std::string IniText(Shape shape, int64_t lines) {
    std::string text = "[47K20]\nClkI=016E3600\n";
    if (shape == Shape::KeyLines) {
        text += "[LCD1Regs]\n";
    }
    char line[64];
    for (int64_t i = 0; i < lines; ++i) {
        switch (shape) {
        case Shape::KeyLines:
            std::snprintf(line, sizeof line, "%lld=00000001\n", static_cast<long long>(i));
            break;
        case Shape::Sections:
            std::snprintf(line, sizeof line, "[S%lld]\n", static_cast<long long>(i));
            break;
        case Shape::Comments:
            std::snprintf(line, sizeof line, ";%lld=00000001\n", static_cast<long long>(i));
            break;
        }
        text += line;
    }
    return text;
}

// The file written into the temporary folder; removed by the destructor.
class TempIni {
public:
    TempIni(Shape shape, int64_t lines) {
        const char* base = std::getenv("TMPDIR");
        m_Path = std::string(base && *base ? base : "/tmp") + "/q3v-bench-ini-" +
                 std::to_string(::getpid()) + "-" + std::to_string(static_cast<int>(shape)) +
                 ".ini";
        std::ofstream(m_Path, std::ios::binary) << IniText(shape, lines);
    }
    ~TempIni() { std::remove(m_Path.c_str()); }
    TempIni(const TempIni&) = delete;
    TempIni& operator=(const TempIni&) = delete;
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

double ThreadMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double ImportMilliseconds(ChipDef& chip, const std::string& path) {
    static char report[16384];
    const double start = ThreadMilliseconds();
    chip.ImportIniFile(path.c_str(), report, sizeof report, false);
    return ThreadMilliseconds() - start;
}

void ImportRow(benchmark::State& state, Shape shape) {
    const int64_t lines = state.range(0);
    const TempIni file(shape, lines);
    const TempIni plain(Shape::Comments, lines);
    ChipDef chip;
    double ms = 0;
    for (auto _ : state) {
        ms += ImportMilliseconds(chip, file.Path());
    }
    ms /= static_cast<double>(state.iterations());
    double plainMs = ImportMilliseconds(chip, plain.Path());
    for (int i = 0; i < 4; ++i) {
        plainMs = std::min(plainMs, ImportMilliseconds(chip, plain.Path()));
    }
    state.counters["ms"] = ms;
    state.counters["plain_ms"] = plainMs;
    state.counters["ratio"] = ms / plainMs;
}

void BM_IniImportKeyLines(benchmark::State& state) {
    ImportRow(state, Shape::KeyLines);
}
BENCHMARK(BM_IniImportKeyLines)
    ->ArgName("lines")
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond);

void BM_IniImportSections(benchmark::State& state) {
    ImportRow(state, Shape::Sections);
}
BENCHMARK(BM_IniImportSections)->ArgName("sections")->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
