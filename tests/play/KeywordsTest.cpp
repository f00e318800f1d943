#include "play/Keywords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

struct Completion {
    int32_t count;
    std::string out;
};

Completion Complete(Tree* dictionary, const char* prefix) {
    char* out = nullptr;
    const int32_t count = KeywordComplete(dictionary, prefix, &out);
    Completion c{count, out ? out : ""};
    if (count == 0) {
        EXPECT_EQ(out, nullptr) << prefix;
    }
    std::free(out);
    return c;
}

std::vector<std::string> Collect(Tree* dictionary, const char* prefix) {
    Tree list(&FreeWordNode);
    const uint32_t count = KeywordCollect(dictionary, nullptr, &list, prefix);
    std::vector<std::string> words;
    TreeHandle h = nullptr;
    if (list.GetRoot(h)) {
        do {
            words.emplace_back(static_cast<KeywordNode*>(list.GetData(h))->Text);
        } while (list.ToNext(h));
    }
    EXPECT_EQ(count, words.size());
    return words;
}

class KeywordsTest : public ::testing::Test {
protected:
    void SetUp() override { KeywordInit(&dictionary); }
    void Add(std::initializer_list<const char*> words) {
        for (const char* w : words) {
            EXPECT_TRUE(KeywordAdd(&dictionary, w)) << w;
        }
    }
    Tree dictionary{&FreeWordNode};
};

TEST_F(KeywordsTest, CompletesUniqueWordsAndSharedBeginnings) {
    Add({"hdp", "hdisp", "vdp"});
    const struct {
        const char* prefix;
        int32_t count;
        const char* out;
    } cases[] = {
        {"h", 2, "hd"}, {"hd", 2, "hd"},       {"hdp", 1, "hdp"}, {"hdi", 1, "hdisp"},
        {"x", 0, ""},   {"", 3, ""},           {"hdpx", 0, ""},   {"v", 1, "vdp"},
        {"hdx", 0, ""}, {"hdisp", 1, "hdisp"}, {"H", 0, ""}, // exact comparison
    };
    for (const auto& c : cases) {
        const Completion got = Complete(&dictionary, c.prefix);
        EXPECT_EQ(got.count, c.count) << '"' << c.prefix << '"';
        EXPECT_EQ(got.out, c.out) << '"' << c.prefix << '"';
    }
}

TEST_F(KeywordsTest, WordsAreStoredOnce) {
    Add({"hdp"});
    EXPECT_FALSE(KeywordAdd(&dictionary, "hdp"));
    EXPECT_EQ(Collect(&dictionary, ""), std::vector<std::string>{"hdp"});
    EXPECT_EQ(Complete(&dictionary, "h").count, 1);
}

TEST_F(KeywordsTest, SharedBeginningOfTwoLongWords) {
    Add({"pip1autostride", "pip2autostride"});
    EXPECT_EQ(Complete(&dictionary, "pip").count, 2);
    EXPECT_EQ(Complete(&dictionary, "pip").out, "pip");
    EXPECT_EQ(Complete(&dictionary, "pip1").count, 1);
    EXPECT_EQ(Complete(&dictionary, "pip1").out, "pip1autostride");
}

TEST_F(KeywordsTest, WordThatIsTheBeginningOfOthers) {
    Add({"bpp", "bppmode", "bppx"});
    EXPECT_EQ(Complete(&dictionary, "bpp").count, 3);
    EXPECT_EQ(Complete(&dictionary, "bpp").out, "bpp");
    EXPECT_EQ(Complete(&dictionary, "bppm").out, "bppmode");
    Add({"b"});
    EXPECT_EQ(Complete(&dictionary, "b").count, 4);
    EXPECT_EQ(Complete(&dictionary, "b").out, "b");
}

// A rebuild puts back every word, however long.
TEST_F(KeywordsTest, LongWordsSurviveARebuild) {
    const std::string longWord = "x" + std::string(300, 'a');
    const std::string sibling = "x" + std::string(300, 'b');
    Add({longWord.c_str(), sibling.c_str(), "xy"});
    EXPECT_EQ(Complete(&dictionary, "x").count, 3);
    EXPECT_EQ(Complete(&dictionary, "xa").out, longWord);
    EXPECT_EQ(Collect(&dictionary, "x").size(), 3u);
}

TEST_F(KeywordsTest, EmptyAndUninitialisedDictionaries) {
    EXPECT_EQ(Complete(&dictionary, "").count, 0);
    EXPECT_TRUE(Collect(&dictionary, "").empty());
    EXPECT_FALSE(KeywordAdd(&dictionary, ""));

    Tree bare(&FreeWordNode); // no root yet
    EXPECT_FALSE(KeywordAdd(&bare, "x"));
    EXPECT_EQ(Complete(&bare, "x").count, 0);
    EXPECT_EQ(KeywordComplete(nullptr, "x", nullptr), 0);
}

TEST_F(KeywordsTest, InitEmptiesTheDictionary) {
    Add({"alpha", "beta"});
    KeywordInit(&dictionary);
    EXPECT_EQ(Complete(&dictionary, "").count, 0);
    EXPECT_EQ(dictionary.NumNodes(), 1u);
    Add({"alpha"});
    EXPECT_EQ(Complete(&dictionary, "a").out, "alpha");
}

TEST_F(KeywordsTest, CollectAppendsToTheEndOfAList) {
    Add({"hdp", "hdisp", "vdp"});
    Tree list(&FreeWordNode);
    EXPECT_EQ(KeywordCollect(&dictionary, nullptr, &list, "v"), 1u);
    EXPECT_EQ(KeywordCollect(&dictionary, nullptr, &list, "hd"), 2u);
    TreeHandle h = nullptr;
    ASSERT_TRUE(list.GetRoot(h));
    EXPECT_STREQ(static_cast<KeywordNode*>(list.GetData(h))->Text, "vdp");
    EXPECT_EQ(list.NumNodes(), 3u);
    EXPECT_FALSE(list.HasChild(h));
}

TEST_F(KeywordsTest, ActiveDictionary) {
    KeywordSetActive(&dictionary);
    EXPECT_EQ(KeywordGetActive(), &dictionary);
    KeywordSetActive(nullptr);
    EXPECT_EQ(KeywordGetActive(), nullptr);
}

// Feature-like names in an order that rebuilds shared beginnings at several depths. For every
// beginning of every word, completion and the listing must agree with a plain search of the
// word list.
TEST_F(KeywordsTest, AgreesWithAPlainSearchForEveryPrefix) {
    const std::vector<std::string> words = {
        "hdp",
        "hdisp",
        "vdp",
        "vdisp",
        "hndp",
        "pip1autostride",
        "pip2autostride",
        "autostride",
        "pip1x",
        "pip1y",
        "pip1width",
        "pip1height",
        "pip2x",
        "pip2",
        "pip",
        "pclk",
        "pclkdiv",
        "pclkpol",
        "p",
        "bpp",
        "bppmode",
        "bpp16",
        "bpp8",
        "lutmode",
        "lut",
        "lcdtype",
        "lcdwidth",
        "lcdheight",
        "hsyncpol",
        "hsyncwidth",
        "hsyncstart",
        "vsyncpol",
        "vsyncwidth",
        "vsyncstart",
        "memclk",
    };
    for (const std::string& w : words) {
        ASSERT_TRUE(KeywordAdd(&dictionary, w.c_str())) << w;
    }
    for (const std::string& w : words) {
        EXPECT_FALSE(KeywordAdd(&dictionary, w.c_str())) << w;
    }

    std::set<std::string> prefixes = {"", "x", "pipz", "hdpq"};
    for (const std::string& w : words) {
        for (size_t n = 0; n <= w.size(); ++n) {
            prefixes.insert(w.substr(0, n));
        }
    }

    for (const std::string& prefix : prefixes) {
        SCOPED_TRACE('"' + prefix + '"');
        std::vector<std::string> expected;
        for (const std::string& w : words) {
            if (w.compare(0, prefix.size(), prefix) == 0) {
                expected.push_back(w);
            }
        }
        std::string common = expected.empty() ? "" : expected.front();
        for (const std::string& w : expected) {
            common.resize(std::mismatch(common.begin(), common.end(), w.begin(), w.end()).first -
                          common.begin());
        }

        const Completion got = Complete(&dictionary, prefix.c_str());
        EXPECT_EQ(got.count, static_cast<int32_t>(expected.size()));
        if (!expected.empty()) {
            EXPECT_EQ(got.out, common);
        }

        std::vector<std::string> listed = Collect(&dictionary, prefix.c_str());
        EXPECT_EQ(Collect(&dictionary, prefix.c_str()), listed); // the same order every time
        std::sort(listed.begin(), listed.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listed, expected);
    }
}

// The same words added in the same order list in the same order.
TEST(KeywordsOrder, ListingDependsOnlyOnTheWordsAdded) {
    const char* words[] = {"hdp", "hdisp", "hdpx", "hd", "vdp", "h"};
    Tree a(&FreeWordNode);
    Tree b(&FreeWordNode);
    KeywordInit(&a);
    KeywordInit(&b);
    for (const char* w : words) {
        KeywordAdd(&a, w);
        KeywordAdd(&b, w);
    }
    EXPECT_EQ(Collect(&a, "h"), Collect(&b, "h"));
    EXPECT_EQ(Collect(&a, "h").size(), 5u);
}

} // namespace
