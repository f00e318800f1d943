// Linked into every test program: the board's controls the calling shell may have exported are
// gone before the first test (and before any board is opened), so every run starts from the
// board's defaults. Tests that want a control set it themselves. A worker (a second process a
// test starts from its own program, marked by Q3V_TEST_WORKER) keeps what its test handed it.

#include "BoardControls.h"

#include <cstdlib>

namespace {

[[maybe_unused]] const bool s_Cleared = [] {
    if (std::getenv("Q3V_TEST_WORKER") == nullptr) {
        q3vtest::ClearBoardControls();
    }
    return true;
}();

} // namespace
