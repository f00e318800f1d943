#pragma once
// ChipDef: the concrete chip definition of the 47K20 controller. It holds a working copy of
// the program's configuration block (m_HclData), whose register initialisation list is the
// register list of ChipDefBase, loads the built-in chip database and selects the product that
// the block names. Each program holds one object (Play's g_ChipDef); tests make their own.
//
//     ChipDef chip;                          // template block, 47K20 selected
//     chip.SetFeatureValue("hdp", 320);      // changes REG[24h] in the block's register list
//     uint32_t hdp = chip.GetFeatureValue("hdp");
#include "chipdef/ChipDefBase.h"
#include "hcl/HclData.h"

// The identifying text of this chip's configuration block: the chip ID and " HAL EXE".
extern char g_HclIdText[32];

class ChipDef : public ChipDefBase {
public:
    ChipDef();
    ~ChipDef() override = default;

    /* 0 */ bool SelectProduct(const char* key) override;
    /* 1 */ const char* GetSummaryText(const char* prefix) override;
    /* 2 */ bool GetMemoryRegion(uint32_t kindMask, uint32_t i, char* name, uint32_t* address,
                                 uint32_t* size) override;
    /* 19 */ bool IsFeatureOutsideRegList(const char* name, uint32_t* regIndex) override;
    /* 22 */ bool Initialize(uint32_t initFlags, const char** errorText) override;
    /* 23 */ void RedrawPattern() override;
    /* 24 */ uint32_t ReadRegisterHot(uint32_t index) override;
    /* 25 */ bool WriteRegisterHot(uint32_t index, uint32_t value) override;
    /* 26 */ uint32_t GetRegListValue(uint32_t pos) override;
    /* 27 */ bool SetRegListValue(uint32_t pos, uint32_t value) override;
    /* 28 */ bool FindRegListEntry(uint32_t index, uint32_t* pos, bool first) override;
    /* 29 */ bool GetRegListIndex(uint32_t pos, uint32_t* index) override;

    // The working copy of the configuration block.
    const oxHclData& HclData() const { return m_HclData; }
    uint32_t GetRegListCount() const { return m_RegListCount; }

protected:
    oxHclData m_HclData{};
    uint32_t m_RegListCount = 0; // register-list entries before the end mark
    uint8_t m_fRegListImported = 0;
};
