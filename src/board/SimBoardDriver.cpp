// The kernel driver's side of the board: the interrupt count and the wake word its waiters sleep
// on (a futex on the shared state file, so a waiter in any process wakes), and the counters that
// tests read.

#include "board/SimBoard.h"

#include "board/SimBoardPrivate.h"
#include "board/StateFile.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace board {

namespace {

std::atomic_ref<std::uint32_t> Atomic(std::uint32_t& word) {
    return std::atomic_ref<std::uint32_t>(word);
}

// The state file is mapped shared, so the futex is a shared one (no private flag): it is keyed by
// the file and offset, and a wake in one process reaches the waiters of every other.
long Futex(std::uint32_t* word, int operation, std::uint32_t value, const timespec* timeout) {
    return syscall(SYS_futex, word, operation, value, timeout, nullptr, 0);
}

} // namespace

std::uint32_t SimBoard::InterruptCount() const {
    return Atomic(m_State->Driver.InterruptCount).load();
}

std::uint32_t SimBoard::DriverWakeSequence() const {
    return Atomic(m_State->Driver.WakeSequence).load();
}

void SimBoard::DriverWaitWake(std::uint32_t sequence, std::uint32_t timeoutMs) {
    timespec timeout{static_cast<time_t>(timeoutMs / 1000),
                     static_cast<long>(timeoutMs % 1000) * 1000000L};
    // Returns at once when the word already moved; EINTR and time-outs return too.
    Futex(&m_State->Driver.WakeSequence, FUTEX_WAIT, sequence, timeoutMs != 0 ? &timeout : nullptr);
}

void SimBoard::DriverWake() {
    Atomic(m_State->Driver.WakeSequence).fetch_add(1);
    Futex(&m_State->Driver.WakeSequence, FUTEX_WAKE, INT_MAX, nullptr);
}

void SimBoard::CountDriverRequest(std::uint32_t code) {
    const std::uint32_t slot = (code - kDriverCodeFirst) / 4;
    if (code >= kDriverCodeFirst && (code - kDriverCodeFirst) % 4 == 0 && slot < kDriverCodeCount) {
        Atomic(m_State->Driver.Requests[slot]).fetch_add(1);
    }
    DriverWake();
}

void SimBoard::CountDriverWrite() {
    Atomic(m_State->Driver.Writes).fetch_add(1);
    DriverWake();
}

void SimBoard::StoreDriverInterruptRecord(std::span<const std::uint8_t> record) {
    std::lock_guard lock(m_Private->Mutex);
    std::memset(m_State->Driver.InterruptRecord, 0, kDriverRecordSize);
    std::memcpy(m_State->Driver.InterruptRecord, record.data(),
                std::min<std::size_t>(record.size(), kDriverRecordSize));
}

std::uint32_t SimBoard::DriverRequestCount(std::uint32_t code) const {
    const std::uint32_t slot = (code - kDriverCodeFirst) / 4;
    if (code < kDriverCodeFirst || (code - kDriverCodeFirst) % 4 != 0 || slot >= kDriverCodeCount) {
        return 0;
    }
    return Atomic(m_State->Driver.Requests[slot]).load();
}

std::uint32_t SimBoard::DriverWriteCount() const {
    return Atomic(m_State->Driver.Writes).load();
}

std::array<std::uint8_t, kDriverRecordSize> SimBoard::DriverInterruptRecord() const {
    std::array<std::uint8_t, kDriverRecordSize> record{};
    std::lock_guard lock(m_Private->Mutex);
    std::memcpy(record.data(), m_State->Driver.InterruptRecord, record.size());
    return record;
}

} // namespace board
