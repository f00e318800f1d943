// The section index of a script.
#include "play/ScriptSections.h"

#include "common/Text.h"
#include "play/Output.h"

#include <cstring>

namespace {

constexpr char kSectionWord[] = "section";
constexpr size_t kSectionWordLength = sizeof(kSectionWord) - 1;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool EndsName(char c) {
    return c == '\0' || IsBlank(c) || c == '\r' || c == '\n';
}

// Fills the table from the text; false when the indexing had to stop (already reported).
bool IndexOccurrences(const char* text, ScriptSection (&sections)[kMaxSections]) {
    const size_t textLength = std::strlen(text);
    uint32_t count = 0;
    size_t pos = 0;
    for (;;) {
        const char* found =
            FindNoCaseN(text + pos, textLength - pos, kSectionWord, kSectionWordLength);
        if (found == nullptr) {
            return true;
        }
        if (count == kMaxSections) {
            PlayPrint(CAT_ERR, "ERROR: Too many sections defined (currently cannot exceed %d).\n",
                      static_cast<int>(kMaxSections));
            return false;
        }
        const size_t offset = static_cast<size_t>(found - text);
        size_t nameStart = offset + kSectionWordLength;
        while (IsBlank(text[nameStart])) {
            ++nameStart;
        }
        size_t nameEnd = nameStart;
        while (!EndsName(text[nameEnd])) {
            ++nameEnd;
        }
        const size_t nameLength = nameEnd - nameStart;
        if (nameLength >= kSectionNameSize) {
            PlayPrint(CAT_ERR, "ERROR: Section name must not exceed %d characters.\n",
                      static_cast<int>(kSectionNameSize));
            return false;
        }
        ScriptSection& section = sections[count++];
        std::memcpy(section.m_Name, text + nameStart, nameLength);
        section.m_Name[nameLength] = '\0';
        section.m_Offset = static_cast<uint32_t>(offset);
        pos = offset + kSectionWordLength;
    }
}

// Reports every name given more than once, once, at its first entry.
void ReportDuplicates(const ScriptSection (&sections)[kMaxSections]) {
    for (uint32_t i = 0; i < kMaxSections; ++i) {
        const char* name = sections[i].m_Name;
        if (name[0] == '\0') {
            continue;
        }
        bool seenBefore = false;
        for (uint32_t k = 0; k < i && !seenBefore; ++k) {
            seenBefore = std::strcmp(sections[k].m_Name, name) == 0;
        }
        if (seenBefore) {
            continue;
        }
        for (uint32_t j = i + 1; j < kMaxSections; ++j) {
            if (std::strcmp(sections[j].m_Name, name) == 0) {
                PlayPrint(CAT_ERR, "ERROR: Section name \"%s\" is defined more than once.\n", name);
                break;
            }
        }
    }
}

} // namespace

void BuildSectionIndex(const char* text, ScriptSection (&sections)[kMaxSections]) {
    for (ScriptSection& section : sections) {
        section = ScriptSection{};
    }
    IndexOccurrences(text, sections);
    ReportDuplicates(sections);
}

const ScriptSection* FindSection(const ScriptSection (&sections)[kMaxSections],
                                 std::string_view name) {
    for (const ScriptSection& section : sections) {
        if (section.m_Name[0] != '\0' && EqualsNoCase(section.m_Name, name)) {
            return &section;
        }
    }
    return nullptr;
}
