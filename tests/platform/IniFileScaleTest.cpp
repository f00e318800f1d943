#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The name probes of reading the text and looking every section and key up once more.
uint64_t ProbesOf(const std::string& text, const std::function<void(const IniFile&)>& lookUps) {
    const uint64_t before = IniFile::NameProbes();
    const IniFile file = IniFile::Parse(text);
    lookUps(file);
    return IniFile::NameProbes() - before;
}

std::string KeyLines(int lines) {
    std::string text = "[s]\n";
    for (int i = 0; i < lines; ++i) {
        text += std::to_string(i) + "=00000001\n";
    }
    return text;
}

std::string SectionLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += "[S" + std::to_string(i) + "]\nk=1\n";
    }
    return text;
}

} // namespace

// A hundred times the lines costs about a hundred times the probes, for the keys of one
// section and for many sections alike: the reader's work grows with the lines, not with their
// square.
TEST(IniFile, ReadingAndLookingUpGrowWithTheLines) {
    const auto keys = [](int lines) {
        return ProbesOf(KeyLines(lines), [lines](const IniFile& file) {
            ASSERT_EQ(file.Keys("s").size(), static_cast<size_t>(lines));
            for (int i = 0; i < lines; i += 7) {
                ASSERT_EQ(file.Value("S", std::to_string(i)), "00000001");
            }
        });
    };
    const auto sections = [](int lines) {
        return ProbesOf(SectionLines(lines), [lines](const IniFile& file) {
            ASSERT_EQ(file.SectionNames().size(), static_cast<size_t>(lines));
            for (int i = 0; i < lines; i += 7) {
                ASSERT_EQ(file.Value("s" + std::to_string(i), "K"), "1");
            }
        });
    };
    for (const auto& [name, probes] :
         {std::pair{"keys", std::function<uint64_t(int)>(keys)},
          std::pair{"sections", std::function<uint64_t(int)>(sections)}}) {
        const uint64_t small = probes(1000);
        const uint64_t large = probes(100000);
        ASSERT_GT(small, 0u) << name;
        const double ratio = static_cast<double>(large) / static_cast<double>(small);
        EXPECT_GT(ratio, 50.0) << name;
        EXPECT_LT(ratio, 200.0) << name << ": " << small << " and " << large << " probes";
    }
}
