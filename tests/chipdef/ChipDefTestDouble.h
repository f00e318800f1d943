#pragma once
// A chip definition for tests and the loader's fuzz target: ChipDefBase over a plain register
// list (with its end mark 255) and a fake chip that records every hot access in order.
//
//     ListChip chip;
//     chip.LoadDocument("<CHIPDEF>...</CHIPDEF>");   // lines split at "\n"
//     chip.SetList({{0x24, 0x14}});
//     chip.SetHotMode(true);
//     chip.GetFeatureValue("hdp");                   // chip.Accesses() == {"R 24"}
#include "chipdef/ChipDefBase.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class ListChip : public ChipDefBase {
public:
    // Loads a document given as one text; its lines are fed without their line ends.
    bool LoadDocument(const std::string& document) {
        m_Lines.clear();
        size_t start = 0;
        while (start <= document.size()) {
            const size_t end = document.find('\n', start);
            if (end == std::string::npos) {
                m_Lines.push_back(document.substr(start));
                break;
            }
            m_Lines.push_back(document.substr(start, end - start));
            start = end + 1;
        }
        std::vector<const char*> lines;
        for (const std::string& line : m_Lines) {
            lines.push_back(line.c_str());
        }
        return LoadXmlDatabase(lines.data(), static_cast<uint32_t>(lines.size()));
    }

    // The register list: {index, value} pairs; the end mark 255 follows them.
    void SetList(std::vector<std::pair<uint32_t, uint32_t>> entries) {
        m_List = std::move(entries);
        m_List.emplace_back(255, 0);
    }
    const std::vector<std::pair<uint32_t, uint32_t>>& List() const { return m_List; }

    // The fake chip's registers and the hot accesses so far ("R 24", "W 24=0014").
    std::map<uint32_t, uint32_t>& ChipRegisters() { return m_Chip; }
    std::vector<std::string>& Accesses() { return m_Accesses; }
    bool m_FailWrites = false;

    std::string Diagnostics() {
        char text[kTextSize];
        text[0] = '\0';
        GetDiagnosticText(text, sizeof text);
        return text;
    }

    const char* GetSummaryText(const char*) override { return ""; }
    bool GetMemoryRegion(uint32_t, uint32_t, char*, uint32_t*, uint32_t*) override { return false; }
    bool IsFeatureOutsideRegList(const char*, uint32_t*) override { return false; }
    bool Initialize(uint32_t, const char**) override { return false; }
    void RedrawPattern() override { ++m_Redraws; }
    uint32_t ReadRegisterHot(uint32_t index) override {
        m_Accesses.push_back(Format("R %02X", index));
        return m_Chip[index];
    }
    bool WriteRegisterHot(uint32_t index, uint32_t value) override {
        m_Accesses.push_back(Format("W %02X=%04X", index, value));
        if (m_FailWrites) {
            return false;
        }
        m_Chip[index] = value;
        return true;
    }
    // A sequence store for the feature named "seq": entries {flags, data, text} up to 16.
    struct SeqEntry {
        uint32_t Flags = 0;
        uint32_t Data = 0;
        std::string Text;
    };
    std::vector<SeqEntry> m_Sequence;
    bool GetSequenceEntry(const char* name, uint32_t i, uint32_t* flags, uint32_t* data,
                          const char** text) override {
        if (std::string(name) != "seq" || i >= m_Sequence.size() || m_Sequence[i].Flags == 0) {
            return false;
        }
        *flags = m_Sequence[i].Flags;
        *data = m_Sequence[i].Data;
        *text = m_Sequence[i].Text.empty() ? nullptr : m_Sequence[i].Text.c_str();
        return true;
    }
    void ClearSequenceTexts(const char*) override {
        for (SeqEntry& e : m_Sequence) {
            e.Text.clear();
        }
    }
    bool SetSequenceEntry(const char* name, uint32_t i, uint32_t flags, uint32_t data,
                          const char* text) override {
        if (std::string(name) != "seq" || i >= 16) {
            return false;
        }
        if (m_Sequence.size() <= i) {
            m_Sequence.resize(i + 1);
        }
        m_Sequence[i] = {flags, data, text ? text : ""};
        return true;
    }
    uint32_t GetSequenceCapacity(const char*) override { return 16; }
    uint32_t GetSequenceLength(const char*) override {
        return static_cast<uint32_t>(m_Sequence.size());
    }
    bool TruncateSequence(const char*, uint32_t i) override {
        if (i < m_Sequence.size()) {
            m_Sequence.resize(i);
        }
        return true;
    }

    uint32_t GetRegListValue(uint32_t pos) override {
        return pos < m_List.size() ? m_List[pos].second : 0;
    }
    bool SetRegListValue(uint32_t pos, uint32_t value) override {
        if (pos >= m_List.size()) {
            return false;
        }
        m_List[pos].second = value;
        return true;
    }
    bool FindRegListEntry(uint32_t index, uint32_t* pos, bool first) override {
        bool found = false;
        for (uint32_t i = 0; i + 1 < m_List.size(); ++i) {
            if (m_List[i].first == index) {
                *pos = i;
                found = true;
                if (first) {
                    break;
                }
            }
        }
        return found;
    }
    bool GetRegListIndex(uint32_t pos, uint32_t* index) override {
        if (pos >= m_List.size()) {
            return false;
        }
        *index = m_List[pos].first;
        return true;
    }

    // The row capacities that loading counted.
    uint32_t MaxProducts() const { return m_MaxProducts; }
    uint32_t MaxFeatures() const { return m_MaxFeatures; }

    uint32_t m_Redraws = 0;
    void SetAutoRedrawForTest(bool on) { m_fAutoRedraw = on ? 1 : 0; }
    uint32_t RedrawPending() const { return m_RedrawPending; }

private:
    static std::string Format(const char* format, uint32_t a, uint32_t b = 0) {
        char text[64];
        std::snprintf(text, sizeof text, format, a, b);
        return text;
    }

    std::vector<std::string> m_Lines;
    std::vector<std::pair<uint32_t, uint32_t>> m_List{{255, 0}};
    std::map<uint32_t, uint32_t> m_Chip;
    std::vector<std::string> m_Accesses;
};
