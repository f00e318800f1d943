// Cost of evaluating expressions: a plain calculation, texts that once cost far more than their
// length suggests (a string literal with many "{" before one "}" and long runs of prefix
// operators), and a flat sum of the same length, each next to the plain calculation measured
// in the same run.
//
// Counters of each row:
//   us/eval   microseconds per evaluation of the row's text
//   plain     microseconds per evaluation of "(1+2)*5t", measured in this run
//   ratio     us/eval / plain: how many plain calculations one evaluation of the row costs
//   chars     length of the row's text
#include "expr/Expr.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kPlain = "(1+2)*5t";

// "{a" + n "{" + n "~" + "y(/)5{{{{!!!!}" between quotes: 2n + 18 characters.
std::string BraceShape(size_t n) {
    return "\"{a" + std::string(n, '{') + std::string(n, '~') + "y(/)5{{{{!!!!}\"";
}

// "1234+1234+..." cut to length characters (never ending in "+").
std::string FlatSum(size_t length) {
    std::string text;
    while (text.size() < length) {
        text += "1234+";
    }
    text.resize(length);
    if (text.back() == '+') {
        text.back() = '1';
    }
    return text;
}

void EvaluateOnce(const std::string& text) {
    ExprValue value{};
    const char* error = nullptr;
    benchmark::DoNotOptimize(ExprEvaluate(text.data(), text.size(), &value, nullptr, &error));
    benchmark::DoNotOptimize(value);
}

// Microseconds per evaluation of the plain calculation, measured once for at least 100 ms after
// as long a warm-up.
double PlainMicros() {
    static double s_Micros = 0;
    if (s_Micros != 0) {
        return s_Micros;
    }
    const std::string text = kPlain;
    const auto warm = Clock::now();
    while (Clock::now() - warm < std::chrono::milliseconds(100)) {
        EvaluateOnce(text);
    }
    uint64_t count = 0;
    const auto begin = Clock::now();
    auto now = begin;
    do {
        EvaluateOnce(text);
        ++count;
        now = Clock::now();
    } while (now - begin < std::chrono::milliseconds(100));
    s_Micros = std::chrono::duration<double, std::micro>(now - begin).count() / count;
    return s_Micros;
}

void Measure(benchmark::State& state, const std::string& text) {
    uint64_t count = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        EvaluateOnce(text);
        seconds += std::chrono::duration<double>(Clock::now() - begin).count();
        ++count;
    }
    const double micros = seconds * 1e6 / static_cast<double>(count);
    const double plain = PlainMicros();
    state.counters["us/eval"] = micros;
    state.counters["plain"] = plain;
    state.counters["ratio"] = micros / plain;
    state.counters["chars"] = static_cast<double>(text.size());
}

void BM_ExprPlain(benchmark::State& state) {
    Measure(state, kPlain);
}

void BM_ExprBraceShape(benchmark::State& state) {
    Measure(state, BraceShape(static_cast<size_t>(state.range(0))));
}

void BM_ExprFlatSum(benchmark::State& state) {
    Measure(state, FlatSum(BraceShape(static_cast<size_t>(state.range(0))).size()));
}

} // namespace

BENCHMARK(BM_ExprPlain)->Unit(benchmark::kMicrosecond);
// n = 50 and 100: texts of 118 and 218 characters.
BENCHMARK(BM_ExprBraceShape)->ArgName("n")->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExprFlatSum)->ArgName("n")->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);
