#pragma once
// The helpers that the display, file and burst register commands share: the texts of their
// error codes, the main and PIP windows' start address, pixel format and settings as the chip
// features hold them, one line of WIN's listing, and the wait for the TE status bit.
//
//     int32_t row = 0;
//     if (!GetWindowFormatRow(0, &row)) { /* FILE_ERROR_FORMAT */ }
//     uint32_t start = GetWindowStartAddr(0);
#include <cstdint>

// Error codes that a command collects through its run and reports at its end.
enum FileError : uint32_t {
    FILE_ERROR_NONE = 0,
    FILE_ERROR_OPEN = 1,
    FILE_ERROR_ENTRY = 2, // reported with the word where parsing stopped
    FILE_ERROR_FORMAT = 3,
    FILE_ERROR_MEMORY = 4,
    FILE_ERROR_PATTERN = 5,
    FILE_ERROR_READ = 6,
    FILE_ERROR_WRITE = 7,
    FILE_ERROR_REPORTED = 0xFFFE, // a failure already reported
};

// The text of a code: "No error", "File open", "Invalid entry", ...; "" for
// FILE_ERROR_REPORTED; "Unknown error" for any other.
const char* FileErrorText(uint32_t code);

// The settings of one window as WIN reads and writes them.
struct WindowSettings {
    uint32_t m_Flags; // kWindowRotated, kWindowTransparent
    uint32_t m_Pip;   // while parsing WIN: 1 when the PIP window was chosen
    uint32_t m_StartAddr;
    uint16_t m_Width;
    uint16_t m_Height;
    uint16_t m_X;
    uint16_t m_Y;
    uint8_t m_Format;
    uint8_t m_Rotation; // quarter turns 0 to 3
    uint8_t m_BlinkPeriod;
    uint8_t m_BlinkEffect;
    uint8_t m_Alpha;
    uint8_t m_KeyR;
    uint8_t m_KeyG;
    uint8_t m_KeyB;
};

constexpr uint32_t kWindowRotated = 0x10;
constexpr uint32_t kWindowTransparent = 0x100;

// The raw value of "pipsaddr" when pip is 1, else "saddr".
uint32_t GetWindowStartAddr(uint32_t pip);

// The converter row of a window colour format 0 to 6 (0, 4 R888.B-G-R; 1, 5 R565.RGB; 2 M8.n0;
// 6 R332.RGB); false for 3 and above 6.
bool WindowFormatRow(uint32_t windowFormat, int32_t* row);

// The raw value of "pipformat" or "format" mapped by WindowFormatRow.
bool GetWindowFormatRow(uint32_t pip, int32_t* row);

// Clears settings and reads the window's features into it. Always true.
bool ReadWindowSettings(WindowSettings* settings, uint32_t pip);

// One line of WIN's listing into text (at least kWindowLineSize bytes).
constexpr uint32_t kWindowLineSize = 128;
void FormatWindowLine(const WindowSettings* settings, char* text, uint32_t pip);

// Waits for bit 7 of register 22h (the TE status); a time-out prints an error (CAT_ERR).
void WaitTeStatus();
