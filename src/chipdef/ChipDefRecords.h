#pragma once
// The rows of the chip database: products, register categories, registers, features and the
// named values of list and bool features, as the XML loader of ChipDefBase fills them.
//
// Every text of a row points into the owning ChipDefBase's text store and lives as long as the
// object; an attribute that the database does not give leaves its text nullptr. A row is read
// through ChipDefBase's table views:
//
//     for (const ChipRegister& reg : chip.Registers()) {
//         std::printf("%02X %s\n", reg.Reg, reg.LexName ? reg.LexName : "?");
//     }
#include <cstdint>
#include <vector>

// Feature types (the TYPE attribute).
constexpr uint32_t FT_NUMB = 1;
constexpr uint32_t FT_ADDR = 2;
constexpr uint32_t FT_FREQ = 4;
constexpr uint32_t FT_TEXT = 8;
constexpr uint32_t FT_LIST = 16;
constexpr uint32_t FT_BOOL = 32;
constexpr uint32_t FT_SEQU = 64;

// Address kinds of an FT_ADDR feature (the OFFSETOF attribute).
constexpr uint32_t OF_SYS = 1;
constexpr uint32_t OF_BASE = 2;
constexpr uint32_t OF_DISP = 4;

// A REG, ADDR or DATA register that a feature does not have, and the whole-register mask.
constexpr uint32_t kNoRegister = 0xFFFFFFFF;
constexpr uint32_t kWholeRegister = 0xFFFFFFFF;

struct ChipProduct {
    const char* KeyName = nullptr; // "47390", "47K20"
    const char* Prefix = nullptr;
    const char* Name = nullptr;
    const char* Suffix = nullptr;
    const char* Desc = nullptr;
    const char* VariantOf = nullptr; // key of the product this one is a variant of
    const char* Spec = nullptr;      // specification document reference
};

struct ChipCategory {
    const char* KeyName = nullptr;
    const char* Name = nullptr;
    const char* Reserved = nullptr; // product list
    const char* Product = nullptr;  // product list
};

struct ChipRegister {
    const char* LexName = nullptr; // identifier (LEXNAME or KEYNAME), e.g. "REV_CODE"
    const char* Name = nullptr;    // display name (NAME or FULLNAME)
    const char* Desc = nullptr;
    uint32_t Reg = 0;      // register index
    uint32_t RegEnd = 0;   // last index of a run of like registers; Reg when not given
    uint32_t RegStep = 0;  // index step inside the run; 0 = no run
    uint32_t BitWidth = 0; // 8, 16 or 32
    uint32_t Default = 0;  // reset value
    uint8_t FakeReg = 0;   // a pseudo-register of the register initialisation list
    uint8_t ReadOnly = 0;
    uint8_t WriteOnly = 0;
    uint8_t SafeTest = 0; // a register test may write it
    const char* Category = nullptr;
    const char* Reserved = nullptr; // product list
    const char* Product = nullptr;  // product list
};

struct ChipFeatureValue {
    uint32_t Index = 0;   // first raw value
    uint32_t ToIndex = 0; // last raw value of the range (Index when smaller)
    const char* Value = nullptr;
    const char* ReadValue = nullptr;  // name used only when reading
    const char* WriteValue = nullptr; // name used only when writing
    const char* Reserved = nullptr;   // product list
    const char* Product = nullptr;    // product list
};

struct ChipFeature {
    const char* KeyName = nullptr; // lower-cased KEYNAME (or a generated one)
    uint32_t CapitalPos = 1000;    // position of KEYNAME's first capital; 1000 = none
    const char* Name = nullptr;
    const char* Desc = nullptr;
    const char* Unit = nullptr; // appended to displayed values
    uint32_t Type = 0;          // FT_ code; 0 = none recognised
    uint32_t Min = 0;           // smallest effective value
    uint32_t Max = 0;           // largest effective value
    const char* Op1 = nullptr;  // first value operation
    const char* Op2 = nullptr;  // second value operation
    uint32_t Step = 1;
    uint32_t Radix = 10; // 2, 10 or 16
    uint8_t Inverted = 0;
    uint32_t OffsetOf = OF_SYS;
    uint32_t Reg = kNoRegister;
    uint32_t Mask = kWholeRegister;
    uint32_t RegEnd = 0;
    uint32_t RegStep = 0;
    uint8_t Spans = 0;   // REG="span": the value is split over the parts KeyName + "b0".."b7"
    uint8_t Indexed = 0; // reached through an ADDR/DATA register pair (INDEXOF)
    uint32_t AddrReg = kNoRegister;
    uint32_t DataReg = kNoRegister;
    uint32_t IndexMask = 0xFFFFFFFF;
    const char* IndexOf = nullptr;
    uint8_t NeedCode = 0; // computed by the chip definition's code, not by register bits
    uint8_t ReadOnly = 0;
    uint8_t WriteOnly = 0;
    uint8_t Overlap = 0;            // the bits are shared with another feature
    uint8_t RedrawPattern = 0;      // a change calls for a test-pattern redraw
    const char* Reserved = nullptr; // product list
    const char* Product = nullptr;  // product list
    const char* Influences = nullptr;
    std::vector<ChipFeatureValue> Values; // named values of a list or bool feature
};
