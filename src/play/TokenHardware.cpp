// Token access to the hardware and the program's memory: reg[..] (whole registers and
// bit-fields), disp[..], sys[..], bar[n,..] and usbsetup[..].
#include "common/Text.h"
#include "hcl/Cscl.h"
#include "hcl/HclApi.h"
#include "play/AccessRefusals.h"
#include "play/ChipTexts.h"
#include "play/MemCommands.h"
#include "play/MemWidth.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/RunState.h"
#include "play/SysMemory.h"
#include "play/TokenAccess.h"
#include "play/TokenParts.h"

#include <string_view>

namespace {

constexpr uint32_t kUsbConfigBytes = 6;

struct RegisterTarget {
    uint32_t Index = 0;
    uint32_t Bits = 16; // access width
    bool Field = false; // a bit-field spec was given
    uint32_t Mask = 0;
    uint32_t HighBit = 0;
    uint32_t LowBit = 0;
};

// The hardware is reached only while the controller is acquired: under /nocard, or after a RESET
// that failed, the layer would answer 0 and drop writes.
uint32_t RequireAcquired(const char** errorText) {
    return g_Acquired ? 0 : TokenError(errorText, "The controller has not been acquired.", 1);
}

uint32_t CutToBits(uint32_t value, uint32_t bits) {
    return bits >= 32 ? value : value & ((1u << bits) - 1u);
}

uint32_t UnitBytes(const ParsedToken& token) {
    return token.Bits == 0 ? 1 : token.Bits / 8;
}

uint32_t ParseRegisterTarget(const char* text, const ParsedToken& token, RegisterTarget* target,
                             const char** errorText) {
    const char* contents = text + token.Contents;
    target->Field = ParseRegisterSpec(contents, token.Length, &target->Index, &target->Mask,
                                      &target->HighBit, &target->LowBit);
    if (!target->Field) {
        const char* indexError = nullptr;
        if (LooksLikeRegisterSpec(contents, token.Length) ||
            EvalToNumber(contents, token.Length, &target->Index, &indexError) != 0) {
            return TokenError(errorText, "Invalid syntax.", token.Contents + 1);
        }
    }
    target->Bits =
        token.Bits != 0 ? token.Bits : g_ChipDef.GetRegisterValueWidth(target->Index, false) * 4;
    if (target->Bits != 8 && target->Bits != 16 && target->Bits != 32) {
        target->Bits = 16;
    }
    return RequireAcquired(errorText);
}

// The interface's refusal of an access to the target, as a caret error at the token (SET may
// have rewritten a bare index into the token, so nothing inside it is pointed at).
uint32_t CheckRegisterAccess(const RegisterTarget& target, RegAccess access,
                             const char** errorText) {
    const char* refusal = RegAccessRefusal(access, target.Bits, target.Index);
    return refusal != nullptr ? TokenError(errorText, refusal, 1) : 0;
}

// "REG[24h]", "REG[66h-b3]" or "REG[66h-b3:0]".
void PrintRegisterName(const RegisterTarget& target) {
    const int indexDigits = static_cast<int>(g_ChipDef.GetDefaultIndexWidth());
    if (!target.Field) {
        PlayPrint(CAT_SET, "REG[%0*Xh]", indexDigits, target.Index);
    } else if (target.HighBit == target.LowBit) {
        PlayPrint(CAT_SET, "REG[%0*Xh-b%u]", indexDigits, target.Index, target.HighBit);
    } else {
        PlayPrint(CAT_SET, "REG[%0*Xh-b%u:%u]", indexDigits, target.Index, target.HighBit,
                  target.LowBit);
    }
}

void PrintValue(const char* between, uint32_t value, uint32_t bits) {
    PlayPrint(CAT_SET, "%s%0*Xh (%lut)\n", between, static_cast<int>(bits / 4), value,
              static_cast<unsigned long>(value));
}

uint32_t GetRegister(const char* text, const ParsedToken& token, ExprValue* value, bool show,
                     const char** errorText) {
    RegisterTarget target;
    const uint32_t error = ParseRegisterTarget(text, token, &target, errorText);
    if (error != 0) {
        return error;
    }
    if (const uint32_t refused = CheckRegisterAccess(target, RegAccess::Read, errorText)) {
        return refused;
    }
    uint32_t number = ReadRegByBits(target.Bits, target.Index);
    if (target.Field) {
        number = (number & target.Mask) >> target.LowBit;
    }
    *value = ExprValue{};
    value->Number = number;
    if (show) {
        PrintRegisterName(target);
        PrintValue(" = ", number, target.Bits);
    }
    return 0;
}

uint32_t SetRegister(const char* text, const ParsedToken& token, uint32_t number, bool echo,
                     const char** errorText) {
    RegisterTarget target;
    const uint32_t error = ParseRegisterTarget(text, token, &target, errorText);
    if (error != 0) {
        return error;
    }
    // A bit-field is read before it is written, unless its register is write-only.
    const bool readFirst = target.Field && !g_ChipDef.IsRegisterWriteOnly(target.Index, false);
    uint32_t refused = readFirst ? CheckRegisterAccess(target, RegAccess::Read, errorText) : 0;
    if (refused == 0) {
        refused = CheckRegisterAccess(target, RegAccess::Write, errorText);
    }
    if (refused != 0) {
        return refused;
    }
    if (!target.Field) {
        const uint32_t written = CutToBits(number, target.Bits);
        WriteRegByBits(target.Bits, target.Index, written);
        if (echo) {
            const std::string label =
                RegisterLabel(target.Index, ChipDefBase::kLocPlace | ChipDefBase::kLocAccess |
                                                ChipDefBase::kLocShort);
            PlayPrint(CAT_SET, "%s", label.c_str());
            PrintValue(" <- ", written, target.Bits);
        }
        return 0;
    }
    const uint32_t old = readFirst ? ReadRegByBits(target.Bits, target.Index) : 0;
    const uint32_t field = (number << target.LowBit) & target.Mask;
    WriteRegByBits(target.Bits, target.Index, (old & ~target.Mask) | field);
    if (echo) {
        PrintRegisterName(target);
        // The label of the flags alone begins with the blank that would follow a name.
        const std::string flags =
            RegisterLabel(target.Index, ChipDefBase::kLocAccess | ChipDefBase::kLocShort);
        const size_t start = flags.find_first_not_of(' ');
        if (start != std::string::npos) {
            PlayPrint(CAT_SET, " %s", flags.c_str() + start);
        }
        PrintValue(" <- ", field >> target.LowBit, target.Bits);
    }
    return 0;
}

// The address inside the brackets (for bar: the space number before a comma, 0 without one),
// and the column of the address within the token.
uint32_t ParseAddress(const char* text, const ParsedToken& token, uint32_t* space,
                      uint32_t* address, uint32_t* column, const char** errorText) {
    const std::string_view contents(text + token.Contents, token.Length);
    uint32_t start = 0;
    *space = 0;
    const size_t comma = token.Kind == TokenKind::Bar ? contents.find(',') : std::string_view::npos;
    if (comma != std::string_view::npos) {
        const uint32_t error =
            EvalToNumber(contents.data(), static_cast<uint32_t>(comma), space, errorText);
        if (error != 0) {
            return token.Contents + error;
        }
        start = static_cast<uint32_t>(comma + 1);
    }
    *column = token.Contents + start + 1;
    const uint32_t error =
        EvalToNumber(contents.data() + start, token.Length - start, address, errorText);
    return error != 0 ? token.Contents + start + error : 0;
}

void ShowMemory(const ParsedToken& token, uint32_t space, uint32_t address, uint32_t number) {
    const uint32_t bits = UnitBytes(token) * 8;
    switch (token.Kind) {
    case TokenKind::Disp:
        PlayPrint(CAT_SET, "DISP[%08lXh]", static_cast<unsigned long>(address));
        break;
    case TokenKind::Sys:
        PlayPrint(CAT_SET, "SYS[%08lXh]", static_cast<unsigned long>(address));
        break;
    case TokenKind::Bar:
        PlayPrint(CAT_SET, "BAR%u[%08lXh]", space, static_cast<unsigned long>(address));
        break;
    default:
        PlayPrint(CAT_SET, "USBSETUP[%08lXh]", static_cast<unsigned long>(address));
        break;
    }
    PrintValue(" = ", number, bits);
}

// Width and index checks of usbsetup[..]: 8 bits, the six bytes of the configuration row.
uint32_t CheckUsbSetup(const ParsedToken& token, uint32_t index, const char** errorText) {
    if (token.Bits != 0 && token.Bits != 8) {
        return TokenError(errorText, "USB Config regs are only 8 bits.", 1);
    }
    if (index >= kUsbConfigBytes) {
        return TokenError(errorText, "USB Config regs are only 0 to 5.", token.Contents + 1);
    }
    return 0;
}

// Where a memory token points: its space (bar), its address and its unit in bytes, and the
// column of the address within the token.
struct MemoryTarget {
    uint32_t Space = 0;
    uint32_t Address = 0;
    uint32_t Bytes = 1;
    uint32_t AddressColumn = 1;
};

uint32_t PrepareMemory(const char* text, const ParsedToken& token, MemoryTarget* target,
                       const char** errorText) {
    target->Bytes = UnitBytes(token);
    uint32_t error = ParseAddress(text, token, &target->Space, &target->Address,
                                  &target->AddressColumn, errorText);
    if (error == 0 && token.Kind == TokenKind::UsbSetup) {
        error = CheckUsbSetup(token, target->Address, errorText);
    }
    if (error == 0 && token.Kind != TokenKind::Sys) {
        error = RequireAcquired(errorText);
    }
    return error;
}

// Checks of display memory and raw accesses before they are made: the interface's refusal of
// a raw access to a space other than 0, as a caret error at the token; then the unit, which
// must lie wholly inside the bridge's 24-bit address space (the bridge would wrap an address
// past it round to another one), as a caret error at the address.
uint32_t CheckMemoryAccess(const ParsedToken& token, const MemoryTarget& target, bool write,
                           const char** errorText) {
    if (token.Kind == TokenKind::Bar) {
        if (const char* refusal = RawAccessRefusal(write, target.Space)) {
            return TokenError(errorText, refusal, 1);
        }
    }
    if ((token.Kind == TokenKind::Bar || token.Kind == TokenKind::Disp) &&
        uint64_t{target.Address} + target.Bytes > kMemAddressSpace) {
        return TokenError(errorText, "Not a valid address.", target.AddressColumn);
    }
    return 0;
}

uint32_t GetMemory(const char* text, const ParsedToken& token, ExprValue* value, bool show,
                   const char** errorText) {
    MemoryTarget target;
    if (const uint32_t error = PrepareMemory(text, token, &target, errorText); error != 0) {
        return error;
    }
    if (const uint32_t refused = CheckMemoryAccess(token, target, false, errorText)) {
        return refused;
    }
    const uint32_t space = target.Space;
    const uint32_t address = target.Address;
    const uint32_t bytes = target.Bytes;
    uint32_t number = 0;
    switch (token.Kind) {
    case TokenKind::Disp:
        number = ReadMemByWidth(address, bytes);
        break;
    case TokenKind::Sys: {
        unsigned char unit[4] = {};
        if (!ReadSysMemory(address, unit, bytes)) {
            return TokenError(errorText, "Address is not readable.", token.Contents + 1);
        }
        number = LoadByWidth(bytes, unit);
        break;
    }
    case TokenKind::Bar:
        number = oxHclReadRaw(space, address, bytes);
        break;
    default:
        number = oxCsclGetConfigByte(address);
        break;
    }
    *value = ExprValue{};
    value->Number = number;
    if (show) {
        ShowMemory(token, space, address, number);
    }
    return 0;
}

uint32_t SetMemory(const char* text, const ParsedToken& token, uint32_t number, bool echo,
                   const char** errorText) {
    MemoryTarget target;
    if (const uint32_t error = PrepareMemory(text, token, &target, errorText); error != 0) {
        return error;
    }
    if (const uint32_t refused = CheckMemoryAccess(token, target, true, errorText)) {
        return refused;
    }
    const uint32_t space = target.Space;
    const uint32_t address = target.Address;
    const uint32_t bytes = target.Bytes;
    const uint32_t written = CutToBits(number, bytes * 8);
    switch (token.Kind) {
    case TokenKind::Disp:
        if (bytes == 2) {
            oxHclFillMemory16(address, static_cast<uint16_t>(written), 1);
        } else if (bytes == 4) {
            oxHclFillMemory32(address, written, 1);
        } else {
            oxHclFillMemory8(address, static_cast<uint8_t>(written), 1);
        }
        break;
    case TokenKind::Sys: {
        unsigned char unit[4] = {};
        FillByWidth(bytes, unit, written, 1);
        if (!WriteSysMemory(address, unit, bytes)) {
            return TokenError(errorText, "Address is not writable.", token.Contents + 1);
        }
        break;
    }
    case TokenKind::Bar:
        oxHclWriteRaw(space, address, bytes, written);
        break;
    default:
        oxCsclSetConfigByte(address, static_cast<uint8_t>(written));
        break;
    }
    if (echo) {
        ShowMemory(token, space, address, written);
    }
    return 0;
}

} // namespace

uint32_t GetHardwareToken(const char* text, const ParsedToken& token, ExprValue* value, bool show,
                          const char** errorText) {
    if (token.Kind == TokenKind::Reg) {
        return GetRegister(text, token, value, show, errorText);
    }
    return GetMemory(text, token, value, show, errorText);
}

uint32_t SetHardwareToken(const char* text, const ParsedToken& token, const ExprValue* value,
                          bool echo, const char** errorText) {
    if (value->IsString != 0) {
        return TokenError(errorText,
                          token.Kind == TokenKind::Disp ? "Cannot use string value"
                                                        : "Cannot use string value.",
                          1);
    }
    if (token.Kind == TokenKind::Reg) {
        return SetRegister(text, token, value->Number, echo, errorText);
    }
    return SetMemory(text, token, value->Number, echo, errorText);
}
