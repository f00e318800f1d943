// ChipDef: construction from the program's configuration block, product selection, the memory
// regions and the diagnostic text.
#include "chipdef/ChipDef.h"

#include "chipdef/ChipDefXml.h"
#include "common/Assert.h"

#include <cstdio>
#include <cstring>

char g_HclIdText[32] = "";

namespace {

constexpr const char* kImportedListText = "Register list has been changed by imported data!\n";

// The block's chip ID as a text (the field holds at most 8 characters, NUL-padded).
void ChipIdText(const oxHclData& block, char (&id)[sizeof(oxHclData::szChipId) + 1]) {
    std::memcpy(id, block.szChipId, sizeof block.szChipId);
    id[sizeof block.szChipId] = '\0';
}

} // namespace

ChipDef::ChipDef() {
    std::memcpy(&m_HclData, &oxgHclInfo, sizeof m_HclData);
    m_DefaultIndexWidth = 4;
    m_fRegListImported = 0;
    char id[sizeof(oxHclData::szChipId) + 1];
    ChipIdText(m_HclData, id);
    std::snprintf(g_HclIdText, sizeof g_HclIdText, "%s HAL EXE", id);

    const bool loaded = LoadXmlDatabase(ChipDefXml, ChipDefXmlLineCount);
    Q3V_ASSERT(loaded);

    // A list that fills all its entries has no end mark: every entry counts.
    m_RegListCount = 0;
    while (m_RegListCount < oxHCL_REGSIZE &&
           oxHclGetReg(m_HclData, m_RegListCount).Index != oxHCL_REG_END) {
        ++m_RegListCount;
    }
    const bool selected = SelectProduct(id);
    Q3V_ASSERT(selected);
    SetSpanLimits();
    CompactRegList();
}

bool ChipDef::SelectProduct(const char* key) {
    if (!ChipDefBase::SelectProduct(key)) {
        return false;
    }
    // The chip-ID field holds 7 characters and the NUL.
    std::memset(m_HclData.szChipId, 0, sizeof m_HclData.szChipId);
    std::memcpy(m_HclData.szChipId, key, strnlen(key, sizeof m_HclData.szChipId - 1));
    return true;
}

bool ChipDef::GetMemoryRegion(uint32_t kindMask, uint32_t i, char* name, uint32_t* address,
                              uint32_t* size) {
    // The chip's one region is its base address; the other kinds have none.
    if ((kindMask & 1) == 0 || i != 0) {
        return false;
    }
    MemoryRegion region{};
    std::snprintf(region.Name, sizeof region.Name, "%s", "Chip Base Address");
    region.Address = kindMask == 1 ? GetFeatureValue("baseaddr") : 0;
    region.Size = 0;
    region.Flag = 1;
    if (name) {
        std::memcpy(name, region.Name, sizeof region.Name);
    }
    if (address) {
        *address = region.Address;
    }
    if (size) {
        *size = region.Size;
    }
    return true;
}

uint32_t ChipDef::GetDiagnosticText(char* text, uint32_t size) {
    if (!Q3V_ASSERT_TEXT(text != nullptr, "Text!=NULL") || !m_fRegListImported || size == 0) {
        return 0;
    }
    // The message is given whole or not at all.
    const uint32_t length = static_cast<uint32_t>(std::strlen(kImportedListText));
    if (length >= size) {
        return 0;
    }
    std::memcpy(text, kImportedListText, length + 1);
    return length;
}

uint32_t ChipDef::GetWarningText(char* text, uint32_t size) {
    if (!Q3V_ASSERT_TEXT(text != nullptr, "Text!=NULL")) {
        return 0;
    }
    uint32_t used = ChipDefBase::GetWarningText(text, size);
    for (uint32_t position : m_DroppedPoolTexts) {
        char message[160];
        const int length = std::snprintf(
            message, sizeof message,
            "WARNING: The text of lcdseq entry %u was dropped (no room in the strings pool).\n",
            position);
        if (length < 0 || used + static_cast<uint32_t>(length) >= size) {
            break;
        }
        std::memcpy(text + used, message, static_cast<size_t>(length) + 1);
        used += static_cast<uint32_t>(length);
    }
    return used;
}

void ChipDef::RedrawPattern() {}
