#pragma once
// The sequence dialog's logic (dialog 215): a working copy of a sequence feature's entries
// (COMMAND, PARAM, DELAY, each with a value and an optional label), edited entry by entry and
// written back whole on OK. Edits that cannot be made (a full copy, an empty one, a value that
// does not fit the entry's data bits) change nothing and ask for a beep.
//
//     SequenceEdit edit(g_ChipDef, "lcdseq");
//     edit.Append();
//     if (!edit.SetValueText("2A")) { Beep(BeepKind::Default); }
//     for (const std::string& label : edit.Accept()) { ... not stored ... }
#include <cstdint>
#include <string>
#include <vector>

class ChipDefBase;

struct SequenceEntry {
    uint32_t Flags = 0;
    uint32_t Value = 0;
    std::string Label;
};

inline constexpr size_t kSequenceLabelMax = 255;

class SequenceEdit {
public:
    SequenceEdit(ChipDefBase& chip, const char* feature);

    const std::vector<SequenceEntry>& Entries() const { return m_Entries; }
    uint32_t Capacity() const { return m_Capacity; }
    // The selected entry, -1 while the copy is empty.
    int Position() const { return m_Position; }
    void Select(int position);

    // The list's rows: "COMMAND 2Ch  ( label )", "PARAM 01h", "DELAY 10".
    std::vector<std::string> Rows() const;
    // The selected entry's value as the Value edit shows it (decimal for DELAY, else hex).
    std::string ValueText() const;

    // Each returns false (asking for a beep) when it changes nothing.
    bool Insert();
    bool Append();
    bool Delete();
    bool DeleteAll();
    bool SetFlags(uint32_t flags);
    bool SetValueText(const std::string& text);
    void SetLabel(const std::string& label);

    // Writes every entry and ends the feature's sequence after them. The labels that could not
    // be stored (the entries are stored without them) come back, for a warning.
    std::vector<std::string> Accept();

private:
    ChipDefBase* m_Chip;
    const char* m_Feature;
    uint32_t m_Capacity;
    std::vector<SequenceEntry> m_Entries;
    int m_Position = -1;
};
