#include "platform/IniFile.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string_view Trim(std::string_view text) {
    size_t first = 0;
    while (first < text.size() && (text[first] == ' ' || text[first] == '\t')) {
        ++first;
    }
    size_t last = text.size();
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) {
        --last;
    }
    return text.substr(first, last - first);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

thread_local uint64_t t_NameProbes = 0;

} // namespace

std::optional<size_t> IniFile::Find(const NameIndex& index, std::string_view name) {
    ++t_NameProbes;
    const auto found = index.find(name);
    return found != index.end() ? std::optional<size_t>(found->second) : std::nullopt;
}

uint64_t IniFile::NameProbes() {
    return t_NameProbes;
}

size_t IniFile::NameHash::operator()(std::string_view name) const {
    uint64_t hash = 14695981039346656037ull; // FNV-1a over the lower-case bytes
    for (char c : name) {
        hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
    }
    return static_cast<size_t>(hash);
}

bool IniFile::NameEqual::operator()(std::string_view a, std::string_view b) const {
    ++t_NameProbes;
    return IniNamesEqual(a, b);
}

bool IniNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

IniFile IniFile::Parse(std::string_view text) {
    IniFile file;
    Section* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = Trim(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            std::string_view name = line.substr(1);
            const size_t close = name.find(']');
            if (close != std::string_view::npos) {
                name = name.substr(0, close);
            }
            name = Trim(name);
            if (const std::optional<size_t> known = Find(file.m_SectionIndex, name)) {
                current = &file.m_Sections[*known];
            } else {
                file.m_SectionIndex.emplace(std::string(name), file.m_Sections.size());
                file.m_Sections.push_back(Section{std::string(name), {}, {}, {}});
                current = &file.m_Sections.back();
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        std::string_view value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (!Find(current->KeyIndex, key)) {
            current->KeyIndex.emplace(std::string(key), current->Keys.size());
            current->Keys.emplace_back(std::string(key), std::string(value));
        }
        current->Lines.emplace_back(std::string(key), std::string(value));
    }
    return file;
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return Parse(content.str());
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    const std::optional<size_t> found = Find(m_SectionIndex, name);
    return found ? &m_Sections[*found] : nullptr;
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    const std::optional<size_t> position = Find(found->KeyIndex, key);
    return position ? std::optional<std::string>(found->Keys[*position].second) : std::nullopt;
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(m_Sections.size());
    for (const Section& section : m_Sections) {
        names.push_back(section.Name);
    }
    return names;
}

const std::vector<IniFile::KeyValue>& IniFile::Keys(std::string_view section) const {
    static const std::vector<KeyValue> s_None;
    const Section* found = FindSection(section);
    return found != nullptr ? found->Keys : s_None;
}

const std::vector<IniFile::KeyValue>& IniFile::Lines(std::string_view section) const {
    static const std::vector<KeyValue> s_None;
    const Section* found = FindSection(section);
    return found != nullptr ? found->Lines : s_None;
}

bool IniFile::HasSection(std::string_view section) const {
    return FindSection(section) != nullptr;
}
