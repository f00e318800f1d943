#pragma once
// The simulated evaluation board: the USB bridge's firmware and a model of the display
// controller behind it, kept in a memory-mapped state file per board ("board-N.state" in the
// board folder) so that separate programs see the same board. Accesses from several processes
// are serialised by the board lock the callers hold, as on real hardware.
//
// Only the devices over the board (src/devices: UsbDevice, DrvDevice) and tests use this header.

#include "board/BoardMap.h"
#include "board/DriverCounts.h"
#include "common/NamedFile.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace board {

// Hardware revision the bridge reports in byte 5 of each configuration row.
inline constexpr std::uint8_t kHwRevision = 1;

struct BoardState;      // the state file's layout (StateFile.h)
struct SimBoardPrivate; // this process's part of a board (SimBoardPrivate.h)

class SimBoard {
public:
    // The board number (0-7) in folder, created (at power-on state) when its state file is
    // missing or not a state file. Boards are shared within the process. Null on failure, with
    // the system's error in *errorOut.
    static std::shared_ptr<SimBoard> Attach(const std::string& folder, unsigned number,
                                            int* errorOut = nullptr);
    ~SimBoard();
    SimBoard(const SimBoard&) = delete;
    SimBoard& operator=(const SimBoard&) = delete;

    unsigned Number() const { return m_Number; }
    const std::string& Path() const { return m_Path; }

    // Whether this board is still the folder's board, asked whenever the board is taken for an
    // access (a look at the open state file; its name is looked up only after the file's status
    // changed): its state file must still be the file at its name (not removed, not replaced,
    // not moved away) and be as long as the board. Once it is not, the board is
    // unplugged for this process for good: the devices fail every access on it, and the next
    // Attach opens the file now at the path, as a new program would. A file truncated by another
    // program while an access runs is not caught: that access ends the process by a signal.
    bool Present();
    // Whether Present found the board gone (no look at the file).
    bool Unplugged() const { return m_Unplugged.load(std::memory_order_relaxed); }

    // --- The bridge's pipes (called by the driver) ---------------------------------------
    // A transfer to the bridge: the firmware handles the packet and queues its reply at once.
    void BulkOut(const std::uint8_t* data, std::uint32_t length, bool continued);
    // The next transfer from the bridge (at most length bytes of it; the rest stays queued as
    // the next transfer). 0 when nothing is queued.
    std::uint32_t BulkIn(std::uint8_t* data, std::uint32_t length, bool continued);
    // Takes the next interrupt word; false when none is pending.
    bool InterruptIn(std::uint16_t* word);

    // --- The kernel driver's side (called by the driver; SimBoardDriver.cpp) ----------------
    // Interrupts raised so far on this board, by any process.
    std::uint32_t InterruptCount() const;
    // The word the driver's waiters sleep on: it moves at every interrupt, every request and
    // write the driver counts, and DriverWake (so a test can wait for the driver's activity).
    std::uint32_t DriverWakeSequence() const;
    // Sleeps (without spinning) until the wake sequence is no longer sequence, or timeoutMs
    // passed (0: no time-out); it may also return early. The caller looks again.
    void DriverWaitWake(std::uint32_t sequence, std::uint32_t timeoutMs = 0);
    // Moves the wake sequence and wakes every waiter of every process.
    void DriverWake();
    // Counts a control request of the driver (codes kDriverCodeFirst + 4 k) and a write.
    void CountDriverRequest(std::uint32_t code);
    void CountDriverWrite();
    // Keeps the interrupt record the driver was last given.
    void StoreDriverInterruptRecord(std::span<const std::uint8_t> record);

    // --- Inspection and set-up (tests) ----------------------------------------------------
    // Queues an interrupt word (as the controller raises one); false when 64 are pending. The
    // interrupt is counted for the kernel driver either way.
    bool RaiseInterrupt(std::uint16_t word);
    // How many requests of a control code the kernel driver has seen (0 for other codes), how
    // many writes, and the interrupt record it was last given (zeros when none).
    std::uint32_t DriverRequestCount(std::uint32_t code) const;
    std::uint32_t DriverWriteCount() const;
    std::array<std::uint8_t, kDriverRecordSize> DriverInterruptRecord() const;
    // Power-on state: registers at their reset values, memory and tables 0, default bridge
    // configuration, no pending replies or interrupts, counters 0.
    void PowerOn();
    // Stored register value at an even index, without the side effects of a read.
    std::uint16_t Register(std::uint32_t index) const;
    // Stores a register value as it is (read-only bits too), without side effects.
    void SetRegister(std::uint32_t index, std::uint16_t value);
    // Copies display memory or look-up table bytes (addresses below kMemoryMapEnd).
    bool ReadMemory(std::uint32_t address, std::span<std::uint8_t> bytes) const;
    bool WriteMemory(std::uint32_t address, std::span<const std::uint8_t> bytes);
    // Accesses outside the map that were dropped, and packets the firmware did not understand.
    std::uint32_t DroppedAccesses() const;
    std::uint32_t UnknownPackets() const;
    // Transfers waiting in the bridge's reply queue.
    std::uint32_t PendingReplies() const;
    // The bridge's configuration table as stored (byte 5 reads back as kHwRevision).
    void Config(std::uint8_t (&table)[4][6]) const;
    // The status word the bridge reports.
    void SetStatusWord(std::uint32_t status);
    // The last state sent by the switch commands 15-17 (0x80 on, 0 off) and 18 (flags in bits
    // 16-23, value in bits 0-15); 0 when never sent.
    std::uint32_t SwitchState(std::uint8_t type) const;
    // How many requests of a packet type (0-63) the bridge has seen.
    std::uint32_t RequestCount(std::uint8_t type) const;
    // Lets the replies held back by the late-reply fault come now; returns how many.
    std::uint32_t ReleaseLateReplies();

private:
    SimBoard(unsigned number, std::string path, int fd, BoardState* state);
    // Present without the registry: false (for good) once the state file is no longer the board.
    bool StillTheFile();
    // With the mutex held: queues a reply through the fault filters, and releases held-back
    // replies whose delay has passed (all of them when all).
    void QueueReply(const std::uint8_t* data, std::uint32_t length);
    std::uint32_t ReleaseHeldLocked(bool all);
    // The firmware's side of CSCL (CsclFirmware.cpp), with the mutex held: performs one packet
    // of at least one byte; false when the firmware does not understand it. The handlers of the
    // packet types that can be malformed say the same.
    bool HandleCsclPacket(std::span<const std::uint8_t> packet);
    bool OnReadRequest(std::span<const std::uint8_t> packet);
    bool OnWrite(std::span<const std::uint8_t> packet);
    bool OnSetConfiguration(std::span<const std::uint8_t> packet);
    void OnGetConfiguration();
    void OnGetStatus();
    bool OnSwitchValue(std::span<const std::uint8_t> packet);
    bool OnSerialDataOut(std::span<const std::uint8_t> packet);
    // Queues done, or fail when the fail fault is due.
    void QueueDone();
    void LogAccess(bool write, std::uint32_t address, std::uint8_t interface,
                   const std::uint8_t* data, std::uint32_t length, bool dropped);
    unsigned m_Number;
    std::string m_Path;
    int m_Fd;
    BoardState* m_State;
    NamedFile m_File;
    std::atomic<bool> m_Unplugged{false};
    std::unique_ptr<SimBoardPrivate> m_Private;
};

} // namespace board
