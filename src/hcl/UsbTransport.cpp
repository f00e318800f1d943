#include "hcl/UsbTransport.h"

#include "common/ByteOrder.h"
#include "hcl/HclBoard.h"
#include "hcl/Services.h"
#include "hcl/ServicesInternal.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

namespace {

// Process-wide state of the transport.
std::atomic<UsbDeviceHandle> s_Device{kUsbNoHandle};
char s_DeviceName[] = "ezusb-0";
constexpr std::size_t kDigitAt = sizeof s_DeviceName - 2;
std::uint32_t s_Verbose = 0;
std::atomic<bool> s_LastTransferFailed{false};

// Interrupt state. s_IrqMutex guards the changes of the running state and the pipe.
std::mutex s_IrqMutex;
std::atomic<UsbDeviceHandle> s_InterruptPipe{kUsbNoHandle};
oxHandle s_InterruptEvent = nullptr;
std::atomic<bool> s_Running{false};
std::atomic<std::uint32_t> s_Generation{0}; // of the thread that may run
std::atomic<oxUsbInterruptCallback> s_Callback{nullptr};
// How this thread's last interrupt read ended: none (time-out), success or failure.
thread_local std::uint32_t s_CompletionStatus = 0;
std::uint32_t s_InstallResult = oxUSB_IRQ_OK;

constexpr std::uint32_t kCompletionNone = 0;
constexpr std::uint32_t kCompletionSuccess = 1;
constexpr std::uint32_t kCompletionFailure = 2;

std::string DevicePath(const char* suffix) {
    return std::string("\\\\.\\") + s_DeviceName + suffix;
}

// Applies the board number of Q3VBOARD to the device name (the board lock uses the same).
void ApplyBoardDigit() {
    s_DeviceName[kDigitAt] = static_cast<char>('0' + oxHclBoardNumber());
}

const char* PipeTypeText(std::uint32_t type) {
    static const char* const kTypes[] = {"CTL", "ISO", "BLK", "INT"};
    return type < 4 ? kTypes[type] : "???";
}

bool StillMine(std::uint32_t generation) {
    return s_Running && s_Generation == generation;
}

// The argument is the generation the thread was started with.
std::uint32_t InterruptThread(void* argument) {
    const auto generation = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(argument));
    while (StillMine(generation)) {
        std::uint16_t word = 0;
        if (!oxUsbTransportReadInterruptWord(&word)) {
            // A read that did not complete within its time is an idle second: wait again. A
            // failed read (closed pipe, empty transfer) ends the thread.
            if (s_CompletionStatus == kCompletionNone && s_InterruptPipe != kUsbNoHandle) {
                continue;
            }
            break;
        }
        if ((word & 1) == 0) {
            std::printf("Usb Transport: Bad interrupt word 0x%04x ignored.\n", word);
            continue;
        }
        const oxUsbInterruptCallback callback = s_Callback;
        if (StillMine(generation) && callback != nullptr) {
            callback();
        }
    }
    {
        // Not running any more, so that the next callback installation starts a new thread.
        std::lock_guard lock(s_IrqMutex);
        if (s_Generation == generation) {
            s_Running = false;
        }
    }
    return 0;
}

// A bulk transfer on the device (the driver takes the data to write in its output buffer). A
// thread that asked for the board lock and could not have it transfers nothing: the lock's error
// is the transfer's, so that two programs never interleave their packets.
bool BulkIoControl(UsbDeviceHandle device, std::uint32_t code, std::uint32_t pipe, void* buffer,
                   std::uint32_t length, std::uint32_t* returned, int* error) {
    if (const int lockError = oxBoardLockError(); lockError != 0) {
        *error = lockError;
        return false;
    }
    if (!UsbDeviceIoControl(device, code, &pipe, sizeof pipe, buffer, length, returned)) {
        *error = UsbDeviceLastError();
        return false;
    }
    return true;
}

} // namespace

bool oxUsbTransportOpen() {
    if (s_Device != kUsbNoHandle) {
        UsbDeviceClose(s_Device);
        s_Device = kUsbNoHandle;
    }
    oxUsbTransportCloseInterrupt();
    UsbDeviceHandle device = kUsbNoHandle;
    if (!oxUsbTransportOpenDevice(&device)) {
        return false;
    }
    s_Device = device;
    std::uint16_t version[3] = {0, 0, 0};
    std::uint32_t returned = 0;
    if (!UsbDeviceIoControl(device, OXUSB_IOCTL_GET_DRIVER_VERSION, version, sizeof version,
                            version, sizeof version, &returned) ||
        returned < sizeof version) {
        oxAssert("Usb Transport: Driver Version is not available.");
        return false;
    }
    const bool recent = version[0] > oxUSB_DRIVER_MAJOR ||
                        (version[0] == oxUSB_DRIVER_MAJOR && version[1] >= oxUSB_DRIVER_MINOR);
    if (!recent) {
        oxAssert("Usb Transport: Required upgrade of the Q3V47xxxUSB driver to version 1.34 or "
                 "higher.");
        return false;
    }
    return true;
}

bool oxUsbTransportClose() {
    const UsbDeviceHandle device = s_Device.exchange(kUsbNoHandle);
    if (device == kUsbNoHandle) {
        return false;
    }
    UsbDeviceClose(device);
    return true;
}

bool oxUsbTransportOpenDevice(UsbDeviceHandle* handleOut) {
    if (const char* value = std::getenv("Q3VBOARD"); value != nullptr && s_Verbose != 0) {
        std::printf("env var: %.32s ", value);
    }
    ApplyBoardDigit();
    const UsbDeviceHandle handle = UsbDeviceOpen(DevicePath(""));
    if (handle == kUsbNoHandle) {
        std::printf("Device %s failed to open\n", s_DeviceName);
        if (handleOut != nullptr) {
            *handleOut = kUsbNoHandle;
        }
        return false;
    }
    if (handleOut != nullptr) {
        *handleOut = handle;
    }
    return true;
}

UsbDeviceHandle oxUsbTransportOpenPipe(std::uint32_t pipe) {
    ApplyBoardDigit();
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "\\PIPE0%u", pipe);
    const std::string path = DevicePath(suffix);
    if (s_Verbose != 0) {
        std::printf("\nUsb Transport: PipeName %s", path.c_str());
    }
    const UsbDeviceHandle handle = UsbDeviceOpen(path);
    if (handle == kUsbNoHandle) {
        oxAssert("Open Pipe failed %x", static_cast<unsigned>(UsbDeviceLastError()));
    }
    return handle;
}

bool oxUsbTransportGetPipeInfo() {
    std::uint8_t record[OXUSB_PIPE_INFO_SIZE] = {};
    std::uint32_t returned = 0;
    if (!UsbDeviceIoControl(s_Device, OXUSB_IOCTL_GET_PIPE_INFO, nullptr, 0, record, sizeof record,
                            &returned)) {
        oxAssert("Usb Transport: Get Pipe Info failed.");
        return false;
    }
    if (s_Verbose != 0) {
        // The count comes from the driver: show no more records than the reply holds.
        const std::uint32_t size = std::min<std::uint32_t>(returned, sizeof record);
        const std::uint32_t room = size > OXUSB_PIPE_RECORD_OFFSET
                                       ? (size - OXUSB_PIPE_RECORD_OFFSET) / OXUSB_PIPE_RECORD_SIZE
                                       : 0;
        const std::uint32_t pipes = std::min(LoadLe32(record + 12), room);
        for (std::uint32_t i = 0; i < pipes; ++i) {
            const std::uint8_t* pipe =
                record + OXUSB_PIPE_RECORD_OFFSET + i * OXUSB_PIPE_RECORD_SIZE;
            std::printf(
                "\nUsb Transport: \nPipe: %2d   Type: %s Endpoint: %2d %s  MaxPktSize: 0x%x",
                static_cast<int>(i), PipeTypeText(LoadLe32(pipe + 4)), pipe[2] & 0x0F,
                (pipe[2] & 0x80) != 0 ? "IN " : "OUT", LoadLe16(pipe));
        }
    }
    return true;
}

bool GetConfigDescriptor() {
    if (s_Device == kUsbNoHandle) {
        oxAssert("Usb Transport: Device is not opened.");
        return false;
    }
    std::uint8_t head[10] = {};
    std::uint32_t returned = 0;
    if (!UsbDeviceIoControl(s_Device, OXUSB_IOCTL_GET_CONFIG_DESCRIPTOR, nullptr, 0, head,
                            sizeof head, &returned) ||
        returned < 4) {
        oxAssert("Usb Transport: Get Configuration Descriptor Failed.");
        return false;
    }
    // The total length comes from the device: it must at least hold the configuration
    // descriptor itself.
    const std::uint32_t total = LoadLe16(head + 2);
    if (total < 9) {
        oxAssert("Usb Transport: Get Configuration Descriptor Failed.");
        return false;
    }
    std::uint8_t* descriptor = new (std::nothrow) std::uint8_t[total];
    if (descriptor == nullptr) {
        oxAssert("Usb Transport: Memory Allocation failed in GetConfigDescriptor.");
        return false;
    }
    std::memset(descriptor, 0, total);
    const bool ok = UsbDeviceIoControl(s_Device, OXUSB_IOCTL_GET_CONFIG_DESCRIPTOR, nullptr, 0,
                                       descriptor, total, &returned);
    if (!ok) {
        oxAssert("Usb Transport: Usb Transport: GetConfigDescriptor Ioctl failed.");
    } else {
        oxUsbTransportPrintConfigDescriptor(descriptor, std::min(returned, total));
    }
    delete[] descriptor;
    return ok;
}

void oxUsbTransportPrintConfigDescriptor(const std::uint8_t* descriptor, std::uint32_t length) {
    if (s_Verbose == 0 || descriptor == nullptr || length < 9) {
        return;
    }
    const std::uint8_t* d = descriptor;
    std::printf("\nConfig Descriptor:  ");
    std::printf("\nbLength: 0x%x", d[0]);
    std::printf("\nbDescriptorType:  %d", d[1]);
    std::printf("\nwTotalLength:  %d (0x%x)", LoadLe16(d + 2), LoadLe16(d + 2));
    std::printf("\nbNumInterfaces:  %d", d[4]);
    std::printf("\nbConfigurationValue:  %d", d[5]);
    std::printf("\niConfiguration:  %d", d[6]);
    std::printf("\nbmAttributes: 0x%x", d[7]);
    std::printf("\nMaxPower:  %d", d[8]);
    // Walk the descriptors that follow by their length bytes, within the total length and the
    // bytes at hand; a length below 2 would never advance and ends the walk.
    const std::uint32_t end = std::min<std::uint32_t>(length, LoadLe16(d + 2));
    std::uint32_t at = d[0] >= 2 ? d[0] : 9;
    int endpoint = 0;
    while (at + 2 <= end) {
        const std::uint8_t* p = descriptor + at;
        const std::uint32_t entryLength = p[0];
        if (entryLength < 2 || at + entryLength > end) {
            break;
        }
        if (p[1] == 4 && entryLength >= 9) {
            endpoint = 0;
            std::printf("\nInterface Descriptor:  ");
            std::printf("\n--------------------------------");
            std::printf("\nbLength:  0x%x", p[0]);
            std::printf("\nbDescriptorType:  %d", p[1]);
            std::printf("\nbInterfaceNumber:  %d", p[2]);
            std::printf("\nbAlternateSetting:  %d", p[3]);
            std::printf("\nbNumEndpoints:  %d", p[4]);
            std::printf("\nbInterfaceClass:  %d (0x%x)", p[5], p[5]);
            std::printf("\nbInterfaceSubClass:  %d (0x%x)", p[6], p[6]);
            std::printf("\nbInterfaceProtocol:  %d (0x%x)", p[7], p[7]);
            std::printf("\niInterface:  %d", p[8]);
        } else if (p[1] == 5 && entryLength >= 7) {
            std::printf("\nEndpoint Descriptor %d  ", endpoint++);
            std::printf("\n--------------------------------");
            std::printf("\nbLength:  0x%x", p[0]);
            std::printf("\nbDescriptorType:  %d", p[1]);
            std::printf("\nbEndpointAddress:  0x%x", p[2]);
            std::printf("\nbmAttributes:  0x%x", p[3]);
            std::printf("\nwMaxPacketSize:  %d", LoadLe16(p + 4));
            std::printf("\nbInterval:  %d", p[6]);
        }
        at += entryLength;
    }
}

std::uint32_t oxUsbTransportToggleVerbose() {
    s_Verbose = s_Verbose != 0 ? 0 : 1;
    return s_Verbose;
}

std::uint32_t oxUsbTransportOut(std::uint8_t type, const void* buffer, std::uint32_t length,
                                bool continued) {
    if (buffer == nullptr) {
        const std::uint8_t packet[2] = {type, 0};
        return oxUsbTransportWriteIoctl(OXUSB_PIPE_BULK_OUT, packet, sizeof packet, continued);
    }
    return oxUsbTransportWriteIoctl(OXUSB_PIPE_BULK_OUT, buffer, length, continued);
}

std::uint32_t oxUsbTransportIn(void* buffer, std::uint32_t length, bool continued) {
    if (buffer == nullptr) {
        oxAssert("Usb Transport: No buffer available for oxUsbTransportIn transaction.");
        return 0;
    }
    return oxUsbTransportReadIoctl(OXUSB_PIPE_BULK_IN, buffer, length, continued);
}

std::uint32_t oxUsbTransportWriteIoctl(std::uint32_t pipe, const void* buffer, std::uint32_t length,
                                       bool continued) {
    const UsbDeviceHandle device = s_Device;
    if (device == kUsbNoHandle) {
        return 0;
    }
    std::uint32_t returned = 0;
    int error = 0;
    if (!BulkIoControl(device,
                       continued ? OXUSB_IOCTL_BULK_WRITE_CONTINUED : OXUSB_IOCTL_BULK_WRITE, pipe,
                       const_cast<void*>(buffer), length, &returned, &error)) {
        s_LastTransferFailed = true;
        oxAssert("Usb Transport: Write IOCTL failed %d", error);
        return 0;
    }
    s_LastTransferFailed = false;
    if (s_Verbose != 0) {
        oxUsbTransportPrintPacket(static_cast<const std::uint8_t*>(buffer), returned);
    }
    return returned;
}

std::uint32_t oxUsbTransportReadIoctl(std::uint32_t pipe, void* buffer, std::uint32_t length,
                                      bool continued) {
    const UsbDeviceHandle device = s_Device;
    if (device == kUsbNoHandle) {
        return 0;
    }
    std::uint32_t returned = 0;
    int error = 0;
    if (!BulkIoControl(device, continued ? OXUSB_IOCTL_BULK_READ_CONTINUED : OXUSB_IOCTL_BULK_READ,
                       pipe, buffer, length, &returned, &error)) {
        s_LastTransferFailed = true;
        oxAssert("Usb Transport: USB T: Read IOCTL failed: NACK %d", error);
        return 0;
    }
    s_LastTransferFailed = false;
    if (s_Verbose != 0 && returned != 0) {
        oxUsbTransportPrintPacket(static_cast<const std::uint8_t*>(buffer), returned);
    }
    return returned;
}

void oxUsbTransportPrintPacket(const std::uint8_t* packet, std::uint32_t length) {
    if (s_Verbose == 0 || packet == nullptr) {
        return;
    }
    std::printf("\nUsb Transport: PKT << 0x%02x 0x%02x", length > 0 ? packet[0] : 0,
                length > 1 ? packet[1] : 0);
    std::printf("\n len %d", static_cast<int>(length));
    const std::uint32_t end = std::min<std::uint32_t>(length, 16);
    for (std::uint32_t i = 2; i < end; ++i) {
        if ((i - 2) % 8 == 0) {
            std::printf("\n");
        }
        std::printf("0x%02x ", packet[i]);
    }
    std::printf("\n");
}

bool oxUsbTransportOpenInterrupt() {
    oxUsbTransportCloseInterrupt();
    const UsbDeviceHandle pipe = oxUsbTransportOpenPipe(OXUSB_PIPE_INTERRUPT);
    if (pipe == kUsbNoHandle) {
        oxAssert("Usb Transport: Failed to Open Interrupt Driver.");
        return false;
    }
    const oxHandle event = oxCreateEvent();
    if (event == nullptr) {
        oxAssert("Usb Transport: Create Event failed.");
        UsbDeviceClose(pipe);
        return false;
    }
    std::lock_guard lock(s_IrqMutex);
    s_InterruptPipe = pipe;
    s_InterruptEvent = event;
    return true;
}

bool oxUsbTransportCloseInterrupt() {
    UsbDeviceHandle pipe = kUsbNoHandle;
    oxHandle event = nullptr;
    {
        std::lock_guard lock(s_IrqMutex);
        pipe = s_InterruptPipe.exchange(kUsbNoHandle);
        event = s_InterruptEvent;
        s_InterruptEvent = nullptr;
    }
    if (event != nullptr) {
        oxResetEvent(event);
        oxCloseHandle(event);
    }
    if (pipe == kUsbNoHandle) {
        return false;
    }
    UsbDeviceClose(pipe); // a read waiting on it ends
    return true;
}

bool oxUsbTransportInterruptIn(void* buffer, std::uint32_t length) {
    if (buffer == nullptr || length == 0) {
        oxAssert("Usb Transport: No buffer available for Interrupt oxUsbTransportIn transaction");
        return false;
    }
    std::memset(buffer, 0, length);
    std::uint32_t status = kCompletionFailure;
    const UsbDeviceHandle pipe = s_InterruptPipe;
    std::uint32_t returned = 0;
    if (pipe == kUsbNoHandle) {
        status = kCompletionFailure;
    } else if (UsbDeviceReadPipe(pipe, buffer, length, oxUSB_INTERRUPT_WAIT_MS, &returned)) {
        status = returned != 0 ? kCompletionSuccess : kCompletionFailure;
    } else if (UsbDeviceLastError() == ETIMEDOUT) {
        status = kCompletionNone; // the read did not complete in time
    }
    s_CompletionStatus = status;
    return status == kCompletionSuccess;
}

bool oxUsbTransportReadInterruptWord(std::uint16_t* word) {
    std::uint8_t bytes[2] = {};
    const bool ok = oxUsbTransportInterruptIn(bytes, sizeof bytes);
    if (word != nullptr) {
        *word = ok ? LoadLe16(bytes) : 0;
    }
    return ok;
}

bool oxUsbTransportSetInterruptCallback(oxUsbInterruptCallback callback) {
    s_InstallResult = oxUSB_IRQ_OK;
    if (callback == nullptr) {
        oxUsbTransportDisableInterrupt();
        return true;
    }
    {
        std::lock_guard lock(s_IrqMutex);
        if (s_Running) {
            s_Callback = callback;
            return true;
        }
    }
    s_InstallResult = oxUSB_IRQ_FAILED;
    if (!oxUsbTransportOpenInterrupt()) {
        return false;
    }
    std::uint32_t generation;
    {
        std::lock_guard lock(s_IrqMutex);
        generation = ++s_Generation;
        s_Running = true;
        s_Callback = callback;
    }
    const oxHandle thread =
        oxCreateThread(&InterruptThread, reinterpret_cast<void*>(std::uintptr_t{generation}));
    if (thread == nullptr) {
        oxUsbTransportDisableInterrupt();
        return false;
    }
    oxCloseHandle(thread);
    s_InstallResult = oxUSB_IRQ_OK;
    return true;
}

std::uint32_t oxUsbTransportGetInterruptStatus() {
    return s_InstallResult;
}

void oxUsbTransportDisableInterrupt() {
    {
        std::lock_guard lock(s_IrqMutex);
        s_Callback = nullptr;
        s_Running = false;
        ++s_Generation; // a thread still winding down is no longer the current one
    }
    oxUsbTransportCloseInterrupt();
}

const char* oxUsbTransportGetDeviceName() {
    return s_DeviceName;
}
bool oxUsbTransportIsOpen() {
    return s_Device != kUsbNoHandle;
}
bool oxUsbTransportInterruptRunning() {
    return s_Running;
}
bool oxUsbTransportLastTransferFailed() {
    return s_LastTransferFailed;
}
