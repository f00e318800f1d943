// Every feature of the 47K20 in the chip database, set and read through every route a user has
// (a number, a text, its own value, "." with an answer on piped input, an assignment, calc and
// calc .s), under
// /nocard and on the board: no run ends by an assertion, a prompt or a signal. The product's
// texts chipid, chipname and chipdesc are refused on every set route and read as the database
// gives them; every other feature takes a value as before, read-only ones after their warning,
// write-only ones refuse only to be read. Expectations come from the database file itself.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Attributes = std::map<std::string, std::string>;

struct Feature {
    std::string Key; // lower case, as play takes it
    std::string Type;
    std::string Access;
    bool InRegister = false; // a field of a register (REG), not computed
    bool Reserved = false;   // a reserved field
};

std::string DatabaseText() {
    return q3vtest::ReadFileText(std::string(Q3V_SOURCE_DIR) + "/src/chipdef/chipdef.xml");
}

// The attributes of every element <name ...> of the text, in order.
std::vector<Attributes> Elements(const std::string& text, const std::string& name) {
    std::vector<Attributes> elements;
    const std::regex element("<" + name + "\\s([^>]*)>");
    const std::regex attribute("(\\w+)=\"([^\"]*)\"");
    for (std::sregex_iterator e(text.begin(), text.end(), element), end; e != end; ++e) {
        Attributes attributes;
        const std::string inside = (*e)[1].str();
        for (std::sregex_iterator a(inside.begin(), inside.end(), attribute); a != end; ++a) {
            attributes[(*a)[1].str()] = (*a)[2].str();
        }
        elements.push_back(std::move(attributes));
    }
    return elements;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The features of the 47K20: those without a PRODUCT, or whose PRODUCT names it.
std::vector<Feature> ProductFeatures(const std::string& database) {
    std::vector<Feature> features;
    for (Attributes& a : Elements(database, "FEATURE")) {
        if (a.count("PRODUCT") != 0 && a["PRODUCT"].find("47K20") == std::string::npos) {
            continue;
        }
        features.push_back({Lower(a["KEYNAME"]), Lower(a["TYPE"]), Lower(a["ACCESS"]),
                            a.count("REG") != 0, a.count("RESERVED") != 0});
    }
    return features;
}

// The product's texts, as the product row of the database gives them.
std::map<std::string, std::string> ProductTexts(const std::string& database) {
    for (Attributes& p : Elements(database, "PRODUCT")) {
        if (p["KEYNAME"] == "47K20") {
            return {{"chipid", p["NAME"]},
                    {"chipname", p["PREFIX"] + p["NAME"] + p["SUFFIX"]},
                    {"chipdesc", " " + p["DESC"]}}; // the description after a blank
        }
    }
    return {};
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// The line after the echo of a typed line in a session's output ("" when it is not there).
std::string LineAfter(const std::string& output, const std::string& typed) {
    const size_t at = output.find("=" + typed + "\n");
    if (at == std::string::npos) {
        return {};
    }
    const size_t start = at + typed.size() + 2;
    return output.substr(start, output.find('\n', start) - start);
}

constexpr const char* kRefused = "ERROR: Failed to set feature. (Invalid value?)\n";
constexpr const char* kReadOnly = "WARNING: This feature is read-only and should not be set.\n";
constexpr const char* kWriteOnly = "ERROR: Cannot show value as this feature is write-only.\n";

TEST(FeatureSetProcess, EveryFeatureOnEveryRoute) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const std::string database = DatabaseText();
    const std::vector<Feature> features = ProductFeatures(database);
    const std::map<std::string, std::string> productTexts = ProductTexts(database);
    ASSERT_EQ(features.size(), 178u);
    ASSERT_EQ(productTexts.size(), 3u);

    // One session per mode; each feature's part begins with a mark of its own.
    std::string input;
    for (const Feature& f : features) {
        const std::string& n = f.Key;
        input += "print \"@@ " + n + "\\n\"\n";
        // A number, a text, the feature's own value (within any range it has), "." and an
        // answer.
        input +=
            "set " + n + " 1\nset " + n + " \"x\"\nset " + n + " " + n + "\nset " + n + " .\n1\n";
        input += n + " = calc 1\ncalc " + n + "\ncalc " + n + ".s\n";
    }
    for (const char* mode : {"/nocard", ""}) {
        const bool onBoard = *mode == '\0';
        SCOPED_TRACE(onBoard ? "on the board" : mode);
        const q3vtest::PlayBench bench;
        const q3vtest::PlayRun run = bench.Run(mode, input);
        ASSERT_EQ(run.Code, 0) << run.Output.substr(
            run.Output.size() > 2000 ? run.Output.size() - 2000 : 0);
        EXPECT_EQ(run.Output.find("Assertion"), std::string::npos);
        EXPECT_EQ(run.Output.find("ASSERT"), std::string::npos);
        EXPECT_EQ(run.Output.find("Abort"), std::string::npos);
        EXPECT_EQ(run.Output.find("Unknown feature or token."), std::string::npos);

        for (size_t i = 0; i < features.size(); ++i) {
            const Feature& f = features[i];
            SCOPED_TRACE(f.Key);
            const size_t begin = run.Output.find("\n@@ " + f.Key + "\n");
            ASSERT_NE(begin, std::string::npos) << "the session ended before the feature";
            const size_t end = i + 1 < features.size()
                                   ? run.Output.find("\n@@ " + features[i + 1].Key + "\n", begin)
                                   : run.Output.size();
            const std::string part = run.Output.substr(begin, end - begin);
            const size_t written = Count(part, " <- ");
            const std::string shown = LineAfter(part, "calc " + f.Key);
            const std::string shownText = LineAfter(part, "calc " + f.Key + ".s");

            if (productTexts.count(f.Key) != 0) {
                // Read-only texts of the product: refused on all five routes, "." after its
                // warning; read as the database gives them.
                EXPECT_EQ(Count(part, kRefused), 5u) << part;
                EXPECT_EQ(written, 0u) << part;
                const size_t warning = part.find(kReadOnly);
                EXPECT_NE(warning, std::string::npos) << part;
                EXPECT_LT(warning, part.find(kRefused, part.find("=set " + f.Key + " .\n")));
                EXPECT_EQ(shown, "\"" + productTexts.at(f.Key) + "\"");
                EXPECT_EQ(shownText, "\"" + productTexts.at(f.Key) + "\"");
                continue;
            }
            // On the board every field of a register that is not reserved takes a value on some
            // route, read-only ones too (after their warning).
            if (onBoard && f.InRegister && !f.Reserved) {
                EXPECT_GE(written, 1u) << part;
            }
            if (f.Access == "ro") {
                EXPECT_EQ(Count(part, kReadOnly), 1u) << part;
            }
            if (f.Access == "wo") {
                // calc, calc .s and the route that sets its own value read it.
                EXPECT_EQ(Count(part, kWriteOnly), 3u) << part;
                continue;
            }
            EXPECT_EQ(part.find(kWriteOnly), std::string::npos) << part;
            if (f.Type == "text" || f.Type == "sequ") {
                EXPECT_EQ(shown.substr(0, 1), "\"") << shown;
            } else {
                EXPECT_TRUE(std::regex_match(shown, std::regex("[0-9A-F]+h \\([0-9]+t\\)")))
                    << shown;
            }
            EXPECT_EQ(shownText.substr(0, 1), "\"") << shownText;
        }
        // A write-only switch stays settable.
        const std::string swreset = run.Output.substr(run.Output.find("\n@@ swreset\n"));
        EXPECT_EQ(LineAfter(swreset, "set swreset 1"), "swreset (REG[06h-b8] [WO]) <- \"1\"");
    }
}

} // namespace
