// ChipDef: services over a whole configuration block (its CRC and its byte swap for the other
// byte order) and the small text formatters of the export generators.
#include "chipdef/ChipDef.h"
#include "chipdef/ExportText.h"

#include "common/Numbers.h"

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

// The u16 and u32 fields that a writer of the other byte order stores swapped.
constexpr size_t kSwappedU16[] = {offsetof(oxHclData, Size), offsetof(oxHclData, HclCRC),
                                  offsetof(oxHclData, DetectEndian)};
constexpr size_t kSwappedU32[] = {oxHCL_OFS_CLKI, oxHCL_OFS_BASE_ADDRESS, oxHCL_OFS_REGISTER_OFFSET,
                                  oxHCL_OFS_MEMORY_OFFSET, oxHCL_OFS_FLAGS};

// Removes a trailing "|" from text.
void DropLastBar(char* text) {
    const size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == '|') {
        text[length - 1] = '\0';
    }
}

} // namespace

uint16_t ChipDef::ComputeBlockCrc(const oxHclData& block) {
    return oxHclCalcCrc(block);
}

void ChipDef::SwapBlockByteOrder(oxHclData& block) {
    for (size_t offset : kSwappedU16) {
        oxHclStoreU16(block, offset, Swap16(oxHclLoadU16(block, offset)));
    }
    for (size_t offset : kSwappedU32) {
        oxHclStoreU32(block, offset, Swap32(oxHclLoadU32(block, offset)));
    }
    for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
        const oxHclRegEntry entry = oxHclGetReg(block, i);
        oxHclSetReg(block, i, {Swap16(entry.Index), Swap16(entry.Value)});
    }
}

const char* ChipDef::FormatHclFlags(uint32_t flags) {
    char* text = NextText();
    if (!text) {
        return "";
    }
    if (flags == 0) {
        std::snprintf(text, kTextSize, "%s", "0");
        return text;
    }
    size_t used = 0;
    for (const oxHclFlagName& row : oxgHclFlagNames) {
        if (row.Value != 0 && (flags & row.Value) == row.Value) {
            used +=
                static_cast<size_t>(std::snprintf(text + used, kTextSize - used, "%s|", row.Name));
            flags &= ~row.Value;
        }
    }
    if (flags != 0) {
        std::snprintf(text + used, kTextSize - used, "0x%08XUL|", flags);
    }
    DropLastBar(text);
    return text;
}

const char* ChipDef::FormatModeFlags(uint32_t flags) {
    char* text = NextText();
    if (!text) {
        return "";
    }
    struct ModeFlag {
        uint32_t Bit;
        const char* Name;
    };
    static constexpr ModeFlag kModeFlags[] = {{0x1, "MF_LCD|"},
                                              {0x20000, "MF_SWCURSOR|"},
                                              {0x100000, "MF_SWEMUL|"},
                                              {0x40000, "MF_HWBLT|"}};
    for (const ModeFlag& mode : kModeFlags) {
        if (flags & mode.Bit) {
            std::strcat(text, mode.Name);
        }
    }
    if (text[0] == '\0') {
        std::strcpy(text, "0");
    }
    DropLastBar(text);
    return text;
}

const char* ChipDef::EscapeCString(const uint8_t* bytes, uint32_t nulCount) {
    char* text = NextText();
    if (!text || !bytes) {
        return nullptr;
    }
    size_t used = 0;
    uint32_t nulsInRow = 0;
    // The longest piece of one byte: a hex escape and a closed and reopened literal.
    constexpr size_t kLongestPiece = 8;
    for (size_t i = 0; nulsInRow < nulCount; ++i) {
        if (used + kLongestPiece >= kTextSize) {
            return nullptr; // longer than one pool text
        }
        const uint8_t byte = bytes[i];
        nulsInRow = byte == 0 ? nulsInRow + 1 : 0;
        // Only C's simple escapes and the hex form: "?" is written as itself. (The export's own
        // literals, exporttext::CLiteral, are compiled and escape it too, against trigraphs.)
        const char letter = exporttext::CEscapeLetter(byte);
        if (letter != 0) {
            text[used++] = '\\';
            text[used++] = letter;
        } else if (byte < 0x20 || byte >= 0x7F) {
            // The byte after the last NUL is never read.
            const bool lastByte = nulsInRow == nulCount;
            const bool hexFollows = !lastByte && std::isxdigit(bytes[i + 1]);
            used += static_cast<size_t>(std::snprintf(text + used, kTextSize - used, "\\x%02X%s",
                                                      byte, hexFollows ? "\" \"" : ""));
        } else {
            text[used++] = static_cast<char>(byte);
        }
    }
    text[used] = '\0';
    return text;
}

bool ChipDef::DropLastComma(char* text, char* position) {
    if (!text || !position || position < text) {
        return false;
    }
    for (char* p = position; p > text;) {
        --p;
        if (*p == ',') {
            *p = ' ';
            return true;
        }
    }
    return false;
}
