// ChipDef: the computed features (NEEDCODE in the database): the block's own settings, the
// clocks, the sizes derived from other features, the bridge's configuration bytes and their
// bit-fields. Every other feature, and a computed one that is not answered here, goes to the
// base operation.
#include "chipdef/ChipDef.h"

#include "common/Assert.h"
#include "common/BitField.h"
#include "hcl/UsbInterface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

enum Computed : int {
    kNone = -1,
    kBaseAddr,
    kBaseRegAddr,
    kAdapter,
    kRegWrite,
    kResetDuringInit,
    kGpioHiDuringInit,
    kClkI,
    kPllClk,
    kPllOutClk,
    kSysClk,
    kSysClkSrc,
    kPClk,
    kBpp,
    kPipBpp,
    kDataWidth,
    kSwWidth,
    kSwHeight,
    kStride,
    kPipStride,
    kBufSize,
    kHostInterface,
    kChipId,
    kChipName,
    kChipDesc,
    kSetupDesc,
    kFirstConfigField, // the bit-fields of the bridge's configuration bytes follow
};

struct ComputedKey {
    const char* Key;
    int Kind;
};

constexpr ComputedKey kComputedKeys[] = {
    {"baseaddr", kBaseAddr},
    {"baseregaddr", kBaseRegAddr},
    {"adapter", kAdapter},
    {"regwrite", kRegWrite},
    {"resetduringinit", kResetDuringInit},
    {"gpiohiduringinit", kGpioHiDuringInit},
    {"clki", kClkI},
    {"pllclk", kPllClk},
    {"plloutclk", kPllOutClk},
    {"sysclk", kSysClk},
    {"sysclksrc", kSysClkSrc},
    {"pclk", kPClk},
    {"bpp", kBpp},
    {"pipbpp", kPipBpp},
    {"datawidth", kDataWidth},
    {"swwidth", kSwWidth},
    {"swheight", kSwHeight},
    {"stride", kStride},
    {"pipstride", kPipStride},
    {"bufsize", kBufSize},
    {"hostinterface", kHostInterface},
    {"chipid", kChipId},
    {"chipname", kChipName},
    {"chipdesc", kChipDesc},
    {"setupdesc", kSetupDesc},
};

// A bit-field of one of the six configuration bytes (usbconfig0 .. usbconfig5; CONFIGA is 0).
struct ConfigField {
    const char* Key;
    uint32_t Byte;
    BitField Field;
};

constexpr ConfigField kConfigFields[] = {
    {"mgeiftype", 0, {0, 2}},   {"mgesigtypea", 0, {2, 3}}, {"mgesigtypeb", 0, {2, 1}},
    {"mgesigtypec", 0, {3, 2}}, {"mgedbw", 0, {5, 2}},      {"mgeintpol", 0, {7, 1}},
    {"mgecs2rd", 1, {0, 2}},    {"mgecs2wr", 1, {2, 2}},    {"mgerd2cs", 1, {4, 2}},
    {"mgewr2cs", 1, {6, 2}},    {"mgerdwait", 2, {0, 4}},   {"mgesertype", 2, {0, 4}},
    {"mgewrwait", 2, {4, 4}},   {"mgeb2bwait", 3, {0, 4}},  {"mgeb2bcshigh", 3, {4, 1}},
    {"mgeabw", 3, {5, 2}},      {"usbconfig0", 0, {0, 8}},  {"usbconfig1", 1, {0, 8}},
    {"usbconfig2", 2, {0, 8}},  {"usbconfig3", 3, {0, 8}},  {"usbconfig4", 4, {0, 8}},
    {"usbconfig5", 5, {0, 8}},
};
constexpr int kConfigFieldCount = static_cast<int>(std::size(kConfigFields));

constexpr BitField kFlagNoReset{1, 1};
constexpr BitField kFlagDebugRegWrites{2, 1};
constexpr BitField kFlagAdapterUsb{4, 1};
constexpr BitField kFlagNoInitGpio{12, 1};

constexpr uint32_t kRegisterBase = 0x60800;
constexpr uint32_t kBufferSize = 0x60000;
constexpr uint32_t kMaxClkI = 120000000;
// hostinterface by CONFIGA & 0x7F (0 .. 7); 6 has no entry.
constexpr uint32_t kNoHostInterface = 0xFFFFFFFF;
constexpr uint32_t kHostInterfaces[8] = {1, 2, 4, 5, 0, 3, kNoHostInterface, 7};

uint32_t Saturate32(uint64_t value) {
    return static_cast<uint32_t>(std::min<uint64_t>(value, 0xFFFFFFFFu));
}

// The computed features that ChipDef writes; the others (read-only ones such as bpp) go to the
// base, which has no register to write them to.
bool IsComputedWrite(int kind) {
    switch (kind) {
    case kBaseAddr:
    case kAdapter:
    case kRegWrite:
    case kResetDuringInit:
    case kGpioHiDuringInit:
    case kClkI:
    case kPllClk:
    case kPllOutClk:
    case kSysClk:
    case kSysClkSrc:
    case kDataWidth:
        return true;
    default:
        return kind >= kFirstConfigField;
    }
}

uint32_t BitsPerPixel(uint32_t format) {
    switch (format) {
    case 0:
    case 4:
        return 24;
    case 1:
    case 5:
        return 16;
    case 2:
    case 6:
        return 8;
    default:
        return 0;
    }
}

} // namespace

int ChipDef::ComputedKind(const char* name) {
    uint32_t i = 0;
    if (!FindFeature(name, &i) || !m_Features[i].NeedCode || !m_Features[i].KeyName) {
        return kNone;
    }
    const char* key = m_Features[i].KeyName;
    for (const ComputedKey& entry : kComputedKeys) {
        if (std::strcmp(entry.Key, key) == 0) {
            return entry.Kind;
        }
    }
    for (int f = 0; f < kConfigFieldCount; ++f) {
        if (std::strcmp(kConfigFields[f].Key, key) == 0) {
            return kFirstConfigField + f;
        }
    }
    return kNone;
}

uint32_t ChipDef::ComputedRawValue(int kind) {
    const uint32_t flags = oxHclGetFlags(m_HclData);
    if (kind >= kFirstConfigField) {
        const ConfigField& field = kConfigFields[kind - kFirstConfigField];
        return field.Field.Extract(m_HclData.USBConfig[field.Byte]);
    }
    switch (kind) {
    case kBaseAddr:
        return m_fHotHotHot ? oxUsbIsAcquired() : oxHclGetBaseAddress(m_HclData);
    case kBaseRegAddr:
        return kRegisterBase;
    case kAdapter:
        return kFlagAdapterUsb.Extract(flags);
    case kRegWrite:
        return kFlagDebugRegWrites.Extract(flags);
    case kResetDuringInit:
        return kFlagNoReset.Extract(flags) == 0 ? 1 : 0;
    case kGpioHiDuringInit:
        return kFlagNoInitGpio.Extract(flags) == 0 ? 1 : 0;
    case kClkI:
        return oxHclGetClkI(m_HclData);
    case kPllClk: {
        const uint32_t divider = GetFeatureValue("mdivider");
        return divider == 0 ? 0 : GetFeatureValue("clki") / divider;
    }
    case kPllOutClk: {
        const uint32_t divider = GetFeatureValue("mdivider");
        if (divider == 0) {
            return 0;
        }
        const uint64_t product = uint64_t{GetFeatureValue("lcounter")} * GetFeatureValue("clki");
        return Saturate32(product / divider);
    }
    case kSysClk:
        return GetFeatureRawValue("sysclksrc") != 0 ? GetFeatureRawValue("plloutclk")
                                                    : oxHclGetClkI(m_HclData);
    case kSysClkSrc:
        return GetFeatureRawValue("pllbypass") == 0 ? 1 : 0;
    case kPClk: {
        const uint32_t divider = GetFeatureValue("pclkdiv");
        return divider == 0 ? 0 : GetFeatureValue("sysclk") / divider;
    }
    case kBpp:
        return BitsPerPixel(GetFeatureRawValue("format"));
    case kPipBpp:
        return BitsPerPixel(GetFeatureRawValue("pipformat"));
    case kDataWidth: {
        static constexpr uint32_t kTft[4] = {0, 16, 18, 24};
        static constexpr uint32_t kPassive[4] = {4, 8, 16, 0};
        const uint32_t select = GetFeatureRawValue("paneldatawidth") & 3;
        return GetFeatureRawValue("panelport") != 0 ? kTft[select] : kPassive[select];
    }
    case kSwWidth:
        return GetFeatureValue((GetFeatureRawValue("rot") & 1) ? "vdp" : "hdp");
    case kSwHeight:
        return GetFeatureValue((GetFeatureRawValue("rot") & 1) ? "hdp" : "vdp");
    case kStride:
        return GetFeatureValue("swwidth") * GetFeatureValue("bpp") / 8;
    case kPipStride:
        return GetFeatureValue("pipwidth") * GetFeatureValue("pipbpp") / 8;
    case kBufSize:
        return kBufferSize;
    default:
        return 0;
    }
}

uint32_t ChipDef::GetFeatureRawValue(const char* name) {
    const int kind = ComputedKind(name);
    if (kind == kHostInterface) {
        const uint32_t select = m_HclData.USBConfig[0] & 0x7F;
        if (select < 8 && kHostInterfaces[select] != kNoHostInterface) {
            return kHostInterfaces[select];
        }
        return ChipDefBase::GetFeatureRawValue(name);
    }
    if (kind == kNone || kind == kChipId || kind == kChipName || kind == kChipDesc ||
        kind == kSetupDesc) {
        return ChipDefBase::GetFeatureRawValue(name);
    }
    return ComputedRawValue(kind);
}

bool ChipDef::SetComputedRawValue(int kind, uint32_t raw) {
    uint32_t flags = oxHclGetFlags(m_HclData);
    if (kind >= kFirstConfigField) {
        const ConfigField& field = kConfigFields[kind - kFirstConfigField];
        m_HclData.USBConfig[field.Byte] =
            static_cast<uint8_t>(field.Field.Deposit(m_HclData.USBConfig[field.Byte], raw));
        return true;
    }
    switch (kind) {
    case kBaseAddr:
        oxHclSetBaseAddress(m_HclData, raw);
        return true;
    case kAdapter:
        oxHclSetFlags(m_HclData, kFlagAdapterUsb.Deposit(flags, raw != 0));
        return true;
    case kRegWrite:
        oxHclSetFlags(m_HclData, kFlagDebugRegWrites.Deposit(flags, raw != 0));
        return true;
    case kResetDuringInit: {
        const bool written = SetFeatureRawValue("swreset", raw);
        flags = oxHclGetFlags(m_HclData);
        oxHclSetFlags(m_HclData, kFlagNoReset.Deposit(flags, raw == 0));
        return written;
    }
    case kGpioHiDuringInit: {
        const bool configured = SetFeatureRawValue("gpio0c", raw);
        const bool driven = SetFeatureRawValue("gpio0s", raw);
        flags = oxHclGetFlags(m_HclData);
        oxHclSetFlags(m_HclData, kFlagNoInitGpio.Deposit(flags, raw == 0));
        return configured && driven;
    }
    case kClkI:
        oxHclSetClkI(m_HclData, raw);
        return true;
    case kPllClk:
        // The M-divider is CLKI / PLL input clock: a clock of 0 has none.
        return raw != 0 && SetFeatureValue("mdivider", GetFeatureValue("clki") / raw);
    case kPllOutClk: {
        // The L-counter's value is the multiplier itself (its register holds it minus 1).
        const uint32_t input = GetFeatureValue("pllclk");
        return input != 0 && SetFeatureValue("lcounter", raw / input);
    }
    case kSysClk: {
        const uint32_t source = GetFeatureRawValue("sysclksrc");
        if (source == 0) {
            return SetFeatureRawValue("clki", raw);
        }
        return source == 1 ? SetFeatureRawValue("plloutclk", raw) : true;
    }
    case kSysClkSrc:
        return ChipDefBase::SetFeatureRawValue("pllbypass", raw == 0 ? 1 : 0);
    case kDataWidth: {
        uint32_t select = 0;
        switch (raw) {
        case 4:
            select = 0;
            break;
        case 8:
            select = 1;
            break;
        case 16:
            select = GetFeatureRawValue("panelport") == 0 ? 2 : 1;
            break;
        case 18:
            select = 2;
            break;
        case 24:
            select = 3;
            break;
        default:
            return true; // no setting gives this width: nothing changes
        }
        return SetFeatureRawValue("paneldatawidth", select);
    }
    default:
        return false;
    }
}

bool ChipDef::SetFeatureRawValue(const char* name, uint32_t raw) {
    const int kind = ComputedKind(name);
    if (!IsComputedWrite(kind)) {
        return ChipDefBase::SetFeatureRawValue(name, raw);
    }
    return SetComputedRawValue(kind, raw);
}

const char* ChipDef::GetFeatureText(const char* name, bool forRead) {
    const int kind = ComputedKind(name);
    switch (kind) {
    case kChipId:
        return GetProductText(nullptr, 0x1);
    case kChipName:
        return GetProductText(nullptr, 0x181);
    case kChipDesc:
        return GetProductText(nullptr, 0x40);
    case kSetupDesc: {
        char* text = NextText();
        if (!text) {
            return "";
        }
        // The description field may lack its NUL: at most 255 characters are taken.
        const size_t length =
            strnlen(m_HclData.szConfigString, sizeof m_HclData.szConfigString - 1);
        std::memcpy(text, m_HclData.szConfigString, length);
        text[length] = '\0';
        return text;
    }
    default:
        break;
    }
    if (IsSequence(name)) {
        return SequenceText();
    }
    return ChipDefBase::GetFeatureText(name, forRead);
}

bool ChipDef::SetFeatureText(const char* name, const char* text) {
    switch (ComputedKind(name)) {
    case kChipId:
    case kChipName:
    case kChipDesc:
        // Texts of the selected product: they are read, never set.
        return false;
    case kSetupDesc:
        break;
    default:
        return ChipDefBase::SetFeatureText(name, text);
    }
    if (!text) {
        return false;
    }
    const size_t length = strnlen(text, sizeof m_HclData.szConfigString - 1);
    std::memset(m_HclData.szConfigString, 0, sizeof m_HclData.szConfigString);
    std::memcpy(m_HclData.szConfigString, text, length);
    return true;
}

uint32_t ChipDef::GetFeatureMin(const char* name) {
    switch (ComputedKind(name)) {
    case kBaseAddr:
    case kClkI:
    case kPllClk:
    case kPllOutClk:
        return 0;
    case kSysClk:
        return GetFeatureMin("plloutclk");
    default:
        return ChipDefBase::GetFeatureMin(name);
    }
}

uint32_t ChipDef::GetFeatureMax(const char* name) {
    switch (ComputedKind(name)) {
    case kBaseAddr:
        return 0xFFFFFFFF;
    case kClkI:
        return kMaxClkI;
    case kPllClk:
        return GetFeatureMax("clki");
    case kPllOutClk:
        // Beyond 32 bits with the database's limits: bounded at the largest number.
        return Saturate32(uint64_t{GetFeatureMax("clki")} *
                          (uint64_t{GetFeatureMax("lcounter")} + 1));
    case kSysClk:
        return GetFeatureMax("plloutclk");
    default:
        return ChipDefBase::GetFeatureMax(name);
    }
}
