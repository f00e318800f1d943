// The Features tab's rows over the shipped description and the built-in block.
#include "setup/core/FeatureTree.h"
#include "setup/core/SetupChipDef.h"
#include "setup/core/TemplateChoice.h"
#include "setup/core/UIFeatures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Points the model at the shipped templates before the members below are built.
struct ShippedTemplatePath {
    ShippedTemplatePath() {
        setenv("ConfigTemplatePath", Q3V_SOURCE_DIR "/src/setup/templates", 1);
    }
};

class FeatureTreeTest : public ::testing::Test, private ShippedTemplatePath {
protected:
    const FeatureTreeRow* Row(const std::string& text) {
        for (const FeatureTreeRow& row : m_Rows) {
            if (row.Text == text) {
                return &row;
            }
        }
        return nullptr;
    }
    SetupChipDef m_Chip;
    UIFeatures m_Model{m_Chip};
    std::vector<FeatureTreeRow> m_Rows = BuildFeatureTreeRows(m_Model);
};

} // namespace

TEST_F(FeatureTreeTest, TheTreeShowsTheShippedDescription) {
    ASSERT_FALSE(m_Rows.empty());
    EXPECT_EQ(m_Rows[0].Text, "PLATFORM");
    EXPECT_TRUE(m_Rows[0].Expanded);
    const FeatureTreeRow* panels = Row("Panel Templates* =  4.3\" TFT 480x272 (RGB, 24-bit)");
    ASSERT_NE(panels, nullptr);
    EXPECT_TRUE(panels->Bold);
    EXPECT_TRUE(panels->Expanded);
    EXPECT_NE(Row("*Horizontal Display Period  =  480 pixels"), nullptr);
    const size_t blanks = static_cast<size_t>(
        std::count_if(m_Rows.begin(), m_Rows.end(),
                      [](const FeatureTreeRow& row) { return row.Node == nullptr; }));
    EXPECT_EQ(blanks, 3u); // between the four top-level groups
    EXPECT_FALSE(FeatureTreeTip(m_Model, panels[1].Node).empty());
}

TEST_F(FeatureTreeTest, ApplyingTheSmallPanelChangesTheRows) {
    const FeatureTreeRow* panels = Row("Panel Templates* =  4.3\" TFT 480x272 (RGB, 24-bit)");
    ASSERT_NE(panels, nullptr);
    TemplateChoice choice(m_Model, panels->Node);
    ASSERT_EQ(choice.MatchingRow(), 0);
    ASSERT_EQ(choice.Rows().size(), 2u);
    EXPECT_EQ(choice.Details(1).front(), "Interface  =  RGB");
    std::string error;
    ASSERT_TRUE(choice.Apply(1, error)) << error;
    m_Rows = BuildFeatureTreeRows(m_Model);
    EXPECT_NE(Row("Panel Templates* =  3.5\" TFT 320x240 (RGB, 18-bit)"), nullptr);
    EXPECT_NE(Row("*Horizontal Display Period  =  320 pixels"), nullptr);
    EXPECT_EQ(m_Chip.GetFeatureValue("vdp"), 240u);
}
