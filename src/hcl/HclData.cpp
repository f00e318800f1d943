// The program's own configuration block, built from the template at compile time.

#include "hcl/HclData.h"

namespace {

// The template's register initialisation list (index, value), before the end marker.
constexpr oxHclRegEntry kTemplateRegs[] = {
    {0x06, 0x0100}, {0xFE, 0x2710}, {0x04, 0x0000}, {0x10, 0x0000}, {0x12, 0x000F}, {0x14, 0x0029},
    {0x10, 0x0001}, {0xFC, 0x09C4}, {0x16, 0x0006}, {0x04, 0x0001}, {0xFC, 0x09C4}, {0x20, 0x004F},
    {0x22, 0x0001}, {0x24, 0x003C}, {0x26, 0x002D}, {0x28, 0x0110}, {0x2A, 0x0010}, {0x2C, 0x0001},
    {0x2E, 0x0005}, {0x30, 0x0001}, {0x32, 0x0008}, {0x40, 0x0000}, {0x42, 0x0000}, {0x44, 0x0000},
    {0x50, 0x0000}, {0x52, 0x8400}, {0x54, 0x0003}, {0x56, 0x0040}, {0x58, 0x0040}, {0x5A, 0x00A0},
    {0x5C, 0x0000}, {0x60, 0x0001}, {0x62, 0x0040}, {0x64, 0x0000}, {0x66, 0x0000}, {0x68, 0x0000},
    {0xD0, 0x0001}, {0xD2, 0x0001}, {0xD4, 0x0000}, {0x04, 0x0002},
};
static_assert(sizeof(kTemplateRegs) / sizeof(kTemplateRegs[0]) == 40);

constexpr void CopyText(char* field, const char* text) {
    for (; *text != '\0'; ++text, ++field) {
        *field = *text;
    }
}

// Evaluated only at compile time, so the template exists nowhere but in oxgHclInfo itself.
consteval oxHclData MakeTemplate() {
    oxHclData block{};
    CopyText(block.szIdString, "47K20 HAL EXE");
    block.Size = static_cast<std::uint16_t>(oxHCL_DATA_SIZE);
    CopyText(block.szChipId, "47K20");
    block.DetectEndian = oxHCL_DETECT_ENDIAN;
    block.ClkI = 24000000;
    const std::uint8_t usbConfig[6] = {0x40, 0x55, 0x5E, 0xDF, 0x00, 0x00};
    for (int i = 0; i < 6; ++i) {
        block.USBConfig[i] = usbConfig[i];
    }
    block.BaseAddress = 0;
    block.RegisterOffset = 0x00060800;
    block.MemoryOffset = 0;
    block.Flags = oxfADAPTER_USB;
    std::size_t n = 0;
    for (const oxHclRegEntry& entry : kTemplateRegs) {
        block.Regs[n++] = entry;
    }
    block.Regs[n] = {oxHCL_REG_END, 0};
    block.HclCRC = oxHclCalcCrc(block);
    return block;
}

} // namespace

constinit oxHclData oxgHclInfo = MakeTemplate();

const oxHclFlagName oxgHclFlagNames[oxHCL_FLAG_NAME_COUNT] = {
    {"oxfUSING_FPGA", oxfUSING_FPGA},
    {"oxfNO_RESET", oxfNO_RESET},
    {"oxfDEBUG_REG_WRITES", oxfDEBUG_REG_WRITES},
    {"oxfADAPTER_USB", oxfADAPTER_USB},
    {"oxfNO_INIT_GPIO", oxfNO_INIT_GPIO},
    {"oxfSOFT_BYTESWAP", oxfSOFT_BYTESWAP},
    {"oxfHOST_AUTO", oxfHOST_AUTO},
    {"oxfADAPTER_GENERIC", oxfADAPTER_GENERIC},
};

oxHclCrcState oxHclCheckCrc(const oxHclData& block) {
    if (block.HclCRC == 0) {
        return oxHclCrcState::Unconfigured;
    }
    return block.HclCRC == oxHclCalcCrc(block) ? oxHclCrcState::Ok : oxHclCrcState::Error;
}

std::uint32_t oxHclIsAdapterUsb() {
    return (oxHclGetFlags(oxgHclInfo) & oxfADAPTER_USB) != 0 ? oxfADAPTER_USB : 0;
}

std::uint32_t oxHclClearAdapterUsb() {
    oxHclSetFlags(oxgHclInfo, oxHclGetFlags(oxgHclInfo) & ~oxfADAPTER_USB);
    return oxHclIsAdapterUsb();
}
