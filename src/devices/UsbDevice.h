#pragma once
// The USB bridge driver as the transport sees it: a device opened by name ("ezusb-N", with or
// without the "\\.\" prefix), device I/O control requests with the driver's control codes, and
// the interrupt pipe ("ezusb-N\PIPE03") read with a time-out. Transfer boundaries are kept: a
// bulk read returns (part of) one transfer, never two.
//
// The only device behind it is the simulated board of this folder's state files (SimFolder):
// the board number is the digit of the name. A device that is absent fails to open.

#include <cstdint>
#include <string_view>

// Control codes of the bridge driver. Data requests carry the pipe number as a 4-byte input.
inline constexpr std::uint32_t OXUSB_IOCTL_GET_PIPE_INFO = 0x222000;
inline constexpr std::uint32_t OXUSB_IOCTL_GET_CONFIG_DESCRIPTOR = 0x222008;
inline constexpr std::uint32_t OXUSB_IOCTL_BULK_READ = 0x22204E;
inline constexpr std::uint32_t OXUSB_IOCTL_BULK_WRITE = 0x222051;
inline constexpr std::uint32_t OXUSB_IOCTL_BULK_READ_CONTINUED = 0x2220CA;
inline constexpr std::uint32_t OXUSB_IOCTL_BULK_WRITE_CONTINUED = 0x2220CD;
inline constexpr std::uint32_t OXUSB_IOCTL_GET_DRIVER_VERSION = 0x222074;

// Size of the interface record that GET_PIPE_INFO fills: u32 pipe count at byte 12, then one
// 20-byte pipe record per pipe from byte 16 (u16 maximum packet size, u8 endpoint address,
// u8 interval, u32 pipe type, twelve bytes not used).
inline constexpr std::uint32_t OXUSB_PIPE_INFO_SIZE = 1024;
inline constexpr std::uint32_t OXUSB_PIPE_RECORD_OFFSET = 16;
inline constexpr std::uint32_t OXUSB_PIPE_RECORD_SIZE = 20;

// Pipes of the bridge.
inline constexpr std::uint32_t OXUSB_PIPE_BULK_OUT = 0;
inline constexpr std::uint32_t OXUSB_PIPE_BULK_IN = 2;
inline constexpr std::uint32_t OXUSB_PIPE_INTERRUPT = 3;

// A device or pipe handle; 0 is no handle.
using UsbDeviceHandle = int;
inline constexpr UsbDeviceHandle kUsbNoHandle = 0;

// Opens the device "ezusb-N" or its pipe "ezusb-N\PIPE0p" (N = 0..7). Returns kUsbNoHandle
// on failure: the name is not a bridge device or pipe (ENOENT), the board is absent (ENODEV),
// or its state file cannot be had (the system's error).
UsbDeviceHandle UsbDeviceOpen(std::string_view name);

// Closes a device or pipe handle; a blocked interrupt read on it ends with failure.
bool UsbDeviceClose(UsbDeviceHandle handle);

// A device I/O control request on a device handle. For the bulk writes the data is passed in
// the output buffer (the driver's convention). *returnedOut receives the bytes transferred.
// False (and UsbDeviceLastError) for an unknown code, a bad handle or too small a buffer.
bool UsbDeviceIoControl(UsbDeviceHandle handle, std::uint32_t code, const void* in,
                        std::uint32_t inLength, void* outBuffer, std::uint32_t outLength,
                        std::uint32_t* returnedOut);

// Reads one transfer from an interrupt pipe handle, waiting up to timeoutMs. True when a
// transfer came (*returnedOut bytes, at most length); false on time-out (ETIMEDOUT) or when the
// handle is bad or was closed (EBADF).
bool UsbDeviceReadPipe(UsbDeviceHandle handle, void* buffer, std::uint32_t length,
                       std::uint32_t timeoutMs, std::uint32_t* returnedOut);

// The error of the calling thread's last failed request (errno values).
int UsbDeviceLastError();

// Interrupt pipe reads waiting now, and those ended by their time-out since the program began:
// for tests that wait until a read is under way or has timed out.
struct UsbDevicePipeReads {
    std::uint32_t Waiting;
    std::uint32_t TimedOut;
};
UsbDevicePipeReads UsbDeviceGetPipeReads();
