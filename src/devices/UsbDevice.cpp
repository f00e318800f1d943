#include "devices/UsbDevice.h"

#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "board/UsbIdentity.h"
#include "common/ByteOrder.h"
#include "platform/SimFolder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr std::uint32_t kNoPipe = 0xFFFFFFFF;

struct OpenDevice {
    std::shared_ptr<board::SimBoard> Board;
    std::uint32_t Pipe = kNoPipe; // kNoPipe: the device itself
    std::atomic<bool> Closed{false};
};

struct HandleTable {
    std::mutex Mutex;
    std::vector<std::shared_ptr<OpenDevice>> Devices; // handle = index + 1, never reused
    // Woken when a handle closes, so that a blocked interrupt read ends.
    std::condition_variable Closing;
};

HandleTable& Table() {
    static HandleTable* s_Table = new HandleTable; // used by threads that may outlive main
    return *s_Table;
}

thread_local int s_LastError = 0;
std::atomic<std::uint32_t> s_WaitingReads{0};
std::atomic<std::uint32_t> s_TimedOutReads{0};

bool Fail(int error) {
    s_LastError = error;
    return false;
}

std::shared_ptr<OpenDevice> Find(UsbDeviceHandle handle) {
    HandleTable& table = Table();
    std::lock_guard lock(table.Mutex);
    if (handle <= 0 || static_cast<std::size_t>(handle) > table.Devices.size()) {
        return nullptr;
    }
    return table.Devices[static_cast<std::size_t>(handle) - 1];
}

bool EqualNoCase(std::string_view text, std::string_view word) {
    return text.size() == word.size() &&
           std::equal(text.begin(), text.end(), word.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
           });
}

// "[\\.\]ezusb-N[\PIPE0p]" -> board N and pipe p (kNoPipe for the device).
bool ParseName(std::string_view name, unsigned* board, std::uint32_t* pipeOut) {
    if (name.substr(0, 4) == "\\\\.\\") {
        name.remove_prefix(4);
    }
    if (name.size() < 7 || !EqualNoCase(name.substr(0, 6), "ezusb-")) {
        return false;
    }
    const char digit = name[6];
    if (digit < '0' || digit >= static_cast<char>('0' + board::kBoardCount)) {
        return false;
    }
    *board = static_cast<unsigned>(digit - '0');
    name.remove_prefix(7);
    if (name.empty()) {
        *pipeOut = kNoPipe;
        return true;
    }
    if (name.size() != 7 || !EqualNoCase(name.substr(0, 6), "\\pipe0")) {
        return false;
    }
    const char pipe = name[6];
    if (pipe < '0' || pipe >= static_cast<char>('0' + board::kPipeCount)) {
        return false;
    }
    *pipeOut = static_cast<std::uint32_t>(pipe - '0');
    return true;
}

bool PipeArgument(const void* in, std::uint32_t inLength, std::uint32_t expected) {
    if (in == nullptr || inLength < 4) {
        return false;
    }
    std::uint32_t pipe = 0;
    std::memcpy(&pipe, in, sizeof pipe);
    return pipe == expected;
}

} // namespace

UsbDeviceHandle UsbDeviceOpen(std::string_view name) {
    unsigned number = 0;
    std::uint32_t pipe = kNoPipe;
    if (!ParseName(name, &number, &pipe)) {
        Fail(ENOENT);
        return kUsbNoHandle;
    }
    if (board::IsAbsent(number)) {
        Fail(ENODEV);
        return kUsbNoHandle;
    }
    int error = 0;
    auto simBoard = board::SimBoard::Attach(SimFolder(), number, &error);
    if (!simBoard) {
        Fail(error != 0 ? error : EIO);
        return kUsbNoHandle;
    }
    auto device = std::make_shared<OpenDevice>();
    device->Board = std::move(simBoard);
    device->Pipe = pipe;
    HandleTable& table = Table();
    std::lock_guard lock(table.Mutex);
    table.Devices.push_back(std::move(device));
    return static_cast<UsbDeviceHandle>(table.Devices.size());
}

bool UsbDeviceClose(UsbDeviceHandle handle) {
    HandleTable& table = Table();
    std::shared_ptr<OpenDevice> device;
    {
        std::lock_guard lock(table.Mutex);
        if (handle <= 0 || static_cast<std::size_t>(handle) > table.Devices.size() ||
            !table.Devices[static_cast<std::size_t>(handle) - 1]) {
            return Fail(EBADF);
        }
        device = std::move(table.Devices[static_cast<std::size_t>(handle) - 1]);
        device->Closed = true;
    }
    table.Closing.notify_all();
    return true;
}

bool UsbDeviceIoControl(UsbDeviceHandle handle, std::uint32_t code, const void* in,
                        std::uint32_t inLength, void* outBuffer, std::uint32_t outLength,
                        std::uint32_t* returnedOut) {
    std::uint32_t ignored = 0;
    std::uint32_t& returned = returnedOut != nullptr ? *returnedOut : ignored;
    returned = 0;
    const std::shared_ptr<OpenDevice> device = Find(handle);
    if (!device || device->Pipe != kNoPipe) {
        return Fail(EBADF);
    }
    board::SimBoard& simBoard = *device->Board;
    // A reply is read in the access its request began, where the state file was looked at.
    const bool reply = code == OXUSB_IOCTL_BULK_READ || code == OXUSB_IOCTL_BULK_READ_CONTINUED;
    if (board::IsAbsent(simBoard.Number()) ||
        (reply ? simBoard.Unplugged() : !simBoard.Present())) {
        return Fail(ENODEV); // unplugged while open (or its state file is gone)
    }
    auto* out = static_cast<std::uint8_t*>(outBuffer);
    if (out == nullptr && outLength != 0) {
        return Fail(EFAULT);
    }
    switch (code) {
    case OXUSB_IOCTL_GET_PIPE_INFO: {
        if (outLength == 0) {
            return Fail(EINVAL);
        }
        std::memset(out, 0, outLength);
        returned = board::FillPipeInfo(std::span<std::uint8_t>(out, outLength));
        return returned != 0 || Fail(EINVAL);
    }
    case OXUSB_IOCTL_GET_CONFIG_DESCRIPTOR: {
        const auto descriptor = board::ConfigDescriptor();
        returned =
            std::min<std::uint32_t>(outLength, static_cast<std::uint32_t>(descriptor.size()));
        if (returned == 0) {
            return Fail(EINVAL);
        }
        std::memcpy(out, descriptor.data(), returned);
        return true;
    }
    case OXUSB_IOCTL_BULK_READ:
    case OXUSB_IOCTL_BULK_READ_CONTINUED:
        if (!PipeArgument(in, inLength, OXUSB_PIPE_BULK_IN)) {
            return Fail(EINVAL);
        }
        returned = simBoard.BulkIn(out, outLength, code == OXUSB_IOCTL_BULK_READ_CONTINUED);
        return true;
    case OXUSB_IOCTL_BULK_WRITE:
    case OXUSB_IOCTL_BULK_WRITE_CONTINUED:
        if (!PipeArgument(in, inLength, OXUSB_PIPE_BULK_OUT)) {
            return Fail(EINVAL);
        }
        simBoard.BulkOut(out, outLength, code == OXUSB_IOCTL_BULK_WRITE_CONTINUED);
        returned = outLength;
        return true;
    case OXUSB_IOCTL_GET_DRIVER_VERSION: {
        if (outLength < 6) {
            return Fail(EINVAL);
        }
        const board::DriverVersion version = board::GetDriverVersion();
        const std::uint16_t words[3] = {version.Major, version.Minor, version.Build};
        std::memcpy(out, words, sizeof words);
        returned = sizeof words;
        return true;
    }
    default:
        return Fail(EINVAL);
    }
}

bool UsbDeviceReadPipe(UsbDeviceHandle handle, void* buffer, std::uint32_t length,
                       std::uint32_t timeoutMs, std::uint32_t* returnedOut) {
    std::uint32_t ignored = 0;
    std::uint32_t& returned = returnedOut != nullptr ? *returnedOut : ignored;
    returned = 0;
    const std::shared_ptr<OpenDevice> device = Find(handle);
    if (!device || device->Pipe == kNoPipe) {
        return Fail(EBADF);
    }
    if (buffer == nullptr || length == 0) {
        return Fail(EINVAL);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    HandleTable& table = Table();
    ++s_WaitingReads;
    struct Done {
        ~Done() { --s_WaitingReads; }
    } done;
    for (;;) {
        if (device->Closed) {
            return Fail(EBADF);
        }
        if (!device->Board->Present()) {
            return Fail(ENODEV);
        }
        std::uint16_t word = 0;
        if (device->Pipe == OXUSB_PIPE_INTERRUPT && device->Board->InterruptIn(&word)) {
            std::uint8_t bytes[2];
            StoreLe16(bytes, word);
            returned = std::min<std::uint32_t>(length, 2);
            std::memcpy(buffer, bytes, returned);
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            ++s_TimedOutReads;
            return Fail(ETIMEDOUT);
        }
        // Words may come from another process too: look again every millisecond.
        std::unique_lock lock(table.Mutex);
        table.Closing.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                                         deadline - now, std::chrono::milliseconds(1)));
    }
}

int UsbDeviceLastError() {
    return s_LastError;
}

UsbDevicePipeReads UsbDeviceGetPipeReads() {
    return {s_WaitingReads.load(), s_TimedOutReads.load()};
}
