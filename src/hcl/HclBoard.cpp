// The board number of Q3VBOARD, read from the environment or kept by an open HclBoardScope.

#include "hcl/HclBoard.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

// Counts the changes of Q3VBOARD the program reported; a kept number of an older count is read
// again.
constinit std::atomic<std::uint32_t> s_SelectionChanges{0};

// This thread's open scopes and the number they keep (valid when s_KeptChanges is current).
thread_local unsigned s_ScopeDepth = 0;
thread_local bool s_Kept = false;
thread_local unsigned s_KeptBoard = 0;
thread_local std::uint32_t s_KeptChanges = 0;

unsigned ReadBoardNumber() {
    const char* text = std::getenv("Q3VBOARD");
    if (text != nullptr && text[0] >= '0' && text[0] <= '7') {
        return static_cast<unsigned>(text[0] - '0');
    }
    return 0;
}

} // namespace

unsigned oxHclBoardNumber() {
    if (s_ScopeDepth == 0) {
        return ReadBoardNumber();
    }
    const std::uint32_t changes = s_SelectionChanges.load(std::memory_order_acquire);
    if (!s_Kept || s_KeptChanges != changes) {
        s_KeptBoard = ReadBoardNumber();
        s_KeptChanges = changes;
        s_Kept = true;
    }
    return s_KeptBoard;
}

void oxHclBoardSelectionChanged() {
    s_SelectionChanges.fetch_add(1, std::memory_order_acq_rel);
}

HclBoardScope::HclBoardScope() {
    ++s_ScopeDepth;
}

HclBoardScope::~HclBoardScope() {
    if (--s_ScopeDepth == 0) {
        s_Kept = false;
    }
}
