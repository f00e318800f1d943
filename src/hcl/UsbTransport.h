#pragma once
// The lowest layer of the USB path: opens the evaluation board's USB bridge driver, checks the
// driver's version, and moves raw packets over the bridge's bulk pipes by device I/O control
// requests; it also reads the bridge's interrupt pipe on a thread of its own and calls an
// installed callback for each interrupt word.
//
// Bulk transfers run on the caller's thread, inside the board lock taken by the callers.

#include "devices/UsbDevice.h"

#include <cstdint>

// Oldest driver version accepted, compared as the pair (major, minor).
inline constexpr std::uint16_t oxUSB_DRIVER_MAJOR = 1;
inline constexpr std::uint16_t oxUSB_DRIVER_MINOR = 34;

// Time an interrupt read waits for a word, in milliseconds.
inline constexpr std::uint32_t oxUSB_INTERRUPT_WAIT_MS = 1000;

// Result states of the last oxUsbTransportSetInterruptCallback.
inline constexpr std::uint32_t oxUSB_IRQ_OK = 0;
inline constexpr std::uint32_t oxUSB_IRQ_FAILED = 3;

using oxUsbInterruptCallback = void (*)();

// Opens the device (closing any open device and interrupt pipe first) and checks the driver
// version; false when the device cannot be opened or the driver is too old or silent.
bool oxUsbTransportOpen();
// Closes the device; true when one was open.
bool oxUsbTransportClose();
// Opens the device named "ezusb-N" (N from Q3VBOARD); prints "Device %s failed to open\n".
bool oxUsbTransportOpenDevice(UsbDeviceHandle* handleOut);
// Opens pipe pipe of the device ("ezusb-N\PIPE0p"); kUsbNoHandle on failure.
UsbDeviceHandle oxUsbTransportOpenPipe(std::uint32_t pipe);
// Asks for the pipe information (printed when verbose); false when the request fails.
bool oxUsbTransportGetPipeInfo();
// Reads the configuration descriptor (printed when verbose).
bool GetConfigDescriptor();
// Prints a configuration descriptor of length bytes with its interfaces and endpoints
// (when verbose). Descriptors that run past those bytes or have a length below 2 end the walk.
void oxUsbTransportPrintConfigDescriptor(const std::uint8_t* descriptor, std::uint32_t length);
// Toggles the verbose flag; returns its new state.
std::uint32_t oxUsbTransportToggleVerbose();

// Bulk write on pipe 0: the buffer, or the 2-byte packet {type, 0} when buffer is NULL.
// Returns the bytes written.
std::uint32_t oxUsbTransportOut(std::uint8_t type, const void* buffer, std::uint32_t length,
                                bool continued);
// Bulk read on pipe 2; returns the bytes read (0 when nothing came).
std::uint32_t oxUsbTransportIn(void* buffer, std::uint32_t length, bool continued);
std::uint32_t oxUsbTransportWriteIoctl(std::uint32_t pipe, const void* buffer, std::uint32_t length,
                                       bool continued);
std::uint32_t oxUsbTransportReadIoctl(std::uint32_t pipe, void* buffer, std::uint32_t length,
                                      bool continued);
// Prints a packet's first bytes when verbose.
void oxUsbTransportPrintPacket(const std::uint8_t* packet, std::uint32_t length);

// --- Interrupts ---------------------------------------------------------------------------

bool oxUsbTransportOpenInterrupt();
bool oxUsbTransportCloseInterrupt();
// Reads length bytes from the interrupt pipe, waiting up to oxUSB_INTERRUPT_WAIT_MS; true only
// when a non-empty transfer came.
bool oxUsbTransportInterruptIn(void* buffer, std::uint32_t length);
// Reads one interrupt word (two bytes, little-endian) from the interrupt pipe; 0 and false when
// the read fails. The interrupt thread reads its words with it.
bool oxUsbTransportReadInterruptWord(std::uint16_t* word);
// Installs the callback and starts the interrupt thread when it does not run; NULL disables.
bool oxUsbTransportSetInterruptCallback(oxUsbInterruptCallback callback);
// oxUSB_IRQ_OK or oxUSB_IRQ_FAILED, the result of the last oxUsbTransportSetInterruptCallback.
std::uint32_t oxUsbTransportGetInterruptStatus();
void oxUsbTransportDisableInterrupt();

// --- State, for callers and tests ---------------------------------------------------------

// The device name in use, "ezusb-N".
const char* oxUsbTransportGetDeviceName();
// Whether a device handle is open.
bool oxUsbTransportIsOpen();
// Whether the last bulk read or write was refused by the driver (a reply wait ends at such a
// read).
bool oxUsbTransportLastTransferFailed();
// Whether the interrupt thread runs.
bool oxUsbTransportInterruptRunning();
