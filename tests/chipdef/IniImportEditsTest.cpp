// INI files written by the export and then edited by hand, imported again: the register list
// and the LCD sequence that the block holds afterwards, and the report, for each edit in merge
// and in replace mode.
#include "IniEditSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace initest;

namespace {

// The built-in list with the value of the pair at one position changed.
RegList BuiltInWithValue(size_t position, uint16_t value) {
    RegList list = kBuiltInList;
    list[position].Value = value;
    return list;
}

// Pairs of register 40h, as many as count, whose values count up from 0.
RegList CountingPairs(size_t count) {
    RegList list;
    for (size_t i = 0; i < count; ++i) {
        list.push_back({0x40, static_cast<uint16_t>(i)});
    }
    return list;
}

RegList Then(RegList list, const RegList& more) {
    list.insert(list.end(), more.begin(), more.end());
    return list;
}

std::string PairLines(const RegList& pairs) {
    std::string body;
    char line[32];
    for (size_t i = 0; i < pairs.size(); ++i) {
        std::snprintf(line, sizeof line, "%zu=%04X,%04X\n", i, pairs[i].Index, pairs[i].Value);
        body += line;
    }
    return body;
}

const std::string kLcdSequence = "0=10000029\n1=20000011\n2=40000014\n3=11000005\n4=00000000\n";

const std::string kCrcWarning =
    "\nWarning: CRC mismatch, the import file may have been manually edited.\n";

std::string AllRegsRefused() {
    std::string keys;
    for (size_t i = 0; i < kBuiltInList.size(); ++i) {
        keys += (i ? ", Regs/" : "Regs/") + std::to_string(i);
    }
    return "\nWarning: The following items were not imported (missing):\n\tRegs.\n"
           "\nWarning: The following items were ignored (cannot import):\n\t" +
           keys + ".\n";
}

struct EditCase {
    const char* Name;
    std::function<std::string(const std::string&)> Edit;
    bool Replace;
    RegList Regs; // the list as the block holds it afterwards (zero pairs after it)
    LcdList Lcd;  // the LCD sequence afterwards (zero entries after it)
    std::string Report;
    bool WholeReport = true; // else Report is a part of it
    // The other fields of the block afterwards, changed from the built-in block's.
    std::function<void(oxHclData&)> Fields = [](oxHclData&) {};
};

std::vector<EditCase> Cases() {
    const auto unedited = [](const std::string& ini) { return ini; };
    const auto renamed = [](const std::string& ini) {
        return RenameKeys(RenameKeys(ini, "Regs"), "LCD1Regs");
    };
    const auto withoutCommas = [](const std::string& ini) {
        return EditSection(ini, "Regs", [](const std::string& key, const std::string& value) {
            std::string joined = value;
            joined.erase(joined.find(','), 1);
            return key + "=" + joined;
        });
    };
    const auto regsLineDeleted = [](const std::string& ini) { return DeleteKey(ini, "Regs", "3"); };
    const auto lcdLineDeleted = [](const std::string& ini) {
        return DeleteKey(SetSection(ini, "LCD1Regs", kLcdSequence), "LCD1Regs", "1");
    };
    const auto malformed = [](const std::string& ini) {
        std::string edited =
            SetValue(SetSection(ini, "LCD1Regs", kLcdSequence), "LCD1Regs", "1", "zz");
        edited = SetValue(edited, "Regs", "3", "zz");
        return SetValue(edited, "Regs", "5", "0014"); // a pair without its value
    };
    const auto allMalformed = [](const std::string& ini) {
        return EditSection(ini, "Regs",
                           [](const std::string& key, const std::string&) { return key + "=zz"; });
    };
    const auto pastedLine = [](const std::string& ini) {
        return InsertAfter(ini, "Regs", "39", "39=0068,0001");
    };
    const auto fullList = [](const std::string& ini) {
        return SetSection(ini, "Regs", PairLines(CountingPairs(593)));
    };
    const auto fullListWithEnd = [](const std::string& ini) {
        return SetSection(ini, "Regs", PairLines(Then(CountingPairs(592), {{0xFF, 0}})));
    };
    const auto fullListWithoutEnd = [](const std::string& ini) {
        return SetSection(ini, "Regs", PairLines(CountingPairs(592)));
    };
    std::string missing, ignored;
    for (size_t i = 0; i + 1 < kBuiltInList.size(); ++i) {
        if (i != 21) {
            char index[8];
            std::snprintf(index, sizeof index, "%04X", kBuiltInList[i].Index);
            missing += (missing.empty() ? "" : ", ") + std::string(index);
        }
    }
    for (size_t i = 0; i + 1 < 592; ++i) {
        ignored += i ? ", 0040" : "0040";
    }
    const std::string fullListMerged =
        "\nWarning: The following registers were not imported (missing):\n\t" + missing +
        ".\n\nWarning: The following registers were ignored (cannot import):\n\t" + ignored + ".\n";
    const auto endInTheMiddle = [](const std::string& ini) {
        return SetSection(ini, "Regs", "0=0006,0000\n1=00FF,0000\n2=0010,1234\n3=0012,5678\n");
    };
    // Numbers that cannot be read are left out and listed; a longer one gives its first 8
    // digits, as the sections read theirs.
    const auto unreadableScalars = [](const std::string& ini) {
        std::string edited = SetValue(ini, "47K20", "ClkI", "hello");
        edited = SetValue(edited, "47K20", "BaseAddress", "");
        return SetValue(edited, "47K20", "MemoryOffset", "12345678ABCD");
    };
    const auto memoryOffsetCut = [](oxHclData& block) { oxHclSetMemoryOffset(block, 0x12345678); };
    const std::string scalarsRefused =
        "\nWarning: The following items were ignored (cannot import):\n\tClkI, BaseAddress.\n";
    // A section one value short: the last byte is 0.
    const auto usbShort = [](const std::string& ini) { return DeleteKey(ini, "USBConfig", "5"); };
    const auto usbLastZero = [](oxHclData& block) { block.USBConfig[5] = 0; };
    const std::string usbShortWarning =
        "\nWarning: The following items were not fully imported (short array):\n\tUSBConfig.\n";
    const LcdList lcdWithoutSecond = {0x10000029, 0x40000014, 0x11000005};
    const std::string missing10 =
        "\nWarning: The following registers were not imported (missing):\n\t0010.\n";
    const std::string malformedRefused =
        "\nWarning: The following items were ignored (cannot import):\n\t"
        "LCD1Regs/1, Regs/3, Regs/5.\n";
    const std::string fullWarning = "\nWarning: The register list is full, its end pair "
                                    "replaced the last imported pair:\n\t0040,0250.\n";
    return {
        {"unedited, merged", unedited, false, kBuiltInList, {}, ""},
        {"unedited, replaced", unedited, true, kBuiltInList, {}, ""},
        {"renamed keys, merged", renamed, false, kBuiltInList, {}, ""},
        {"renamed keys, replaced", renamed, true, kBuiltInList, {}, ""},
        // FE: 2710 and 52: 8400 keep the first digit of their value.
        {"values without the comma, merged", withoutCommas, false, kBuiltInList, {}, ""},
        {"values without the comma, replaced", withoutCommas, true, kBuiltInList, {}, ""},
        // Register 10h stands twice: merged, its first occurrence gets no value.
        {"a middle line of Regs deleted, merged",
         regsLineDeleted,
         false,
         kBuiltInList,
         {},
         missing10},
        {"a middle line of Regs deleted, replaced",
         regsLineDeleted,
         true,
         BuiltInWithout({3}),
         {},
         kCrcWarning},
        {"a middle line of LCD1Regs deleted, merged", lcdLineDeleted, false, kBuiltInList,
         lcdWithoutSecond, kCrcWarning},
        {"a middle line of LCD1Regs deleted, replaced", lcdLineDeleted, true, kBuiltInList,
         lcdWithoutSecond, kCrcWarning},
        {"malformed values among good ones, merged", malformed, false, kBuiltInList,
         lcdWithoutSecond,
         kCrcWarning + malformedRefused +
             "\nWarning: The following registers were not imported (missing):\n\t0010, 0014.\n"},
        {"malformed values among good ones, replaced", malformed, true, BuiltInWithout({3, 5}),
         lcdWithoutSecond, kCrcWarning + malformedRefused},
        {"every Regs value malformed, merged",
         allMalformed,
         false,
         kBuiltInList,
         {},
         AllRegsRefused()},
        {"every Regs value malformed, replaced",
         allMalformed,
         true,
         kBuiltInList,
         {},
         AllRegsRefused()},
        // A line pasted with the key of the line before it counts as a line of its own;
        // merged, 68h's one occurrence takes the last imported one.
        {"a line pasted with a key that stands already, merged",
         pastedLine,
         false,
         BuiltInWithValue(35, 0x0001),
         {},
         kCrcWarning + "\nWarning: The following registers were ignored (cannot import):\n"
                       "\t0068.\n"},
        {"a line pasted with a key that stands already, replaced",
         pastedLine,
         true,
         Then(BuiltInWithout({40}), {{0x68, 0x0001}, {0xFF, 0}}),
         {},
         kCrcWarning},
        // The last imported occurrence of 40h is the one before the end pair.
        {"593 pairs without an end pair, merged",
         fullList,
         false,
         BuiltInWithValue(21, 0x024F),
         {},
         fullWarning,
         false},
        {"593 pairs without an end pair, replaced",
         fullList,
         true,
         Then(CountingPairs(592), {{0xFF, 0}}),
         {},
         kCrcWarning + fullWarning},
        {"592 pairs and the end pair, replaced",
         fullListWithEnd,
         true,
         Then(CountingPairs(592), {{0xFF, 0}}),
         {},
         kCrcWarning},
        // The end pair fits after 592 pairs: none is lost, no warning of a full list.
        {"592 pairs without an end pair, replaced",
         fullListWithoutEnd,
         true,
         Then(CountingPairs(592), {{0xFF, 0}}),
         {},
         kCrcWarning},
        // Merged, 40h's one current entry takes the last imported; every other is missing.
        {"592 pairs without an end pair, merged",
         fullListWithoutEnd,
         false,
         BuiltInWithValue(21, 0x024F),
         {},
         kCrcWarning + fullListMerged},
        // The pairs after an end pair are left out and listed; the block holds zeros after it.
        {"an end pair in the middle, replaced",
         endInTheMiddle,
         true,
         {{0x06, 0x0000}, {0xFF, 0x0000}},
         {},
         kCrcWarning +
             "\nWarning: The following items were ignored (cannot import):\n\tRegs/2, Regs/3.\n"},
        {"an end pair in the middle, merged",
         endInTheMiddle,
         false,
         BuiltInWithValue(0, 0x0000),
         {},
         kCrcWarning +
             "\nWarning: The following items were ignored (cannot import):\n\tRegs/2, Regs/3.\n"
             "\nWarning: The following registers were not imported (missing):\n\t00FE, 0004,",
         false},
        {"unreadable numbers in the chip section, merged",
         unreadableScalars,
         false,
         kBuiltInList,
         {},
         kCrcWarning + scalarsRefused,
         true,
         memoryOffsetCut},
        {"unreadable numbers in the chip section, replaced",
         unreadableScalars,
         true,
         kBuiltInList,
         {},
         kCrcWarning + scalarsRefused,
         true,
         memoryOffsetCut},
        {"a section one value short, merged",
         usbShort,
         false,
         kBuiltInList,
         {},
         usbShortWarning,
         true,
         usbLastZero},
        {"a section one value short, replaced",
         usbShort,
         true,
         kBuiltInList,
         {},
         usbShortWarning,
         true,
         usbLastZero},
    };
}

// The built-in block with this register list and LCD sequence, the other fields changed by
// fields (and its CRC).
oxHclData ExpectedBlock(
    const RegList& regs, const LcdList& lcd,
    const std::function<void(oxHclData&)>& fields = [](oxHclData&) {}) {
    oxHclData block = ChipDef().HclData();
    fields(block);
    for (size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        oxHclSetReg(block, i, i < regs.size() ? regs[i] : oxHclRegEntry{0, 0});
    }
    for (size_t i = 0; i < oxHCL_LCD1SIZE; ++i) {
        oxHclSetLcd1Reg(block, i, i < lcd.size() ? lcd[i] : 0);
    }
    block.HclCRC = ChipDef::ComputeBlockCrc(block);
    return block;
}

std::string ListText(const oxHclData& block) {
    std::string text;
    char pair[16];
    for (size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        const oxHclRegEntry entry = oxHclGetReg(block, i);
        std::snprintf(pair, sizeof pair, "%02X:%04X ", entry.Index, entry.Value);
        text += pair;
    }
    return text;
}

std::string LcdText(const oxHclData& block) {
    std::string text;
    char entry[16];
    for (size_t i = 0; i < oxHCL_LCD1SIZE; ++i) {
        std::snprintf(entry, sizeof entry, "%08X ", oxHclGetLcd1Reg(block, i));
        text += entry;
    }
    return text;
}

TEST(IniImportEdits, TheBlockHoldsWhatTheEditedFileSays) {
    ASSERT_EQ(ListText(ChipDef().HclData()), ListText(ExpectedBlock(kBuiltInList, {})));
    for (const EditCase& c : Cases()) {
        ChipDef chip;
        std::string report;
        ASSERT_TRUE(ImportEditedExport(chip, c.Edit, c.Replace, &report)) << c.Name;
        const oxHclData expected = ExpectedBlock(c.Regs, c.Lcd, c.Fields);
        EXPECT_EQ(ListText(chip.HclData()), ListText(expected)) << c.Name;
        EXPECT_EQ(LcdText(chip.HclData()), LcdText(expected)) << c.Name;
        EXPECT_EQ(std::memcmp(&chip.HclData(), &expected, sizeof expected), 0) << c.Name;
        EXPECT_EQ(chip.GetRegListCount(), c.Regs.size() - 1) << c.Name;
        if (c.WholeReport) {
            EXPECT_EQ(report, c.Report) << c.Name;
        } else {
            EXPECT_NE(report.find(c.Report), std::string::npos) << c.Name << "\n" << report;
        }
    }
}

} // namespace
