#include "board/SimBoard.h"

#include "board/BoardControl.h"
#include "board/ControlState.h"
#include "board/Controller.h"
#include "board/ReplyQueue.h"
#include "board/SimBoardPrivate.h"
#include "board/StateFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace board {

namespace {

// The boards attached in this process, by state file. Never destroyed: threads of the layer
// (interrupt, poll, timers) may still open devices while the program ends.
std::mutex& RegistryMutex() {
    static auto* s_Mutex = new std::mutex;
    return *s_Mutex;
}

std::map<std::string, std::weak_ptr<SimBoard>>& Registry() {
    static auto* s_Boards = new std::map<std::string, std::weak_ptr<SimBoard>>;
    return *s_Boards;
}

bool Valid(const BoardState& state, unsigned number) {
    return std::memcmp(state.Magic, kStateMagic, sizeof kStateMagic) == 0 &&
           state.Version == kStateVersion && state.Size == sizeof(BoardState) &&
           state.Number == number;
}

void InitState(BoardState& state, unsigned number) {
    std::memset(&state, 0, sizeof state);
    std::memcpy(state.Magic, kStateMagic, sizeof kStateMagic);
    state.Version = kStateVersion;
    state.Size = sizeof(BoardState);
    state.Number = number;
    ResetRegisters(state);
}

std::atomic_ref<std::uint32_t> Atomic(std::uint32_t& word) {
    return std::atomic_ref<std::uint32_t>(word);
}

} // namespace

SimBoard::SimBoard(unsigned number, std::string path, int fd, BoardState* state)
    : m_Number(number), m_Path(std::move(path)), m_Fd(fd), m_State(state), m_File(m_Path, fd),
      m_Private(std::make_unique<SimBoardPrivate>()) {
    m_Private->Reply.reserve(kReplyQueueSize);
}

SimBoard::~SimBoard() {
    munmap(m_State, sizeof(BoardState));
    close(m_Fd);
}

std::shared_ptr<SimBoard> SimBoard::Attach(const std::string& folder, unsigned number,
                                           int* errorOut) {
    int ignored = 0;
    int& error = errorOut != nullptr ? *errorOut : ignored;
    error = 0;
    if (number >= kBoardCount) {
        error = ENODEV;
        return nullptr;
    }
    const std::string path = folder + "/" + BoardStateFileName(number);
    std::lock_guard registryLock(RegistryMutex());
    auto& registry = Registry();
    if (auto it = registry.find(path); it != registry.end()) {
        if (auto board = it->second.lock(); board && board->StillTheFile()) {
            return board;
        }
    }
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    // One process at a time checks (and creates) the file's contents.
    flock(fd, LOCK_EX);
    struct stat info {};
    bool fresh = false;
    if (fstat(fd, &info) != 0) {
        error = errno;
    } else {
        fresh = static_cast<std::size_t>(info.st_size) < sizeof(BoardState);
        // The file gets its disk space before it is mapped (also a file left sparse): a page
        // with no space behind it would end the process by a signal when it is written.
        error = posix_fallocate(fd, 0, sizeof(BoardState));
    }
    void* map = MAP_FAILED;
    if (error == 0) {
        map = mmap(nullptr, sizeof(BoardState), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (map == MAP_FAILED) {
            error = errno;
        }
    }
    if (error != 0) {
        flock(fd, LOCK_UN);
        close(fd);
        return nullptr;
    }
    auto* state = static_cast<BoardState*>(map);
    if (fresh || !Valid(*state, number)) {
        InitState(*state, number);
    }
    flock(fd, LOCK_UN);
    std::shared_ptr<SimBoard> board(new SimBoard(number, path, fd, state));
    registry[path] = board;
    return board;
}

bool SimBoard::StillTheFile() {
    if (m_Unplugged.load(std::memory_order_relaxed) || !m_File.StillAtName(sizeof(BoardState))) {
        m_Unplugged.store(true, std::memory_order_relaxed);
        return false;
    }
    return true;
}

bool SimBoard::Present() {
    if (StillTheFile()) {
        return true;
    }
    // The registry forgets it, so that the next Attach opens the file at the path.
    std::lock_guard registryLock(RegistryMutex());
    auto& registry = Registry();
    if (auto it = registry.find(m_Path); it != registry.end() && it->second.lock().get() == this) {
        registry.erase(it);
    }
    return false;
}

bool SimBoard::InterruptIn(std::uint16_t* word) {
    std::lock_guard lock(m_Private->Mutex);
    auto head = Atomic(m_State->InterruptHead);
    auto tail = Atomic(m_State->InterruptTail);
    const std::uint32_t at = head.load();
    if (at == tail.load()) {
        return false;
    }
    *word = m_State->Interrupts[at % kInterruptRing];
    head.store(at + 1);
    if (detail::Logging()) {
        LogEntry entry;
        entry.What = LogEntry::Kind::Interrupt;
        entry.Board = m_Number;
        entry.Length = 2;
        entry.Value = *word;
        detail::Log(std::move(entry));
    }
    return true;
}

bool SimBoard::RaiseInterrupt(std::uint16_t word) {
    bool queued = false;
    {
        std::lock_guard lock(m_Private->Mutex);
        auto head = Atomic(m_State->InterruptHead);
        auto tail = Atomic(m_State->InterruptTail);
        const std::uint32_t at = tail.load();
        if (at - head.load() < kInterruptRing) {
            m_State->Interrupts[at % kInterruptRing] = word;
            tail.store(at + 1);
            queued = true;
        }
    }
    // The interrupt line fires whether or not the pipe has room for the word.
    Atomic(m_State->Driver.InterruptCount).fetch_add(1);
    DriverWake();
    return queued;
}

void SimBoard::PowerOn() {
    std::lock_guard lock(m_Private->Mutex);
    InitState(*m_State, m_Number);
    m_Private->Held.clear();
}

std::uint16_t SimBoard::Register(std::uint32_t index) const {
    std::lock_guard lock(m_Private->Mutex);
    return StoredRegister(*m_State, (index % kRegisterCount) & ~1u);
}

void SimBoard::SetRegister(std::uint32_t index, std::uint16_t value) {
    std::lock_guard lock(m_Private->Mutex);
    StoreRegister(*m_State, (index % kRegisterCount) & ~1u, value);
}

bool SimBoard::ReadMemory(std::uint32_t address, std::span<std::uint8_t> bytes) const {
    if (address > kMemoryMapEnd || bytes.size() > kMemoryMapEnd - address) {
        return false;
    }
    std::lock_guard lock(m_Private->Mutex);
    std::memcpy(bytes.data(), m_State->Memory + address, bytes.size());
    return true;
}

bool SimBoard::WriteMemory(std::uint32_t address, std::span<const std::uint8_t> bytes) {
    if (address > kMemoryMapEnd || bytes.size() > kMemoryMapEnd - address) {
        return false;
    }
    std::lock_guard lock(m_Private->Mutex);
    std::memcpy(m_State->Memory + address, bytes.data(), bytes.size());
    return true;
}

std::uint32_t SimBoard::DroppedAccesses() const {
    std::lock_guard lock(m_Private->Mutex);
    return m_State->DroppedAccesses;
}

std::uint32_t SimBoard::UnknownPackets() const {
    std::lock_guard lock(m_Private->Mutex);
    return m_State->UnknownPackets;
}

std::uint32_t SimBoard::PendingReplies() const {
    std::lock_guard lock(m_Private->Mutex);
    return detail::QueueCount(*m_State);
}

void SimBoard::Config(std::uint8_t (&table)[4][6]) const {
    std::lock_guard lock(m_Private->Mutex);
    std::memcpy(table, m_State->Config, sizeof table);
}

void SimBoard::SetStatusWord(std::uint32_t status) {
    std::lock_guard lock(m_Private->Mutex);
    m_State->Status = status;
}

std::uint32_t SimBoard::SwitchState(std::uint8_t type) const {
    if (type < 15 || type > 18) {
        return 0;
    }
    std::lock_guard lock(m_Private->Mutex);
    return m_State->Switch[type - 15];
}

std::uint32_t SimBoard::RequestCount(std::uint8_t type) const {
    std::lock_guard lock(m_Private->Mutex);
    return m_State->RequestCount[type & 63];
}

namespace detail {

std::uint32_t ReleaseAllLateReplies() {
    std::vector<std::shared_ptr<SimBoard>> boards;
    {
        std::lock_guard registryLock(RegistryMutex());
        for (auto& [path, weak] : Registry()) {
            if (auto board = weak.lock()) {
                boards.push_back(std::move(board));
            }
        }
    }
    std::uint32_t released = 0;
    for (auto& board : boards) {
        released += board->ReleaseLateReplies();
    }
    return released;
}

} // namespace detail

} // namespace board
