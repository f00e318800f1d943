// The INI import of the configuration block: the fields that WriteIniFile writes, read into a
// copy of the block, the register list merged or replaced, and the warnings of what was not
// taken. The file comes from outside: every key and value is checked before it is stored.
#include "chipdef/ChipDef.h"
#include "chipdef/ExportText.h"
#include "chipdef/IniFields.h"
#include "common/Numbers.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using exporttext::Appendf;

namespace {

// The key of a pool entry as the sequence position it labels: decimal digits only, below count.
bool KeyPosition(const std::string& key, uint32_t count, uint32_t* position) {
    if (key.empty() || key.size() > 4) {
        return false;
    }
    uint32_t value = 0;
    for (char c : key) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    *position = value;
    return value < count;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

// A hexadecimal number of at most length characters at the start of text (blanks before it
// skipped), or nothing when no digit stands there.
std::optional<uint32_t> ReadHex(std::string_view text, size_t length) {
    text = SkipBlanks(text);
    if (text.empty() || !IsHexDigit(text.front())) {
        return std::nullopt;
    }
    const std::string digits(text.substr(0, length));
    return StrToNumN(digits.c_str(), digits.size(), 16);
}

// A register pair as the export writes it, "IIII,VVVV": the index from the first 4 characters
// and the value from the 4 after the separator. Blanks around either number and a shorter index
// are taken as well, and so is a pair without its separator ("IIIIVVVV", split after the
// index's 4 digits). Nothing when the index or the value has no digit.
std::optional<oxHclRegEntry> ReadRegPair(std::string_view text) {
    text = SkipBlanks(text);
    size_t digits = 0;
    while (digits < 4 && digits < text.size() && IsHexDigit(text[digits])) {
        ++digits;
    }
    const std::optional<uint32_t> index = ReadHex(text.substr(0, digits), 4);
    std::string_view rest = text.substr(digits);
    if (digits < 4 || rest.empty() || !IsHexDigit(rest.front())) {
        rest = SkipBlanks(rest);
        if (!rest.empty() && !IsHexDigit(rest.front())) {
            rest.remove_prefix(1); // the separator
        }
    }
    const std::optional<uint32_t> value = ReadHex(rest, 4);
    if (!index || !value) {
        return std::nullopt;
    }
    return oxHclRegEntry{static_cast<uint16_t>(*index), static_cast<uint16_t>(*value)};
}

// A hexadecimal number of at most length digits; blanks around it are skipped.
uint32_t HexValue(const std::string& text, size_t length) {
    return ReadHex(text, length).value_or(0);
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

    oxHclData copy = m_HclData;
    auto* bytes = reinterpret_cast<uint8_t*>(&copy);
    std::vector<std::string> missing, shortArrays, overflows, cannotImport;
    bool sizeRead = false;
    uint32_t importedSize = 0;
    uint32_t importedCrc = 0;
    std::vector<oxHclRegEntry> imported; // the imported register list, 593 pairs
    bool pairsRead = false;
    std::optional<oxHclRegEntry> replacedByEnd; // the pair that a full list's end pair took

    for (const IniField& field : kIniFields) {
        uint32_t found = 0;
        if (field.Kind == IniFieldKind::Scalar) {
            const std::optional<std::string> value = file.Value(chipId, field.Name);
            if (!value) {
                missing.push_back(field.Name);
                continue;
            }
            found = 1;
            const bool keepsOwn = field.Offset == 0 || field.Offset == 532 || field.Offset == 540;
            if (keepsOwn) {
                // The block's identity: changing it would lose the block in the saved file or
                // make it another chip's or the other byte order's.
                std::string own;
                if (field.IsText) {
                    own = exporttext::FieldText(bytes + field.Offset, field.Width);
                } else {
                    Appendf(own, "%0*X", static_cast<int>(field.Width * 2),
                            IniFieldLoad(copy, field.Offset, field.Width));
                }
                const bool same =
                    field.IsText ? *value == own : HexValue(*value, 8) == HexValue(own, 8);
                if (!same) {
                    cannotImport.push_back(field.Name);
                }
                continue;
            }
            if (field.IsText) {
                std::memset(bytes + field.Offset, 0, field.Width);
                const size_t length = std::min<size_t>(value->size(), field.Width - 1);
                std::memcpy(bytes + field.Offset, value->data(), length);
                continue;
            }
            const uint32_t number = HexValue(*value, 8);
            IniFieldStore(copy, field.Offset, field.Width, number);
            if (field.Offset == 528) {
                sizeRead = true;
                importedSize = number;
            } else if (field.Offset == 530) {
                importedCrc = number;
            }
            continue;
        }

        // A pool text is named by its key; the other sections count every line by its order,
        // so a line pasted with a key that stands already is taken too.
        const std::vector<IniFile::KeyValue>& keys =
            field.Kind == IniFieldKind::StringPool ? file.Keys(field.Name) : file.Lines(field.Name);
        if (keys.empty()) {
            if (field.Kind != IniFieldKind::StringPool) {
                missing.push_back(field.Name);
            }
            continue;
        }
        if (keys.size() > field.Count) {
            overflows.push_back(field.Name);
            continue;
        }
        // The keys are taken in file order and numbered by it; a value that cannot be read is
        // left out of the numbering. The field is built in a copy of its own and replaces the
        // block's only when at least one value was taken.
        oxHclData section = copy;
        std::memset(reinterpret_cast<uint8_t*>(&section) + field.Offset, 0,
                    field.Width * field.Count);
        std::vector<oxHclRegEntry> pairs;
        for (const IniFile::KeyValue& key : keys) {
            bool taken = false;
            switch (field.Kind) {
            case IniFieldKind::StringPool: {
                // A text labels the sequence entry that its key names, as the export writes it.
                uint32_t position = 0;
                taken = KeyPosition(key.first, ChipDef::kMaxPoolTextIndex + 1, &position) &&
                        SetPoolString(section.sLCD1StringPool, position, key.second.c_str());
                break;
            }
            case IniFieldKind::Bytes:
                if (const std::optional<uint32_t> value = ReadHex(key.second, 8)) {
                    reinterpret_cast<uint8_t*>(&section)[field.Offset + found] =
                        static_cast<uint8_t>(*value);
                    taken = true;
                }
                break;
            case IniFieldKind::LcdSequence:
                if (const std::optional<uint32_t> value = ReadHex(key.second, 8)) {
                    oxHclSetLcd1Reg(section, found, *value);
                    taken = true;
                }
                break;
            case IniFieldKind::RegisterList:
                if (const std::optional<oxHclRegEntry> pair = ReadRegPair(key.second)) {
                    pairs.push_back(*pair);
                    taken = true;
                }
                break;
            default:
                break;
            }
            if (!taken) {
                cannotImport.push_back(std::string(field.Name) + "/" + key.first);
                continue;
            }
            ++found;
        }
        if (found == 0) {
            if (field.Kind != IniFieldKind::StringPool) {
                missing.push_back(field.Name);
            }
            continue;
        }
        if (field.Kind == IniFieldKind::Bytes && found < field.Count) {
            shortArrays.push_back(field.Name);
        }
        if (field.Kind != IniFieldKind::RegisterList) {
            std::memcpy(bytes + field.Offset,
                        reinterpret_cast<const uint8_t*>(&section) + field.Offset,
                        field.Width * field.Count);
            continue;
        }
        // The list ends at its first end pair; one is put after a list without it, in place of
        // the last pair when the list has no room left.
        if (std::none_of(pairs.begin(), pairs.end(),
                         [](const oxHclRegEntry& p) { return p.Index == oxHCL_REG_END; })) {
            if (pairs.size() == oxHCL_REGSIZE) {
                replacedByEnd = pairs.back();
                pairs.back() = {oxHCL_REG_END, 0};
            } else {
                pairs.push_back({oxHCL_REG_END, 0});
            }
        }
        imported = pairs;
        imported.resize(oxHCL_REGSIZE, oxHclRegEntry{0, 0});
        pairsRead = true;
    }

    // Sections and chip keys that are none of the fields.
    auto isField = [](const std::string& name) {
        return std::any_of(std::begin(kIniFields), std::end(kIniFields),
                           [&](const IniField& f) { return IniNamesEqual(f.Name, name); });
    };
    for (const IniFile::KeyValue& key : file.Keys(chipId)) {
        if (!isField(key.first)) {
            cannotImport.push_back(key.first);
        }
    }
    for (const std::string& section : file.SectionNames()) {
        if (!IniNamesEqual(section, chipId) && !isField(section)) {
            cannotImport.push_back(section);
        }
    }

    std::vector<std::string> regsMissing, regsIgnored;
    if (pairsRead) {
        oxHclData importedBlock{};
        for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
            oxHclSetReg(importedBlock, i, imported[i]);
        }
        if (replaceRegisterList) {
            for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
                oxHclSetReg(copy, i, imported[i]);
            }
            for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
                const uint16_t was = oxHclGetReg(m_HclData, i).Index;
                if (was != imported[i].Index) {
                    m_fRegListImported = 1;
                    break;
                }
                if (imported[i].Index == oxHCL_REG_END) {
                    break;
                }
            }
        } else {
            // The current list keeps its order; values come from the imported occurrences.
            for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
                oxHclSetReg(copy, i, oxHclGetReg(m_HclData, i));
            }
            std::vector<bool> currentUsed(oxHCL_REGSIZE, false), importUsed(oxHCL_REGSIZE, false);
            for (uint32_t p = 0; p < oxHCL_REGSIZE && imported[p].Index != oxHCL_REG_END; ++p) {
                const uint32_t index = imported[p].Index;
                uint32_t cur[3] = {}, imp[3] = {};
                const uint32_t c =
                    FindRegListOccurrences(index, m_HclData, &cur[0], &cur[1], &cur[2]);
                const uint32_t n =
                    FindRegListOccurrences(index, importedBlock, &imp[0], &imp[1], &imp[2]);
                if (c == 0 || n == 0) {
                    continue;
                }
                // (current slot, imported slot): 0 first, 1 second, 2 last.
                std::vector<std::pair<int, int>> copies;
                const int ci = c >= 3 ? 3 : static_cast<int>(c);
                const int ni = n >= 3 ? 3 : static_cast<int>(n);
                auto lastOf = [](int count) { return count == 1 ? 0 : count == 2 ? 1 : 2; };
                if (ci == 1) {
                    copies = {{0, lastOf(ni)}};
                } else if (ni == 1) {
                    copies = {{lastOf(ci), 0}};
                } else if (ci == 3 && ni == 3) {
                    copies = {{0, 0}, {1, 1}, {2, 2}};
                } else {
                    copies = {{0, 0}, {lastOf(ci), lastOf(ni)}};
                }
                for (const auto& [to, from] : copies) {
                    oxHclRegEntry entry = oxHclGetReg(copy, cur[to]);
                    entry.Value = imported[imp[from]].Value;
                    oxHclSetReg(copy, cur[to], entry);
                    currentUsed[cur[to]] = true;
                    importUsed[imp[from]] = true;
                }
            }
            for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
                const oxHclRegEntry entry = oxHclGetReg(m_HclData, i);
                if (entry.Index == oxHCL_REG_END) {
                    break;
                }
                if (!currentUsed[i]) {
                    regsMissing.emplace_back();
                    Appendf(regsMissing.back(), "%04X", entry.Index);
                }
            }
            for (uint32_t i = 0; i < oxHCL_REGSIZE && imported[i].Index != oxHCL_REG_END; ++i) {
                if (!importUsed[i]) {
                    regsIgnored.emplace_back();
                    Appendf(regsIgnored.back(), "%04X", imported[i].Index);
                }
            }
        }
    }

    Report report(textSize);
    if (sizeRead && importedSize != oxHCL_DATA_SIZE) {
        report.Add("\nWarning: Configuration data structure size changed, import quality is "
                   "suspect.\n");
    } else if (importedCrc != 0 && importedCrc != ComputeBlockCrc(copy)) {
        report.Add("\nWarning: CRC mismatch, the import file may have been manually edited.\n");
    }
    report.AddList("The following items were not imported (missing)", missing);
    report.AddList("The following items were not fully imported (short array)", shortArrays);
    report.AddList("The following items were ignored (array overflow)", overflows);
    report.AddList("The following items were ignored (cannot import)", cannotImport);
    report.AddList("The following registers were not imported (missing)", regsMissing);
    report.AddList("The following registers were ignored (cannot import)", regsIgnored);
    if (replacedByEnd) {
        std::string line;
        Appendf(line,
                "\nWarning: The register list is full, its end pair replaced the last imported "
                "pair:\n\t%04X,%04X.\n",
                replacedByEnd->Index, replacedByEnd->Value);
        report.Add(line.c_str());
    }
    exporttext::Deliver(report.Text(), text, textSize, "iT < Size");

    oxHclStoreU16(copy, 528, static_cast<uint16_t>(oxHCL_DATA_SIZE));
    oxHclStoreU16(copy, 530, ComputeBlockCrc(copy));
    m_HclData = copy;
    m_RegListCount = 0;
    while (m_RegListCount < oxHCL_REGSIZE &&
           oxHclGetReg(m_HclData, m_RegListCount).Index != oxHCL_REG_END) {
        ++m_RegListCount;
    }
    m_fInitialized = 0;
    m_fHotHotHot = 0;
    return true;
}
