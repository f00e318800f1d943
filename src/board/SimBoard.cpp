#include "board/SimBoard.h"

#include "board/BoardControl.h"
#include "board/ControlState.h"
#include "board/Controller.h"
#include "board/SimBoardPrivate.h"

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

bool Valid(const BoardState& i_State, unsigned i_Number) {
    return std::memcmp(i_State.Magic, kStateMagic, sizeof kStateMagic) == 0 &&
           i_State.Version == kStateVersion && i_State.Size == sizeof(BoardState) &&
           i_State.Number == i_Number;
}

void InitState(BoardState& o_State, unsigned i_Number) {
    std::memset(&o_State, 0, sizeof o_State);
    std::memcpy(o_State.Magic, kStateMagic, sizeof kStateMagic);
    o_State.Version = kStateVersion;
    o_State.Size = sizeof(BoardState);
    o_State.Number = i_Number;
    ResetRegisters(o_State);
}

std::atomic_ref<std::uint32_t> Atomic(std::uint32_t& io_Word) {
    return std::atomic_ref<std::uint32_t>(io_Word);
}

} // namespace

SimBoard::SimBoard(unsigned i_Number, std::string i_Path, int i_Fd, BoardState* i_State)
    : m_Number(i_Number), m_Path(std::move(i_Path)), m_Fd(i_Fd), m_State(i_State),
      m_Private(std::make_unique<Private>()) {
    m_Private->Reply.reserve(kReplyQueueSize);
}

SimBoard::~SimBoard() {
    munmap(m_State, sizeof(BoardState));
    close(m_Fd);
}

std::shared_ptr<SimBoard> SimBoard::Attach(const std::string& i_Folder, unsigned i_Number,
                                           int* o_Error) {
    int ignored = 0;
    int& error = o_Error != nullptr ? *o_Error : ignored;
    error = 0;
    if (i_Number >= kBoardCount) {
        error = ENODEV;
        return nullptr;
    }
    const std::string path = i_Folder + "/board-" + std::to_string(i_Number) + ".state";
    std::lock_guard registryLock(RegistryMutex());
    auto& registry = Registry();
    if (auto it = registry.find(path); it != registry.end()) {
        if (auto board = it->second.lock()) {
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
    } else if (static_cast<std::size_t>(info.st_size) < sizeof(BoardState)) {
        if (ftruncate(fd, sizeof(BoardState)) != 0) {
            error = errno;
        }
        fresh = true;
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
    if (fresh || !Valid(*state, i_Number)) {
        InitState(*state, i_Number);
    }
    flock(fd, LOCK_UN);
    std::shared_ptr<SimBoard> board(new SimBoard(i_Number, path, fd, state));
    registry[path] = board;
    return board;
}

bool SimBoard::InterruptIn(std::uint16_t* o_Word) {
    std::lock_guard lock(m_Private->Mutex);
    auto head = Atomic(m_State->InterruptHead);
    auto tail = Atomic(m_State->InterruptTail);
    const std::uint32_t at = head.load();
    if (at == tail.load()) {
        return false;
    }
    *o_Word = m_State->Interrupts[at % kInterruptRing];
    head.store(at + 1);
    if (detail::Logging()) {
        LogEntry entry;
        entry.What = LogEntry::Kind::Interrupt;
        entry.Board = m_Number;
        entry.Length = 2;
        entry.Value = *o_Word;
        detail::Log(std::move(entry));
    }
    return true;
}

bool SimBoard::RaiseInterrupt(std::uint16_t i_Word) {
    std::lock_guard lock(m_Private->Mutex);
    auto head = Atomic(m_State->InterruptHead);
    auto tail = Atomic(m_State->InterruptTail);
    const std::uint32_t at = tail.load();
    if (at - head.load() >= kInterruptRing) {
        return false;
    }
    m_State->Interrupts[at % kInterruptRing] = i_Word;
    tail.store(at + 1);
    return true;
}

void SimBoard::PowerOn() {
    std::lock_guard lock(m_Private->Mutex);
    InitState(*m_State, m_Number);
    m_Private->Held.clear();
}

std::uint16_t SimBoard::Register(std::uint32_t i_Index) const {
    std::lock_guard lock(m_Private->Mutex);
    const std::uint32_t index = (i_Index % kRegisterCount) & ~1u;
    return static_cast<std::uint16_t>(m_State->Registers[index] |
                                      (m_State->Registers[index + 1] << 8));
}

void SimBoard::SetRegister(std::uint32_t i_Index, std::uint16_t i_Value) {
    std::lock_guard lock(m_Private->Mutex);
    const std::uint32_t index = (i_Index % kRegisterCount) & ~1u;
    m_State->Registers[index] = static_cast<std::uint8_t>(i_Value);
    m_State->Registers[index + 1] = static_cast<std::uint8_t>(i_Value >> 8);
}

bool SimBoard::ReadMemory(std::uint32_t i_Address, std::span<std::uint8_t> o_Bytes) const {
    if (i_Address > kMemoryMapEnd || o_Bytes.size() > kMemoryMapEnd - i_Address) {
        return false;
    }
    std::lock_guard lock(m_Private->Mutex);
    std::memcpy(o_Bytes.data(), m_State->Memory + i_Address, o_Bytes.size());
    return true;
}

bool SimBoard::WriteMemory(std::uint32_t i_Address, std::span<const std::uint8_t> i_Bytes) {
    if (i_Address > kMemoryMapEnd || i_Bytes.size() > kMemoryMapEnd - i_Address) {
        return false;
    }
    std::lock_guard lock(m_Private->Mutex);
    std::memcpy(m_State->Memory + i_Address, i_Bytes.data(), i_Bytes.size());
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

void SimBoard::Config(std::uint8_t (&o_Table)[4][6]) const {
    std::lock_guard lock(m_Private->Mutex);
    std::memcpy(o_Table, m_State->Config, sizeof o_Table);
}

void SimBoard::SetStatusWord(std::uint32_t i_Status) {
    std::lock_guard lock(m_Private->Mutex);
    m_State->Status = i_Status;
}

std::uint32_t SimBoard::SwitchState(std::uint8_t i_Type) const {
    if (i_Type < 15 || i_Type > 18) {
        return 0;
    }
    std::lock_guard lock(m_Private->Mutex);
    return m_State->Switch[i_Type - 15];
}

std::uint32_t SimBoard::RequestCount(std::uint8_t i_Type) const {
    std::lock_guard lock(m_Private->Mutex);
    return m_State->RequestCount[i_Type & 63];
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
