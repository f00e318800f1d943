// Token access: the bit-field spec and the name rule, rand, the feature checks on a small chip
// definition, the program's own memory through the checked helpers, and the token errors
// (brackets, /nocard, the bridge's six configuration bytes).
#include "play/TokenAccess.h"
#include "PlayTestSupport.h"
#include "chipdef/ChipDefTestDouble.h"
#include "play/FeatureAccess.h"
#include "play/SysMemory.h"

#include <sys/mman.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

class TokenAccessTest : public PlayTest {
protected:
    uint32_t Get(const char* text) {
        m_Error = nullptr;
        m_Value = ExprValue{};
        return GetTokenValue(text, static_cast<uint32_t>(std::strlen(text)), &m_Value, false,
                             &m_Error);
    }
    uint32_t Set(const char* text, uint32_t number) {
        m_Error = nullptr;
        ExprValue value{};
        value.Number = number;
        return SetTokenValue(text, static_cast<uint32_t>(std::strlen(text)), &value, false,
                             &m_Error);
    }
    std::string ErrorText() const { return m_Error != nullptr ? m_Error : ""; }
    ExprValue m_Value{};
    const char* m_Error = nullptr;
};

// A page mapped in the low 2 GiB, where a 32-bit sys address can reach it.
class LowPage {
public:
    explicit LowPage(int protection) {
        void* page = mmap(nullptr, kSize, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
        m_Page = page == MAP_FAILED ? nullptr : static_cast<uint8_t*>(page);
        if (m_Page != nullptr) {
            std::memcpy(m_Page, "\x78\x56\x34\x12", 4);
            mprotect(m_Page, kSize, protection);
        }
    }
    ~LowPage() {
        if (m_Page != nullptr) {
            munmap(m_Page, kSize);
        }
    }
    LowPage(const LowPage&) = delete;
    LowPage& operator=(const LowPage&) = delete;
    uint8_t* Bytes() const { return m_Page; }
    // "sys32[address]" of the page's first byte.
    std::string Token(const char* width) const {
        char text[64];
        std::snprintf(text, sizeof text, "sys%s[%lXh]", width,
                      static_cast<unsigned long>(reinterpret_cast<uintptr_t>(m_Page)));
        return text;
    }

private:
    static constexpr size_t kSize = 4096;
    uint8_t* m_Page = nullptr;
};

} // namespace

TEST(RegisterSpec, ParsesBitFieldsAndRefusesTheRest) {
    struct Case {
        const char* Text;
        bool Valid;
        uint32_t Index = 0;
        uint32_t Mask = 0;
        uint32_t High = 0;
        uint32_t Low = 0;
    };
    const Case cases[] = {
        {"12h-b3", true, 0x12, 0x8, 3, 3},
        {"12-b7:4", true, 0x12, 0xF0, 7, 4},
        {"66H-B3:0", true, 0x66, 0xF, 3, 0},
        {"0-b31", true, 0, 0x80000000, 31, 31},
        {"10-b31:0", true, 0x10, 0xFFFFFFFF, 31, 0}, // the whole word: built in 64 bits
        {"10-b0:3", false},                          // upper below lower
        {"10-b32", false},                           // no bit 32
        {"10-b31:32", false},
        {"10-b99999999999", false},
        {"100000000-b1", false}, // index beyond 32 bits
        {"10-b", false},
        {"10-b3:", false},
        {"10", false},
        {"10-b3x", false},
        {"zz-b1", false},
        {"$i", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        uint32_t index = 0;
        uint32_t mask = 0;
        uint32_t high = 0;
        uint32_t low = 0;
        const uint32_t length = static_cast<uint32_t>(std::strlen(c.Text));
        ASSERT_EQ(ParseRegisterSpec(c.Text, length, &index, &mask, &high, &low), c.Valid);
        if (c.Valid) {
            EXPECT_EQ(index, c.Index);
            EXPECT_EQ(mask, c.Mask);
            EXPECT_EQ(high, c.High);
            EXPECT_EQ(low, c.Low);
        }
    }
}

TEST(TokenNames, ArgnRetvalRandThenFeatures) {
    struct Case {
        const char* Text;
        PlainToken Token;
    };
    const Case cases[] = {
        {"a", PlainToken::ArgN},     {"ARGN", PlainToken::ArgN},     {"r", PlainToken::RetVal},
        {"ret", PlainToken::RetVal}, {"RetVal", PlainToken::RetVal}, {"ra", PlainToken::Rand},
        {"rand", PlainToken::Rand},  {"randx", PlainToken::Feature}, {"hdp", PlainToken::Feature},
        {"re", PlainToken::RetVal},  {"argx", PlainToken::Feature},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ClassifyPlainName(c.Text, static_cast<uint32_t>(std::strlen(c.Text))), c.Token);
    }
}

TEST_F(TokenAccessTest, RandFollowsTheMinimalStandardGenerator) {
    // 64-bit products: the third value overflows 32 bits on the way.
    for (uint32_t expected : {16807u, 282475249u, 1622650073u}) {
        ASSERT_EQ(Get("rand"), 0u);
        EXPECT_EQ(m_Value.Number, expected);
    }
    ASSERT_EQ(Set("RAND", 1), 0u);
    ASSERT_EQ(Get("ra"), 0u);
    EXPECT_EQ(m_Value.Number, 16807u);
}

TEST_F(TokenAccessTest, BracketAndNameErrors) {
    struct Case {
        const char* Text;
        uint32_t Column;
        const char* Error;
    };
    const Case cases[] = {
        {"reg[0", 4, "Missing closing bracket."},
        {"disp[]", 6, "Missing contents in brackets."},
        {"foo[1]", 1, "Unknown array."},
        {"reg[10-b0:3]", 5, "Invalid syntax."},
        {"reg[0-b32]", 5, "Invalid syntax."}, // never read as the expression 0 - B32h
        {"reg[zz]", 5, "Invalid syntax."},
        {"nosuchfeature", 1, "Unknown feature or token."},
        {"fexist[1]", 8, "Value must be a string."},
        {"usbsetup[6]", 10, "USB Config regs are only 0 to 5."},
        {"usbsetup16[0]", 1, "USB Config regs are only 8 bits."},
        {"argn", 1, "ARGN does not exist (only in script files)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Get(c.Text), c.Column);
        EXPECT_EQ(ErrorText(), c.Error);
    }
    EXPECT_EQ(Set("fexist[\"x\"]", 1), 1u);
    EXPECT_EQ(ErrorText(), "fexist[] is read-only and cannot be set.");
    EXPECT_EQ(Set("usbsetup[255]", 1), 10u);
    EXPECT_EQ(ErrorText(), "USB Config regs are only 0 to 5.");
}

TEST_F(TokenAccessTest, HardwareTokensAreRefusedWithoutTheController) {
    g_Acquired = false;
    for (const char* text : {"reg[0]", "reg16[24-b3:0]", "disp[0]", "bar8[1,0]", "usbsetup[0]"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Get(text), 1u);
        EXPECT_EQ(ErrorText(), "The controller has not been acquired.");
        EXPECT_EQ(Set(text, 5), 1u);
        EXPECT_EQ(ErrorText(), "The controller has not been acquired.");
    }
    // The program's own memory needs no controller.
    LowPage page(PROT_READ | PROT_WRITE);
    ASSERT_NE(page.Bytes(), nullptr);
    EXPECT_EQ(Get(page.Token("32").c_str()), 0u) << ErrorText();
    EXPECT_EQ(m_Value.Number, 0x12345678u);
}

TEST_F(TokenAccessTest, SysReadsAndWritesMappedMemoryAndRefusesTheRest) {
    LowPage page(PROT_READ | PROT_WRITE);
    ASSERT_NE(page.Bytes(), nullptr);
    ASSERT_EQ(Get(page.Token("16").c_str()), 0u) << ErrorText();
    EXPECT_EQ(m_Value.Number, 0x5678u);
    ASSERT_EQ(Get(page.Token("").c_str()), 0u);
    EXPECT_EQ(m_Value.Number, 0x78u);
    ASSERT_EQ(Set(page.Token("32").c_str(), 0xCAFEF00D), 0u);
    EXPECT_EQ(std::memcmp(page.Bytes(), "\x0D\xF0\xFE\xCA", 4), 0);

    EXPECT_EQ(Get("sys32[0]"), 7u);
    EXPECT_EQ(ErrorText(), "Address is not readable.");
    EXPECT_EQ(Set("sys8[10h]", 1), 6u);
    EXPECT_EQ(ErrorText(), "Address is not writable.");

    LowPage readOnly(PROT_READ);
    ASSERT_NE(readOnly.Bytes(), nullptr);
    EXPECT_EQ(Set(readOnly.Token("32").c_str(), 1), 7u);
    EXPECT_EQ(ErrorText(), "Address is not writable.");
    EXPECT_EQ(std::memcmp(readOnly.Bytes(), "\x78\x56\x34\x12", 4), 0);
}

TEST(SysMemory, CopiesOnlyWhatIsMapped) {
    uint32_t source = 0xA5A5A5A5;
    uint32_t copy = 0;
    EXPECT_TRUE(ReadSysMemory(reinterpret_cast<uintptr_t>(&source), &copy, sizeof copy));
    EXPECT_EQ(copy, source);
    copy = 7;
    EXPECT_FALSE(ReadSysMemory(0, &copy, sizeof copy));
    EXPECT_EQ(copy, 7u); // untouched after a failed read
    EXPECT_FALSE(ReadSysMemory(UINTPTR_MAX - 1, &copy, sizeof copy)); // wraps
    const uint32_t value = 0x11223344;
    EXPECT_TRUE(WriteSysMemory(reinterpret_cast<uintptr_t>(&source), &value, sizeof value));
    EXPECT_EQ(source, value);
    EXPECT_FALSE(WriteSysMemory(0, &value, sizeof value));
}

TEST_F(TokenAccessTest, FexistFindsWhatExistsIgnoringCase) {
    q3vtest::TempFolder folder("fexist");
    std::ofstream(folder.Path() + "/MyFile.TXT") << "x";
    struct Case {
        std::string Name;
        uint32_t Exists;
    };
    const Case cases[] = {
        {folder.Path() + "/MyFile.TXT", 1},
        {folder.Path() + "/myfile.txt", 1}, // a name that arrived lower-cased
        {folder.Path() + "/other.txt", 0},
        {folder.Path(), 1}, // a folder exists too
        {folder.Path() + "/MYFILE.TXT/x", 0},
        {"/dev/null", 1}, // and a device
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string token = "fexist[\"" + c.Name + "\"]";
        ASSERT_EQ(Get(token.c_str()), 0u) << ErrorText();
        EXPECT_EQ(m_Value.Number, c.Exists);
    }
}

namespace {

// A register list with one entry for the features' register 10h.
const char* const kStepDocument = R"(<CHIPDEF>
<REGISTERS DEFAULTINDEXWIDTH="2" DEFAULTVALUEWIDTH="4">
 <REGISTER REG="10" LEXNAME="R10" NAME="Ten"/>
</REGISTERS>
<FEATURES>
 <FEATURE KEYNAME="free" TYPE="numb" REG="10" MASK="00FF" MIN="4" MAX="20" STEP="0"/>
 <FEATURE KEYNAME="fours" TYPE="numb" REG="10" MASK="00FF" MIN="4" MAX="20" STEP="4"/>
 <FEATURE KEYNAME="hexa" TYPE="numb" REG="10" MASK="00FF" RADIX="hex" MIN="4" MAX="20"/>
</FEATURES>
</CHIPDEF>)";

} // namespace

TEST_F(TokenAccessTest, SetFeatureCheckedLimitsAndStep) {
    ListChip chip;
    ASSERT_TRUE(chip.LoadDocument(kStepDocument));
    chip.SetList({{0x10, 0}});
    struct Case {
        const char* Name;
        bool IsText;
        uint32_t Number;
        const char* Text;
        uint32_t Column;
        const char* Error;
    };
    // MIN and MAX are hexadecimal in the database: 4 to 32.
    const Case cases[] = {
        {"free", false, 3, "", 1, "Must be between 4 and 32!"},
        {"free", false, 33, "", 1, "Must be between 4 and 32!"},
        {"free", false, 4, "", 0, ""},
        {"free", false, 7, "", 0, ""}, // a STEP of 0 asks for no alignment
        {"free", false, 32, "", 0, ""},
        {"fours", false, 7, "", 1, "Must be aligned by 4!"},
        {"fours", false, 8, "", 0, ""},
        {"fours", true, 0, "12", 0, ""}, // a text is read in the feature's radix (decimal)
        {"fours", true, 0, "13", 1, "Must be aligned by 4!"},
        {"fours", true, 0, "10h", 0, ""}, // radix letters allowed
        {"fours", true, 0, "zz", 6, "Not a number."},
        {"hexa", false, 3, "", 1, "Must be between 4h and 20h!"},
        {"hexa", true, 0, "1F", 0, ""},
        {"missing", false, 5, "", 1, "Unknown feature or token."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " " + std::to_string(c.Number) + " " + c.Text);
        ExprValue value{};
        value.IsString = c.IsText ? 1 : 0;
        value.Number = c.Number;
        std::snprintf(value.Text, sizeof value.Text, "%s", c.Text);
        const char* errorText = nullptr;
        EXPECT_EQ(SetFeatureChecked(chip, c.Name, &value, false, &errorText), c.Column);
        EXPECT_EQ(std::string(errorText != nullptr ? errorText : ""), c.Error);
    }
    EXPECT_EQ(chip.GetFeatureValue("hexa"), 0x1Fu);
}
