// ChipDefBase: feature values as text (shown in the feature's radix, as a frequency, or as the
// name of a value entry), texts parsed back into values, and the value entries of list and bool
// features.
#include "chipdef/ChipDefBase.h"

#include "common/Assert.h"
#include "common/Numbers.h"
#include "common/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kSeqCommand = 0x10000000;
constexpr uint32_t kSeqParam = 0x20000000;
constexpr uint32_t kSeqDelay = 0x40000000;
constexpr uint32_t kSeqAp = 0x60000000;
constexpr uint32_t kSeqAs = 0x70000000;
constexpr uint32_t kMaxSeqText = 255;

const char* SequenceLetters(uint32_t kind) {
    switch (kind) {
    case kSeqCommand:
        return "c";
    case kSeqParam:
        return "p";
    case kSeqDelay:
        return "d";
    case kSeqAp:
        return "ap";
    case kSeqAs:
        return "as";
    default:
        return "";
    }
}

// Appends a formatted text to the pool text dst, cut at the end of the buffer.
void AppendText(char* dst, const char* text) {
    const size_t used = std::strlen(dst);
    if (text && used + 1 < ChipDefBase::kTextSize) {
        std::snprintf(dst + used, ChipDefBase::kTextSize - used, "%s", text);
    }
}

bool IsListType(uint32_t type) {
    return type == FT_LIST || type == FT_BOOL;
}

// The width in bits of the run of set bits from the mask's lowest set bit (1 for no bits).
int32_t MaskWidth(uint32_t mask) {
    int32_t high = 0;
    int32_t low = 0;
    MaskBitRange(mask, &high, &low);
    return high - low + 1;
}

// Calls visit(flags, data, entry text) for the entries of the sequence feature name in order,
// while it returns true.
template <typename Visit>
void ForEachSequenceEntry(ChipDefBase& chip, const char* name, Visit visit) {
    uint32_t flags = 0;
    uint32_t data = 0;
    const char* entryText = nullptr;
    for (uint32_t e = 0; chip.GetSequenceEntry(name, e, &flags, &data, &entryText); ++e) {
        if (!visit(flags, data, entryText)) {
            break;
        }
    }
}

bool EqualsWithUnit(const char* name, const char* unit, const char* text) {
    if (!name) {
        return false;
    }
    if (EqualsNoCase(name, text)) {
        return true;
    }
    if (!unit) {
        return false;
    }
    const size_t nameLength = std::strlen(name);
    const size_t textLength = std::strlen(text);
    return textLength == nameLength + std::strlen(unit) &&
           CompareNoCase(text, name, nameLength) == 0 && EqualsNoCase(text + nameLength, unit);
}

} // namespace

// ---- Value entries ----

bool ChipDefBase::FindListEntryByValue(uint32_t iFeature, uint32_t raw, uint32_t* entry) const {
    if (iFeature >= m_Features.size()) {
        return false;
    }
    const auto& values = m_Features[iFeature].Values;
    for (uint32_t e = 0; e < values.size(); ++e) {
        if (values[e].Index <= raw && raw <= values[e].ToIndex) {
            if (entry) {
                *entry = e;
            }
            return true;
        }
    }
    return false;
}

bool ChipDefBase::FindListEntryByText(uint32_t iFeature, const char* text, uint32_t* entry) const {
    if (iFeature >= m_Features.size() || !text) {
        return false;
    }
    const size_t length = std::strlen(text);
    uint32_t radix = 16;
    // An empty text names no entry, not the value 0.
    if (length > 0 && GetNumberRadix(text, length, 16, &radix) &&
        FindListEntryByValue(iFeature, StrToNumN(text, length, radix), entry)) {
        return true;
    }
    const ChipFeature& feature = m_Features[iFeature];
    for (uint32_t e = 0; e < feature.Values.size(); ++e) {
        const ChipFeatureValue& v = feature.Values[e];
        if (EqualsWithUnit(v.Value, feature.Unit, text) ||
            EqualsWithUnit(v.ReadValue, feature.Unit, text) ||
            EqualsWithUnit(v.WriteValue, feature.Unit, text)) {
            if (entry) {
                *entry = e;
            }
            return true;
        }
    }
    return false;
}

uint32_t ChipDefBase::GetListEntryPosition(const char* name, uint32_t n) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return 0;
    }
    const auto& values = m_Features[i].Values;
    uint32_t seen = 0;
    for (uint32_t e = 0; e < values.size(); ++e) {
        if (!IsInSelectedProduct(values[e].Product)) {
            continue;
        }
        if (!m_fShowReserved && values[e].Reserved && IsInSelectedProduct(values[e].Reserved)) {
            continue;
        }
        if (seen++ == n) {
            return e;
        }
    }
    return static_cast<uint32_t>(values.size());
}

const ChipFeatureValue* ChipDefBase::AvailableEntry(uint32_t iFeature, uint32_t n) {
    const ChipFeature& feature = m_Features[iFeature];
    const uint32_t pos = GetListEntryPosition(feature.KeyName, n);
    return pos < feature.Values.size() ? &feature.Values[pos] : nullptr;
}

ChipDefBase::ListEntryLookup ChipDefBase::LookUpListEntry(const char* name, uint32_t n,
                                                          bool quiet) {
    uint32_t i = 0;
    const bool known = quiet ? FindFeature(name, &i) : ResolveFeature(name, &i);
    if (!known || !Q3V_ASSERT(IsListType(m_Features[i].Type))) {
        return {};
    }
    if (m_Features[i].Values.empty()) {
        return {true, false, nullptr};
    }
    return {true, true, AvailableEntry(i, n)};
}

bool ChipDefBase::GetFeatureListEntry(const char* name, uint32_t n, uint32_t* index,
                                      uint32_t* toIndex) {
    const ListEntryLookup list = LookUpListEntry(name, n, false);
    // A feature without value entries has one entry, 0.
    if (!list.Found || (list.HasValues ? list.Entry == nullptr : n != 0)) {
        return false;
    }
    if (index) {
        *index = list.Entry ? list.Entry->Index : 0;
    }
    if (toIndex) {
        *toIndex = list.Entry ? list.Entry->ToIndex : 0;
    }
    return true;
}

bool ChipDefBase::IsListEntryInProduct(const char* name, uint32_t n) {
    const ListEntryLookup list = LookUpListEntry(name, n, true);
    return list.Found &&
           (!list.HasValues || (list.Entry && IsInSelectedProduct(list.Entry->Product)));
}

const ChipFeatureValue* ChipDefBase::QueriedEntry(const char* name, uint32_t n) {
    return LookUpListEntry(name, n, false).Entry;
}

bool ChipDefBase::IsListEntryReserved(const char* name, uint32_t n) {
    const ChipFeatureValue* entry = QueriedEntry(name, n);
    return entry && entry->Reserved && IsInSelectedProduct(entry->Reserved);
}

bool ChipDefBase::IsListEntryReadOnly(const char* name, uint32_t n) {
    const ChipFeatureValue* entry = QueriedEntry(name, n);
    return entry && entry->ReadValue && !entry->WriteValue;
}

bool ChipDefBase::IsListEntryWriteOnly(const char* name, uint32_t n) {
    const ChipFeatureValue* entry = QueriedEntry(name, n);
    return entry && entry->WriteValue && !entry->ReadValue;
}

bool ChipDefBase::IsListEntryDirectional(const char* name, uint32_t n) {
    const ChipFeatureValue* entry = QueriedEntry(name, n);
    return entry && (entry->ReadValue || entry->WriteValue);
}

bool ChipDefBase::GetFeatureListIndex(const char* name, uint32_t* ListIndex) {
    uint32_t i = 0;
    if (!Q3V_ASSERT_TEXT(ListIndex != nullptr, "ListIndex != NULL") || !ResolveFeature(name, &i) ||
        !Q3V_ASSERT(IsListType(m_Features[i].Type))) {
        return false;
    }
    *ListIndex = 0;
    if (m_Features[i].Values.empty()) {
        return true;
    }
    const uint32_t raw = GetFeatureRawValue(name);
    uint32_t first = 0;
    uint32_t last = 0;
    for (uint32_t n = 0; GetFeatureListEntry(name, n, &first, &last); ++n) {
        if (first <= raw && raw <= last) {
            *ListIndex = n;
            return true;
        }
    }
    return false;
}

bool ChipDefBase::SetFeatureListIndex(const char* name, uint32_t n) {
    const ListEntryLookup list = LookUpListEntry(name, n, false);
    if (!list.Found) {
        return false;
    }
    if (!list.HasValues) {
        return true;
    }
    if (!list.Entry) {
        return false; // no such entry: nothing is written
    }
    return SetFeatureRawValue(name, list.Entry->Index);
}

// ---- Values as text ----

void ChipDefBase::AppendSequenceEntry(std::string& out, uint32_t flags, uint32_t data,
                                      const char* entryText) {
    char number[48];
    number[0] = '\0';
    AppendNum(number, data, flags == kSeqDelay ? 10 : 16, 0);
    out += SequenceLetters(flags);
    out += number;
    if (entryText && entryText[0] != '\0') {
        out += '(';
        out += entryText;
        out += ')';
    }
}

void ChipDefBase::AppendSequenceEntry(char* text, uint32_t flags, uint32_t data,
                                      const char* entryText) {
    std::string entry;
    AppendSequenceEntry(entry, flags, data, entryText);
    AppendText(text, entry.c_str());
}

void ChipDefBase::FormatValue(char* text, const ChipFeature& feature, uint32_t value,
                              int hexDigits) {
    if (feature.Type == FT_FREQ) {
        AppendText(text, FreqToStr(value));
        return;
    }
    if (feature.Radix == 2) {
        char digits[48];
        NumToStr(digits, value, 2, 0, false, false);
        AppendText(text, digits);
    } else if (feature.Radix == 16) {
        std::snprintf(text, kTextSize, "%0*Xh", hexDigits, value);
    } else {
        std::snprintf(text, kTextSize, "%u", value);
    }
    AppendText(text, feature.Unit);
}

const char* ChipDefBase::GetFeatureText(const char* name, bool forRead) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return nullptr;
    }
    Q3V_ASSERT_TEXT(m_Features[i].WriteOnly == 0, "m_Features[iFeature].WriteOnly==false");
    const ChipFeature& feature = m_Features[i];
    if (feature.Type == FT_TEXT) {
        Q3V_ASSERT(false);
        return nullptr;
    }
    if (IsListType(feature.Type)) {
        return FormatFeatureValue(name, GetFeatureRawValue(name), forRead);
    }
    char* text = NextText();
    if (!text) {
        return nullptr;
    }
    if (feature.Type == FT_SEQU) {
        // The entries two blanks apart, as many as the text holds.
        const auto append = [text](uint32_t flags, uint32_t data, const char* entryText) {
            AppendSequenceEntry(text, flags, data, entryText);
            AppendText(text, "  ");
            return std::strlen(text) + 1 < kTextSize;
        };
        ForEachSequenceEntry(*this, name, append);
        const size_t length = std::strlen(text);
        if (length >= 2 && text[length - 1] == ' ' && text[length - 2] == ' ') {
            text[length - 2] = '\0';
        }
        return text;
    }
    FormatValue(text, feature, GetFeatureValue(name), (MaskWidth(feature.Mask) + 3) / 4);
    return text;
}

const char* ChipDefBase::FormatFeatureValue(const char* name, uint32_t raw, bool forRead) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return nullptr;
    }
    const ChipFeature& feature = m_Features[i];
    char* text = NextText();
    if (!text) {
        return nullptr;
    }
    if (feature.Type == FT_TEXT) {
        Q3V_ASSERT(false);
        return text;
    }
    if (feature.Type == FT_SEQU) {
        // The first entry whose data is the value.
        const auto appendMatch = [text, raw](uint32_t flags, uint32_t data, const char* entryText) {
            if (data != raw) {
                return true;
            }
            AppendSequenceEntry(text, flags, data, entryText);
            return false;
        };
        ForEachSequenceEntry(*this, name, appendMatch);
        return text;
    }
    if (IsListType(feature.Type)) {
        uint32_t e = 0;
        if (!FindListEntryByValue(i, raw, &e)) {
            std::snprintf(text, kTextSize, "[RESERVED SETTING OF %Xh]", raw);
        } else {
            const ChipFeatureValue& v = feature.Values[e];
            const char* shown = forRead ? (v.ReadValue ? v.ReadValue : v.Value)
                                        : (v.WriteValue ? v.WriteValue : v.Value);
            AppendText(text, shown);
        }
        AppendText(text, feature.Unit);
        return text;
    }
    uint32_t value = ApplyFeatureOp(ApplyFeatureOp(raw, feature.Op1, false), feature.Op2, false);
    value = std::clamp(value, std::min(feature.Min, feature.Max), feature.Max);
    FormatValue(text, feature, value, MaskWidth(feature.Mask) / 4 + 1);
    return text;
}

bool ChipDefBase::SetFeatureText(const char* name, const char* text) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i) || !text) {
        return false;
    }
    const ChipFeature& feature = m_Features[i];
    switch (feature.Type) {
    case FT_NUMB:
    case FT_ADDR:
        return SetFeatureValue(name, StrToNum(text, feature.Radix));
    case FT_FREQ:
        return SetFeatureValue(name, StrToFreq(text, 1000000));
    case FT_LIST: {
        uint32_t e = 0;
        if (!FindListEntryByText(i, text, &e)) {
            return false;
        }
        return SetFeatureRawValue(name, feature.Values[e].Index);
    }
    case FT_BOOL: {
        static constexpr const char* kTrueWords[] = {"Enabled", "True", "T", "On", "1"};
        static constexpr const char* kFalseWords[] = {"Disabled", "False", "F", "Off", "0"};
        int32_t bit = -1;
        for (const char* word : kTrueWords) {
            if (EqualsNoCase(text, word)) {
                bit = 1;
            }
        }
        for (const char* word : kFalseWords) {
            if (EqualsNoCase(text, word)) {
                bit = 0;
            }
        }
        if (bit < 0) {
            return false;
        }
        if (feature.Inverted) {
            bit = 1 - bit;
        }
        return SetFeatureRawValue(name, static_cast<uint32_t>(bit));
    }
    case FT_SEQU: {
        ClearSequenceTexts(name);
        uint32_t count = 0;
        bool result = true;
        const char* p = text;
        while (result && *p != '\0') {
            uint32_t kind = 0;
            const char c = *p++;
            if (c == 'c') {
                kind = kSeqCommand;
            } else if (c == 'p') {
                kind = kSeqParam;
            } else if (c == 'd') {
                kind = kSeqDelay;
            } else if (c == 'a') {
                kind = (*p == 'p') ? kSeqAp : kSeqAs;
                if (*p != '\0') {
                    ++p;
                }
            } else {
                while (*p != '\0' && *p != ';') {
                    ++p;
                }
                continue;
            }
            const uint32_t number = StrToNum(p, kind == kSeqDelay ? 10 : 16);
            while (*p != '\0' && *p != '(' && *p != ' ') {
                ++p;
            }
            char entryText[kMaxSeqText + 1] = {};
            if (*p == '(') {
                ++p;
                size_t n = 0;
                while (*p != '\0' && *p != ')' && *p != ';') {
                    if (n < kMaxSeqText) {
                        entryText[n++] = *p;
                    }
                    ++p;
                }
                if (*p == ')') {
                    ++p;
                }
            }
            result = SetSequenceEntry(name, count, kind, number, entryText);
            while (*p == ' ') {
                ++p;
            }
            if (result) {
                ++count;
            }
        }
        TruncateSequence(name, count);
        return result;
    }
    case FT_TEXT:
        Q3V_ASSERT(false);
        return false;
    default:
        return false;
    }
}

bool ChipDefBase::IsFeatureTextEqual(const char* name, const char* text) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i) || !text) {
        return false;
    }
    if (m_Features[i].Type == FT_SEQU) {
        bool matched = true;
        const char* p = text;
        uint32_t flags = 0;
        uint32_t data = 0;
        const char* entryText = nullptr;
        for (uint32_t e = 0; matched && GetSequenceEntry(name, e, &flags, &data, &entryText); ++e) {
            if (*p == '\0') {
                return false;
            }
            const char* letters = SequenceLetters(flags);
            const size_t n = std::strlen(letters);
            if (std::strncmp(p, letters, n) != 0) {
                matched = false;
                break;
            }
            p += n;
            if (*p != '\0') {
                if (StrToNumN(p, 0, flags == kSeqDelay ? 10 : 16) != data) {
                    matched = false;
                    break;
                }
            }
            while (*p != '\0' && *p != '(' && *p != ' ') {
                ++p;
            }
            if (*p == '(') {
                while (*p != '\0' && *p != ')') {
                    ++p;
                }
                if (*p == ')') {
                    ++p;
                }
            }
            while (*p == ' ') {
                ++p;
            }
        }
        return matched;
    }
    const char* shown = GetFeatureText(name, true);
    return shown && EqualsNoCase(shown, text);
}
