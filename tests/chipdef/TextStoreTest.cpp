// The text store of the chip database: copies stay where they are while more are made, large
// texts included.
#include "chipdef/TextStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextStore, CopiesStayValidAndUnchanged) {
    TextStore store;
    std::vector<std::pair<const char*, std::string>> made;
    for (int i = 0; i < 3000; ++i) {
        // Small texts, and now and then one larger than a quarter block.
        const std::string text =
            i % 500 == 7 ? std::string(9000, static_cast<char>('a' + i % 26)) : std::to_string(i);
        made.emplace_back(store.Copy(text), text);
    }
    for (const auto& [copy, text] : made) {
        EXPECT_EQ(copy, text);
    }
}

TEST(TextStore, CopiesOfPartsAndEmptyTexts) {
    TextStore store;
    EXPECT_STREQ(store.Copy("abcdef", 3), "abc");
    EXPECT_STREQ(store.Copy(""), "");
    char* buffer = store.Allocate(5);
    EXPECT_EQ(std::string(buffer, 5), std::string(5, '\0'));
}

} // namespace
