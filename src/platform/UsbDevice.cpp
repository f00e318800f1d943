#include "platform/UsbDevice.h"

#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "board/UsbIdentity.h"
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

thread_local int t_LastError = 0;

bool Fail(int i_Error) {
    t_LastError = i_Error;
    return false;
}

std::shared_ptr<OpenDevice> Find(UsbDeviceHandle i_Handle) {
    HandleTable& table = Table();
    std::lock_guard lock(table.Mutex);
    if (i_Handle <= 0 || static_cast<std::size_t>(i_Handle) > table.Devices.size()) {
        return nullptr;
    }
    return table.Devices[static_cast<std::size_t>(i_Handle) - 1];
}

bool EqualNoCase(std::string_view i_Text, std::string_view i_Word) {
    return i_Text.size() == i_Word.size() &&
           std::equal(i_Text.begin(), i_Text.end(), i_Word.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
           });
}

// "[\\.\]ezusb-N[\PIPE0p]" -> board N and pipe p (kNoPipe for the device).
bool ParseName(std::string_view i_Name, unsigned* o_Board, std::uint32_t* o_Pipe) {
    if (i_Name.substr(0, 4) == "\\\\.\\") {
        i_Name.remove_prefix(4);
    }
    if (i_Name.size() < 7 || !EqualNoCase(i_Name.substr(0, 6), "ezusb-")) {
        return false;
    }
    const char digit = i_Name[6];
    if (digit < '0' || digit >= static_cast<char>('0' + board::kBoardCount)) {
        return false;
    }
    *o_Board = static_cast<unsigned>(digit - '0');
    i_Name.remove_prefix(7);
    if (i_Name.empty()) {
        *o_Pipe = kNoPipe;
        return true;
    }
    if (i_Name.size() != 7 || !EqualNoCase(i_Name.substr(0, 6), "\\pipe0")) {
        return false;
    }
    const char pipe = i_Name[6];
    if (pipe < '0' || pipe >= static_cast<char>('0' + board::kPipeCount)) {
        return false;
    }
    *o_Pipe = static_cast<std::uint32_t>(pipe - '0');
    return true;
}

bool PipeArgument(const void* i_In, std::uint32_t i_InLength, std::uint32_t i_Expected) {
    if (i_In == nullptr || i_InLength < 4) {
        return false;
    }
    std::uint32_t pipe = 0;
    std::memcpy(&pipe, i_In, sizeof pipe);
    return pipe == i_Expected;
}

} // namespace

UsbDeviceHandle UsbDeviceOpen(std::string_view i_Name) {
    unsigned number = 0;
    std::uint32_t pipe = kNoPipe;
    if (!ParseName(i_Name, &number, &pipe)) {
        Fail(ENOENT);
        return USB_NO_HANDLE;
    }
    if (board::IsAbsent(number)) {
        Fail(ENODEV);
        return USB_NO_HANDLE;
    }
    int error = 0;
    auto simBoard = board::SimBoard::Attach(SimFolder(), number, &error);
    if (!simBoard) {
        Fail(error != 0 ? error : EIO);
        return USB_NO_HANDLE;
    }
    auto device = std::make_shared<OpenDevice>();
    device->Board = std::move(simBoard);
    device->Pipe = pipe;
    HandleTable& table = Table();
    std::lock_guard lock(table.Mutex);
    table.Devices.push_back(std::move(device));
    return static_cast<UsbDeviceHandle>(table.Devices.size());
}

bool UsbDeviceClose(UsbDeviceHandle i_Handle) {
    HandleTable& table = Table();
    std::shared_ptr<OpenDevice> device;
    {
        std::lock_guard lock(table.Mutex);
        if (i_Handle <= 0 || static_cast<std::size_t>(i_Handle) > table.Devices.size() ||
            !table.Devices[static_cast<std::size_t>(i_Handle) - 1]) {
            return Fail(EBADF);
        }
        device = std::move(table.Devices[static_cast<std::size_t>(i_Handle) - 1]);
        device->Closed = true;
    }
    table.Closing.notify_all();
    return true;
}

bool UsbDeviceIoControl(UsbDeviceHandle i_Handle, std::uint32_t i_Code, const void* i_In,
                        std::uint32_t i_InLength, void* o_Out, std::uint32_t i_OutLength,
                        std::uint32_t* o_Returned) {
    std::uint32_t ignored = 0;
    std::uint32_t& returned = o_Returned != nullptr ? *o_Returned : ignored;
    returned = 0;
    const std::shared_ptr<OpenDevice> device = Find(i_Handle);
    if (!device || device->Pipe != kNoPipe) {
        return Fail(EBADF);
    }
    board::SimBoard& simBoard = *device->Board;
    if (board::IsAbsent(simBoard.Number())) {
        return Fail(ENODEV); // unplugged while open
    }
    auto* out = static_cast<std::uint8_t*>(o_Out);
    if (out == nullptr && i_OutLength != 0) {
        return Fail(EFAULT);
    }
    switch (i_Code) {
    case OXUSB_IOCTL_GET_PIPE_INFO: {
        if (i_OutLength == 0) {
            return Fail(EINVAL);
        }
        std::memset(out, 0, i_OutLength);
        returned = board::FillPipeInfo(std::span<std::uint8_t>(out, i_OutLength));
        return returned != 0 || Fail(EINVAL);
    }
    case OXUSB_IOCTL_GET_CONFIG_DESCRIPTOR: {
        const auto descriptor = board::ConfigDescriptor();
        returned =
            std::min<std::uint32_t>(i_OutLength, static_cast<std::uint32_t>(descriptor.size()));
        if (returned == 0) {
            return Fail(EINVAL);
        }
        std::memcpy(out, descriptor.data(), returned);
        return true;
    }
    case OXUSB_IOCTL_BULK_READ:
    case OXUSB_IOCTL_BULK_READ_CONTINUED:
        if (!PipeArgument(i_In, i_InLength, OXUSB_PIPE_BULK_IN)) {
            return Fail(EINVAL);
        }
        returned = simBoard.BulkIn(out, i_OutLength, i_Code == OXUSB_IOCTL_BULK_READ_CONTINUED);
        return true;
    case OXUSB_IOCTL_BULK_WRITE:
    case OXUSB_IOCTL_BULK_WRITE_CONTINUED:
        if (!PipeArgument(i_In, i_InLength, OXUSB_PIPE_BULK_OUT)) {
            return Fail(EINVAL);
        }
        simBoard.BulkOut(out, i_OutLength, i_Code == OXUSB_IOCTL_BULK_WRITE_CONTINUED);
        returned = i_OutLength;
        return true;
    case OXUSB_IOCTL_GET_DRIVER_VERSION: {
        if (i_OutLength < 6) {
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

bool UsbDeviceReadPipe(UsbDeviceHandle i_Handle, void* o_Buffer, std::uint32_t i_Length,
                       std::uint32_t i_TimeoutMs, std::uint32_t* o_Returned) {
    std::uint32_t ignored = 0;
    std::uint32_t& returned = o_Returned != nullptr ? *o_Returned : ignored;
    returned = 0;
    const std::shared_ptr<OpenDevice> device = Find(i_Handle);
    if (!device || device->Pipe == kNoPipe) {
        return Fail(EBADF);
    }
    if (o_Buffer == nullptr || i_Length == 0) {
        return Fail(EINVAL);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(i_TimeoutMs);
    HandleTable& table = Table();
    for (;;) {
        if (device->Closed) {
            return Fail(EBADF);
        }
        std::uint16_t word = 0;
        if (device->Pipe == OXUSB_PIPE_INTERRUPT && device->Board->InterruptIn(&word)) {
            const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(word),
                                           static_cast<std::uint8_t>(word >> 8)};
            returned = std::min<std::uint32_t>(i_Length, 2);
            std::memcpy(o_Buffer, bytes, returned);
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return Fail(ETIMEDOUT);
        }
        // Words may come from another process too: look again every millisecond.
        std::unique_lock lock(table.Mutex);
        table.Closing.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                                         deadline - now, std::chrono::milliseconds(1)));
    }
}

int UsbDeviceLastError() {
    return t_LastError;
}
