// The feature tree model over the built-in description and over small fixtures.
#include "setup/core/UIFeatures.h"
#include "setup/core/DebugTrace.h"
#include "setup/core/SetupChipDef.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

// The template folder the shipped description names panels.xml in.
struct ShippedTemplates {
    ShippedTemplates() { setenv("ConfigTemplatePath", Q3V_SOURCE_DIR "/src/setup/templates", 1); }
};

void ForEachNode(UIFeatures& model, const std::function<void(TreeHandle)>& visit) {
    std::function<void(TreeHandle)> walk = [&](TreeHandle node) {
        do {
            visit(node);
            TreeHandle child = node;
            if (model.ToChild(child)) {
                walk(child);
            }
        } while (model.ToNext(node));
    };
    TreeHandle root = nullptr;
    if (model.GetRoot(root)) {
        walk(root);
    }
}

TreeHandle FindByText(UIFeatures& model, const std::string& text) {
    TreeHandle found = nullptr;
    ForEachNode(model, [&](TreeHandle node) {
        if (found == nullptr && model.GetDisplayText(node, kUIName) == text) {
            found = node;
        }
    });
    return found;
}

std::string ScrambleTemplateText(const std::string& plain) {
    std::string text = plain;
    for (char& c : text) {
        const char* at = std::strchr(kTemplatePlainAlphabet, c);
        c = kTemplateSubstitutionAlphabet[at - kTemplatePlainAlphabet];
    }
    return text;
}

// A fixture folder holding template files; the model looks there through ConfigTemplatePath.
class UIFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_Folder = std::filesystem::temp_directory_path() /
                   ("uifeatures-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_Folder);
        setenv("ConfigTemplatePath", m_Folder.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(m_Folder); }
    void WriteFile(const std::string& name, const std::string& text) {
        std::ofstream(m_Folder / name) << text;
    }
    static std::string Description(const std::string& items) {
        return "<UIFEATURES VERSION=\"1\">" + items + "</UIFEATURES>";
    }
    static std::string TemplateItem(const std::string& inner, const std::string& fileVer = "2+") {
        return "<UIITEM TYPE=\"template\" NAME=\"T\" FILE=\"t.xml\" FILEVER=\"" + fileVer + "\">" +
               inner + "</UIITEM>";
    }
    SetupChipDef m_Chip;
    std::filesystem::path m_Folder;
};

} // namespace

TEST(UIFeaturesShipped, LoadsWithoutDiagnosticsAndEvaluatesEveryCondition) {
    ShippedTemplates folder;
    SetupChipDef chip;
    UIFeatures model(chip);
    ASSERT_EQ(model.GetDiagnosticText(), "");
    TreeHandle root = nullptr;
    ASSERT_TRUE(model.GetRoot(root));
    EXPECT_EQ(model.GetDisplayText(root, kUIName), "Platform");
    int roots = 1;
    while (model.ToNext(root)) {
        ++roots;
    }
    EXPECT_EQ(roots, 4);
    TreeHandle usb = FindByText(model, "USB I/F Settings");
    TreeHandle tft = FindByText(model, "LCD (TFT/ND-TFD)");
    TreeHandle panels = FindByText(model, "Panel Templates");
    ASSERT_TRUE(usb && tft && panels);
    TreeHandle serial = nullptr;
    ForEachNode(model, [&](TreeHandle node) {
        const char* feature = model.GetChipDefFeature(node);
        if (feature != nullptr && std::strcmp(feature, "mgesertype") == 0) {
            serial = node;
        }
    });
    ASSERT_NE(serial, nullptr);
    for (uint32_t adapter = 0; adapter < 2; ++adapter) {
        for (uint32_t port = 0; port < 2; ++port) {
            for (uint32_t ifType = 0; ifType < 4; ++ifType) {
                SCOPED_TRACE(testing::Message() << adapter << " " << port << " " << ifType);
                ASSERT_TRUE(chip.SetFeatureRawValue("adapter", adapter));
                ASSERT_TRUE(chip.SetFeatureRawValue("panelport", port));
                ASSERT_TRUE(chip.SetFeatureRawValue("mgeiftype", ifType));
                ForEachNode(model, [&](TreeHandle node) { model.IsHidden(node); });
                model.FindMatchingTemplate(panels);
                EXPECT_EQ(model.GetDiagnosticText(), "");
                EXPECT_EQ(model.IsHidden(usb), adapter == 0);
                EXPECT_EQ(model.IsHidden(serial), adapter == 0 || ifType != 2);
                EXPECT_EQ(model.IsHidden(tft), port == 0);
            }
        }
    }
}

TEST(UIFeaturesShipped, EveryOfferedTemplateAppliesAndThenMatches) {
    ShippedTemplates folder;
    SetupChipDef chip;
    UIFeatures model(chip);
    TreeHandle panels = FindByText(model, "Panel Templates");
    ASSERT_NE(panels, nullptr);
    ASSERT_TRUE(model.HasTemplateFile(panels));
    ASSERT_TRUE(model.IsTemplateVersionOk(panels));
    EXPECT_EQ(model.GetTemplateName(panels, model.FindMatchingTemplate(panels)),
              "4.3\" TFT 480x272 (RGB, 24-bit)");
    int offered = 0;
    for (int n = 0; model.GetTemplate(panels, n, nullptr); ++n) {
        std::string error;
        EXPECT_TRUE(model.ApplyTemplate(panels, n, error)) << error;
        EXPECT_EQ(model.FindMatchingTemplate(panels), n);
        ++offered;
    }
    EXPECT_EQ(offered, 2); // the CPU-bus panel is not a RGB panel
    EXPECT_EQ(model.GetTemplateName(panels, 2), "(no match)");
    EXPECT_EQ(model.GetDiagnosticText(), "");
}

TEST_F(UIFixture, AGroupOfSkippedChildrenKeepsItsPlaceAndTheNextItemIsItsSibling) {
    UIFeatures model(m_Chip, Description("<UIITEM TYPE=\"group\" NAME=\"G\">"
                                         "<UIITEM TYPE=\"item\" FEATURE=\"hdp\" PRODUCT=\"47390\"/>"
                                         "<UIITEM TYPE=\"item\" FEATURE=\"nosuch\"/>"
                                         "</UIITEM><UIITEM TYPE=\"item\" FEATURE=\"vdp\"/>"));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    EXPECT_EQ(model.GetDisplayText(node, kUIName), "G");
    EXPECT_FALSE(model.HasChild(node));
    ASSERT_TRUE(model.ToNext(node));
    EXPECT_STREQ(model.GetChipDefFeature(node), "vdp");
    EXPECT_NE(model.GetDiagnosticText().find("UI ERROR: nosuch doesn't exist for "),
              std::string::npos);
}

TEST_F(UIFixture, AConditionThatFailsShowsTheItemAndReportsOnce) {
    UIFeatures model(m_Chip, Description("<UIITEM TYPE=\"item\" FEATURE=\"hdp\" "
                                         "HIDEWHEN=\"nosuchfeature==1\"/>"));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    EXPECT_FALSE(model.IsHidden(node));
    EXPECT_FALSE(model.IsHidden(node));
    EXPECT_EQ(model.GetDiagnosticText(), "UI ERROR: nosuchfeature==1: Unknown feature or token.\n");
}

TEST_F(UIFixture, DefinesAreFoundByTheWholeKeyAndBrokenConditionsOfferNothing) {
    WriteFile("t.xml", "<TEMPLATES VERSION=\"2\">"
                       "<TEMPLATE NAME=\"A\"><FEATURE KEYNAME=\"hdpw\" VALUE=\"1\"/>"
                       "<FEATURE KEYNAME=\"hdp\" VALUE=\"480 pixels\"/></TEMPLATE>"
                       "<TEMPLATE NAME=\"B\"><FEATURE KEYNAME=\"hdp\" VALUE=\"320 pixels\"/>"
                       "</TEMPLATE></TEMPLATES>");
    UIFeatures model(m_Chip, Description(TemplateItem(
                                 "<DISQUALIFY WHEN=\"hdp==&quot;320 pixels&quot;\" REASON=\"r\"/>"
                                 "<DEFINE KEYNAME=\"hdp\" FEATURE=\"hdp\"/>")));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    EXPECT_EQ(model.GetTemplateName(node, 0), "A");
    EXPECT_EQ(model.GetTemplateName(node, 1), "(no match)");
    EXPECT_EQ(model.FindMatchingTemplate(node), 0);

    // A define that names a feature the chip lacks is reported and only shows its key.
    UIFeatures unknown(m_Chip, Description(TemplateItem(
                                   "<DEFINE KEYNAME=\"hdp\" FEATURE=\"nosuch\" NAME=\"N\"/>")));
    ASSERT_TRUE(unknown.GetRoot(node));
    EXPECT_NE(unknown.GetDiagnosticText().find("UI ERROR: nosuch doesn't exist for "),
              std::string::npos);
    EXPECT_EQ(unknown.GetTemplateFeatureName(node, 0, 1, kUIName), "N");
    std::string error;
    EXPECT_TRUE(unknown.ApplyTemplate(node, 0, error));
    EXPECT_TRUE(unknown.MatchTemplate(node, 1)); // nothing of B is compared

    UIFeatures broken(m_Chip, Description(TemplateItem("<DISQUALIFY WHEN=\"(\" REASON=\"r\"/>")));
    ASSERT_TRUE(broken.GetRoot(node));
    EXPECT_FALSE(broken.GetTemplate(node, 0, nullptr));
    EXPECT_NE(broken.GetDiagnosticText().find("UI ERROR: (: "), std::string::npos);
}

// The template tests and matching are traced line by line: each offered
// or disqualified template with its reason, the first difference of a template that does not
// match (a long value only as "..."), and the match.
TEST_F(UIFixture, TemplateTestsAndMatchingAreTracedWhileDebugging) {
    const std::string longest(512, '1');
    const std::string tooLong(513, '2');
    WriteFile("t.xml", "<TEMPLATES VERSION=\"2\">"
                       "<TEMPLATE NAME=\"Small\"><FEATURE KEYNAME=\"if\" VALUE=\"CPU\"/>"
                       "<FEATURE KEYNAME=\"hdp\" VALUE=\"320 pixels\"/></TEMPLATE>"
                       "<TEMPLATE NAME=\"Longest\"><FEATURE KEYNAME=\"hdp\" VALUE=\"" +
                           longest +
                           "\"/></TEMPLATE>"
                           "<TEMPLATE NAME=\"Too long\"><FEATURE KEYNAME=\"hdp\" VALUE=\"" +
                           tooLong +
                           "\"/></TEMPLATE>"
                           "<TEMPLATE NAME=\"Current\"><FEATURE KEYNAME=\"hdp\" "
                           "VALUE=\"480 pixels\"/></TEMPLATE></TEMPLATES>");
    ASSERT_TRUE(m_Chip.SetFeatureValue("hdp", 480));
    UIFeatures model(
        m_Chip, Description(TemplateItem("<DISQUALIFY WHEN=\"if==&quot;CPU&quot;\" REASON=\"r\"/>"
                                         "<DEFINE KEYNAME=\"hdp\" FEATURE=\"hdp\"/>")));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    std::string traces;
    SetDebugTraceSink([&traces](const std::string& text) { traces += text; });
    const std::string tested = "-----------------------------------------------------------------\n"
                               "--------:Small  [Reason:if==\"CPU\"]\n"
                               "INCLUDED:Longest  [Reason:passed]\n";
    const std::string testedToTooLong = tested + "INCLUDED:Too long  [Reason:passed]\n";
    const std::string testedToCurrent = testedToTooLong + "INCLUDED:Current  [Reason:passed]\n";
    EXPECT_EQ(model.FindMatchingTemplate(node), 2);
    EXPECT_EQ(traces, "----------------------------------\n" + tested + tested +
                          "NOT!MATCHED Longest                                  :: hdp(480 pixels) "
                          "!= " +
                          longest + "\n" + testedToTooLong + testedToTooLong +
                          "NOT!MATCHED Too long                                 :: hdp(480 pixels) "
                          "!= ...\n" +
                          testedToCurrent + testedToCurrent + "!!MATCHED!! Current\n");
    SetDebugTraceSink({});
}

TEST_F(UIFixture, TemplateFileVersionsAgainstFileVer) {
    struct Case {
        const char* FileVer;
        uint32_t Version;
        bool Accepted;
    };
    for (const Case& c :
         {Case{"2+", 1, false}, Case{"2+", 2, true}, Case{"2+", 3, true}, Case{"2-4", 1, false},
          Case{"2-4", 2, true}, Case{"2-4", 4, true}, Case{"2-4", 5, false}, Case{"1, 3", 1, true},
          Case{"1, 3", 2, false}, Case{"1, 3", 3, true}, Case{"4-2", 4, true},
          Case{"4-2", 2, false}, Case{"x", 0, false}}) {
        EXPECT_EQ(IsTemplateVersionAccepted(c.FileVer, c.Version), c.Accepted)
            << c.FileVer << " " << c.Version;
    }
    WriteFile("t.xml", "<TEMPLATES VERSION=\"1\"><TEMPLATE NAME=\"A\">"
                       "<FEATURE KEYNAME=\"x\" VALUE=\"1\"/></TEMPLATE></TEMPLATES>");
    UIFeatures model(m_Chip, Description(TemplateItem("")));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    EXPECT_FALSE(model.IsTemplateVersionOk(node));
    EXPECT_FALSE(model.GetTemplate(node, 0, nullptr));
}

TEST_F(UIFixture, AMissingTemplateFileMarksTheItem) {
    UIFeatures model(m_Chip, Description(TemplateItem("")));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    EXPECT_FALSE(model.HasTemplateFile(node));
    EXPECT_EQ(model.GetTemplateName(node, model.FindMatchingTemplate(node)), "(no match)");
}

TEST_F(UIFixture, ScrambledValuesAreReadAndPublicTemplatesKeepTheirTexts) {
    WriteFile("t.xml", "<TEMPLATES VERSION=\"2\" ENCRYPT=\"Y\">"
                       "<TEMPLATE PUBLIC=\"Y\" NAME=\"Open (1)\">"
                       "<FEATURE KEYNAME=\"hdp\" VALUE=\"480 pixels\"/></TEMPLATE>"
                       "<TEMPLATE NAME=\"" +
                           ScrambleTemplateText("Hidden_2:") + "\"><FEATURE KEYNAME=\"" +
                           ScrambleTemplateText("hdp") + "\" VALUE=\"" +
                           ScrambleTemplateText("320 pixels") + "\"/></TEMPLATE></TEMPLATES>");
    UIFeatures model(m_Chip,
                     Description(TemplateItem("<DEFINE KEYNAME=\"hdp\" FEATURE=\"hdp\"/>")));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    EXPECT_EQ(model.GetTemplateName(node, 0), "Open (1)");
    EXPECT_EQ(model.GetTemplateName(node, 1), "Hidden_2:");
    EXPECT_EQ(model.GetTemplateFeatureValue(node, 1, 0), "320 pixels");
    std::string text = "~";
    UnscrambleTemplateText(text);
    EXPECT_EQ(text, " ");
}

TEST_F(UIFixture, TemplateFilesTakeOnlyTemplatesWithinTheirCapacities) {
    std::string file = "<TEMPLATES VERSION=\"2\"><FEATURE KEYNAME=\"early\" VALUE=\"1\"/>"
                       "<UIITEM TYPE=\"item\" FEATURE=\"vdp\" FILE=\"t.xml\" FILEVER=\"2\"/>"
                       "<TEMPLATE NAME=\"Empty\"/>";
    for (uint32_t i = 0; i < kUIMaxTemplates + 5; ++i) {
        file += "<TEMPLATE NAME=\"T" + std::to_string(i) + "\">";
        for (uint32_t f = 0; f < (i == 1 ? kUIMaxTemplateFeatures + 3 : 1); ++f) {
            file += "<FEATURE KEYNAME=\"k" + std::to_string(f) + "\" VALUE=\"v\"/>";
        }
        file += "</TEMPLATE>";
    }
    WriteFile("t.xml", file + "</TEMPLATES>");
    UIFeatures model(m_Chip, Description(TemplateItem("")));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    EXPECT_FALSE(model.HasNext(node));
    EXPECT_FALSE(model.HasChild(node));
    const UIFeature& item = model.Record(node);
    ASSERT_EQ(item.Templates.size(), kUIMaxTemplates);
    EXPECT_TRUE(item.Templates[0].Features.empty()); // the FEATURE before any TEMPLATE
    EXPECT_FALSE(model.MatchTemplate(node, 0));      // a template without FEATUREs
    EXPECT_EQ(item.Templates[2].Features.size(), kUIMaxTemplateFeatures);
    const std::string& text = model.GetDiagnosticText();
    EXPECT_NE(text.find("element UIITEM is not allowed"), std::string::npos);
    EXPECT_NE(text.find("more than 100 templates"), std::string::npos);
    EXPECT_NE(text.find("more than 50 features"), std::string::npos);
}

TEST_F(UIFixture, DescriptionCapacities) {
    std::string nested;
    for (uint32_t i = 0; i < kUIMaxDepth + 2; ++i) {
        nested += "<UIITEM TYPE=\"group\" NAME=\"L" + std::to_string(i) + "\">";
    }
    for (uint32_t i = 0; i < kUIMaxDepth + 2; ++i) {
        nested += "</UIITEM>";
    }
    std::string files;
    for (uint32_t i = 0; i < kUIMaxTemplateFiles + 1; ++i) {
        files += TemplateItem("");
    }
    std::string defines;
    for (uint32_t i = 0; i < kUIMaxDefines + 1; ++i) {
        defines += "<DEFINE KEYNAME=\"k\" NAME=\"n\"/><DISQUALIFY WHEN=\"0\" REASON=\"r\"/>";
    }
    UIFeatures model(
        m_Chip, Description(nested + files + TemplateItem(defines) + "<UIITEM TYPE=\"other\"/>"));
    TreeHandle node = nullptr;
    ASSERT_TRUE(model.GetRoot(node));
    int depth = 1;
    for (TreeHandle child = node; model.ToChild(child);) {
        ++depth;
    }
    EXPECT_EQ(depth, static_cast<int>(kUIMaxDepth));
    uint32_t missing = 0;
    TreeHandle last = node;
    while (model.ToNext(node)) {
        missing += model.HasTemplateFile(node) ? 0 : 1;
        last = node;
    }
    EXPECT_EQ(missing, kUIMaxTemplateFiles + 2); // no file exists; the seventh is not even tried
    EXPECT_EQ(model.Record(last).Defines.size(), kUIMaxDefines);
    EXPECT_EQ(model.Record(last).Disqualify.size(), kUIMaxDisqualify);
    const std::string& text = model.GetDiagnosticText();
    for (const char* part :
         {"deeper than 8 levels", "more than 6 template files", "more than 50 DEFINEs",
          "more than 50 DISQUALIFYs", "TYPE \"other\""}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
}
