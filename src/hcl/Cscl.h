#pragma once
// CSCL, the client protocol of the USB bridge: register and memory reads and writes of the
// display controller, the bridge's own configuration (four MGE ports of six bytes each), a
// status word, commands, serial transfers and the interrupt word, as packets over the bulk pipes
// of the USB transport.
//
// Not thread-safe by itself: callers hold the board lock (oxLockBoard) around every exchange.

#include <cstddef>
#include <cstdint>

// --- Wire format --------------------------------------------------------------------------

// Header of a request packet (read request and write); data follows from byte 8.
struct oxCsclPacket {
    std::uint8_t Type;       // packet type in bits 0-5
    std::uint8_t Flags;      // 0x80: on (switch commands) / last chunk (serial transfers)
    std::uint8_t Address[3]; // target address, 24 bits little-endian
    std::uint8_t Interface;  // the MGE port's access kind
    std::uint8_t Length[2];  // data length in bytes, little-endian
};
static_assert(sizeof(oxCsclPacket) == 8);

// A request header with its fields set (flags 0), and the two multi-byte fields read back.
//
//     const oxCsclPacket request = CsclRequestHeader(oxCSCL_READ, 0x60824, 4, 2);
//     CsclHeaderAddress(request); // 0x60824
oxCsclPacket CsclRequestHeader(std::uint8_t type, std::uint32_t address, std::uint8_t interface,
                               std::uint32_t length);
std::uint32_t CsclHeaderAddress(const oxCsclPacket& header);
std::uint32_t CsclHeaderLength(const oxCsclPacket& header);

enum oxCsclPacketTypes : std::uint8_t {
    oxCSCL_READ = 0,         // to bridge: read request
    oxCSCL_READ_REPLY = 1,   // from bridge: {1, -, length LE16, data}
    oxCSCL_WRITE = 2,        // to bridge: header + data
    oxCSCL_DONE = 3,         // from bridge: success
    oxCSCL_SET_CONFIG = 4,   // to bridge: {4, 0, 4 x 6 bytes}
    oxCSCL_GET_CONFIG = 5,   // to bridge: {5, 0}
    oxCSCL_CONFIG_REPLY = 6, // from bridge: {6, -, 4 x 6 bytes}
    oxCSCL_GET_STATUS = 7,   // to bridge: {7, 0}
    oxCSCL_STATUS_REPLY = 8, // from bridge: {8, -, status LE32}
    oxCSCL_COMMAND9 = 9,     // to bridge: {9, 0}, answered by done
    oxCSCL_COMMAND10 = 10,   // to bridge: {10, 0}, answered by done
    oxCSCL_FAIL = 11,        // from bridge: failure
    oxCSCL_COMMAND13 = 13,   // to bridge: {13, 0}, answered by done
    oxCSCL_COMMAND14 = 14,   // to bridge: {14, 0}, answered by done
    oxCSCL_FLAG15 = 15,      // to bridge: {15, 0x80 or 0}, no reply
    oxCSCL_FLAG16 = 16,      // to bridge: {16, 0x80 or 0}, no reply
    oxCSCL_FLAG17 = 17,      // to bridge: {17, 0x80 or 0}, no reply
    oxCSCL_VALUE18 = 18,     // to bridge: {18, 0x80 or 0, value LE16}, no reply
    oxCSCL_SERIAL_OUT = 19,  // to bridge: {19, flags, length LE16, data}
    oxCSCL_SERIAL_IN = 20,   // from bridge: {20, -, length LE16, data}
};

inline constexpr std::uint8_t oxCSCL_FLAG_ON = 0x80;
inline constexpr std::size_t oxCSCL_MGE_COUNT = 4;
inline constexpr std::size_t oxCSCL_MGE_BYTES = 6;
// Size of the buffers that replies of types 3, 6, 8 and 11 are read into.
inline constexpr std::uint32_t oxCSCL_SHORT_REPLY = 26;
// Largest data part of one bulk packet, and of one serial transfer chunk.
inline constexpr std::uint32_t oxCSCL_CHUNK = 65520;
inline constexpr std::uint32_t oxCSCL_SERIAL_CHUNK = 500;
// Time a reply is waited for after its request, in milliseconds.
inline constexpr std::uint32_t oxCSCL_TIMEOUT_MS = 5;

using oxCsclConfigTable = std::uint8_t[oxCSCL_MGE_COUNT][oxCSCL_MGE_BYTES];

// --- MGE state ----------------------------------------------------------------------------

// Current MGE (0-3), its interface flags (low byte: the register port's interface byte) and
// its base addresses (both 0 after selecting an MGE).
std::uint32_t oxCsclGetMge();
std::uint32_t oxCsclGetInterfaceFlags();
std::uint32_t oxCsclGetMemBase();
std::uint32_t oxCsclGetRegBase();
// The configuration table, 4 x 6 bytes, MGE 0 first (byte 5 as read back from the bridge is
// its hardware revision).
const oxCsclConfigTable& oxCsclGetConfigTable();

// --- Opening and configuration ------------------------------------------------------------

// Opens the transport, reads the pipe information, selects the MGE with its flags and bytes
// (bytes may be NULL), writes the configuration and prints "CSCL HW revision %d\n". False
// when the bridge cannot be opened or does not answer.
bool oxCsclOpen(std::uint32_t mge, std::uint32_t interfaceFlags, const std::uint8_t* bytes);
// Selects an MGE: flags as given, bases 0; the six bytes (when given) go into its row.
void oxCsclSetMge(std::uint32_t mge, std::uint32_t interfaceFlags, const std::uint8_t* bytes);
// Closes an open device and opens it again with the current MGE and flags; false when none was
// open.
bool oxCsclReopen();
// Prints the table and sends it (type 4); waits for done.
bool oxCsclWrConfigRegs();
// Asks for the bridge's configuration (type 5); a type-6 reply replaces the table.
bool oxCsclRdConfigRegs();
void oxCsclPrintConfigRegs(const oxCsclConfigTable& table);
void oxCsclPrintMge();
void oxCsclSelectMgeConfig();
// Byte 5 of the current row after reading the configuration; -1 when that fails.
int oxCsclGetHwRevision();
// Byte index (0-5) of the current row after reading the configuration; 0 when that fails.
std::uint8_t oxCsclGetConfigByte(std::uint32_t index);
// Reads the configuration, sets one byte of the current row and writes all rows back.
bool oxCsclSetConfigByte(std::uint32_t index, std::uint8_t value);
bool oxCsclGetConfigDescriptor();

// --- Accesses -----------------------------------------------------------------------------
// address is the full bridge address (the caller adds bases and offsets); interface the
// port's access kind.

// Reads 1, 2 or 4 bytes; 0 when no reply comes within the time-out (or another width).
std::uint32_t oxCsclRdMge(std::uint32_t address, std::uint32_t widthIn, std::uint8_t interface);
// Writes the low widthIn (1-4) bytes of the value; no reply is awaited.
bool oxCsclWrMge(std::uint32_t address, std::uint32_t widthIn, std::uint8_t interface,
                 std::uint32_t value);
// Writes count bytes in chunks of oxCSCL_CHUNK; false for no data or a count of 0. On the
// register port every chunk goes to the same index (the port is a FIFO).
bool oxCsclBurstWrMge(std::uint32_t address, std::uint32_t count, std::uint8_t interface,
                      const std::uint8_t* data);
// Reads count bytes in chunks of oxCSCL_CHUNK into buffer; returns the bytes received.
// Bytes that did not come are left 0.
std::uint32_t oxCsclBurstRdMge(std::uint32_t address, std::uint32_t count, std::uint8_t interface,
                               std::uint8_t* buffer);
// The bridge's status word; 0 when no reply came.
std::uint32_t oxCsclRdMgeStat();
// wait 0: true at once. Otherwise waits for done (true) or fail (false), up to the time-out.
bool csclWaitForDone(std::uint32_t wait);

bool oxCsclCommand9();
bool oxCsclCommand10();
bool oxCsclCommand13();
bool oxCsclCommand14();
// Switch commands: return the bytes written.
std::uint32_t oxCsclSetFlag15(bool on);
std::uint32_t oxCsclSetFlag16(bool on);
std::uint32_t oxCsclSetFlag17(bool on);
std::uint32_t oxCsclSetValue18(bool on, std::uint16_t value);

// Serial data out, no reply awaited.
bool oxCsclSerialWrite(std::uint32_t count, const std::uint8_t* data);
// Serial transfer: sends the data last byte first (0x31 bytes when data is NULL) in chunks of
// oxCSCL_SERIAL_CHUNK and stores the bytes received into result in reverse order. With last
// set, the packet of the final chunk carries oxCSCL_FLAG_ON.
bool oxCsclSerialTransfer(std::uint32_t count, bool last, const std::uint8_t* data,
                          std::uint8_t* result);
// Reads a serial reply of up to count bytes; returns the bytes received.
std::uint32_t oxCsclSerialRead(std::uint32_t count, std::uint8_t* buffer);

// Reads one interrupt word from the interrupt pipe; 0 and false when the read fails.
bool oxCsclRdInterrupt(std::uint16_t* word);
bool oxCsclOpenInterrupt();
bool oxCsclCloseInterrupt();

// Byte 0 AND 63.
std::uint8_t oxCsclPacketType(const std::uint8_t* packet);
// When the packet is a configuration reply, copies its 24 bytes from byte 2 into the table.
void oxCsclUnpackConfig(const std::uint8_t* packet, oxCsclConfigTable& table);

// Appends the text to "cscl.log" in the current folder; false when it cannot be opened.
bool oxCsclLog(const char* text);
