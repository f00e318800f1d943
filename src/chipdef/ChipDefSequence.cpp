// ChipDef: the LCD initialisation sequence "lcdseq" (the block's 768 LCD1 entries, a flag
// nibble and 28 data bits each) and the strings pool that holds the entries' comment texts: a
// packed run of {tag = position + 1, text, NUL}, ended by a zero tag, in 256 bytes.
#include "chipdef/ChipDef.h"

#include "common/Assert.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kPoolSize = sizeof(oxHclData::sLCD1StringPool);

// One entry of the pool's run: where it starts, its tag, its text and where the next begins.
struct PoolEntry {
    uint32_t Start;
    uint8_t Tag;
    const char* Text;
    uint32_t Next;
};

// The entry that starts at offset, or false at the run's end: a zero tag, the pool's end, or
// a text without its NUL inside the pool.
bool ReadPoolEntry(const char* pool, uint32_t offset, PoolEntry* entry) {
    if (offset >= kPoolSize || pool[offset] == '\0') {
        return false;
    }
    const uint32_t textStart = offset + 1;
    const size_t length =
        textStart < kPoolSize ? strnlen(pool + textStart, kPoolSize - textStart) : 0;
    if (textStart + length >= kPoolSize) {
        return false;
    }
    entry->Start = offset;
    entry->Tag = static_cast<uint8_t>(pool[offset]);
    entry->Text = pool + textStart;
    entry->Next = textStart + static_cast<uint32_t>(length) + 1;
    return true;
}

} // namespace

const char* ChipDef::GetPoolString(const char* pool, uint32_t ListIndex) {
    if (!pool || ListIndex > kMaxPoolTextIndex) {
        return nullptr;
    }
    PoolEntry entry{};
    for (uint32_t offset = 0; ReadPoolEntry(pool, offset, &entry); offset = entry.Next) {
        if (entry.Tag == ListIndex + 1) {
            return entry.Text;
        }
    }
    return nullptr;
}

bool ChipDef::SetPoolString(char* pool, uint32_t ListIndex, const char* text) {
    const bool hasText = text && text[0] != '\0';
    if (!pool || ListIndex > kMaxPoolTextIndex) {
        // No tag names these positions: a text is not stored, and no other entry changes.
        return !hasText;
    }
    const uint8_t tag = static_cast<uint8_t>(ListIndex + 1);
    char rebuilt[kPoolSize] = {};
    uint32_t used = 0;
    PoolEntry entry{};
    for (uint32_t offset = 0; ReadPoolEntry(pool, offset, &entry); offset = entry.Next) {
        if (entry.Tag != tag) {
            const uint32_t size = entry.Next - entry.Start;
            std::memcpy(rebuilt + used, pool + entry.Start, size);
            used += size;
        }
    }
    bool stored = true;
    if (hasText) {
        // The tag, the text, its NUL and the two closing zero bytes must fit.
        const size_t length = std::strlen(text);
        if (used + 1 + length + 1 + 2 <= kPoolSize) {
            rebuilt[used] = static_cast<char>(tag);
            std::memcpy(rebuilt + used + 1, text, length + 1);
        } else {
            stored = false;
        }
    }
    std::memcpy(pool, rebuilt, kPoolSize);
    return stored;
}

bool ChipDef::GetStringPoolEntry(const char* pool, uint32_t n, uint32_t* ListIndex,
                                 const char** text) {
    if (!pool) {
        return false;
    }
    PoolEntry entry{};
    uint32_t seen = 0;
    for (uint32_t offset = 0; ReadPoolEntry(pool, offset, &entry); offset = entry.Next) {
        if (seen++ == n) {
            if (ListIndex) {
                *ListIndex = entry.Tag - 1u;
            }
            if (text) {
                *text = entry.Text;
            }
            return true;
        }
    }
    return false;
}

bool ChipDef::IsSequence(const char* name) {
    uint32_t i = 0;
    return FindFeature(name, &i) && m_Features[i].NeedCode && m_Features[i].KeyName &&
           std::strcmp(m_Features[i].KeyName, "lcdseq") == 0;
}

bool ChipDef::GetSequenceEntry(const char* name, uint32_t i, uint32_t* flags, uint32_t* data,
                               const char** text) {
    if (!IsSequence(name) || i >= kSequenceCapacity) {
        return false;
    }
    const uint32_t entry = oxHclGetLcd1Reg(m_HclData, i);
    const uint32_t entryFlags = entry & oxHCL_LCD_FLAGMASK;
    if (flags) {
        *flags = entryFlags;
    }
    if (data) {
        *data = entry & oxHCL_LCD_DATAMASK;
    }
    if (text) {
        *text = GetPoolString(m_HclData.sLCD1StringPool, i);
    }
    return entryFlags != 0;
}

void ChipDef::ClearSequenceTexts(const char* name) {
    if (!IsSequence(name)) {
        return;
    }
    std::memset(m_HclData.sLCD1StringPool, 0, sizeof m_HclData.sLCD1StringPool);
    m_DroppedPoolTexts.clear();
}

bool ChipDef::SetSequenceEntry(const char* name, uint32_t i, uint32_t flags, uint32_t data,
                               const char* text) {
    // Data that reaches the flag nibble would change the entry's kind.
    if (!IsSequence(name) || i >= kSequenceCapacity || data > oxHCL_LCD_DATAMASK) {
        return false;
    }
    oxHclSetLcd1Reg(m_HclData, i, flags | data);
    // The entry stands even when its text finds no room: the text is dropped with a warning.
    const bool stored = SetPoolString(m_HclData.sLCD1StringPool, i, text);
    const auto dropped = std::find(m_DroppedPoolTexts.begin(), m_DroppedPoolTexts.end(), i);
    if (stored && dropped != m_DroppedPoolTexts.end()) {
        m_DroppedPoolTexts.erase(dropped);
    } else if (!stored && dropped == m_DroppedPoolTexts.end()) {
        m_DroppedPoolTexts.push_back(i);
    }
    return true;
}

uint32_t ChipDef::GetSequenceCapacity(const char* name) {
    return IsSequence(name) ? kSequenceCapacity : 0;
}

uint32_t ChipDef::GetSequenceLength(const char* name) {
    if (!IsSequence(name)) {
        return 0;
    }
    uint32_t length = 0;
    while (length < kSequenceCapacity &&
           oxHclGetLcd1Reg(m_HclData, length) != oxHCL_LCD_ENDOFTABLE) {
        ++length;
    }
    return length;
}

bool ChipDef::TruncateSequence(const char* name, uint32_t i) {
    if (!IsSequence(name) || i > kSequenceCapacity) {
        return false;
    }
    for (uint32_t e = i; e < kSequenceCapacity; ++e) {
        oxHclSetLcd1Reg(m_HclData, e, oxHCL_LCD_ENDOFTABLE);
    }
    return true;
}

const char* ChipDef::SequenceText() {
    // A full sequence is far longer than a pool text; cutting it would lose entries when the
    // text is set again, so it is built in a buffer of its own, valid until the next call.
    m_SequenceText.clear();
    uint32_t flags = 0;
    uint32_t data = 0;
    const char* entryText = nullptr;
    for (uint32_t e = 0; GetSequenceEntry("lcdseq", e, &flags, &data, &entryText); ++e) {
        if (e > 0) {
            m_SequenceText += "  ";
        }
        AppendSequenceEntry(m_SequenceText, flags, data, entryText);
    }
    return m_SequenceText.c_str();
}
