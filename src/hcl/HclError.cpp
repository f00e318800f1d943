// The layer's last error code and its texts.

#include "hcl/HclError.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr const char* kErrorTexts[oxHCL_ERROR_COUNT] = {
    "There was no error detected",
    "Unable to find/load the Q3V47xxx driver",
    "Unable to locate an Q3V47xxx controller",
    "Unable to locate the USB adapter",
    "This program has not been configured",
    "Config CRC does not match configuration",
    "The controller has not been acquired",
    "IRQ interrupt handler failure",
    "Breakpoint: Register alignment error",
    "Breakpoint: Mask out of bounds",
    "Breakpoint: Timing not recognized",
    "Breakpoint: Register format not recognized",
    "Breakpoint: Register closing brace not found",
    "Breakpoint: Error parsing match value",
    "Breakpoint: Maximum breakpoints used",
    "Breakpoint: Error parsing access type",
    "An unspecified error occured",
};

// Written by the layer's worker threads too (the poll thread reads registers through the front).
constinit std::atomic<std::uint32_t> s_HclError{oxERR_NONE};

} // namespace

const char* oxHclErrorText(std::uint32_t code) {
    return kErrorTexts[code < oxHCL_ERROR_COUNT ? code : oxERR_UNSPECIFIED];
}

void oxHclSetLastError(std::uint32_t code) {
    s_HclError.store(code, std::memory_order_relaxed);
}

std::uint32_t oxHclGetLastError(char* buffer, std::size_t size) {
    const std::uint32_t code = s_HclError.load(std::memory_order_relaxed);
    if (buffer != nullptr && size > 0) {
        // snprintf cuts the text to the buffer and always terminates it.
        if (code == oxERR_NONE) {
            std::snprintf(buffer, size, "%s", oxHclErrorText(code));
        } else {
            std::snprintf(buffer, size, "ERROR: %s", oxHclErrorText(code));
        }
    }
    return code;
}
