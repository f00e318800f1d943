#pragma once
// What the firmware asks of the process-wide controls: pending faults, the split size, the PLL
// lock delay and the log. Internal to the board library.

#include "board/Fault.h"
#include "board/LogEntry.h"

#include <cstdint>

namespace board::detail {

// True (and the fault's argument) when the fault is pending for the next reply; takes one count.
// Cheap when no fault is pending.
bool TakeFault(Fault fault, std::uint32_t* arg);
// Whether any counted fault is pending (cheap).
bool AnyFault();

std::uint32_t SplitSize();
std::uint32_t LateDelayMs();
std::uint32_t PllLockReads();

// Whether entries are wanted (the memory log or the log file); cheap.
bool Logging();
void Log(LogEntry&& entry);

// Lets the held-back replies of every board of this process come; defined with the boards.
std::uint32_t ReleaseAllLateReplies();

} // namespace board::detail
