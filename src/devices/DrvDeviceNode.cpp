// The kernel driver's node: open and close, the handle table, and the control requests.

#include "devices/DrvDeviceNode.h"

#include "board/BoardControl.h"
#include "board/StateFile.h"
#include "common/BoardFileNames.h"
#include "platform/SimFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <system_error>
#include <unistd.h>

static_assert(sizeof(DrvInterruptRecord) == board::kDriverRecordSize);
static_assert(kDrvBoardExtent == (board::kWindowUsed + 0xFFFF) / 0x10000 * 0x10000);

namespace drvdevice {

namespace {

constexpr std::uint32_t kPageSize = 4096;

struct HandleTable {
    std::mutex Mutex;
    std::vector<std::shared_ptr<OpenNode>> Nodes; // handle = index + 1, never reused
};

HandleTable& Table() {
    static HandleTable* s_Table = new HandleTable; // used at exit and by threads that outlive main
    return *s_Table;
}

thread_local int t_LastError = 0;

bool EqualNoCase(std::string_view text, std::string_view word) {
    return text.size() == word.size() &&
           std::equal(text.begin(), text.end(), word.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
           });
}

bool IsNodeName(std::string_view name) {
    if (name.substr(0, 4) == "\\\\.\\") {
        name.remove_prefix(4);
    }
    return EqualNoCase(name, "q3v47xxx");
}

// The board number that Q3VBOARD selects: its first character when '0' .. '7', else 0.
unsigned SelectedBoard() {
    const char* text = std::getenv("Q3VBOARD");
    if (text != nullptr && text[0] >= '0' &&
        text[0] < static_cast<char>('0' + board::kBoardCount)) {
        return static_cast<unsigned>(text[0] - '0');
    }
    return 0;
}

// Releases what an open node holds (its completer has ended).
void Release(OpenNode& node) {
    for (const Mapping& mapping : node.Mappings) {
        munmap(mapping.Address, mapping.Length);
    }
    node.Mappings.clear();
    if (node.StateFd >= 0) {
        close(node.StateFd);
    }
    if (node.LockFd >= 0) {
        close(node.LockFd); // frees the node for the next open
    }
}

// Maps length bytes of the board's window from offset; nullptr (and the error) on failure.
void* MapWindow(OpenNode& node, std::uint32_t offset, std::uint32_t length) {
    void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, node.StateFd,
                         static_cast<off_t>(board::kWindowOffset) + offset);
    if (address == MAP_FAILED) {
        Fail(errno);
        return nullptr;
    }
    std::lock_guard lock(node.Mutex);
    node.Mappings.push_back(Mapping{address, length});
    return address;
}

bool Unmap(OpenNode& node, std::uint64_t linear) {
    if (linear == 0) {
        return true;
    }
    std::lock_guard lock(node.Mutex);
    const auto it = std::find_if(node.Mappings.begin(), node.Mappings.end(), [linear](auto& m) {
        return reinterpret_cast<std::uintptr_t>(m.Address) == linear;
    });
    if (it == node.Mappings.end()) {
        return Fail(EINVAL);
    }
    munmap(it->Address, it->Length);
    node.Mappings.erase(it);
    return true;
}

// MAP: the request's bytes of the window at the physical address, inside the window.
bool MapRequest(OpenNode& node, const DrvMapRequest& request, std::uint64_t* linear) {
    const std::uint64_t offset =
        std::uint64_t{request.Physical} - std::uint64_t{kDrvBoardPhysicalAddress};
    if (request.Physical < kDrvBoardPhysicalAddress || offset % kPageSize != 0 ||
        request.Size == 0 || offset + request.Size > board::kWindowSize) {
        return Fail(EINVAL);
    }
    void* address = MapWindow(node, static_cast<std::uint32_t>(offset), request.Size);
    *linear = reinterpret_cast<std::uintptr_t>(address);
    return address != nullptr;
}

// ENABLE and DISABLE: the record, with at most 8 entries.
bool TakeRecord(OpenNode& node, const void* in, std::uint32_t inLength, bool enable) {
    DrvInterruptRecord record{};
    if (in == nullptr || inLength < sizeof record) {
        return Fail(EINVAL);
    }
    std::memcpy(&record, in, sizeof record);
    if (record.Count > kDrvMaxInterruptEntries) {
        return Fail(EINVAL);
    }
    if (!enable) {
        StopWaiting(node, false);
        return true;
    }
    node.Board->StoreDriverInterruptRecord(
        std::span(reinterpret_cast<const std::uint8_t*>(&record), sizeof record));
    std::lock_guard lock(node.Mutex);
    node.Enabled = true;
    node.Seen = node.Board->InterruptCount(); // interrupts before the enable do not count
    return true;
}

bool AnswerWord(void* out, std::uint32_t outLength, std::uint32_t word, std::uint32_t& returned) {
    if (outLength < sizeof word) {
        return Fail(EINVAL);
    }
    std::memcpy(out, &word, sizeof word);
    returned = sizeof word;
    return true;
}

bool BoardAddress(OpenNode& node, const void* in, std::uint32_t inLength, void* out,
                  std::uint32_t outLength, std::uint32_t& returned) {
    std::uint32_t slot = 0;
    if (in == nullptr || inLength < sizeof slot) {
        return Fail(EINVAL);
    }
    std::memcpy(&slot, in, sizeof slot);
    const bool shortAnswer = board::TakeDriverFault(board::Fault::DrvShortAddress);
    const std::uint32_t answer = shortAnswer ? sizeof(std::uint64_t) : sizeof(DrvBoardAddress);
    if (slot != 0 || outLength < answer) {
        return Fail(EINVAL);
    }
    void* address = MapWindow(node, 0, board::kWindowSize);
    if (address == nullptr) {
        return false;
    }
    const DrvBoardAddress reply{reinterpret_cast<std::uintptr_t>(address), 0, kDrvBoardExtent};
    std::memcpy(out, &reply, answer);
    returned = answer;
    return true;
}

} // namespace

std::shared_ptr<OpenNode> Find(DrvDeviceHandle handle) {
    HandleTable& table = Table();
    std::lock_guard lock(table.Mutex);
    if (handle <= 0 || static_cast<std::size_t>(handle) > table.Nodes.size()) {
        return nullptr;
    }
    return table.Nodes[static_cast<std::size_t>(handle) - 1];
}

bool Fail(int error) {
    t_LastError = error;
    return false;
}

std::uint32_t& ReturnedCount(std::uint32_t* returnedOut) {
    thread_local std::uint32_t t_Scratch = 0;
    std::uint32_t& returned = returnedOut != nullptr ? *returnedOut : t_Scratch;
    returned = 0;
    return returned;
}

} // namespace drvdevice

using namespace drvdevice;

DrvDeviceHandle DrvDeviceOpen(std::string_view name) {
    if (!IsNodeName(name)) {
        Fail(ENOENT);
        return DRV_NO_HANDLE;
    }
    const unsigned number = SelectedBoard();
    if (board::IsAbsent(number)) {
        Fail(ENODEV);
        return DRV_NO_HANDLE;
    }
    const std::string folder = SimFolder();
    auto node = std::make_shared<OpenNode>();
    const std::string lockPath = folder + "/" + DriverNodeLockFileName(number);
    node->LockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (node->LockFd < 0) {
        Fail(errno);
        return DRV_NO_HANDLE;
    }
    if (flock(node->LockFd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        Release(*node);
        Fail(error);
        return DRV_NO_HANDLE;
    }
    int error = 0;
    node->Board = board::SimBoard::Attach(folder, number, &error);
    if (node->Board) {
        node->StateFd = open(node->Board->Path().c_str(), O_RDWR | O_CLOEXEC);
        error = node->StateFd < 0 ? errno : 0;
    }
    if (!node->Board || error != 0) {
        Release(*node);
        Fail(error != 0 ? error : EIO);
        return DRV_NO_HANDLE;
    }
    try {
        node->Completer = std::thread(RunCompleter, node);
    } catch (const std::system_error&) {
        Release(*node);
        Fail(EAGAIN);
        return DRV_NO_HANDLE;
    }
    HandleTable& table = Table();
    std::lock_guard lock(table.Mutex);
    table.Nodes.push_back(std::move(node));
    return static_cast<DrvDeviceHandle>(table.Nodes.size());
}

bool DrvDeviceClose(DrvDeviceHandle handle) {
    std::shared_ptr<OpenNode> node;
    {
        HandleTable& table = Table();
        std::lock_guard lock(table.Mutex);
        if (handle <= 0 || static_cast<std::size_t>(handle) > table.Nodes.size() ||
            !table.Nodes[static_cast<std::size_t>(handle) - 1]) {
            return Fail(EBADF);
        }
        node = std::move(table.Nodes[static_cast<std::size_t>(handle) - 1]);
    }
    StopWaiting(*node, true);
    if (node->Completer.get_id() == std::this_thread::get_id()) {
        node->Completer.detach(); // closed from a completion: the completer ends by itself
    } else {
        node->Completer.join();
    }
    std::lock_guard lock(node->Mutex);
    Release(*node);
    return true;
}

bool DrvDeviceIoControl(DrvDeviceHandle handle, std::uint32_t code, const void* in,
                        std::uint32_t inLength, void* outBuffer, std::uint32_t outLength,
                        std::uint32_t* returnedOut) {
    std::uint32_t& returned = ReturnedCount(returnedOut);
    const std::shared_ptr<OpenNode> node = Find(handle);
    if (!node) {
        return Fail(EBADF);
    }
    if (!node->Board->Present()) {
        return Fail(ENODEV); // its state file is gone: unplugged
    }
    node->Board->CountDriverRequest(code);
    if (outBuffer == nullptr && outLength != 0) {
        return Fail(EFAULT);
    }
    switch (code) {
    case OXDRV_IOCTL_MAP: {
        DrvMapRequest request{};
        std::uint64_t linear = 0;
        if (in == nullptr || inLength < sizeof request || outLength < sizeof linear) {
            return Fail(EINVAL);
        }
        std::memcpy(&request, in, sizeof request);
        if (!MapRequest(*node, request, &linear)) {
            return false;
        }
        std::memcpy(outBuffer, &linear, sizeof linear);
        returned = sizeof linear;
        return true;
    }
    case OXDRV_IOCTL_UNMAP: {
        std::uint64_t linear = 0;
        if (in == nullptr || inLength < sizeof linear) {
            return Fail(EINVAL);
        }
        std::memcpy(&linear, in, sizeof linear);
        return Unmap(*node, linear);
    }
    case OXDRV_IOCTL_ENABLE_INTERRUPTS:
    case OXDRV_IOCTL_DISABLE_INTERRUPTS:
        return TakeRecord(*node, in, inLength, code == OXDRV_IOCTL_ENABLE_INTERRUPTS) &&
               (outLength == 0 || AnswerWord(outBuffer, outLength, 0, returned));
    case OXDRV_IOCTL_GET_VERSION: {
        const board::DriverVersion version = board::GetKernelDriverVersion();
        return AnswerWord(outBuffer, outLength,
                          std::uint32_t{version.Major} << 16 | std::uint32_t{version.Minor},
                          returned);
    }
    case OXDRV_IOCTL_ACK_INTERRUPT:
        return outLength == 0 || AnswerWord(outBuffer, outLength, 0, returned);
    case OXDRV_IOCTL_GET_BOARD_ADDRESS:
        return BoardAddress(*node, in, inLength, outBuffer, outLength, returned);
    default:
        return Fail(EINVAL);
    }
}

int DrvDeviceLastError() {
    return t_LastError;
}
