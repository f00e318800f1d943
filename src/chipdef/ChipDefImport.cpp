// The INI import of the configuration block: the fields that WriteIniFile writes, read into a
// copy of the block, the register list merged or replaced, and the warnings of what was not
// taken. The file comes from outside: every key and value is checked before it is stored.
#include "chipdef/ChipDef.h"
#include "chipdef/ExportText.h"
#include "chipdef/IniFields.h"
#include "chipdef/IniValues.h"
#include "chipdef/RegListMerge.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using exporttext::Appendf;
using inivalues::KeyPosition;
using inivalues::ReadHex;
using inivalues::ReadRegPair;

namespace {

using KeyValue = IniFile::KeyValue;

// What the import has read so far: the copy of the block that it fills, the imported register
// list and the names that the warnings list.
struct ImportState {
    explicit ImportState(const oxHclData& block) : Copy(block) {}

    oxHclData Copy;
    std::vector<std::string> Missing, ShortArrays, Overflows, CannotImport;
    std::optional<uint32_t> ImportedSize;
    uint32_t ImportedCrc = 0;
    std::optional<std::vector<oxHclRegEntry>> ImportedList; // 593 pairs, when a pair was read
    std::optional<oxHclRegEntry> ReplacedByEnd; // the pair that a full list's end pair took
};

uint8_t* BlockBytes(oxHclData& block) {
    return reinterpret_cast<uint8_t*>(&block);
}

// The block's identity: changing it would lose the block in the saved file or make it another
// chip's or the other byte order's.
bool IsBlockIdentity(const IniField& field) {
    return field.Offset == offsetof(oxHclData, szIdString) ||
           field.Offset == offsetof(oxHclData, szChipId) ||
           field.Offset == offsetof(oxHclData, DetectEndian);
}

// A key of the chip's section: a text copied within its width (its closing NUL kept), a number
// (its first 8 digits) stored with the field's width. A number value that is empty or does not
// start with a digit is left out and reported, its field keeping its value: a clock or an
// address the file does not give is never made 0. The identity is kept and reported when the
// file differs.
void ReadScalar(const IniFile& file, const std::string& chipId, const IniField& field,
                ImportState& state) {
    const std::optional<std::string> value = file.Value(chipId, field.Name);
    if (!value) {
        state.Missing.push_back(field.Name);
        return;
    }
    uint8_t* at = BlockBytes(state.Copy) + field.Offset;
    const std::optional<uint32_t> number = field.IsText ? std::nullopt : ReadHex(*value, 8);
    if (!field.IsText && !number) {
        state.CannotImport.push_back(field.Name);
        return;
    }
    if (IsBlockIdentity(field)) {
        const bool same = field.IsText
                              ? *value == exporttext::FieldText(at, field.Width)
                              : *number == IniFieldLoad(state.Copy, field.Offset, field.Width);
        if (!same) {
            state.CannotImport.push_back(field.Name);
        }
        return;
    }
    if (field.IsText) {
        std::memset(at, 0, field.Width);
        std::memcpy(at, value->data(), std::min<size_t>(value->size(), field.Width - 1));
        return;
    }
    IniFieldStore(state.Copy, field.Offset, field.Width, *number);
    if (field.Offset == offsetof(oxHclData, Size)) {
        state.ImportedSize = *number;
    } else if (field.Offset == offsetof(oxHclData, HclCRC)) {
        state.ImportedCrc = *number;
    }
}

// The lines of a field's section in file order: a pool text is named by its key, the other
// sections count every line, so a line pasted with a key that stands already is taken too.
// Nothing when the section holds none (the field is missing) or more than the field's count
// (the section is ignored).
const std::vector<KeyValue>* SectionLines(const IniFile& file, const IniField& field,
                                          ImportState& state) {
    const std::vector<KeyValue>& lines =
        field.Kind == IniFieldKind::StringPool ? file.Keys(field.Name) : file.Lines(field.Name);
    if (lines.empty()) {
        if (field.Kind != IniFieldKind::StringPool) {
            state.Missing.push_back(field.Name);
        }
        return nullptr;
    }
    if (lines.size() > field.Count) {
        state.Overflows.push_back(field.Name);
        return nullptr;
    }
    return &lines;
}

// Each line through take(number, line), the values taken numbered 0, 1, 2, ... in file order; a
// line whose value is refused is reported and left out of the numbering. The count taken.
template <class Take>
uint32_t TakeLines(const std::vector<KeyValue>& lines, const IniField& field, ImportState& state,
                   Take take) {
    uint32_t found = 0;
    for (const KeyValue& line : lines) {
        if (take(found, line)) {
            ++found;
        } else {
            state.CannotImport.push_back(std::string(field.Name) + "/" + line.first);
        }
    }
    return found;
}

// True when a value of the field's section was taken; else the field is missing (the pool
// goes unreported: an empty pool has no section).
bool AnyTaken(const IniField& field, uint32_t found, ImportState& state) {
    if (found > 0) {
        return true;
    }
    if (field.Kind != IniFieldKind::StringPool) {
        state.Missing.push_back(field.Name);
    }
    return false;
}

// A section's values, each put by take(section, number, line) into a copy of the block whose
// field area is cleared; the area replaces the block's only when at least one value was taken,
// so no section wipes its field. The count of values taken (0 when the section was not read).
template <class Take>
uint32_t ReadArea(const IniFile& file, const IniField& field, ImportState& state, Take take) {
    const std::vector<KeyValue>* lines = SectionLines(file, field, state);
    if (!lines) {
        return 0;
    }
    oxHclData section = state.Copy;
    std::memset(BlockBytes(section) + field.Offset, 0, field.Width * field.Count);
    const uint32_t found =
        TakeLines(*lines, field, state, [&section, &take](uint32_t number, const KeyValue& line) {
            return take(section, number, line);
        });
    if (!AnyTaken(field, found, state)) {
        return 0;
    }
    std::memcpy(BlockBytes(state.Copy) + field.Offset, BlockBytes(section) + field.Offset,
                field.Width * field.Count);
    return found;
}

// A pool text labels the sequence entry that its key names, as the export writes it.
void ReadStringPool(const IniFile& file, const IniField& field, ImportState& state) {
    ReadArea(file, field, state, [](oxHclData& section, uint32_t, const KeyValue& line) {
        uint32_t position = 0;
        return KeyPosition(line.first, ChipDef::kMaxPoolTextIndex + 1, &position) &&
               ChipDef::SetPoolString(section.sLCD1StringPool, position, line.second.c_str());
    });
}

// The configuration bytes; fewer than the field's count are reported as a short array.
void ReadBytes(const IniFile& file, const IniField& field, ImportState& state) {
    const uint32_t found = ReadArea(
        file, field, state, [&field](oxHclData& section, uint32_t number, const KeyValue& line) {
            const std::optional<uint32_t> value = ReadHex(line.second, 8);
            if (value) {
                BlockBytes(section)[field.Offset + number] = static_cast<uint8_t>(*value);
            }
            return value.has_value();
        });
    if (found > 0 && found < field.Count) {
        state.ShortArrays.push_back(field.Name);
    }
}

void ReadLcdSequence(const IniFile& file, const IniField& field, ImportState& state) {
    ReadArea(file, field, state, [](oxHclData& section, uint32_t number, const KeyValue& line) {
        const std::optional<uint32_t> value = ReadHex(line.second, 8);
        if (value) {
            oxHclSetLcd1Reg(section, number, *value);
        }
        return value.has_value();
    });
}

// The list ends at its first end pair; one is put after a list without it, in place of the
// last pair when the list has no room left (that pair is kept for the report).
void EndRegisterList(std::vector<oxHclRegEntry>& pairs, ImportState& state) {
    if (std::any_of(pairs.begin(), pairs.end(),
                    [](const oxHclRegEntry& p) { return p.Index == oxHCL_REG_END; })) {
        return;
    }
    if (pairs.size() == oxHCL_REGSIZE) {
        state.ReplacedByEnd = pairs.back();
        pairs.back() = {oxHCL_REG_END, 0};
    } else {
        pairs.push_back({oxHCL_REG_END, 0});
    }
}

// The register pairs, kept apart from the block until they are merged or put in its place.
void ReadRegisterList(const IniFile& file, const IniField& field, ImportState& state) {
    const std::vector<KeyValue>* lines = SectionLines(file, field, state);
    if (!lines) {
        return;
    }
    // The list ends at its end pair: a line after it is left out and reported like a line that
    // cannot be read, so that no pair stands after the end pair in the block.
    std::vector<oxHclRegEntry> pairs;
    bool ended = false;
    const uint32_t found =
        TakeLines(*lines, field, state, [&pairs, &ended](uint32_t, const KeyValue& line) {
            const std::optional<oxHclRegEntry> pair = ReadRegPair(line.second);
            if (!pair || ended) {
                return false;
            }
            pairs.push_back(*pair);
            ended = pair->Index == oxHCL_REG_END;
            return true;
        });
    if (!AnyTaken(field, found, state)) {
        return;
    }
    EndRegisterList(pairs, state);
    pairs.resize(oxHCL_REGSIZE, oxHclRegEntry{0, 0});
    state.ImportedList = std::move(pairs);
}

void ReadField(const IniFile& file, const std::string& chipId, const IniField& field,
               ImportState& state) {
    switch (field.Kind) {
    case IniFieldKind::Scalar:
        ReadScalar(file, chipId, field, state);
        break;
    case IniFieldKind::StringPool:
        ReadStringPool(file, field, state);
        break;
    case IniFieldKind::Bytes:
        ReadBytes(file, field, state);
        break;
    case IniFieldKind::LcdSequence:
        ReadLcdSequence(file, field, state);
        break;
    case IniFieldKind::RegisterList:
        ReadRegisterList(file, field, state);
        break;
    }
}

// Keys of the chip's section and sections that are none of the fields.
void ListUnknownNames(const IniFile& file, const std::string& chipId,
                      std::vector<std::string>& names) {
    auto isField = [](const std::string& name) {
        return std::any_of(std::begin(kIniFields), std::end(kIniFields),
                           [&](const IniField& f) { return IniNamesEqual(f.Name, name); });
    };
    for (const KeyValue& key : file.Keys(chipId)) {
        if (!isField(key.first)) {
            names.push_back(key.first);
        }
    }
    for (const std::string& section : file.SectionNames()) {
        if (!IniNamesEqual(section, chipId) && !isField(section)) {
            names.push_back(section);
        }
    }
}

// The warnings, each list cut so that the whole report fits the caller's text.
class Report {
public:
    explicit Report(uint32_t size) : m_Size(size) {}

    void Add(const char* line) {
        if (m_Text.size() + std::strlen(line) < m_Size) {
            m_Text += line;
        }
    }
    void AddList(const char* title, const std::vector<std::string>& names) {
        if (names.empty()) {
            return;
        }
        const std::string head = std::string("\nWarning: ") + title + ":\n\t";
        const std::string tail = ".\n";
        const std::string more = ", ...";
        std::string joined;
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string piece = (i ? ", " : "") + names[i];
            const bool lastName = i + 1 == names.size();
            const size_t room = head.size() + joined.size() + piece.size() + tail.size() +
                                (lastName ? 0 : more.size());
            if (m_Text.size() + room >= m_Size) {
                joined += i ? more : "...";
                break;
            }
            joined += piece;
        }
        const std::string all = head + joined + tail;
        if (m_Text.size() + all.size() < m_Size) {
            m_Text += all;
        }
    }
    const std::string& Text() const { return m_Text; }

private:
    uint32_t m_Size;
    std::string m_Text;
};

// The warnings in their order, fitted to a text of textSize bytes.
std::string ImportReport(const ImportState& state, const RegListMergeWarnings& registers,
                         uint32_t textSize) {
    Report report(textSize);
    if (state.ImportedSize && *state.ImportedSize != oxHCL_DATA_SIZE) {
        report.Add("\nWarning: Configuration data structure size changed, import quality is "
                   "suspect.\n");
    } else if (state.ImportedCrc != 0 &&
               state.ImportedCrc != ChipDef::ComputeBlockCrc(state.Copy)) {
        report.Add("\nWarning: CRC mismatch, the import file may have been manually edited.\n");
    }
    report.AddList("The following items were not imported (missing)", state.Missing);
    report.AddList("The following items were not fully imported (short array)", state.ShortArrays);
    report.AddList("The following items were ignored (array overflow)", state.Overflows);
    report.AddList("The following items were ignored (cannot import)", state.CannotImport);
    report.AddList("The following registers were not imported (missing)", registers.Missing);
    report.AddList("The following registers were ignored (cannot import)", registers.Ignored);
    if (state.ReplacedByEnd) {
        std::string line;
        Appendf(line,
                "\nWarning: The register list is full, its end pair replaced the last imported "
                "pair:\n\t%04X,%04X.\n",
                state.ReplacedByEnd->Index, state.ReplacedByEnd->Value);
        report.Add(line.c_str());
    }
    return report.Text();
}

} // namespace

bool ChipDef::ImportIniFile(const char* fileName, char* text, uint32_t textSize,
                            bool replaceRegisterList) {
    const std::optional<IniFile> file = IniFile::Load(fileName ? fileName : "");
    return ImportIni(file ? *file : IniFile::Parse(""), fileName, text, textSize,
                     replaceRegisterList);
}

bool ChipDef::ImportIni(const IniFile& file, const char* fileName, char* text, uint32_t textSize,
                        bool replaceRegisterList) {
    const std::string chipId =
        exporttext::FieldText(m_HclData.szChipId, sizeof(m_HclData.szChipId));
    if (file.Keys(chipId).empty()) {
        std::string refusal;
        Appendf(refusal, "%s is not a %sSETUP import file, missing [%s] section!",
                fileName ? fileName : "", GetProductText(nullptr, 0x01), chipId.c_str());
        exporttext::Deliver(refusal, text, textSize, "iT < Size");
        return false;
    }

    ImportState state(m_HclData);
    for (const IniField& field : kIniFields) {
        ReadField(file, chipId, field, state);
    }
    ListUnknownNames(file, chipId, state.CannotImport);

    RegListMergeWarnings registers;
    if (state.ImportedList && replaceRegisterList) {
        if (ReplaceRegList(m_HclData, *state.ImportedList, state.Copy)) {
            m_fRegListImported = 1;
        }
    } else if (state.ImportedList) {
        registers = MergeRegList(m_HclData, *state.ImportedList, state.Copy);
    }
    exporttext::Deliver(ImportReport(state, registers, textSize), text, textSize, "iT < Size");

    state.Copy.Size = static_cast<uint16_t>(oxHCL_DATA_SIZE);
    state.Copy.HclCRC = ComputeBlockCrc(state.Copy);
    m_HclData = state.Copy;
    m_RegListCount = 0;
    while (m_RegListCount < oxHCL_REGSIZE &&
           oxHclGetReg(m_HclData, m_RegListCount).Index != oxHCL_REG_END) {
        ++m_RegListCount;
    }
    m_fInitialized = 0;
    m_fHotHotHot = 0;
    return true;
}
