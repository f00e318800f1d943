// The resolver hook: what it is given, and how its values and errors come back.
#include "ExprTestSupport.h"

#include <map>
#include <vector>

namespace {

// Names to values, a log of the calls, and an error position for the name "oops".
struct FakeResolver {
    struct Call {
        std::string Text;
        bool WantedText;
        bool HadErrorPointer;
        bool Terminated; // the leaf text ends with a NUL at its length
    };
    std::map<std::string, ExprValue> Values;
    std::vector<Call> Calls;

    static FakeResolver*& Current() {
        static FakeResolver* s_Current = nullptr;
        return s_Current;
    }

    static uint32_t Resolve(const char* textIn, uint32_t length, ExprValue* value,
                            const char** errorText) {
        FakeResolver& self = *Current();
        const std::string text(textIn, length);
        self.Calls.push_back(
            {text, value->IsString == 1, errorText != nullptr, textIn[length] == '\0'});
        if (text == "oops") {
            *errorText = "Bad token.";
            return 2;
        }
        const auto found = self.Values.find(text);
        if (found == self.Values.end()) {
            *errorText = "Unknown feature or token.";
            return 1;
        }
        *value = found->second;
        return 0;
    }
};

class ResolverTest : public ExprTest {
protected:
    void SetUp() override {
        ExprTest::SetUp();
        FakeResolver::Current() = &m_Fake;
        ExprSetResolver(&FakeResolver::Resolve);
        m_Fake.Values["bpp"] = NumberValue(0x10);
        m_Fake.Values["reg[10]"] = NumberValue(0x1234);
        m_Fake.Values["name"] = TextValue("panel");
    }
    void TearDown() override {
        ExprTest::TearDown();
        FakeResolver::Current() = nullptr;
    }
    FakeResolver m_Fake;
};

TEST_F(ResolverTest, InstalledResolverComesBack) {
    EXPECT_EQ(ExprGetResolver(), &FakeResolver::Resolve);
    ExprSetResolver(nullptr);
    EXPECT_EQ(ExprGetResolver(), nullptr);
    EXPECT_EQ(Eval("bpp").Error, "Unknown token or expression.");
}

TEST_F(ResolverTest, NamesGoToTheResolver) {
    EXPECT_TRUE(Eval("bpp + 1").IsNumber(0x11));
    EXPECT_TRUE(Eval("reg[10] & 0FF").IsNumber(0x34)); // the bracket keeps reg[10] one leaf
    EXPECT_TRUE(Eval("name + \"!\"").IsText("panel!"));
    ASSERT_EQ(m_Fake.Calls.size(), 3u);
    EXPECT_EQ(m_Fake.Calls[0].Text, "bpp");
    EXPECT_EQ(m_Fake.Calls[1].Text, "reg[10]");
    EXPECT_EQ(m_Fake.Calls[2].Text, "name");
    for (const auto& call : m_Fake.Calls) {
        EXPECT_TRUE(call.Terminated) << call.Text;
    }
}

TEST_F(ResolverTest, NumbersAndVariablesDoNotReachIt) {
    ASSERT_TRUE(SetVar("$v", NumberValue(1)));
    EXPECT_TRUE(Eval("add + $v").IsNumber(0xADE)); // "add" is a hexadecimal number
    EXPECT_TRUE(m_Fake.Calls.empty());
}

TEST_F(ResolverTest, SuffixTellsWhetherTextIsWanted) {
    EXPECT_TRUE(Eval("bpp.s").IsText("10"));
    EXPECT_TRUE(Eval("bpp.st").IsText("16"));
    EXPECT_TRUE(Eval("name.s3").IsText("pan"));
    EXPECT_TRUE(Eval("bpp").IsNumber(0x10));
    ASSERT_EQ(m_Fake.Calls.size(), 4u);
    EXPECT_TRUE(m_Fake.Calls[0].WantedText);  // .s
    EXPECT_FALSE(m_Fake.Calls[1].WantedText); // .st carries a radix letter
    EXPECT_TRUE(m_Fake.Calls[2].WantedText);  // .s3
    EXPECT_FALSE(m_Fake.Calls[3].WantedText);
    EXPECT_EQ(m_Fake.Calls[0].Text, "bpp"); // the suffix is not part of the leaf
}

TEST_F(ResolverTest, ErrorsComeBackAtTheLeafOffset) {
    ExpectCase(Err("oops", 2, "Bad token."));
    ExpectCase(Err("1 +  oops", 7, "Bad token."));
    ExpectCase(Err("1 + nothing", 5, "Unknown feature or token."));
    ExpectCase(Err("(1 + (oops))", 8, "Bad token."));
}

TEST_F(ResolverTest, ResolverAlwaysGetsAnErrorPointer) {
    ExprValue value{};
    // The caller passes no error-text pointer; the resolver must still be able to write one.
    EXPECT_EQ(ExprEvaluate("oops", 4, &value, nullptr, nullptr), 2u);
    ASSERT_EQ(m_Fake.Calls.size(), 1u);
    EXPECT_TRUE(m_Fake.Calls[0].HadErrorPointer);
}

TEST_F(ResolverTest, EmbeddedExpressionsUseIt) {
    EXPECT_TRUE(Eval(R"("bpp={bpp}, {name}, {oops}")").IsText("bpp=10, panel, {oops}"));
}

} // namespace
