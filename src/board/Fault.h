#pragma once
// The faults the simulated bridge can be told to commit in its replies, and the kernel driver in
// its answers, shared by the controls that set them (BoardControl.h) and the firmware and driver
// that commit them. A leaf.

#include <cstdint>

namespace board {

// A counted fault applies to the next count replies of the bridge (kEveryReply: all of them).
inline constexpr std::uint32_t kEveryReply = 0xFFFFFFFF;

enum class Fault {
    WrongType,      // the reply is preceded by a packet of type Arg (default kWrongTypeDefault)
    NoReply,        // the reply is dropped
    Late,           // the reply is held back until ReleaseLateReplies (or the late delay passed)
    Fail,           // a request answered by done is answered by fail (type 11)
    Overlong,       // a read or serial reply carries (and reports) Arg (default 1) more data bytes
    BadDescriptors, // the driver's pipe information claims 0xFFFFFFFF pipes and the
                    // configuration descriptor holds a descriptor of length 0 (one count per
                    // request)
    // Faults of the kernel driver (one count per request):
    DrvWriteFail,    // an interrupt wait (write) fails at once
    DrvShortAddress, // GET_BOARD_ADDRESS answers 8 bytes (the address without the size word)
};
inline constexpr std::uint8_t kWrongTypeDefault = 0x15;

} // namespace board
