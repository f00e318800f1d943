// The banner text of programs built on the layer.

#include "hcl/HclVersion.h"

#include "hcl/HclData.h"

#include <climits>
#include <cstdio>

namespace {

// Revision keywords of the layer's two modules.
constexpr const char* kLayerRevision = " $Revision: 84 $";
constexpr const char* kApiRevision = " $Revision: 62 $";

constexpr const char* kNotice = "Hardware control layer for the Q3V47xxx LCD controller family";

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

const char* CrcStateText(oxHclCrcState state) {
    switch (state) {
    case oxHclCrcState::Ok:
        return "OK";
    case oxHclCrcState::Unconfigured:
        return "unconfigured";
    case oxHclCrcState::Error:
        break;
    }
    return "error";
}

} // namespace

unsigned oxHclRevisionNumber(const char* revisionText) {
    if (revisionText == nullptr) {
        return 0;
    }
    const char* p = revisionText;
    while (*p != '\0' && *p != ':') {
        ++p;
    }
    if (*p != ':') {
        return 0;
    }
    ++p;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    unsigned value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        if (value > (UINT_MAX - digit) / 10) {
            return UINT_MAX;
        }
        value = value * 10 + digit;
    }
    return value;
}

const char* oxHclBusTypeText(unsigned char usbConfig0) {
    switch ((usbConfig0 >> 2) & 7) {
    case 0:
        return "Direct 16-bit Mode1";
    case 1:
        return "Direct 16-bit Mode2";
    case 2:
        return "Indirect 16-bit Mode1";
    case 3:
        return "Indirect 16-bit Mode2";
    case 4:
        return "Direct 8-bit";
    case 5:
        return "Indirect 8-bit";
    case 7:
        return (usbConfig0 & 0x02) != 0 ? "SPI Mode3" : "SPI Mode0";
    default:
        return "";
    }
}

void oxHclGetVersionText(const char* programName, const char* programTitle,
                         const char* revisionText, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const oxHclData& block = oxgHclInfo;
    // The chip ID and the description are bounded by their fields: a block rewritten in the
    // file need not carry their terminating NUL.
    int used = std::snprintf(
        buffer, size,
        "%.*s%s - %s - Build %u [L:%u A:%u]\n%s\nConfiguration CRC %04Xh (%s)\nBus Type       "
        "     %s\n",
        static_cast<int>(sizeof block.szChipId), block.szChipId, OrEmpty(programName),
        OrEmpty(programTitle), oxHclRevisionNumber(revisionText),
        oxHclRevisionNumber(kLayerRevision), oxHclRevisionNumber(kApiRevision), kNotice,
        static_cast<unsigned>(block.HclCRC), CrcStateText(oxHclCheckCrc(block)),
        oxHclBusTypeText(block.USBConfig[0]));
    if (used < 0 || static_cast<std::size_t>(used) >= size) {
        return;
    }
    if (block.szConfigString[0] != '\0') {
        std::snprintf(buffer + used, size - static_cast<std::size_t>(used),
                      ", Description:\n%.*s\n", static_cast<int>(sizeof block.szConfigString),
                      block.szConfigString);
    }
}
