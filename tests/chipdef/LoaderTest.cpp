// The XML loader: every message it gives, from a small document each, and how rows are built.
#include "ChipDefTestDouble.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A document around the given elements, one element per line.
std::string Doc(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<CHIPDEF VERSION=\"1\">\n" + body +
           "\n</CHIPDEF>\n";
}

const std::string kList = "<FEATUREVALUE INDEX=\"0\" VALUE=\"Off\"/>";

struct MessageCase {
    const char* What;
    std::string Body;
    const char* Message;
};

class LoaderMessages : public testing::TestWithParam<MessageCase> {};

TEST_P(LoaderMessages, GivesTheMessage) {
    AssertRecorder asserts;
    ListChip chip;
    chip.LoadDocument(Doc(GetParam().Body));
    EXPECT_EQ(chip.Diagnostics(), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, LoaderMessages,
    testing::Values(
        MessageCase{"ProductWithoutKey", "<PRODUCT NAME=\"n\" DESC=\"d\"/>",
                    "CHIPDEF ERROR: 0th PRODUCT doesn't have a KEYNAME.\n"},
        MessageCase{"ProductWithoutName",
                    "<PRODUCT KEYNAME=\"1\" NAME=\"a\" DESC=\"d\"/>\n<PRODUCT KEYNAME=\"47A\" "
                    "DESC=\"d\"/>",
                    "CHIPDEF ERROR: 47A PRODUCT does not have a NAME.\n"},
        MessageCase{"ProductWithoutDesc", "<PRODUCT KEYNAME=\"47A\" NAME=\"n\"/>",
                    "CHIPDEF ERROR: 47A PRODUCT does not have a DESC.\n"},
        MessageCase{"CategoryWithoutKey", "<CATEGORY NAME=\"n\"/>",
                    "CHIPDEF ERROR: 0th CATEGORY doesn't have a KEYNAME.\n"},
        MessageCase{"CategoryWithoutName", "<CATEGORY KEYNAME=\"clock\"/>",
                    "CHIPDEF ERROR: clock CATEGORY does not have a NAME.\n"},
        MessageCase{"RegisterWithoutKey", "<REGISTER REG=\"04\" NAME=\"n\"/>",
                    "CHIPDEF ERROR: 0th REGISTER doesn't have a KEYNAME.\n"},
        MessageCase{"RegisterWithoutName", "<REGISTER REG=\"04\" KEYNAME=\"PS\"/>",
                    "CHIPDEF ERROR: PS REGISTER does not have a NAME.\n"},
        MessageCase{"RegisterWithoutWidth",
                    "<REGISTER REG=\"04\" LEXNAME=\"PS\" NAME=\"n\" BITWIDTH=\"0\"/>",
                    "CHIPDEF ERROR: REG[0004] is not assigned a proper BITWIDTH.\n"},
        MessageCase{"RegisterTwice",
                    "<REGISTER REG=\"04\" LEXNAME=\"A\" NAME=\"n\"/>\n<REGISTER REG=\"04\" "
                    "LEXNAME=\"B\" NAME=\"n\"/>",
                    "CHIPDEF ERROR: REG[0004] is defined twice.\n"},
        MessageCase{"RegisterNotSorted",
                    "<REGISTER REG=\"04\" LEXNAME=\"A\" NAME=\"n\"/>\n<REGISTER REG=\"02\" "
                    "LEXNAME=\"B\" NAME=\"n\"/>",
                    "CHIPDEF ERROR: REG[0002] is not sorted in an ascending order.\n"},
        MessageCase{"ChildFeature",
                    "<FEATURE KEYNAME=\"outer\" TYPE=\"numb\">\n<FEATURE KEYNAME=\"inner\" "
                    "TYPE=\"numb\"/>\n</FEATURE>",
                    "CHIPDEF ERROR: outer has a child FEATURE.\n"},
        MessageCase{"FeatureWithoutKey", "<FEATURE TYPE=\"numb\"/>",
                    "CHIPDEF ERROR: 0th FEATURE doesn't have a KEYNAME.\n"},
        MessageCase{"FeatureTwice",
                    "<FEATURE KEYNAME=\"hdp\" TYPE=\"numb\"/>\n<FEATURE KEYNAME=\"HDP\" "
                    "TYPE=\"numb\"/>",
                    "CHIPDEF ERROR: hdp is defined twice.\n"},
        MessageCase{"UnknownType", "<FEATURE KEYNAME=\"hdp\" TYPE=\"word\"/>",
                    "CHIPDEF ERROR: hdp has an unknown TYPE.\n"},
        MessageCase{"ValueOfNoList",
                    "<FEATURE KEYNAME=\"hdp\" TYPE=\"numb\">\n" + kList + "\n</FEATURE>",
                    "CHIPDEF ERROR: hdp has a FEATUREVALUEs but is not defined as "
                    "TYPE=\"list\".\n"},
        MessageCase{"ValueOutsideFeature", kList,
                    "CHIPDEF ERROR: FEATUREVALUE outside a FEATURE.\n"},
        MessageCase{"ValueWithoutName",
                    "<FEATURE KEYNAME=\"pol\" TYPE=\"list\">\n<FEATUREVALUE INDEX=\"0\"/>\n"
                    "</FEATURE>",
                    "CHIPDEF ERROR: pol has a FEATUREVALUEs but one of them isn't NAMEd.\n"},
        MessageCase{"ListWithoutValues", "<FEATURE KEYNAME=\"pol\" TYPE=\"list\"/>",
                    "CHIPDEF ERROR: pol is missing FEATUREVALUEs.\n"},
        MessageCase{"MismatchedTag", "<PRODUCTS>\n</CATEGORIES>",
                    "CHIPDEF ERROR: XML error at line 4: mismatched tag.\n"}),
    [](const testing::TestParamInfo<MessageCase>& info) { return info.param.What; });

TEST(Loader, FiftyOneValuesAreCutAtTheScratchCapacity) {
    std::string body = "<FEATURE KEYNAME=\"many\" TYPE=\"list\">\n";
    for (int i = 0; i < 51; ++i) {
        body += "<FEATUREVALUE INDEX=\"" + std::to_string(i) + "\" VALUE=\"v\"/>\n";
    }
    body += "</FEATURE>";
    ListChip chip;
    chip.LoadDocument(Doc(body));
    EXPECT_EQ(chip.Diagnostics(),
              "CHIPDEF ERROR: Number of FEATUREVALUEs exceeded maximum of 50.\n");
    EXPECT_EQ(chip.Features()[0].Values.size(), 50u);
}

TEST(Loader, ValuesOutsideAListNeverLandInTheNextList) {
    ListChip chip;
    chip.LoadDocument(Doc(kList + "\n<FEATURE KEYNAME=\"hdp\" TYPE=\"numb\">\n" +
                          "<FEATUREVALUE INDEX=\"7\" VALUE=\"Stray\"/>\n</FEATURE>\n" + kList +
                          "\n<FEATURE KEYNAME=\"pol\" TYPE=\"list\">\n" +
                          "<FEATUREVALUE INDEX=\"1\" VALUE=\"High\"/>\n</FEATURE>"));
    ASSERT_EQ(chip.Features().size(), 2u);
    EXPECT_TRUE(chip.Features()[0].Values.empty());
    ASSERT_EQ(chip.Features()[1].Values.size(), 1u);
    EXPECT_STREQ(chip.Features()[1].Values[0].Value, "High");
}

TEST(Loader, TruncatedDocumentIsAnError) {
    std::string whole = Doc("<PRODUCT KEYNAME=\"47A\" NAME=\"n\" DESC=\"d\"/>");
    ListChip chip;
    EXPECT_FALSE(chip.LoadDocument(whole.substr(0, whole.find("</CHIPDEF>"))));
    EXPECT_EQ(chip.Diagnostics(), "CHIPDEF ERROR: XML error at line 4: no element found.\n");
    EXPECT_EQ(chip.Products().size(), 1u);
}

TEST(Loader, XmlErrorKeepsTheRowsBeforeIt) {
    ListChip chip;
    EXPECT_FALSE(chip.LoadDocument(Doc("<PRODUCT KEYNAME=\"47A\" NAME=\"n\" DESC=\"d\"/>\n<oops")));
    EXPECT_EQ(chip.Products().size(), 1u);
    EXPECT_NE(chip.Diagnostics().find("XML error at line 5"), std::string::npos);
}

TEST(Loader, RowsAreCountedAsTheParserSeesThem) {
    // Tags inside comments, CDATA sections and processing instructions are no rows; a tag split
    // over two lines is one.
    ListChip chip;
    EXPECT_TRUE(chip.LoadDocument(Doc("<!-- <FEATURE KEYNAME=\"c\" TYPE=\"numb\"/> -->\n"
                                      "<?note <FEATURE?>\n<IGNORE TEXT=\"x\"><![CDATA[<FEATURE "
                                      "<PRODUCT>]]></IGNORE>\n<FEATURE\n KEYNAME=\"a\" "
                                      "TYPE=\"numb\"/>\n<FEATUREVALUES/><PRODUCTS/>")));
    EXPECT_EQ(chip.MaxFeatures(), 1u);
    EXPECT_EQ(chip.MaxProducts(), 0u);
    EXPECT_EQ(chip.Features().size(), 1u);
    // Elements that entities make are counted by the parser itself.
    ListChip withEntities;
    EXPECT_TRUE(withEntities.LoadDocument(
        "<?xml version=\"1.0\"?>\n<!DOCTYPE CHIPDEF [\n<!ENTITY two \"<FEATURE KEYNAME='a' "
        "TYPE='numb'/><FEATURE KEYNAME='b' TYPE='numb'/>\">\n]>\n<CHIPDEF>&two;</CHIPDEF>\n"));
    EXPECT_EQ(withEntities.MaxFeatures(), 2u);
    ASSERT_EQ(withEntities.Features().size(), 2u);
    EXPECT_STREQ(withEntities.Features()[1].KeyName, "b");
    EXPECT_EQ(withEntities.Diagnostics(), "");
}

TEST(Loader, LoadsOncePerObject) {
    ListChip chip;
    EXPECT_TRUE(chip.LoadDocument(Doc("<FEATURE KEYNAME=\"a\" TYPE=\"numb\"/>")));
    EXPECT_TRUE(chip.LoadDocument(Doc("<FEATURE KEYNAME=\"b\" TYPE=\"numb\"/>\n"
                                      "<FEATURE KEYNAME=\"c\" TYPE=\"numb\"/>")));
    ASSERT_EQ(chip.Features().size(), 1u);
    EXPECT_STREQ(chip.Features()[0].KeyName, "a");
}

TEST(Loader, ReservedFeaturesAreNamedByTheirBits) {
    ListChip chip;
    chip.LoadDocument(Doc("<FEATURE KEYNAME=\"reserved\" REG=\"1C\" MASK=\"0040\"/>\n"
                          "<FEATURE KEYNAME=\"Reserved\" REG=\"0\" MASK=\"00F0\"/>\n"
                          "<FEATURE RESERVED=\"47390\" KEYNAME=\"reserved\" TYPE=\"bool\"/>"));
    ASSERT_EQ(chip.Features().size(), 3u);
    EXPECT_STREQ(chip.Features()[0].KeyName, "rsvd1Cb6");
    EXPECT_EQ(chip.Features()[0].Type, FT_NUMB);
    EXPECT_STREQ(chip.Features()[0].Reserved, "all");
    EXPECT_STREQ(chip.Features()[1].KeyName, "rsvd0b7to4");
    EXPECT_STREQ(chip.Features()[2].KeyName, "reserved");
    EXPECT_STREQ(chip.Features()[2].Reserved, "47390");
    EXPECT_EQ(chip.Diagnostics(), "");
}

TEST(Loader, KeysAreLowerCasedAndRememberTheirFirstCapital) {
    AssertRecorder asserts;
    ListChip chip;
    chip.LoadDocument(Doc("<FEATURE KEYNAME=\"pllLockX\" TYPE=\"numb\"/>\n"
                          "<FEATURE KEYNAME=\"bad_key\" TYPE=\"numb\"/>"));
    EXPECT_STREQ(chip.Features()[0].KeyName, "plllockx");
    EXPECT_EQ(chip.Features()[0].CapitalPos, 3u);
    EXPECT_STREQ(chip.Features()[1].KeyName, "badkey");
    EXPECT_EQ(asserts.Count(), 1u);
}

TEST(Loader, BoolsGetTheirTwoValues) {
    ListChip chip;
    chip.LoadDocument(Doc("<FEATURE KEYNAME=\"on\" TYPE=\"bool\" REG=\"4\" MASK=\"1\"/>\n"
                          "<FEATURE KEYNAME=\"off\" TYPE=\"bool\" INVERTED=\"1\"/>"));
    const auto& plain = chip.Features()[0].Values;
    const auto& inverted = chip.Features()[1].Values;
    ASSERT_EQ(plain.size(), 2u);
    ASSERT_EQ(inverted.size(), 2u);
    EXPECT_STREQ(plain[0].Value, "False");
    EXPECT_STREQ(plain[1].Value, "True");
    EXPECT_EQ(plain[1].Index, 1u);
    EXPECT_EQ(plain[1].ToIndex, 1u);
    EXPECT_STREQ(inverted[0].Value, "True");
    EXPECT_STREQ(inverted[1].Value, "False");
}

TEST(Loader, LimitsComeFromTheMaskAndTheOperations) {
    ListChip chip;
    chip.LoadDocument(Doc("<FEATURE KEYNAME=\"a\" TYPE=\"numb\" MASK=\"03FF\" OP1=\"+1\"/>\n"
                          "<FEATURE KEYNAME=\"b\" TYPE=\"numb\" MASK=\"03FF\" OP1=\"+1\" "
                          "MAX=\"21\"/>\n"
                          "<FEATURE KEYNAME=\"c\" TYPE=\"numb\"/>\n"
                          "<FEATURE KEYNAME=\"d\" TYPE=\"addr\" RADIX=\"dec\"/>\n"
                          "<FEATURE KEYNAME=\"e\" RADIX=\"bin\" TYPE=\"addr\"/>"));
    const auto f = chip.Features();
    EXPECT_EQ(f[0].Min, 1u);
    EXPECT_EQ(f[0].Max, 1024u);
    EXPECT_EQ(f[1].Max, 33u);
    EXPECT_EQ(f[2].Max, 0xFFFFFFFFu);
    EXPECT_EQ(f[3].Radix, 16u);
    EXPECT_EQ(f[4].Radix, 16u);
}

TEST(Loader, FakeRegistersMayStandOutOfOrder) {
    ListChip chip;
    chip.LoadDocument(Doc("<REGISTERS DEFAULTINDEXWIDTH=\"2\" DEFAULTVALUEWIDTH=\"2\">\n"
                          "<REGISTER REG=\"FC\" LEXNAME=\"DELAY\" NAME=\"d\" FAKEREG=\"1\"/>\n"
                          "<REGISTER REG=\"04\" LEXNAME=\"PS\" NAME=\"n\" FAKEREG=\"\"/>\n"
                          "</REGISTERS>"));
    EXPECT_EQ(chip.Diagnostics(), "");
    EXPECT_EQ(chip.Registers()[0].BitWidth, 8u);
    EXPECT_EQ(chip.GetMaxRegIdentLen(), 13u); // "DELAY" + 8
}

TEST(Loader, MessagesStayWholeWhenTheBufferFills) {
    // A key of 5000 characters cannot fit: its message is dropped whole; short ones that still
    // fit are kept.
    const std::string longKey(5000, 'k');
    std::string body = "<PRODUCT KEYNAME=\"" + longKey + "\" DESC=\"d\"/>\n";
    for (int i = 0; i < 200; ++i) {
        body += "<CATEGORY KEYNAME=\"c" + std::to_string(i) + "\"/>\n";
    }
    ListChip chip;
    chip.LoadDocument(Doc(body));
    const std::string text = chip.Diagnostics();
    EXPECT_EQ(text.find("kkk"), std::string::npos);
    EXPECT_LT(text.size(), ChipDefBase::kTextSize);
    EXPECT_EQ(text.rfind("CHIPDEF ERROR: c", 0), 0u);
    EXPECT_EQ(text.back(), '\n');
    // Lines are whole messages.
    EXPECT_EQ(text.substr(text.rfind("CHIPDEF", text.size() - 2)).find("NAME.\n"),
              text.substr(text.rfind("CHIPDEF", text.size() - 2)).size() - 6);
}

TEST(Loader, DiagnosticCopyIsBoundedByTheCallersBuffer) {
    AssertRecorder asserts;
    ListChip chip;
    chip.LoadDocument(Doc("<CATEGORY KEYNAME=\"clock\"/>"));
    char small[8] = "xxxxxxx";
    EXPECT_EQ(chip.GetDiagnosticText(small, 5), 4u);
    EXPECT_STREQ(small, "CHIP");
    EXPECT_EQ(asserts.Count(), 1u);
}

} // namespace
