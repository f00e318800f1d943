// The report of an INI import, word for word: the fields a file does not hold ("not imported
// (missing)") and, after a merge into the current register list, the registers of the current
// list that got no value and the imported ones that were not used. Each file is the built-in
// block's own export, edited by hand.
#include "IniEditSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace initest;

namespace {

const std::string kCrcWarning =
    "\nWarning: CRC mismatch, the import file may have been manually edited.\n";

std::string MissingItems(const std::string& names) {
    return "\nWarning: The following items were not imported (missing):\n\t" + names + ".\n";
}
std::string CannotImport(const std::string& names) {
    return "\nWarning: The following items were ignored (cannot import):\n\t" + names + ".\n";
}
std::string MissingRegisters(const std::string& indices) {
    return "\nWarning: The following registers were not imported (missing):\n\t" + indices + ".\n";
}
std::string IgnoredRegisters(const std::string& indices) {
    return "\nWarning: The following registers were ignored (cannot import):\n\t" + indices + ".\n";
}

using Edit = std::function<std::string(const std::string&)>;

// Several edits, one after the other.
Edit Edits(std::vector<Edit> edits) {
    return [edits](const std::string& ini) {
        std::string edited = ini;
        for (const Edit& edit : edits) {
            edited = edit(edited);
        }
        return edited;
    };
}
Edit Delete(const char* section, const char* key) {
    return [=](const std::string& ini) { return DeleteKey(ini, section, key); };
}
Edit Set(const char* section, const char* key, const char* value) {
    return [=](const std::string& ini) { return SetValue(ini, section, key, value); };
}
Edit Insert(const char* section, const char* after, const char* line) {
    return [=](const std::string& ini) { return InsertAfter(ini, section, after, line); };
}
Edit Drop(const char* section) {
    return [=](const std::string& ini) { return DeleteSection(ini, section); };
}

struct ReportCase {
    const char* Name;
    Edit Change;
    bool Replace;
    std::string Report;
    // Pairs of the register list afterwards: position, index and value.
    std::vector<std::pair<size_t, oxHclRegEntry>> Holds = {};
};

// The built-in list (positions: 0 06h, 1 FEh, 2 04h, 3 10h, 6 10h, 9 04h, 21 40h, 22 42h,
// 39 04h, 40 the end pair) is the current list of every import.
std::vector<ReportCase> Cases() {
    const Edit unedited = [](const std::string& ini) { return ini; };
    const Edit onlyClkI = [](const std::string&) { return "[47K20]\nClkI=016E3600\n"; };
    const Edit usbUnreadable = [](const std::string& ini) {
        return EditSection(ini, "USBConfig",
                           [](const std::string& key, const std::string&) { return key + "=zz"; });
    };
    const Edit usbEmptied = [](const std::string& ini) {
        return EditSection(ini, "USBConfig",
                           [](const std::string&, const std::string&) { return std::string(); });
    };
    const Edit unknownRegister = Set("Regs", "21", "0070,0005");
    return {
        // The items: every field of the table but the strings pool, in the table's order.
        {"the unedited file (it has no strings pool)", unedited, false, ""},
        {"chip keys deleted",
         Edits({Delete("47K20", "Flags"), Delete("47K20", "Size"), Delete("47K20", "ClkI")}), false,
         MissingItems("Size, ClkI, Flags")},
        {"only the chip section with one key", onlyClkI, false,
         MissingItems("szIdString, szConfigString, Size, HclCRC, szChipId, DetectEndian, "
                      "Reserved1, BaseAddress, RegisterOffset, MemoryOffset, Flags, USBConfig, "
                      "LCD1Regs, Regs")},
        {"a section without lines and a section deleted", Edits({usbEmptied, Drop("LCD1Regs")}),
         false, MissingItems("USBConfig, LCD1Regs")},
        {"every value of a section unreadable", usbUnreadable, false,
         MissingItems("USBConfig") +
             CannotImport("USBConfig/0, USBConfig/1, USBConfig/2, USBConfig/3, USBConfig/4, "
                          "USBConfig/5")},
        // Numbers that cannot be read are left out and listed with the names that are not
        // fields: an unreadable size or CRC is not checked, the block's identity is kept.
        {"the size, the CRC and the endian mark unreadable",
         Edits({Set("47K20", "Size", ""), Set("47K20", "HclCRC", "zz"),
                Set("47K20", "DetectEndian", " ")}),
         false, CannotImport("Size, HclCRC, DetectEndian")},
        // Without pairs there is nothing to merge: no register warnings.
        {"Regs deleted, merged", Drop("Regs"), false, MissingItems("Regs")},
        {"Regs deleted, replaced", Drop("Regs"), true, MissingItems("Regs")},

        // The registers, after a merge, by their current order and their imported order.
        {"a register the current list lacks, merged",
         unknownRegister,
         false,
         MissingRegisters("0040") + IgnoredRegisters("0070"),
         {{21, {0x40, 0x0000}}}},
        {"a register the current list lacks, replaced",
         unknownRegister,
         true,
         kCrcWarning,
         {{21, {0x70, 0x0005}}}},
        {"lines deleted and registers changed",
         Edits({Delete("Regs", "0"), Delete("Regs", "1"), Set("Regs", "21", "0070,0000"),
                Set("Regs", "22", "0071,0000")}),
         false, MissingRegisters("0006, 00FE, 0040, 0042") + IgnoredRegisters("0070, 0071")},
        // 04h three times current, twice imported: first to first, last to last.
        {"a register of three current entries imported twice",
         Edits({Delete("Regs", "9"), Set("Regs", "39", "0004,0007")}),
         false,
         kCrcWarning + MissingRegisters("0004"),
         {{2, {0x04, 0x0000}}, {9, {0x04, 0x0001}}, {39, {0x04, 0x0007}}}},
        // Four times imported: first, second and last taken, the third not.
        {"a register of three current entries imported four times",
         Insert("Regs", "39", "40=0004,0009"),
         false,
         kCrcWarning + IgnoredRegisters("0004"),
         {{2, {0x04, 0x0000}}, {9, {0x04, 0x0001}}, {39, {0x04, 0x0009}}}},
        // 10h twice current, once imported: the imported one goes to the second.
        {"a register of two current entries imported once",
         Edits({Delete("Regs", "6"), Set("Regs", "3", "0010,0123")}),
         false,
         kCrcWarning + MissingRegisters("0010"),
         {{3, {0x10, 0x0000}}, {6, {0x10, 0x0123}}}},
        // 06h once current, twice imported: the last imported one is taken.
        {"a register of one current entry imported twice",
         Insert("Regs", "39", "40=0006,0200"),
         false,
         kCrcWarning + IgnoredRegisters("0006"),
         {{0, {0x06, 0x0200}}}},
        // Every list in its order: items, then the registers.
        {"every kind of warning at once",
         Edits({Delete("47K20", "Reserved1"), Insert("47K20", "Flags", "Foo=1"),
                Set("Regs", "21", "0070,0000")}),
         false,
         MissingItems("Reserved1") + CannotImport("Foo") + MissingRegisters("0040") +
             IgnoredRegisters("0070")},
    };
}

TEST(IniImportReport, TheWarningsNameWhatWasNotImported) {
    for (const ReportCase& c : Cases()) {
        ChipDef chip;
        std::string report;
        ASSERT_TRUE(ImportEditedExport(chip, c.Change, c.Replace, &report)) << c.Name;
        EXPECT_EQ(report, c.Report) << c.Name;
        for (const auto& [position, pair] : c.Holds) {
            const oxHclRegEntry held = oxHclGetReg(chip.HclData(), position);
            EXPECT_EQ(held.Index, pair.Index) << c.Name << ", position " << position;
            EXPECT_EQ(held.Value, pair.Value) << c.Name << ", position " << position;
        }
    }
}

} // namespace
