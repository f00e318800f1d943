#pragma once
// Reads INI files the way the programs expect the profile calls to answer: sections of
// "key=value" lines, looked up by section and key ignoring case, with the names of the sections
// and the keys of a section listed in file order. The text comes from outside, so every byte is
// taken as data: lines of any length, no escapes, nothing joined across lines.
//
// Lines end with LF or CR LF; blanks and tabs around a line are dropped. A line that starts with
// ";" is a comment (nothing else is: "#" and a ";" later in a line are text). "[name]" opens a
// section. In a section, the key is the text before the first "=" and the value the text after
// it, both trimmed, with one pair of enclosing double quotes removed from the value. The first of
// duplicate keys wins when keys are looked up or listed, and every key line stays in the lines
// of its section; a section named twice continues the first one. Lines before the first section
// and lines without "=" are ignored.
//
// Sections and keys are found through indexes of their names, so reading a file and looking
// names up take time in proportion to the number of lines, however many sections or keys it has.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class IniFile {
public:
    using KeyValue = std::pair<std::string, std::string>;

    // The file's sections and keys read from a text.
    [[nodiscard]] static IniFile Parse(std::string_view text);
    // The file read from disk; nothing when it cannot be read.
    [[nodiscard]] static std::optional<IniFile> Load(const std::string& path);

    // The value of a key, or nothing when the section or the key is absent (an empty value is
    // an empty text, not nothing).
    [[nodiscard]] std::optional<std::string> Value(std::string_view section,
                                                   std::string_view key) const;
    // Every section's name once, in file order, empty sections included.
    [[nodiscard]] std::vector<std::string> SectionNames() const;
    // The keys of a section with their values, in file order; empty for an absent section.
    [[nodiscard]] const std::vector<KeyValue>& Keys(std::string_view section) const;
    // Every key line of a section, in file order, a key that stands twice included; empty for
    // an absent section. For sections whose lines count by their order, not by their names.
    [[nodiscard]] const std::vector<KeyValue>& Lines(std::string_view section) const;
    [[nodiscard]] bool HasSection(std::string_view section) const;

    // The probes that this thread's look-ups of section and key names have made so far, while
    // reading files and afterwards: one per look-up and one per name compared. What the reader's
    // work grows with; a test holds it to the number of lines.
    [[nodiscard]] static uint64_t NameProbes();

private:
    // Hash and equality of names ignoring ASCII case, for the indexes.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    // A name's position in a list, found ignoring case.
    using NameIndex = std::unordered_map<std::string, size_t, NameHash, NameEqual>;
    // The position of a name in an index, counted as a probe.
    static std::optional<size_t> Find(const NameIndex& index, std::string_view name);

    struct Section {
        std::string Name;
        std::vector<KeyValue> Keys;
        std::vector<KeyValue> Lines;
        NameIndex KeyIndex; // the position of each name in Keys
    };
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> m_Sections;
    NameIndex m_SectionIndex; // the position of each name in m_Sections
};

// True when the two texts are equal ignoring ASCII case.
[[nodiscard]] bool IniNamesEqual(std::string_view a, std::string_view b);
