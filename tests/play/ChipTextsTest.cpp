// The chip definition's texts as Play prints them: whole however long, and empty or "UNKNOWN"
// for names and registers the database does not know, without tripping the library's checks.
#include "play/ChipTexts.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

constexpr uint32_t kPlaceShort = ChipDefBase::kLocPlace | ChipDefBase::kLocShort;

} // namespace

TEST(ChipTexts, RegisterDetailIsWholeBeyondOnePoolText) {
    // Register D0h holds the sixteen one-bit list features gpio15c to gpio0c, each explained
    // with its two possible values: more than one pool text at 80 columns.
    const std::string detail = RegisterDetailText(0xD0, 80);
    EXPECT_GT(detail.size(), size_t{ChipDefBase::kTextSize});
    EXPECT_EQ(detail.rfind("REG[D0h] GPIO Configuration Register\n", 0), 0u);
    EXPECT_EQ(CountOf(detail, "Possible Values:"), 16u);
    for (int gpio = 0; gpio < 16; ++gpio) {
        SCOPED_TRACE(gpio);
        EXPECT_EQ(CountOf(detail, "  GPIO" + std::to_string(gpio) + " Configuration\n"), 1u);
    }
    const std::string last = "  gpio0c = REG[D0h-b0]";
    ASSERT_NE(detail.find(last), std::string::npos);
    // The last line, not cut: the location column's 20 blanks and the value of gpio0c.
    EXPECT_TRUE(detail.ends_with("\n" + std::string(22, ' ') + "1h = Output"));
}

TEST(ChipTexts, FeatureExplanationHasItsPossibleValues) {
    const std::string text = FeatureExplanation("gpio0c", 80);
    EXPECT_EQ(text.rfind("GPIO0 Configuration\n  gpio0c = REG[D0h-b0]\n", 0), 0u);
    EXPECT_NE(text.find("\nPossible Values:\n  0h = Input\n  1h = Output"), std::string::npos);
}

TEST(ChipTexts, LabelsAndLocations) {
    struct Case {
        const char* Feature;
        uint32_t Flags;
        const char* Text;
    };
    const Case features[] = {
        {"hdp", kPlaceShort, "REG[24h-b6:0]"},
        {"hdp", ChipDefBase::kLocPlace, "REG[24h] Bits 6:0"},
        {"hdp", ChipDefBase::kLocName, "Horizontal Display Period"},
        {"swreset", kPlaceShort | ChipDefBase::kLocAccess, "REG[06h-b8] [WO]"},
        {"setupdesc", kPlaceShort, "CODE"},
    };
    for (const Case& c : features) {
        SCOPED_TRACE(c.Feature);
        EXPECT_EQ(FeatureLocationText(c.Feature, c.Flags), c.Text);
    }
    EXPECT_EQ(RegisterLabel(0x24, ChipDefBase::kLocPlace | ChipDefBase::kLocName),
              "REG[24h] Horizontal Display Width Register");
    EXPECT_EQ(RegisterLabel(0x18, kPlaceShort | ChipDefBase::kLocAccess), "REG[18h] [RSVD]");
    EXPECT_EQ(RegisterLabel(0x24, kPlaceShort | ChipDefBase::kLocAccess), "REG[24h]");
}

TEST(ChipTexts, UnknownNamesAndRegistersAreAnsweredQuietly) {
    AssertRecorder asserts;
    EXPECT_EQ(FeatureLocationText("nosuch", kPlaceShort), "");
    EXPECT_EQ(FeatureExplanation("nosuch", 80), "");
    EXPECT_EQ(RegisterLabel(0x80, ChipDefBase::kLocName), "UNKNOWN"); // a 47390 register
    EXPECT_EQ(RegisterDetailText(0x80, 80), "REG[80h] does not exist for this chip.");
    EXPECT_EQ(asserts.Count(), 0u);
}
