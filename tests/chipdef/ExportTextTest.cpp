// The export's texts read back: the CSV through python3's csv module, the INI file through the
// import (the identity), and the pieces whose form the C compiler does not check.
#include "ExportSupport.h"
#include "support/AssertRecorder.h"
#include "support/TempFolder.h"

#include "platform/IniFile.h"

#include <gtest/gtest.h>

using namespace exporttest;

namespace {

const std::string kFixtures = std::string(Q3V_SOURCE_DIR) + "/tests/fixtures";

std::string Import(ChipDef& chip, const std::string& iniText, bool replace,
                   bool* accepted = nullptr) {
    char report[16384] = "unset";
    const bool ok =
        chip.ImportIni(IniFile::Parse(iniText), "test.ini", report, sizeof report, replace);
    if (accepted) {
        *accepted = ok;
    }
    return report;
}

void MakeRich(ChipDef& chip) {
    char report[16384];
    ASSERT_TRUE(
        chip.ImportIniFile((kFixtures + "/rich.ini").c_str(), report, sizeof report, false));
}

TEST(ExportCsv, PythonReadsOneRowPerListEntryMatchingTheBlock) {
    if (!HaveCommand("python3")) {
        GTEST_SKIP() << "no python3";
    }
    q3vtest::TempFolder temp("q3v-export-csv");
    ASSERT_FALSE(temp.Path().empty());
    ChipDef chip;
    const std::string csv = Generate(chip, &ChipDef::WriteCsv);
    WriteFile(temp.Path() + "/chip.csv", csv);
    // Rows after the CRC line and the empty row, as index,value pairs in hexadecimal.
    WriteFile(temp.Path() + "/read.py",
              "import csv, sys\n"
              "rows = list(csv.reader(open(sys.argv[1], newline=''), skipinitialspace=True))\n"
              "at = [i for i, r in enumerate(rows) if r and r[0].startswith("
              "'Configuration Data CRC: ')][0]\n"
              "print(rows[at][0][len('Configuration Data CRC: '):])\n"
              "assert rows[at + 1] == []\n"
              "for r in rows[at + 2:]:\n"
              "    if not r: continue\n"
              "    assert len(r) == 3, r\n"
              "    print(r[0], r[1])\n");
    int status = 0;
    const std::string out =
        RunCommand("python3 " + temp.Path() + "/read.py " + temp.Path() + "/chip.csv", &status);
    ASSERT_EQ(status, 0) << out;

    std::string expected;
    char line[64];
    std::snprintf(line, sizeof line, "%04Xh\n", ChipDef::ComputeBlockCrc(chip.HclData()));
    expected += line;
    for (uint32_t pos = 0; pos <= chip.GetRegListCount(); ++pos) {
        const oxHclRegEntry entry = oxHclGetReg(chip.HclData(), pos);
        const uint32_t digits = chip.GetRegisterValueWidth(pos, true);
        if (entry.Index >= 252 && entry.Index <= 254) {
            std::snprintf(line, sizeof line, "Delay %0*Xh\n", static_cast<int>(digits),
                          entry.Value);
        } else {
            std::snprintf(line, sizeof line, "%0*Xh %0*Xh\n",
                          static_cast<int>(chip.GetDefaultIndexWidth()), entry.Index,
                          static_cast<int>(digits), entry.Value);
        }
        expected += line;
    }
    EXPECT_EQ(out, expected);
    EXPECT_NE(expected.find("FFh 0000h\n"), std::string::npos); // the end pair is the last row
}

TEST(ExportIni, ExportThenImportIsTheIdentity) {
    struct Case {
        const char* name;
        bool rich;
        bool replace;
        std::string description;
    };
    const Case cases[] = {
        {"template merged", false, false, ""},
        {"template replaced", false, true, ""},
        {"rich merged", true, false, ""},
        {"rich replaced", true, true, ""},
        {"255 characters", false, false, std::string(254, 'x') + "y"},
        {"a comment sign", false, true, "a ;b"},
        {"quotes and blanks", false, true, "\" quoted at both ends \""},
    };
    for (const Case& c : cases) {
        ChipDef chip;
        if (c.rich) {
            MakeRich(chip);
        }
        if (!c.description.empty()) {
            oxHclData& block = chip.MutableHclData();
            std::memset(block.szConfigString, 0, sizeof block.szConfigString);
            std::memcpy(block.szConfigString, c.description.data(), c.description.size());
        }
        const std::string ini = Generate(chip, &ChipDef::WriteIniFile);
        const oxHclData before = chip.HclData();
        ChipDef other;
        if (c.rich) {
            MakeRich(other); // the same list, so that a merge has every register
        }
        EXPECT_EQ(Import(other, ini, c.replace), "") << c.name;
        EXPECT_EQ(std::memcmp(&other.HclData(), &before, sizeof before), 0) << c.name;
        EXPECT_EQ(other.HclData().HclCRC, before.HclCRC) << c.name;
    }
}

// The file cannot carry a line break: a text that holds one is written up to it, the file's
// head says so, and the file imports with every other field as it was (the texts are outside
// the CRC: no warning).
TEST(ExportIni, TextsWithALineBreakAreWrittenUpToIt) {
    struct Case {
        const char* name;
        std::string description;
        std::string label; // of the pool's entry 0
        std::string head;  // the file's note
    };
    const Case cases[] = {
        {"LF in the description", "line1\nline2", "",
         "; Warning: szConfigString holds a line break, written up to it.\n"},
        {"a section in the description", "x\n[Regs]\n0=0004,0001", "",
         "; Warning: szConfigString holds a line break, written up to it.\n"},
        {"CR in the description", "one\rtwo", "",
         "; Warning: szConfigString holds a line break, written up to it.\n"},
        {"LF in a label", "plain", "Sleep\nout",
         "; Warning: sLCD1StringPool/0 holds a line break, written up to it.\n"},
    };
    for (const Case& c : cases) {
        ChipDef chip;
        oxHclData& block = chip.MutableHclData();
        std::memset(block.szConfigString, 0, sizeof block.szConfigString);
        std::memcpy(block.szConfigString, c.description.data(), c.description.size());
        if (!c.label.empty()) {
            ASSERT_TRUE(ChipDef::SetPoolString(block.sLCD1StringPool, 0, c.label.c_str()));
        }
        const std::string ini = Generate(chip, &ChipDef::WriteIniFile);
        EXPECT_NE(ini.find(c.head), std::string::npos) << c.name << "\n" << ini;

        // What the file gives back: the texts up to their break, every other byte unchanged.
        oxHclData expected = chip.HclData();
        const auto cut = [](const std::string& text) {
            return text.substr(0, text.find_first_of("\r\n"));
        };
        std::memset(expected.szConfigString, 0, sizeof expected.szConfigString);
        std::memcpy(expected.szConfigString, cut(c.description).data(), cut(c.description).size());
        if (!c.label.empty()) {
            std::memset(expected.sLCD1StringPool, 0, sizeof expected.sLCD1StringPool);
            ASSERT_TRUE(ChipDef::SetPoolString(expected.sLCD1StringPool, 0, cut(c.label).c_str()));
        }
        expected.HclCRC = ChipDef::ComputeBlockCrc(expected);
        for (bool replace : {false, true}) {
            ChipDef other;
            EXPECT_EQ(Import(other, ini, replace), "") << c.name;
            EXPECT_EQ(std::memcmp(&other.HclData(), &expected, sizeof expected), 0) << c.name;
            EXPECT_EQ(other.GetRegListCount(), chip.GetRegListCount()) << c.name;
        }
    }
}

TEST(ExportIni, ImportTakesTheRichFixture) {
    ChipDef chip;
    MakeRich(chip);
    const oxHclData& b = chip.HclData();
    EXPECT_STREQ(b.szConfigString, "Rich \"quoted\" \\path 100%\t\xc3\xa9"
                                   "A end");
    EXPECT_STREQ(ChipDef::GetPoolString(b.sLCD1StringPool, 0), "Sleep out");
    EXPECT_STREQ(ChipDef::GetPoolString(b.sLCD1StringPool, 5), "Wait for the panel");
    EXPECT_EQ(oxHclGetLcd1Reg(b, 3), 0x11000005u);
    EXPECT_EQ(oxHclGetClkI(b), 0x016E3600u);
    EXPECT_EQ(b.USBConfig[5], 0x66);
    uint32_t pos = 0;
    ASSERT_TRUE(chip.FindRegListEntry(0x24, &pos, true));
    EXPECT_EQ(oxHclGetReg(b, pos).Value, 0x50);

    const std::string source = Generate(chip, &ChipDef::WriteHclDataSource);
    EXPECT_NE(source.find("oxHCL_LCD_COMMAND + 0x29,"), std::string::npos);
    EXPECT_NE(source.find("oxHCL_LCD_DELAY   + 20,"), std::string::npos);
    EXPECT_NE(source.find("        0x11000005,\n"), std::string::npos);
    EXPECT_EQ(source.find("unknown"), std::string::npos);
}

TEST(ExportIni, ImportWarnings) {
    struct Case {
        const char* name;
        std::string ini;
        std::string expected; // a part of the report
    };
    const std::string chipHead = "[47K20]\nClkI=1\n";
    const Case cases[] = {
        {"unknown key and section", chipHead + "Foo=1\n[Bar]\nx=1\n",
         "ignored (cannot import):\n\tFoo, Bar.\n"},
        {"short array", chipHead + "[USBConfig]\n0=1\n1=2\n2=3\n3=4\n",
         "not fully imported (short array):\n\tUSBConfig.\n"},
        {"overflow", chipHead + "[USBConfig]\n0=1\n1=2\n2=3\n3=4\n4=5\n5=6\n6=7\n",
         "ignored (array overflow):\n\tUSBConfig.\n"},
        {"identity kept",
         chipHead + "szIdString=\"47390 HAL EXE\"\nszChipId=\"47390\"\n"
                    "DetectEndian=3412\n",
         "ignored (cannot import):\n\tszIdString, szChipId, DetectEndian.\n"},
        {"size", chipHead + "Size=1000\n", "structure size changed"},
        {"crc", chipHead + "HclCRC=0001\n", "CRC mismatch"},
    };
    for (const Case& c : cases) {
        ChipDef chip;
        const std::string report = Import(chip, c.ini, false);
        EXPECT_NE(report.find(c.expected), std::string::npos) << c.name << "\n" << report;
        EXPECT_STREQ(chip.HclData().szChipId, "47K20");
        EXPECT_EQ(chip.HclData().DetectEndian, 0x1234);
        EXPECT_STREQ(chip.HclData().szIdString, "47K20 HAL EXE");
    }
}

TEST(ExportIni, AFileOfAnotherChipIsRefused) {
    ChipDef chip;
    const oxHclData before = chip.HclData();
    bool accepted = true;
    const std::string report = Import(chip, "[47390]\nClkI=1\n", false, &accepted);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(report, "test.ini is not a 47K20SETUP import file, missing [47K20] section!");
    EXPECT_EQ(std::memcmp(&chip.HclData(), &before, sizeof before), 0);
}

TEST(ExportIni, PoolKeysNameSequencePositionsListKeysTakeFileOrder) {
    ChipDef chip;
    Import(chip,
           "[47K20]\nClkI=1\n[sLCD1StringPool]\n5=\"five\"\n[LCD1Regs]\n2=20000001\n"
           "0=10000001\n1=00000000\n",
           false);
    EXPECT_EQ(ChipDef::GetPoolString(chip.HclData().sLCD1StringPool, 0), nullptr);
    EXPECT_STREQ(ChipDef::GetPoolString(chip.HclData().sLCD1StringPool, 5), "five");
    EXPECT_EQ(oxHclGetLcd1Reg(chip.HclData(), 0), 0x20000001u);
    EXPECT_EQ(oxHclGetLcd1Reg(chip.HclData(), 1), 0x10000001u);
    EXPECT_EQ(oxHclGetLcd1Reg(chip.HclData(), 2), 0u);
}

TEST(ExportIni, RegsPairsAreSplitAtTheComma) {
    ChipDef chip;
    uint32_t pos = 0;
    ASSERT_TRUE(chip.FindRegListEntry(0x24, &pos, true));
    const std::string report = Import(chip, "[47K20]\nClkI=1\n[Regs]\n0= 24 , 7 \n", false);
    EXPECT_EQ(oxHclGetReg(chip.HclData(), pos).Value, 7) << report;
}

TEST(ExportIni, LongDescriptionsKeepTheirClosingNul) {
    ChipDef chip;
    Import(chip, "[47K20]\nszConfigString=\"" + std::string(400, 'z') + "\"\n", false);
    EXPECT_EQ(std::string(chip.HclData().szConfigString), std::string(255, 'z'));
}

TEST(ExportIni, ManyUnknownKeysAreCutToFitTheReport) {
    std::string ini = "[47K20]\n";
    for (int i = 0; i < 3000; ++i) {
        ini += "Unknown" + std::to_string(i) + "=1\n";
    }
    AssertRecorder asserts;
    ChipDef chip;
    char report[16384];
    ASSERT_TRUE(chip.ImportIni(IniFile::Parse(ini), "x.ini", report, sizeof report, false));
    EXPECT_LT(std::strlen(report), sizeof report);
    EXPECT_NE(std::string(report).find(", ..."), std::string::npos);
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST(ExportIni, TextFieldsWithoutNulStayInTheirWidth) {
    ChipDef chip;
    oxHclData& block = chip.MutableHclData();
    std::memset(block.szConfigString, 'd', sizeof block.szConfigString); // no NUL
    const std::string ini = Generate(chip, &ChipDef::WriteIniFile);
    EXPECT_NE(ini.find("szConfigString=\"" + std::string(256, 'd') + "\"\n"), std::string::npos);
}

TEST(ExportHeaders, OptionsChooseTheDefinitions) {
    ChipDef chip;
    ExportOptions options;
    options.GenericFlags = 0x120000;
    const std::string generic = Generate(chip, &ChipDef::WriteGenericHeader, options);
    EXPECT_NE(generic.find("#define Q3V_SWBLT\n#define Q3V_SW_CURSOR\n"), std::string::npos);
    EXPECT_EQ(generic.find("Q3V_HWBLT"), std::string::npos);
    options.ModeNumber = 3;
    options.Build = 38;
    const std::string wince = Generate(chip, &ChipDef::WriteWinCeHeader, options);
    EXPECT_NE(wince.find("#ifndef __MODE3_H__\n#define __MODE3_H__\n"), std::string::npos);
    EXPECT_NE(wince.find("generated by 47K20SETUP.EXE (Build 38)"), std::string::npos);
    EXPECT_NE(wince.find("    },\n},\n\n#endif // __MODE3_H__\n\n"), std::string::npos);
    EXPECT_EQ(wince.find('\r'), std::string::npos);
}

TEST(ExportHeaders, ANullBufferWritesNothing) {
    ChipDef chip;
    const ExportOptions options;
    EXPECT_EQ(chip.WriteHclDataSource(nullptr, 100, &options), 0u);
    EXPECT_EQ(chip.WriteIniFile(nullptr, 100, &options), 0u);
    AssertRecorder asserts;
    char small[64];
    EXPECT_EQ(chip.WriteCsv(small, sizeof small, &options), sizeof small - 1);
    ASSERT_EQ(asserts.Count(), 1u);
    EXPECT_TRUE(asserts.Saw("iT < Size"));
}

} // namespace
