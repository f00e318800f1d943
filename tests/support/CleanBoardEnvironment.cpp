// Linked into every test program: the board's controls the calling shell may have exported are
// gone before the first test (and before any board is opened), so every run starts from the
// board's defaults. Tests that want a control set it themselves.

#include "BoardControls.h"

namespace {

[[maybe_unused]] const bool s_Cleared = [] {
    q3vtest::ClearBoardControls();
    return true;
}();

} // namespace
