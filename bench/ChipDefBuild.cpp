// Cost of building the chip definition at start-up: one ChipDef object (the whole built-in
// database parsed in its two passes, the tables filled, the product selected and the split
// limits computed), next to a plain memcpy of the database text measured in the same run.
//
// BM_ExpatParseChipDefText is the XML parser's pass alone over the same lines, the floor of a
// build. A last row fills Play's completion dictionary with the selected product's feature names,
// the other part of Play's start-up that the chip definition adds.
//
// Counters of the build row:
//   us        microseconds per ChipDef built (Play builds one before main)
//   memcpy_us microseconds per memcpy of the database text (its lines joined), this run
//   ratio     us / memcpy_us: how many copies of the text one build costs
#include "chipdef/ChipDef.h"
#include "chipdef/ChipDefXml.h"
#include "play/Keywords.h"
#include "play/PlayChipDef.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <expat.h>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

std::string DatabaseText() {
    std::string text;
    for (uint32_t i = 0; i < ChipDefXmlLineCount; ++i) {
        text += ChipDefXml[i];
        text += '\n';
    }
    return text;
}

// Microseconds per memcpy of the database text, measured for at least 100 ms.
double MemcpyMicroseconds() {
    const std::string from = DatabaseText();
    std::string to(from.size(), '\0');
    uint64_t copies = 0;
    const auto start = Clock::now();
    auto now = start;
    while (now - start < std::chrono::milliseconds(100)) {
        for (int i = 0; i < 1000; ++i) {
            std::memcpy(to.data(), from.data(), from.size());
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        }
        copies += 1000;
        now = Clock::now();
    }
    return std::chrono::duration<double, std::micro>(now - start).count() /
           static_cast<double>(copies);
}

void BM_MemcpyChipDefText(benchmark::State& state) {
    const std::string from = DatabaseText();
    std::string to(from.size(), '\0');
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * from.size()));
}
BENCHMARK(BM_MemcpyChipDefText);

// The floor of any build: the XML parser's one pass over the same lines, without handlers.
void BM_ExpatParseChipDefText(benchmark::State& state) {
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate(nullptr);
        for (uint32_t i = 0; i < ChipDefXmlLineCount; ++i) {
            XML_Parse(parser, ChipDefXml[i], static_cast<int>(std::strlen(ChipDefXml[i])),
                      i + 1 == ChipDefXmlLineCount ? 1 : 0);
        }
        XML_ParserFree(parser);
    }
}
BENCHMARK(BM_ExpatParseChipDefText)->Unit(benchmark::kMicrosecond);

void BM_ChipDefBuild(benchmark::State& state) {
    const auto start = Clock::now();
    for (auto _ : state) {
        ChipDef chip;
        benchmark::DoNotOptimize(chip.Features().data());
    }
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                      static_cast<double>(state.iterations());
    const double memcpyUs = MemcpyMicroseconds();
    state.counters["us"] = us;
    state.counters["memcpy_us"] = memcpyUs;
    state.counters["ratio"] = us / memcpyUs;
}
BENCHMARK(BM_ChipDefBuild)->Unit(benchmark::kMicrosecond);

void BM_FeatureDictionary(benchmark::State& state) {
    Tree dictionary(&FreeWordNode);
    for (auto _ : state) {
        FillFeatureDictionary(&dictionary);
    }
    KeywordSetActive(nullptr);
}
BENCHMARK(BM_FeatureDictionary)->Unit(benchmark::kMicrosecond);

} // namespace
