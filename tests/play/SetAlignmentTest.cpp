// SET's step rule counts from the feature's MIN, not from 0: with MIN 5 and STEP 4 the values
// 5, 9, 13 ... are taken and 8 is refused. No built-in feature has a STEP, so the rule is checked
// on a small chip definition of this test's own; the value that was taken reaches the register.
#include "PlayTestSupport.h"
#include "chipdef/ChipDefTestDouble.h"
#include "play/FeatureAccess.h"

#include <cstdio>
#include <string>

namespace {

// MIN, MAX and STEP are hexadecimal in the database: 5 to 64, step 4; the second feature shows
// its numbers in hexadecimal.
const char* const kAlignedDocument = R"(<CHIPDEF>
<REGISTERS DEFAULTINDEXWIDTH="2" DEFAULTVALUEWIDTH="4">
 <REGISTER REG="10" LEXNAME="R10" NAME="Ten"/>
 <REGISTER REG="12" LEXNAME="R12" NAME="Twelve"/>
</REGISTERS>
<FEATURES>
 <FEATURE KEYNAME="fives" TYPE="numb" REG="10" MASK="00FF" MIN="5" MAX="40" STEP="4"/>
 <FEATURE KEYNAME="hexfives" TYPE="numb" REG="12" MASK="00FF" RADIX="hex" MIN="5" MAX="40"
          STEP="10"/>
</FEATURES>
</CHIPDEF>)";

TEST(SetAlignment, StepsCountFromTheMinimum) {
    ListChip chip;
    ASSERT_TRUE(chip.LoadDocument(kAlignedDocument));
    chip.SetList({{0x10, 0}, {0x12, 0}});
    struct Case {
        const char* Name;
        const char* Text;  // nullptr: the value is the number
        uint32_t Number;   // the number given, or the one the text stands for
        const char* Error; // "" when the value is taken
    };
    const Case cases[] = {
        {"fives", nullptr, 9, ""},
        {"fives", nullptr, 8, "Must be aligned by 4!"},
        {"fives", nullptr, 5, ""}, // MIN itself
        {"fives", nullptr, 61, ""},
        {"fives", nullptr, 64, "Must be aligned by 4!"}, // MAX is no whole step from MIN
        {"fives", nullptr, 4, "Must be between 5 and 64!"},
        {"fives", "13", 13, ""},
        {"fives", "12", 12, "Must be aligned by 4!"},
        {"fives", "0Dh", 13, ""},
        {"hexfives", nullptr, 0x15, ""},
        {"hexfives", nullptr, 0x14, "Must be aligned by 10h!"},
        {"hexfives", "25", 0x25, ""}, // read in the feature's radix: 5 + 2 x 10h
        {"hexfives", "20", 0x20, "Must be aligned by 10h!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " " + (c.Text ? c.Text : std::to_string(c.Number)));
        const uint32_t before = chip.GetFeatureValue(c.Name);
        ExprValue value{};
        value.IsString = c.Text != nullptr ? 1 : 0;
        value.Number = c.Text != nullptr ? 0 : c.Number;
        std::snprintf(value.Text, sizeof value.Text, "%s", c.Text ? c.Text : "");
        const char* errorText = nullptr;
        const uint32_t column = SetFeatureChecked(chip, c.Name, &value, false, &errorText);
        EXPECT_EQ(std::string(errorText != nullptr ? errorText : ""), c.Error);
        if (*c.Error == '\0') {
            EXPECT_EQ(column, 0u);
            EXPECT_EQ(chip.GetFeatureValue(c.Name), c.Number);
        } else {
            EXPECT_EQ(column, 1u);
            EXPECT_EQ(chip.GetFeatureValue(c.Name), before) << "a refused value is not written";
        }
    }
}

} // namespace
