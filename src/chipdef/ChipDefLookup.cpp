// ChipDefBase: look-ups of features and registers, filtered by the selected product, and the
// per-feature and per-register queries built on them.
#include "chipdef/ChipDefBase.h"

#include "common/Assert.h"
#include "common/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kMaxNameLength = 127;

bool IsNumeric(uint32_t type) {
    return type == FT_NUMB || type == FT_ADDR || type == FT_FREQ;
}

// The low bits that a register of width bits holds; widths of 0 and above 32 are clamped.
uint32_t WidthMask(uint32_t width) {
    if (width >= 32) {
        return 0xFFFFFFFF;
    }
    return (1u << width) - 1u;
}

} // namespace

// ---- Features ----

bool ChipDefBase::FindFeature(const char* name, uint32_t* index) {
    if (!name || std::strlen(name) > kMaxNameLength || m_Features.empty()) {
        return false;
    }
    const uint32_t count = static_cast<uint32_t>(m_Features.size());
    const auto matches = [&](uint32_t i) {
        const ChipFeature& f = m_Features[i];
        return f.KeyName && EqualsNoCase(f.KeyName, name) && IsInSelectedProduct(f.Product);
    };
    uint32_t start = m_FeatCacheIndex < count ? m_FeatCacheIndex : 0;
    // A cached hit counts only while the row still answers the name under the current filter.
    if (m_FeatCacheIndex < count && std::strcmp(name, m_FeatCacheName) == 0 &&
        matches(m_FeatCacheIndex)) {
        if (index) {
            *index = m_FeatCacheIndex;
        }
        return true;
    }
    for (uint32_t n = 0; n < count; ++n) {
        const uint32_t i = (start + n) % count;
        if (matches(i)) {
            m_FeatCacheIndex = i;
            std::snprintf(m_FeatCacheName, sizeof m_FeatCacheName, "%s", name);
            if (index) {
                *index = i;
            }
            return true;
        }
    }
    return false;
}

bool ChipDefBase::ResolveFeature(const char* name, uint32_t* iFeature) {
    if (FindFeature(name, iFeature)) {
        return true;
    }
    Q3V_ASSERT(false);
    return false;
}

bool ChipDefBase::GetFeatureKey(uint32_t n, const char** key) const {
    // Callers walk n = 0, 1, 2 ...: the walk goes on from the row of the last answer.
    uint32_t seen = 0;
    uint32_t row = 0;
    if (m_KeyCursorRow < m_Features.size() && m_KeyCursorN <= n) {
        seen = m_KeyCursorN;
        row = m_KeyCursorRow;
    }
    for (; row < m_Features.size(); ++row) {
        const ChipFeature& f = m_Features[row];
        if (!IsInSelectedProduct(f.Product)) {
            continue;
        }
        if (seen == n) {
            m_KeyCursorN = n;
            m_KeyCursorRow = row;
            if (key) {
                *key = f.KeyName;
            }
            return true;
        }
        ++seen;
    }
    return false;
}

bool ChipDefBase::IsFeatureInProduct(const char* name) {
    uint32_t i = 0;
    return FindFeature(name, &i) && IsInSelectedProduct(m_Features[i].Product);
}

bool ChipDefBase::IsFeatureReserved(const char* name) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return false;
    }
    return m_Features[i].Reserved && IsInSelectedProduct(m_Features[i].Reserved);
}

bool ChipDefBase::IsFeatureReadOnly(const char* name) {
    uint32_t i = 0;
    return ResolveFeature(name, &i) && m_Features[i].ReadOnly;
}

bool ChipDefBase::IsFeatureWriteOnly(const char* name) {
    uint32_t i = 0;
    return ResolveFeature(name, &i) && m_Features[i].WriteOnly;
}

uint32_t ChipDefBase::GetFeatureType(const char* name) {
    uint32_t i = 0;
    return ResolveFeature(name, &i) ? m_Features[i].Type : 0;
}

const char* ChipDefBase::GetFeatureUnit(const char* name) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return nullptr;
    }
    return m_Features[i].Unit ? m_Features[i].Unit : "";
}

uint32_t ChipDefBase::GetFeatureRadix(const char* name) {
    uint32_t i = 0;
    return ResolveFeature(name, &i) ? m_Features[i].Radix : 0;
}

uint32_t ChipDefBase::NumericLimit(const char* name, uint32_t ChipFeature::*field) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return 0;
    }
    Q3V_ASSERT_TEXT(IsNumeric(m_Features[i].Type),
                    "m_Features[iFeature].Type==FT_NUMB || m_Features[iFeature].Type==FT_ADDR || "
                    "m_Features[iFeature].Type==FT_FREQ");
    return m_Features[i].*field;
}

uint32_t ChipDefBase::GetFeatureMin(const char* name) {
    return NumericLimit(name, &ChipFeature::Min);
}

uint32_t ChipDefBase::GetFeatureMax(const char* name) {
    return NumericLimit(name, &ChipFeature::Max);
}

uint32_t ChipDefBase::GetFeatureStep(const char* name) {
    return NumericLimit(name, &ChipFeature::Step);
}

uint32_t ChipDefBase::GetFeatureOffsetKind(const char* name) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return 0;
    }
    Q3V_ASSERT_TEXT(m_Features[i].Type == FT_ADDR, "m_Features[iFeature].Type==FT_ADDR");
    return m_Features[i].OffsetOf;
}

const char* ChipDefBase::SplitPartSuffix(const char* name, const char** suffix) {
    if (suffix) {
        *suffix = nullptr;
    }
    const size_t length = name ? std::strlen(name) : 0;
    if (length < 2 || LowerAscii(name[length - 2]) != 'b' || name[length - 1] < '0' ||
        name[length - 1] > '9') {
        return nullptr;
    }
    char* whole = NextText();
    if (!whole) {
        return nullptr;
    }
    const size_t kept = std::min<size_t>(length - 2, kTextSize - 1);
    std::memcpy(whole, name, kept);
    whole[kept] = '\0';
    if (suffix) {
        char* part = NextText();
        if (part) {
            part[0] = 'B';
            part[1] = name[length - 1];
            part[2] = '\0';
            *suffix = part;
        }
    }
    return whole;
}

bool ChipDefBase::IsLastPart(const char* name) {
    const size_t length = name ? std::strlen(name) : 0;
    if (length < 2 || LowerAscii(name[length - 2]) != 'b' || name[length - 1] < '0' ||
        name[length - 1] > '9' || length > kMaxNameLength) {
        return false;
    }
    char probe[kMaxNameLength + 1];
    std::memcpy(probe, name, length + 1);
    char highest = '0';
    for (char d = '0'; d <= '3'; ++d) {
        probe[length - 1] = d;
        if (FindFeature(probe, nullptr)) {
            highest = d;
        }
    }
    return name[length - 1] == highest;
}

// ---- Registers ----

bool ChipDefBase::FindRegister(uint32_t index, bool UseHCLList, uint32_t* row, uint32_t* regIndex) {
    if (UseHCLList && !GetRegListIndex(index, &index)) {
        return false;
    }
    if (regIndex) {
        *regIndex = index;
    }
    if (m_Registers.empty()) {
        return false;
    }
    const uint32_t count = static_cast<uint32_t>(m_Registers.size());
    const auto matches = [&](uint32_t i) {
        const ChipRegister& r = m_Registers[i];
        if (!IsInSelectedProduct(r.Product)) {
            return false;
        }
        return r.Reg == index || (r.Reg < index && index <= r.RegEnd && r.RegStep != 0 &&
                                  (index - r.Reg) % r.RegStep == 0);
    };
    if (m_RegCacheRow < count && m_RegCacheIndex == index && matches(m_RegCacheRow)) {
        if (row) {
            *row = m_RegCacheRow;
        }
        return true;
    }
    const uint32_t start = m_RegCacheRow < count ? m_RegCacheRow : 0;
    for (uint32_t n = 0; n < count; ++n) {
        const uint32_t i = (start + n) % count;
        if (matches(i)) {
            m_RegCacheRow = i;
            m_RegCacheIndex = index;
            if (row) {
                *row = i;
            }
            return true;
        }
    }
    return false;
}

bool ChipDefBase::IsRegisterInProduct(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    return FindRegister(index, UseHCLList, &row, nullptr) &&
           IsInSelectedProduct(m_Registers[row].Product);
}

bool ChipDefBase::IsRegisterReserved(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    return FindRegister(index, UseHCLList, &row, nullptr) && m_Registers[row].Reserved &&
           IsInSelectedProduct(m_Registers[row].Reserved);
}

bool ChipDefBase::IsRegisterSafeTest(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    return FindRegister(index, UseHCLList, &row, nullptr) && m_Registers[row].SafeTest;
}

bool ChipDefBase::IsRegisterReadOnly(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    return FindRegister(index, UseHCLList, &row, nullptr) && m_Registers[row].ReadOnly;
}

bool ChipDefBase::IsRegisterWriteOnly(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    return FindRegister(index, UseHCLList, &row, nullptr) && m_Registers[row].WriteOnly;
}

const char* ChipDefBase::GetRegisterCategory(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    if (!FindRegister(index, UseHCLList, &row, nullptr) || !m_Registers[row].Category) {
        return "";
    }
    return m_Registers[row].Category;
}

const char* ChipDefBase::GetRegisterDesc(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    if (!FindRegister(index, UseHCLList, &row, nullptr) || !m_Registers[row].Desc) {
        return "";
    }
    return m_Registers[row].Desc;
}

uint32_t ChipDefBase::GetRegisterDefault(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    return FindRegister(index, UseHCLList, &row, nullptr) ? m_Registers[row].Default : 0;
}

uint32_t ChipDefBase::CountRegistersInProduct() const {
    uint32_t count = 0;
    for (const ChipRegister& r : m_Registers) {
        if (IsInSelectedProduct(r.Product)) {
            ++count;
        }
    }
    return count;
}

bool ChipDefBase::GetRegisterIndex(bool UseHCLList, uint32_t n, uint32_t* index, bool includeFake) {
    Q3V_ASSERT(UseHCLList == false);
    uint32_t seen = 0;
    for (const ChipRegister& r : m_Registers) {
        if (!IsInSelectedProduct(r.Product) || (r.FakeReg && !includeFake)) {
            continue;
        }
        if (seen++ == n) {
            if (index) {
                *index = r.Reg;
            }
            return true;
        }
    }
    return false;
}

uint32_t ChipDefBase::GetRegisterValueWidth(uint32_t index, bool UseHCLList) {
    uint32_t row = 0;
    if (FindRegister(index, UseHCLList, &row, nullptr)) {
        return m_Registers[row].BitWidth / 4;
    }
    return m_DefaultValueWidth;
}

void ChipDefBase::GetRegisterBitMasks(uint32_t index, bool UseHCLList, bool includeReserved,
                                      uint32_t* readable, uint32_t* writable, uint32_t* undefined) {
    uint32_t row = 0;
    uint32_t read = 0xFFFFFFFF;
    uint32_t write = 0xFFFFFFFF;
    uint32_t undef = 0;
    if (FindRegister(index, UseHCLList, &row, nullptr)) {
        const uint32_t widthMask = WidthMask(m_Registers[row].BitWidth);
        bool hasFeatures = false;
        uint32_t defined = 0;
        uint32_t readBits = 0;
        uint32_t writeBits = 0;
        for (const ChipFeature& f : m_Features) {
            if (!IsInSelectedProduct(f.Product) || f.Reg != index || f.Mask == kWholeRegister) {
                continue;
            }
            hasFeatures = true;
            defined |= f.Mask;
            if (!includeReserved && f.Reserved && IsInSelectedProduct(f.Reserved)) {
                continue;
            }
            if (!f.ReadOnly) {
                writeBits |= f.Mask;
            }
            if (!f.WriteOnly) {
                readBits |= f.Mask;
            }
        }
        if (hasFeatures) {
            read = readBits & widthMask;
            write = writeBits & widthMask;
            undef = ~defined & widthMask;
        } else {
            read = widthMask;
            write = widthMask;
        }
    }
    if (readable) {
        *readable = read;
    }
    if (writable) {
        *writable = write;
    }
    if (undefined) {
        *undefined = undef;
    }
}

const char* ChipDefBase::GetFeatureAtBit(uint32_t index, bool UseHCLList, uint32_t bit) {
    if (!FindRegister(index, UseHCLList, nullptr, nullptr)) {
        Q3V_ASSERT(false);
        return nullptr;
    }
    if (bit >= 32) {
        return nullptr; // no register holds a bit 32
    }
    for (const ChipFeature& f : m_Features) {
        if (IsInSelectedProduct(f.Product) && !f.Spans && !f.Overlap && f.Reg == index &&
            (f.Mask & (1u << bit)) != 0) {
            return f.KeyName;
        }
    }
    return nullptr;
}
