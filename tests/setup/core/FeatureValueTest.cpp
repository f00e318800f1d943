// The value dialogs' logic: the dialog a node opens, the range check, radix changes, what OK
// writes, and the template dialog's rows.
#include "setup/core/FeatureValue.h"
#include "setup/core/SetupChipDef.h"
#include "setup/core/TemplateChoice.h"
#include "setup/core/UIFeatures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

// The chip definition with the limits of keyr chosen by the test.
class LimitedChip : public SetupChipDef {
public:
    uint32_t Min = 0;
    uint32_t Max = 255;
    uint32_t Step = 4;
    uint32_t GetFeatureMin(const char* name) override {
        return std::strcmp(name, "keyr") == 0 ? Min : SetupChipDef::GetFeatureMin(name);
    }
    uint32_t GetFeatureMax(const char* name) override {
        return std::strcmp(name, "keyr") == 0 ? Max : SetupChipDef::GetFeatureMax(name);
    }
    uint32_t GetFeatureStep(const char* name) override {
        return std::strcmp(name, "keyr") == 0 ? Step : SetupChipDef::GetFeatureStep(name);
    }
};

constexpr const char kItems[] =
    "<UIFEATURES><UIITEM TYPE=\"group\" NAME=\"G\">"
    "<UIITEM TYPE=\"item\" FEATURE=\"keyr\" OVERRIDE=\"keyg\" OVERRIDEPOS=\"On\" "
    "OVERRIDENEG=\"Off\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"hdp\" ACCESS=\"ro\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"setupdesc\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"adapter\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"baseaddr\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"clki\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"lcdseq\"/>"
    "<UIITEM TYPE=\"template\" NAME=\"T\" FILE=\"no-such-templates.xml\" FILEVER=\"2\"/>"
    "</UIITEM></UIFEATURES>";

class FeatureValueTest : public ::testing::Test {
protected:
    TreeHandle Item(int n) {
        TreeHandle node = nullptr;
        m_Model.GetRoot(node);
        m_Model.ToChild(node);
        for (int i = 0; i < n; ++i) {
            m_Model.ToNext(node);
        }
        return node;
    }
    LimitedChip m_Chip;
    UIFeatures m_Model{m_Chip, kItems};
};

} // namespace

TEST_F(FeatureValueTest, EachNodeOpensTheDialogOfItsType) {
    TreeHandle group = nullptr;
    m_Model.GetRoot(group);
    EXPECT_EQ(FeatureDialogFor(m_Model, group), 0);
    const int expected[] = {kDialogNumber,  -1,          kDialogText,     kDialogList,
                            kDialogAddress, kDialogText, kDialogSequence, kDialogTemplate};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(FeatureDialogFor(m_Model, Item(i)), expected[i]) << i;
    }
}

TEST_F(FeatureValueTest, RangeAndStepChecks) {
    struct Case {
        uint32_t Min;
        uint32_t Step;
        uint32_t Radix;
        const char* Edit;
        const char* Warning;
    };
    const Case cases[] = {
        {0, 4, 10, "8", ""},
        {0, 4, 10, "9", "Must be aligned by 4!"},
        {0, 4, 10, "300", "Must be between 0 and 255!"},
        {0, 4, 16, "12C", "Must be between 0 and FF!"},
        {0, 4, 10, "", ""},  // an empty edit is 0
        {0, 0, 10, "9", ""}, // a STEP of 0 asks for no alignment
        // The steps count from MIN.
        {5, 4, 10, "9", ""},
        {5, 4, 10, "8", "Must be aligned by 4!"},
        {5, 4, 10, "4", "Must be between 5 and 255!"},
    };
    for (const Case& c : cases) {
        m_Chip.Min = c.Min;
        m_Chip.Step = c.Step;
        FeatureValue value(m_Model, Item(0));
        if (c.Radix != value.Radix()) {
            value.ChangeRadix("0", c.Radix);
        }
        EXPECT_EQ(value.CheckValueRange(c.Edit), c.Warning) << c.Edit;
        EXPECT_EQ(value.IsWarning(), *c.Warning != '\0');
    }
}

TEST_F(FeatureValueTest, ChangingTheRadixRewritesTheNumberAndTheWarning) {
    FeatureValue value(m_Model, Item(0));
    value.ChangeRadix("0", 16);
    EXPECT_EQ(value.ChangeRadix("0C", 2), "1100");
    EXPECT_EQ(value.CheckValueRange("100101100"), "Must be between 0 and 11111111!");
    EXPECT_EQ(value.ChangeRadix("100101100", 10), "300");
    EXPECT_EQ(value.CurrentlyText(), "Must be between 0 and 255!");
}

TEST_F(FeatureValueTest, ARefusedNumberWritesNeitherTheValueNorTheOverride) {
    ASSERT_TRUE(m_Chip.SetFeatureValue("keyr", 8));
    ASSERT_TRUE(m_Chip.SetFeatureRawValue("keyg", 0));
    FeatureValue value(m_Model, Item(0));
    ASSERT_TRUE(value.HasOverride());
    EXPECT_EQ(value.OverrideLabel(), "Off");
    value.ToggleOverride();
    EXPECT_EQ(value.OverrideLabel(), "On");
    EXPECT_FALSE(value.AcceptNumber("9"));
    EXPECT_EQ(m_Chip.GetFeatureValue("keyr"), 8u);
    EXPECT_EQ(m_Chip.GetFeatureRawValue("keyg"), 0u);
    EXPECT_TRUE(value.AcceptNumber("12"));
    EXPECT_EQ(m_Chip.GetFeatureValue("keyr"), 12u);
    EXPECT_EQ(m_Chip.GetFeatureRawValue("keyg"), 1u);
}

TEST_F(FeatureValueTest, TextsListsAndTheCurrentlyLine) {
    FeatureValue text(m_Model, Item(2));
    EXPECT_TRUE(text.AcceptText(""));
    EXPECT_EQ(text.CurrentlyText(), "Currently  =  (empty)");
    EXPECT_TRUE(text.AcceptText("bench"));
    EXPECT_EQ(text.CurrentlyText(), "Currently  =  \"bench\"");

    FeatureValue list(m_Model, Item(3));
    const std::vector<std::string> rows = list.ListRows();
    ASSERT_GE(rows.size(), 2u);
    const int other = list.CurrentRow() == 0 ? 1 : 0;
    EXPECT_TRUE(list.AcceptListRow(other));
    EXPECT_EQ(list.CurrentRow(), other);
    EXPECT_EQ(list.CurrentlyText(), "Currently  =  " + rows[other]);

    ASSERT_TRUE(m_Chip.SetFeatureValue("hdp", 480)); // its unit is " pixels", ratios have ":1"
    EXPECT_EQ(FeatureValue(m_Model, Item(1)).CurrentlyText(), "Currently  =  480 pixels");

    FeatureValue address(m_Model, Item(4));
    EXPECT_EQ(address.Radix(), 16u);
    EXPECT_EQ(address.EditText().size(), 8u);
}

TEST_F(FeatureValueTest, AMissingTemplateFileGivesOnlyItsErrorLine) {
    TemplateChoice choice(m_Model, Item(7));
    EXPECT_FALSE(choice.HasTemplates());
    EXPECT_EQ(choice.Rows(), std::vector<std::string>{kTextTemplateMissing});
    EXPECT_TRUE(choice.Details(0).empty());
    std::string error;
    EXPECT_TRUE(choice.Apply(0, error));
}
