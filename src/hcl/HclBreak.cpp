// The /break: register breakpoints: the list parser, the 32 slots, the check made around the
// front's register accesses and the step/run prompt.

#include "hcl/HclBreak.h"

#include "hcl/HclError.h"
#include "platform/Console.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr oxHclBreakpoint kFreeSlot{0, 0, oxHCL_BREAK_FREE, oxHCL_BREAK_NO_END, 0, 0, 0, 0, 0};

struct BreakState {
    BreakState() {
        for (auto& slot : Slots) {
            slot = kFreeSlot;
        }
    }
    oxHclBreakpoint Slots[oxHCL_MAX_BREAKPOINTS];
    std::atomic<bool> InUse{false};
    std::atomic<bool> StepMode{false};
};

// Never destroyed: the poll thread may still use it while the program ends.
BreakState& State() {
    static auto* s_State = new BreakState;
    return *s_State;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// Reads the decimal digits at text[pos] on; a number beyond 32 bits reads as 0xFFFFFFFF.
// False when there are none.
bool ReadDecimal(std::string_view text, std::size_t& pos, std::uint32_t& valueOut) {
    std::uint64_t value = 0;
    const std::size_t first = pos;
    while (pos < text.size() && DigitValue(text[pos]) < 10) {
        value = std::min<std::uint64_t>(value * 10 + DigitValue(text[pos]), 0xFFFFFFFFull);
        ++pos;
    }
    valueOut = static_cast<std::uint32_t>(value);
    return pos > first;
}

// Reads the digits of the radix at text[*pos] on; false when there are none or the value does
// not fit in 32 bits.
bool ReadDigits(std::string_view text, std::size_t& pos, std::uint32_t radix,
                std::uint32_t& valueOut) {
    std::uint64_t value = 0;
    const std::size_t first = pos;
    while (pos < text.size() && DigitValue(text[pos]) < static_cast<int>(radix)) {
        value = value * radix + static_cast<std::uint64_t>(DigitValue(text[pos]));
        if (value > 0xFFFFFFFFull) {
            return false;
        }
        ++pos;
    }
    valueOut = static_cast<std::uint32_t>(value);
    return pos > first;
}

// Mask of bits low .. high (high < 32).
std::uint32_t BitsMask(std::uint32_t high, std::uint32_t low) {
    const std::uint64_t span = (std::uint64_t{1} << (high - low + 1)) - 1;
    return static_cast<std::uint32_t>(span << low);
}

bool Fail(std::uint32_t code) {
    oxHclSetLastError(code);
    return false;
}

// Register forms of an entry and their widths in bytes.
struct RegForm {
    std::string_view Prefix;
    std::uint32_t Width;
};
constexpr RegForm kForms[] = {{"reg[", 2}, {"reg32[", 4}, {"reg16[", 2}, {"reg8[", 1}};

} // namespace

bool oxHclClearBreakpoints() {
    for (auto& slot : State().Slots) {
        slot = kFreeSlot;
    }
    return true;
}

std::uint32_t oxHclParseNumber(const char* textIn, std::size_t length, std::uint32_t radix) {
    if (textIn == nullptr || (radix != 2 && radix != 10 && radix != 16)) {
        return 0;
    }
    const std::string_view text(textIn,
                                length != 0 ? length : std::char_traits<char>::length(textIn));
    std::uint64_t value = 0;
    for (char c : text) {
        const int d = DigitValue(c);
        if (d >= static_cast<int>(radix)) {
            break;
        }
        value = value * radix + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFull) {
            return 0xFFFFFFFF;
        }
    }
    return static_cast<std::uint32_t>(value);
}

bool oxHclParseBreakRegister(const char* textIn, std::size_t length, std::uint32_t& indexOut,
                             std::uint32_t& endOut, std::uint32_t& mask, std::uint32_t& highBit,
                             std::uint32_t& lowBit) {
    if (textIn == nullptr) {
        return false;
    }
    const std::string_view text(textIn, length);
    std::size_t pos = 0;
    std::uint32_t index = 0;
    if (!ReadDigits(text, pos, 16, index)) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'h' || text[pos] == 'H')) {
        ++pos;
    }
    if (pos >= text.size() || text[pos] != '-') {
        return false;
    }
    ++pos;
    if (pos < text.size() && text[pos] == '-') {
        // index--end: a range.
        ++pos;
        std::uint32_t end = 0;
        if (!ReadDigits(text, pos, 16, end)) {
            return false;
        }
        if (pos < text.size() && (text[pos] == 'h' || text[pos] == 'H')) {
            ++pos;
        }
        if (pos != text.size()) {
            return false;
        }
        indexOut = index;
        endOut = end;
        mask = 0;
        highBit = 0;
        lowBit = 0;
        return true;
    }
    if (pos >= text.size() || (text[pos] != 'b' && text[pos] != 'B')) {
        return false;
    }
    ++pos;
    // Bit numbers beyond 32 bits read as 0xFFFFFFFF, which the caller refuses as out of bounds.
    std::uint32_t high = 0;
    if (!ReadDecimal(text, pos, high)) {
        return false;
    }
    std::uint32_t low = high;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!ReadDecimal(text, pos, low)) {
            return false;
        }
    }
    if (pos != text.size() || high < low) {
        return false;
    }
    indexOut = index;
    endOut = oxHCL_BREAK_NO_END;
    highBit = high;
    lowBit = low;
    // Bits beyond the 32-bit word have no mask; the caller refuses them (high bit >= 32).
    mask = high < 32 ? BitsMask(high, low) : 0xFFFFFFFF;
    return true;
}

bool oxHclAddBreakpoint(std::uint32_t timing, std::uint32_t access, std::uint32_t start,
                        std::uint32_t end, std::uint32_t mask, std::uint32_t shift,
                        std::uint32_t value, std::uint32_t valueFlag) {
    for (auto& slot : State().Slots) {
        if (slot.Start == oxHCL_BREAK_FREE) {
            slot = oxHclBreakpoint{access, timing, start,     end,  end != oxHCL_BREAK_NO_END,
                                   mask,   shift,  valueFlag, value};
            return true;
        }
    }
    return false;
}

bool oxHclParseBreakpoints(const char* textIn) {
    BreakState& s = State();
    s.InUse = true;
    std::string text(textIn != nullptr ? textIn : "");
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const std::string_view t(text);
    std::size_t p = 0;
    for (;;) {
        while (p < t.size() && t[p] == ';') {
            ++p;
        }
        if (p >= t.size()) {
            return true;
        }
        // 1. Timing.
        std::uint32_t timing;
        if (t[p] == 'b') {
            timing = oxHCL_BREAK_BEFORE;
        } else if (t[p] == 'a') {
            timing = oxHCL_BREAK_AFTER;
        } else {
            return Fail(oxERR_BRK_TIMING);
        }
        ++p;
        // 2. Access.
        std::uint32_t access;
        if (p < t.size() && t[p] == 'r') {
            access = oxHCL_BREAK_READ;
        } else if (p < t.size() && t[p] == 'w') {
            access = oxHCL_BREAK_WRITE;
        } else {
            return Fail(oxERR_BRK_ACCESS_TYPE);
        }
        ++p;
        // 3. One separating character, whatever it is; an entry that ends here has no register.
        if (p >= t.size()) {
            return Fail(oxERR_BRK_REG_FORMAT);
        }
        ++p;
        // 4. Register form.
        std::uint32_t width = 0;
        for (const RegForm& form : kForms) {
            if (t.substr(p).starts_with(form.Prefix)) {
                width = form.Width;
                p += form.Prefix.size();
                break;
            }
        }
        if (width == 0) {
            return Fail(oxERR_BRK_REG_FORMAT);
        }
        // 5. The register term up to the closing brace.
        const std::size_t close = t.find(']', p);
        if (close == std::string_view::npos) {
            return Fail(oxERR_BRK_BRACE);
        }
        const std::string_view term = t.substr(p, close - p);
        p = close + 1;
        // 6. End of the entry or a match value.
        std::uint32_t value = 0;
        std::uint32_t valueFlag = 0;
        if (p < t.size() && t[p] != ';') {
            if (!t.substr(p).starts_with("==")) {
                return Fail(oxERR_BRK_MATCH_VALUE);
            }
            p += 2;
            if (!ReadDigits(t, p, 16, value)) {
                return Fail(oxERR_BRK_MATCH_VALUE);
            }
            valueFlag = 1;
            const std::size_t next = t.find(';', p);
            p = next == std::string_view::npos ? t.size() : next;
        }
        // The register: a range, a bit field, or a plain hexadecimal index.
        std::uint32_t index = 0;
        std::uint32_t end = oxHCL_BREAK_NO_END;
        std::uint32_t mask = 0;
        std::uint32_t high = 0;
        std::uint32_t low = 0;
        bool plain = false;
        if (!oxHclParseBreakRegister(term.data(), term.size(), index, end, mask, high, low)) {
            std::size_t q = 0;
            if (!ReadDigits(term, q, 16, index)) {
                return Fail(oxERR_BRK_REG_FORMAT);
            }
            if (q < term.size() && term[q] == 'h') {
                ++q;
            }
            if (q != term.size()) {
                return Fail(oxERR_BRK_REG_FORMAT);
            }
            plain = true;
            end = oxHCL_BREAK_NO_END;
        }
        const bool range = !plain && end != oxHCL_BREAK_NO_END;
        const bool bitField = !plain && !range;
        // 7. Checks by width.
        if (width == 2) {
            if ((index & 1) != 0 || (range && (end & 1) != 0)) {
                return Fail(oxERR_BRK_ALIGNMENT);
            }
            if (bitField && (high >= 16)) {
                return Fail(oxERR_BRK_MASK);
            }
        } else if (width == 4) {
            if ((index & 3) != 0 || (range && (end & 3) != 0)) {
                return Fail(oxERR_BRK_ALIGNMENT);
            }
            if (bitField && high >= 32) {
                return Fail(oxERR_BRK_MASK);
            }
        } else {
            if (bitField && high >= 8) {
                return Fail(oxERR_BRK_MASK);
            }
        }
        // 8. Placement in the aligned 32-bit register word.
        std::uint32_t start;
        std::uint32_t shift = 0;
        if (range) {
            start = index;
            const std::uint32_t raise = width - 1;
            // A range that reaches the top of the index space ends there.
            end = end > oxHCL_BREAK_NO_END - 1 - raise ? oxHCL_BREAK_NO_END - 1 : end + raise;
            mask = 0;
        } else {
            std::uint32_t lane = 0;
            std::uint32_t full = 0xFFFFFFFF;
            if (width == 1) {
                lane = 8 * (index & 3);
                full = 0xFF;
            } else if (width == 2) {
                lane = (index & 2) != 0 ? 16 : 0;
                full = 0xFFFF;
            }
            start = width == 4 ? index : index & ~std::uint32_t{3};
            if (plain) {
                mask = full << lane;
                shift = lane;
            } else {
                mask = mask << lane;
                shift = lane + low;
            }
        }
        if (!oxHclAddBreakpoint(timing, access, start, end, mask, shift, value, valueFlag)) {
            return Fail(oxERR_BRK_MAX);
        }
    }
}

bool oxHclBreakpointsInUse() {
    return State().InUse.load(std::memory_order_relaxed);
}

const oxHclBreakpoint* oxHclGetBreakpoint(unsigned slot) {
    if (slot >= oxHCL_MAX_BREAKPOINTS || State().Slots[slot].Start == oxHCL_BREAK_FREE) {
        return nullptr;
    }
    return &State().Slots[slot];
}

const oxHclBreakpoint* oxHclFindBreakpoint(std::uint32_t index, std::uint32_t access,
                                           std::uint32_t after, std::uint32_t valueIn,
                                           std::uint32_t width) {
    // Widen the access to its register word.
    std::uint32_t laneMask;
    std::uint32_t value;
    std::uint32_t word;
    std::uint32_t span;
    if (width == 2) {
        const std::uint32_t lane = (index & 2) != 0 ? 16 : 0;
        laneMask = 0xFFFFu << lane;
        value = (valueIn & 0xFFFF) << lane;
        word = index & ~std::uint32_t{3};
        span = 1;
    } else if (width == 1) {
        const std::uint32_t lane = 8 * (index & 3);
        laneMask = 0xFFu << lane;
        value = (valueIn & 0xFF) << lane;
        word = index & ~std::uint32_t{3};
        span = 0;
    } else {
        laneMask = 0xFFFFFFFF;
        value = valueIn;
        word = index;
        span = 3;
    }
    for (const auto& slot : State().Slots) {
        if (slot.Start == oxHCL_BREAK_FREE) {
            break; // used slots form a prefix
        }
        if (slot.Timing != after || (slot.Access != access && access != oxHCL_BREAK_EITHER)) {
            continue;
        }
        if (slot.Range != 0) {
            const std::uint64_t last = std::uint64_t{index} + span;
            if (index <= slot.End && last >= slot.Start) {
                return &slot;
            }
            continue;
        }
        if (slot.Start != word || (slot.Mask & laneMask) == 0) {
            continue;
        }
        if (slot.ValueFlag != 0 &&
            std::uint64_t{slot.Mask & value} != (std::uint64_t{slot.Value} << slot.Shift)) {
            continue;
        }
        return &slot;
    }
    return nullptr;
}

bool oxHclCheckBreakpoint(std::uint32_t index, std::uint32_t access, std::uint32_t after,
                          std::uint32_t value, std::uint32_t width) {
    if (State().StepMode.load()) {
        oxHclBreakpointPrompt(nullptr, index);
        return true;
    }
    const oxHclBreakpoint* hit = oxHclFindBreakpoint(index, access, after, value, width);
    if (hit != nullptr) {
        oxHclBreakpointPrompt(hit, index);
    }
    return true;
}

void oxHclBreakpointPrompt(const oxHclBreakpoint* breakpoint, std::uint32_t index) {
    std::printf("\nCurrent Register: %04lX\n", static_cast<unsigned long>(index));
    if (breakpoint != nullptr) {
        oxHclPrintBreakpoint(*breakpoint);
    }
    std::printf("Command: ");
    std::fflush(stdout);
    for (;;) {
        const int key = ConsoleGetch();
        if (key == '?') {
            std::printf("\nS - step mode");
            std::printf("\nR - run until next breakpoint\n");
            std::printf("\nCommand: ");
        } else if (key == 's' || key == 'S') {
            State().StepMode = true;
            std::printf("s\n");
            break;
        } else if (key == 'r' || key == 'R') {
            State().StepMode = false;
            std::printf("r\n");
            break;
        } else if (key == kConsoleEndOfInput) {
            // No one can answer any more: run on to the end without stopping again.
            State().StepMode = false;
            std::printf("\n");
            break;
        } else {
            std::fflush(stdout);
            ConsolePutch(7);
        }
        std::fflush(stdout);
    }
    std::printf("\n");
    std::fflush(stdout);
}

bool oxHclGetStepMode() {
    return State().StepMode.load();
}

void oxHclPrintBreakpoint(const oxHclBreakpoint& breakpoint) {
    std::printf("%s %s break: Reg: %04lX ", breakpoint.Timing != 0 ? "After" : "Before",
                breakpoint.Access != 0 ? "write" : "read",
                static_cast<unsigned long>(breakpoint.Start));
    if (breakpoint.Range != 0) {
        std::printf("- %04lX\n", static_cast<unsigned long>(breakpoint.End));
        return;
    }
    std::printf("Mask: %04lX", static_cast<unsigned long>(breakpoint.Mask));
    if (breakpoint.ValueFlag != 0) {
        std::printf(" Value: %04lX\n", static_cast<unsigned long>(breakpoint.Value));
    } else {
        std::printf("\n");
    }
}

void oxHclResetBreakpointsForTesting() {
    oxHclClearBreakpoints();
    State().InUse = false;
    State().StepMode = false;
}
