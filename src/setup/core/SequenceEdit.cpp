// The sequence dialog's working copy.
#include "setup/core/SequenceEdit.h"

#include "chipdef/ChipDefBase.h"
#include "common/Numbers.h"
#include "hcl/HclData.h"

#include <cstdio>

namespace {

// Sequence positions whose labels the strings pool can tell apart.
constexpr uint32_t kLabelledPositions = 255;

bool IsDelay(uint32_t flags) {
    return flags == oxHCL_LCD_DELAY;
}

} // namespace

SequenceEdit::SequenceEdit(ChipDefBase& chip, const char* feature)
    : m_Chip(&chip), m_Feature(feature), m_Capacity(chip.GetSequenceCapacity(feature)) {
    uint32_t flags = 0;
    uint32_t value = 0;
    const char* label = nullptr;
    for (uint32_t i = 0;
         i < m_Capacity && chip.GetSequenceEntry(feature, i, &flags, &value, &label); ++i) {
        m_Entries.push_back({flags, value, label != nullptr ? label : ""});
    }
    m_Position = m_Entries.empty() ? -1 : 0;
}

void SequenceEdit::Select(int position) {
    if (position >= 0 && position < static_cast<int>(m_Entries.size())) {
        m_Position = position;
    }
}

std::vector<std::string> SequenceEdit::Rows() const {
    std::vector<std::string> rows;
    for (const SequenceEntry& entry : m_Entries) {
        char text[48];
        if (IsDelay(entry.Flags)) {
            std::snprintf(text, sizeof text, "DELAY %u", entry.Value);
        } else if (entry.Flags == oxHCL_LCD_PARAM) {
            std::snprintf(text, sizeof text, "PARAM %02Xh", entry.Value);
        } else {
            std::snprintf(text, sizeof text, "COMMAND %Xh", entry.Value);
        }
        std::string row = text;
        if (!entry.Label.empty()) {
            row += "  ( " + entry.Label + " )";
        }
        rows.push_back(row);
    }
    return rows;
}

std::string SequenceEdit::ValueText() const {
    if (m_Position < 0) {
        return {};
    }
    const SequenceEntry& entry = m_Entries[static_cast<size_t>(m_Position)];
    char text[16];
    std::snprintf(text, sizeof text, IsDelay(entry.Flags) ? "%u" : "%X", entry.Value);
    return text;
}

bool SequenceEdit::Insert() {
    if (m_Entries.size() >= m_Capacity) {
        return false;
    }
    const size_t at = m_Position < 0 ? 0 : static_cast<size_t>(m_Position);
    m_Entries.insert(m_Entries.begin() + static_cast<std::ptrdiff_t>(at),
                     {oxHCL_LCD_COMMAND, 0, {}});
    m_Position = static_cast<int>(at);
    return true;
}

bool SequenceEdit::Append() {
    if (m_Entries.size() >= m_Capacity) {
        return false;
    }
    const uint32_t flags = m_Entries.empty() ? oxHCL_LCD_COMMAND : m_Entries.back().Flags;
    m_Entries.push_back({flags, 0, {}});
    m_Position = static_cast<int>(m_Entries.size()) - 1;
    return true;
}

bool SequenceEdit::Delete() {
    if (m_Entries.empty()) {
        return false;
    }
    m_Entries.erase(m_Entries.begin() + m_Position);
    if (m_Position >= static_cast<int>(m_Entries.size())) {
        m_Position = static_cast<int>(m_Entries.size()) - 1;
    }
    return true;
}

bool SequenceEdit::DeleteAll() {
    if (m_Entries.empty()) {
        return false;
    }
    m_Entries.clear();
    m_Position = -1;
    return true;
}

bool SequenceEdit::SetFlags(uint32_t flags) {
    if (m_Position < 0) {
        return false;
    }
    m_Entries[static_cast<size_t>(m_Position)].Flags = flags;
    return true;
}

bool SequenceEdit::SetValueText(const std::string& text) {
    if (m_Position < 0) {
        return false;
    }
    SequenceEntry& entry = m_Entries[static_cast<size_t>(m_Position)];
    const uint32_t radix = IsDelay(entry.Flags) ? 10 : 16;
    if (!IsNumberInRadix(text.c_str(), text.size(), radix)) {
        return false;
    }
    // Read in 64 bits: a value past the data bits would otherwise wrap or reach the flags.
    uint64_t value = 0;
    for (char c : text) {
        if (c == '_') {
            continue;
        }
        const uint32_t digit = c <= '9' ? static_cast<uint32_t>(c - '0')
                                        : static_cast<uint32_t>((c | 0x20) - 'a' + 10);
        if (digit >= radix) {
            break; // a closing radix letter
        }
        value = value * radix + digit;
        if (value > oxHCL_LCD_DATAMASK) {
            return false;
        }
    }
    entry.Value = static_cast<uint32_t>(value);
    return true;
}

void SequenceEdit::SetLabel(const std::string& label) {
    if (m_Position >= 0) {
        m_Entries[static_cast<size_t>(m_Position)].Label = label.substr(0, kSequenceLabelMax);
    }
}

std::vector<std::string> SequenceEdit::Accept() {
    std::vector<std::string> refused;
    // Labels of deleted or moved entries must not stay behind at their old places.
    m_Chip->ClearSequenceTexts(m_Feature);
    for (uint32_t i = 0; i < m_Entries.size(); ++i) {
        const SequenceEntry& entry = m_Entries[i];
        const bool canLabel = i < kLabelledPositions;
        const char* label = canLabel ? entry.Label.c_str() : "";
        m_Chip->SetSequenceEntry(m_Feature, i, entry.Flags, entry.Value, label);
        if (entry.Label.empty()) {
            continue;
        }
        const char* stored = nullptr;
        m_Chip->GetSequenceEntry(m_Feature, i, nullptr, nullptr, &stored);
        if (!canLabel || stored == nullptr || entry.Label != stored) {
            refused.push_back(entry.Label);
            m_Chip->SetSequenceEntry(m_Feature, i, entry.Flags, entry.Value, "");
        }
    }
    m_Chip->TruncateSequence(m_Feature, static_cast<uint32_t>(m_Entries.size()));
    return refused;
}
