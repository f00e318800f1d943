// Fuzz entry of the INI reader and of the configuration import over it: the input is read as
// an INI file, every section and key listed and looked up, and then imported into a chip
// definition holding the template block, once merged and once replaced. Assertions are
// recorded, not fatal; a crash, a sanitizer report or a broken promise of the import is a fault.
//
// The chip definitions are built once (each build loads the chip database) and get the
// template block back before every input, so an input costs its import, not two builds. A
// block is exported once: the exports depend on nothing else, so a block that an earlier input
// gave already is not exported again (most inputs give one of a few blocks).
#include "chipdef/ChipDef.h"
#include "common/Assert.h"
#include "platform/IniFile.h"
#include "support/FuzzChecks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {

using q3vtest::FuzzCheck;

// The chip back to the template's block, as a chip built anew holds it.
void Restore(ChipDef& chip, const ChipDef& from) {
    chip.MutableHclData() = from.HclData();
    chip.CompactRegList();
    chip.SetRegListImported(false);
    FuzzCheck(std::memcmp(&chip.HclData(), &from.HclData(), sizeof(oxHclData)) == 0);
    FuzzCheck(chip.GetRegListCount() == from.GetRegListCount());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    q3vtest::CountAssertions();
    q3vtest::AssertionCount() = 0;
    const IniFile file =
        IniFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : file.SectionNames()) {
        FuzzCheck(file.HasSection(section));
        for (const IniFile::KeyValue& key : file.Keys(section)) {
            FuzzCheck(file.Value(section, key.first).has_value());
        }
    }
    static const ChipDef s_Template;
    static ChipDef s_Chips[2];
    for (bool replace : {false, true}) {
        ChipDef& chip = s_Chips[replace ? 1 : 0];
        Restore(chip, s_Template);
        char report[16384];
        report[0] = '\0';
        chip.ImportIni(file, "fuzz.ini", report, sizeof report, replace);
        FuzzCheck(std::strlen(report) < sizeof report);
        // The block's identity never changes.
        FuzzCheck(std::memcmp(chip.HclData().szIdString, s_Template.HclData().szIdString, 16) == 0);
        FuzzCheck(std::memcmp(chip.HclData().szChipId, s_Template.HclData().szChipId, 8) == 0);
        FuzzCheck(chip.HclData().DetectEndian == s_Template.HclData().DetectEndian);
        FuzzCheck(chip.HclData().szConfigString[255] == '\0');
        // The blocks exported so far, by their hash; forgotten now and then so that a long
        // run's memory stays bounded (a block exported twice costs time only).
        static std::unordered_set<size_t> s_Exported;
        if (s_Exported.size() >= 1000000) {
            s_Exported.clear();
        }
        const std::string_view block(reinterpret_cast<const char*>(&chip.HclData()),
                                     sizeof(oxHclData));
        if (s_Exported.insert(std::hash<std::string_view>{}(block)).second) {
            char text[1 << 16];
            chip.WriteIniFile(text, sizeof text, nullptr);
            chip.WriteHclDataSource(text, sizeof text, nullptr);
        }
    }
    FuzzCheck(q3vtest::AssertionCount() == 0);
    return 0;
}
