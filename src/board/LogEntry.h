#pragma once
// One entry of the simulated board's packet and access log, shared by the controls that keep the
// log (BoardControl.h) and the bridge and controller that write it. A leaf.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace board {

struct LogEntry {
    enum class Kind {
        Out,       // a bulk transfer to the bridge
        In,        // a bulk transfer from the bridge (one read)
        Interrupt, // an interrupt word read from the interrupt pipe
        Access,    // an access of the controller model by the firmware
    };
    Kind What = Kind::Out;
    unsigned Board = 0;
    // Transfers: the ioctl was a "continued" one; Length bytes, the first kLogBytes in Bytes.
    bool Continued = false;
    std::uint32_t Length = 0;
    std::vector<std::uint8_t> Bytes;
    // Accesses: a write (else a read) of Length bytes at Address on the port Interface; Value
    // holds the first (up to) four bytes little-endian; Dropped when outside the map.
    bool Write = false;
    std::uint32_t Address = 0;
    std::uint8_t Interface = 0;
    std::uint32_t Value = 0;
    bool Dropped = false;
};
inline constexpr std::size_t kLogBytes = 64;

} // namespace board
