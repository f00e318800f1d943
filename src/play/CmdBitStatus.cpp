// XBS: watches up to four registers (or up to four bits of each) and reports every change,
// optionally mirroring a watched bit on a GPIO pin, until a key ends it.
#include "hcl/HclApi.h"
#include "platform/Console.h"
#include "play/AccessRefusals.h"
#include "play/ArgParsers.h"
#include "play/KeyName.h"
#include "play/KeyPoll.h"
#include "play/MemWidth.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/RegCommands.h"

#include <cctype>
#include <cstring>

namespace {

constexpr uint32_t kMaxWatches = 4;
constexpr uint32_t kMaxBits = 4;
// GPIO configuration, output state and a third control register of the chip.
constexpr uint32_t kGpioConfigReg = 0xD0;
constexpr uint32_t kGpioStateReg = 0xD2;
constexpr uint32_t kGpioControlReg = 0xD4;
// The keyboard is looked at once this many reads and rounds have passed.
constexpr uint32_t kPollCount = 65535;

const char* const kBitStatusUsage[] = {
    "\n",
    " XBS R[8|16|32]=index [B=bit [G=gpio]] [B=bit [G=gpio] ..] [R[..]=index ..]\n",
    "\n",
    " xbs r=200                           ' Shows when whole register changes\n",
    " xbs r=200 b=0 g=7                   ' Shows register value when bit changes\n",
    " xbs r=200 b=0 g=7 b=1 g=8           ' Shows register when multiple bits change\n",
    " xbs r8=200 b=0 g=7 r16=1400 b=0 g=8 ' Shows multiple register changes\n\n",
    " Register Bit Status command. Reads the specified bits in the given\n",
    " registers until a key is pressed and shows every change; a bit given a\n",
    " GPIO is mirrored on that GPIO pin instead.\n",
};

struct BitWatch {
    uint32_t m_Bit;
    uint32_t m_Gpio;
    uint32_t m_BitMask;
    uint32_t m_GpioMask; // 0 when the bit has no GPIO
};

struct RegWatch {
    uint32_t m_Index;
    uint32_t m_Width; // bits: 8, 16 or 32
    uint32_t m_Mask;
    uint32_t m_Last;
    BitWatch m_Bits[kMaxBits];
    uint32_t m_NumBits;
};

struct BitStatusPlan {
    RegWatch m_Watches[kMaxWatches];
    uint32_t m_NumWatches;
    uint32_t m_UsedGpios;
};

// The text after prefix when word begins with it (any case, ":" standing for "="), else
// nullptr.
const char* AfterPrefix(const char* word, const char* prefix) {
    size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(word[i])));
        if (c != prefix[i] && !(prefix[i] == '=' && c == ':')) {
            return nullptr;
        }
    }
    return word + i;
}

// Width in bits of a register word ("R=", "R8=", ...), with the text of the index in *rest;
// 0 when the word names no register.
uint32_t RegisterWordWidth(const char* word, const char** rest) {
    static const struct {
        const char* Prefix;
        uint32_t Bits;
    } kForms[] = {{"R=", 0}, {"R8=", 8}, {"R16=", 16}, {"R32=", 32}};
    for (const auto& form : kForms) {
        if ((*rest = AfterPrefix(word, form.Prefix)) != nullptr) {
            if (form.Bits != 0) {
                return form.Bits;
            }
            // The chip's register width: 4 bits a hexadecimal digit, rounded up to an access.
            const uint32_t bits = 4 * g_ChipDef.GetRegisterValueWidth(0, false);
            return bits <= 8 ? 8 : bits <= 16 ? 16 : 32;
        }
    }
    return 0;
}

bool AddRegister(BitStatusPlan& plan, uint32_t bits, const char* text) {
    if (plan.m_NumWatches == kMaxWatches) {
        return PlayPrint(CAT_ERR,
                         "ERROR: Too many registers to test (only %d currently supported).\n",
                         static_cast<int>(kMaxWatches));
    }
    uint32_t index = 0;
    if (ParseNumber(text, 16, &index) != 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't valid register index.\n", text);
    }
    if (RefusalReported(RegAccessRefusal(RegAccess::Read, bits, index))) {
        return false;
    }
    RegWatch& watch = plan.m_Watches[plan.m_NumWatches++];
    watch = {};
    watch.m_Index = index;
    watch.m_Width = bits;
    watch.m_Mask = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    watch.m_Last = 0xFFFFFFFFu;
    return true;
}

bool AddBit(RegWatch& watch, const char* text) {
    if (watch.m_NumBits == kMaxBits) {
        return PlayPrint(CAT_ERR,
                         "ERROR: Too many bits to test (only %d/reg currently supported).\n",
                         static_cast<int>(kMaxBits));
    }
    uint32_t bit = 0;
    if (ParseNumber(text, 10, &bit) != 0 || bit >= watch.m_Width) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't valid bit index.\n", text);
    }
    watch.m_Bits[watch.m_NumBits++] = {bit, 0, 1u << bit, 0};
    return true;
}

bool SetGpio(BitStatusPlan& plan, RegWatch& watch, const char* word, const char* text) {
    // A GPIO belongs to the bit given before it.
    if (watch.m_NumBits == 0) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' is not a valid argument.\n", word);
    }
    uint32_t gpio = 0;
    if (ParseNumber(text, 10, &gpio) != 0 || gpio >= 16) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't valid GPIO index.\n", text);
    }
    BitWatch& bit = watch.m_Bits[watch.m_NumBits - 1];
    bit.m_Gpio = gpio;
    bit.m_GpioMask = 1u << gpio;
    plan.m_UsedGpios |= bit.m_GpioMask;
    return true;
}

bool ParsePlan(int32_t argc, char** argv, BitStatusPlan& plan) {
    for (int32_t i = 1; i < argc; ++i) {
        const char* rest = nullptr;
        const uint32_t bits = RegisterWordWidth(argv[i], &rest);
        if (bits != 0) {
            if (!AddRegister(plan, bits, rest)) {
                return false;
            }
            continue;
        }
        if (plan.m_NumWatches == 0) {
            return PlayPrint(CAT_ERR,
                             "ERROR: A register must be specified first (using the R= arg).\n");
        }
        RegWatch& watch = plan.m_Watches[plan.m_NumWatches - 1];
        bool ok = false;
        if ((rest = AfterPrefix(argv[i], "B=")) != nullptr) {
            ok = AddBit(watch, rest);
        } else if ((rest = AfterPrefix(argv[i], "G=")) != nullptr) {
            ok = SetGpio(plan, watch, argv[i], rest);
        } else {
            ok = PlayPrint(CAT_ERR, "ERROR: '%s' is not a valid argument.\n", argv[i]);
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

// One look at a watch; prints its changes and updates the GPIO output state. True when it
// printed anything.
bool CheckWatch(RegWatch& watch, uint32_t* gpioState) {
    const uint32_t value = ReadRegByBits(watch.m_Width, watch.m_Index);
    if ((value & watch.m_Mask) == (watch.m_Last & watch.m_Mask)) {
        return false;
    }
    const int indexWidth = static_cast<int>(g_ChipDef.GetDefaultIndexWidth());
    bool printed = false;
    if (watch.m_NumBits == 0) {
        PlayPrint(CAT_OUT, "REG[%0*Xh]=%0*X ", indexWidth, watch.m_Index,
                  static_cast<int>(watch.m_Width / 4), value);
        printed = true;
    }
    for (uint32_t b = 0; b < watch.m_NumBits; ++b) {
        const BitWatch& bit = watch.m_Bits[b];
        const bool now = (value & bit.m_BitMask) != 0;
        if (now == ((watch.m_Last & bit.m_BitMask) != 0)) {
            continue;
        }
        if (bit.m_GpioMask != 0) {
            *gpioState = now ? *gpioState | bit.m_GpioMask : *gpioState & ~bit.m_GpioMask;
        } else {
            PlayPrint(CAT_OUT, "REG[%0*Xh-b%ld]=%d ", indexWidth, watch.m_Index,
                      static_cast<long>(bit.m_Bit), now ? 1 : 0);
            printed = true;
        }
    }
    watch.m_Last = value;
    return printed;
}

} // namespace

bool CmdBitStatus(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        PrintUsageLines(kBitStatusUsage);
        return PlayPrint(CAT_OUT,
                         " There is currently a limit of monitoring %d registers and %d "
                         "bits/reg.\n",
                         static_cast<int>(kMaxWatches), static_cast<int>(kMaxBits));
    }
    if (argc < 2) {
        return PlayPrint(CAT_ERR, "ERROR: Not enough arguments.\n");
    }
    BitStatusPlan plan = {};
    if (!ParsePlan(argc, argv, plan)) {
        return false;
    }
    uint32_t gpioState = 0;
    if (plan.m_UsedGpios != 0) {
        oxHclSetBitsReg16(kGpioConfigReg, static_cast<uint16_t>(plan.m_UsedGpios));
        oxHclClearBitsReg16(kGpioControlReg, static_cast<uint16_t>(plan.m_UsedGpios));
        gpioState = oxHclReadReg16(kGpioStateReg);
    }
    uint32_t counter = 0;
    for (uint64_t round = 1;; ++round) {
        bool printed = false;
        for (uint32_t w = 0; w < plan.m_NumWatches; ++w) {
            printed = CheckWatch(plan.m_Watches[w], &gpioState) || printed;
            ++counter;
        }
        ++counter;
        if (printed) {
            ConsoleWrite("\n");
        }
        if (plan.m_UsedGpios != 0) {
            oxHclWriteReg16(kGpioStateReg, static_cast<uint16_t>(gpioState));
        }
        // Without a terminal the watch cannot be stopped by hand: it looks after every round.
        if (counter > kPollCount || !ConsoleIsTerminal()) {
            if (LoopKeyWaiting(kLoopUntilKey, round)) {
                char key[kKeyNameSize];
                ReadKeyName(key);
                return true;
            }
            counter = 0;
        }
    }
}
