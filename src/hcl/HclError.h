#pragma once
// The layer's last error (oxHclError): one code 0 .. 16, each with a fixed text.

#include <cstddef>
#include <cstdint>

enum oxHclErrorCode : std::uint32_t {
    oxERR_NONE = 0,             // "There was no error detected"
    oxERR_NO_DRIVER = 1,        // "Unable to find/load the Q3V47xxx driver"
    oxERR_NO_CONTROLLER = 2,    // "Unable to locate an Q3V47xxx controller"
    oxERR_NO_USB_ADAPTER = 3,   // "Unable to locate the USB adapter"
    oxERR_NOT_CONFIGURED = 4,   // "This program has not been configured"
    oxERR_CRC_MISMATCH = 5,     // "Config CRC does not match configuration"
    oxERR_NOT_ACQUIRED = 6,     // "The controller has not been acquired"
    oxERR_IRQ_HANDLER = 7,      // "IRQ interrupt handler failure"
    oxERR_BRK_ALIGNMENT = 8,    // "Breakpoint: Register alignment error"
    oxERR_BRK_MASK = 9,         // "Breakpoint: Mask out of bounds"
    oxERR_BRK_TIMING = 10,      // "Breakpoint: Timing not recognized"
    oxERR_BRK_REG_FORMAT = 11,  // "Breakpoint: Register format not recognized"
    oxERR_BRK_BRACE = 12,       // "Breakpoint: Register closing brace not found"
    oxERR_BRK_MATCH_VALUE = 13, // "Breakpoint: Error parsing match value"
    oxERR_BRK_MAX = 14,         // "Breakpoint: Maximum breakpoints used"
    oxERR_BRK_ACCESS_TYPE = 15, // "Breakpoint: Error parsing access type"
    oxERR_UNSPECIFIED = 16,     // "An unspecified error occured"
};
constexpr std::uint32_t oxHCL_ERROR_COUNT = 17;

// The text of a code without the "ERROR: " prefix; a code above 16 gives the text of 16.
const char* oxHclErrorText(std::uint32_t code);

// Sets the layer's last error code (the operations of the layer call it).
void oxHclSetLastError(std::uint32_t code);

// Returns the current error code. When buffer is not NULL it receives the code's text: the
// plain text for 0, "ERROR: %s" for any other code, cut to size - 1 characters and always
// terminated (nothing is written when size is 0).
std::uint32_t oxHclGetLastError(char* buffer, std::size_t size);
