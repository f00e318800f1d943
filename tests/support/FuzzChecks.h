#pragma once
// What the fuzz entries share: a broken promise of the code under test stops the run (libFuzzer
// reports the abort and saves the input), and the library's assertions are counted instead of
// stopping it, so a harness can require that an input raised none.
//
//     q3vtest::CountAssertions();                 // once, before the library runs
//     q3vtest::FuzzCheck(length < sizeof text);   // a promise of the code under test
//     q3vtest::FuzzCheck(q3vtest::AssertionCount() == 0);
#include "common/Assert.h"

#include <cstdint>
#include <cstdlib>

namespace q3vtest {

// The assertions reported since CountAssertions installed the counter.
inline uint32_t& AssertionCount() {
    static uint32_t s_Count = 0;
    return s_Count;
}

inline void CountAssertions() {
    SetAssertHandler([](const char*, const char*, int) { ++AssertionCount(); });
}

inline void FuzzCheck(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace q3vtest
