#pragma once
// Controls of the simulated board for tests and users: absent boards, the driver version, fault
// injection, the PLL lock delay and the packet and access log. They are process-wide; at first
// use (and at ResetControls) they are read from the environment (see src/board/README.md):
//   Q3VSIM_ABSENT          "all" or board digits ("03"): those boards are absent
//   Q3VSIM_DRIVER_VERSION  "major.minor[.build]" reported by the driver (default 1.34.0)
//   Q3VSIM_KDRV_VERSION    "major.minor" reported by the kernel driver (default 1.0)
//   Q3VSIM_FAULTS          comma-separated faults, e.g. "split:63,noreply:2,wrongtype,fail:all"
//   Q3VSIM_PLL_LOCK_READS  reads of PLL_0 before the lock bit shows (default 0)
//   Q3VSIM_LOG             file that every packet and access is appended to, one line each

#include "board/Fault.h"
#include "board/LogEntry.h"

#include "common/BoardFileNames.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace board {

// --- Absent boards and the driver ---------------------------------------------------------

inline constexpr unsigned kBoardCount = kSimBoards;

void SetAbsent(unsigned board, bool absent);
bool IsAbsent(unsigned board);

struct DriverVersion {
    std::uint16_t Major;
    std::uint16_t Minor;
    std::uint16_t Build;
};
inline constexpr DriverVersion kDefaultDriverVersion{1, 34, 0};
void SetDriverVersion(DriverVersion version);
DriverVersion GetDriverVersion();

// The kernel driver's version (the build is not used).
inline constexpr DriverVersion kDefaultKernelDriverVersion{1, 0, 0};
void SetKernelDriverVersion(DriverVersion version);
DriverVersion GetKernelDriverVersion();

// --- Faults -------------------------------------------------------------------------------
// A counted fault applies to the next count replies of the bridge (kEveryReply: all of them).

void InjectFault(Fault fault, std::uint32_t count = 1, std::uint32_t arg = 0);
void ClearFaults();
// For the kernel driver: true (and one count taken) when the fault is pending.
bool TakeDriverFault(Fault fault);
// Replies are read in transfers of at most bytes (0: whole transfers).
void SetSplitSize(std::uint32_t bytes);
std::uint32_t GetSplitSize();
// A late reply also comes by itself once ms milliseconds have passed (0: only
// ReleaseLateReplies lets it come). Default 100 ms.
void SetLateDelayMs(std::uint32_t ms);
// Lets every held-back reply come now, as if it arrived late; returns how many.
std::uint32_t ReleaseLateReplies();

// PLL_0's lock bit reads 1 from the (reads + 1)-th read after the PLL was enabled.
void SetPllLockReads(std::uint32_t reads);
std::uint32_t GetPllLockReads();

// Restores every control to the environment's settings and clears the log.
void ResetControls();
// Parses a fault list in the form of Q3VSIM_FAULTS and applies it; false (nothing applied) when
// an item is not understood.
bool ApplyFaultList(std::string_view list);

// --- Packet and access log ----------------------------------------------------------------

// The in-memory log is off until enabled; Q3VSIM_LOG writes text lines independently.
void EnableLog(bool on);
// The entries so far, oldest first, and clears them.
std::vector<LogEntry> TakeLog();
void ClearLog();
// One entry as the text line that Q3VSIM_LOG files hold.
std::string FormatLogEntry(const LogEntry& entry);

} // namespace board
