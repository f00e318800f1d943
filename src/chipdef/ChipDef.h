#pragma once
// ChipDef: the concrete chip definition of the 47K20 controller. It holds a working copy of
// the program's configuration block (m_HclData), whose register initialisation list is the
// register list of ChipDefBase, loads the built-in chip database and selects the product that
// the block names. It answers the computed features (clocks, sizes, the block's own settings,
// the LCD initialisation sequence "lcdseq" with its strings pool), reaches the live chip in hot
// mode through the layer's front API, starts the chip from its block (Initialize) and gives the
// one-screen summary and the block services of the configuration utility (CRC, byte swap, text
// formatters). Each program holds one object (Play's g_ChipDef); tests make their own.
//
//     ChipDef chip;                          // template block, 47K20 selected
//     chip.SetFeatureValue("hdp", 320);      // changes REG[24h] in the block's register list
//     uint32_t hdp = chip.GetFeatureValue("hdp");
//     std::fputs(chip.GetSummaryText("  "), stdout);
#include "chipdef/ChipDefBase.h"
#include "chipdef/ExportOptions.h"
#include "hcl/HclData.h"

class IniFile;

#include <string>
#include <vector>

// The identifying text of this chip's configuration block: the chip ID and " HAL EXE".
extern char g_HclIdText[32];

// An entry of the chip's memory-region list.
struct MemoryRegion {
    char Name[128];
    uint32_t Address;
    uint32_t Size;
    uint32_t Flag;
};

class ChipDef : public ChipDefBase {
public:
    ChipDef();
    // Touches no pool text: the pools may already be gone when the program's object ends.
    ~ChipDef() override = default;

    // The summary text's size, and the kinds of memory regions.
    static constexpr uint32_t SUMMARY_SIZE = 4096;
    static constexpr uint32_t kSequenceCapacity = oxHCL_LCD1SIZE;
    // A strings-pool tag is the sequence position + 1 in one byte: positions 0 .. 254.
    static constexpr uint32_t kMaxPoolTextIndex = 254;

    /* 0 */ bool SelectProduct(const char* key) override;
    /* 1 */ const char* GetSummaryText(const char* prefix) override;
    /* 2 */ bool GetMemoryRegion(uint32_t kindMask, uint32_t i, char* name, uint32_t* address,
                                 uint32_t* size) override;
    /* 4 */ uint32_t GetFeatureRawValue(const char* name) override;
    /* 5 */ bool SetFeatureRawValue(const char* name, uint32_t raw) override;
    /* 6 */ const char* GetFeatureText(const char* name, bool forRead) override;
    /* 7 */ bool SetFeatureText(const char* name, const char* text) override;
    /* 9 */ uint32_t GetFeatureMin(const char* name) override;
    /* 10 */ uint32_t GetFeatureMax(const char* name) override;
    /* 13 */ bool GetSequenceEntry(const char* name, uint32_t i, uint32_t* flags, uint32_t* data,
                                   const char** text) override;
    /* 14 */ void ClearSequenceTexts(const char* name) override;
    /* 15 */ bool SetSequenceEntry(const char* name, uint32_t i, uint32_t flags, uint32_t data,
                                   const char* text) override;
    /* 16 */ uint32_t GetSequenceCapacity(const char* name) override;
    /* 17 */ uint32_t GetSequenceLength(const char* name) override;
    /* 18 */ bool TruncateSequence(const char* name, uint32_t i) override;
    /* 19 */ bool IsFeatureOutsideRegList(const char* name, uint32_t* regIndex) override;
    /* 20 */ uint32_t GetDiagnosticText(char* text, uint32_t size) override;
    /* 21 */ uint32_t GetWarningText(char* text, uint32_t size) override;
    /* 22 */ bool Initialize(uint32_t initFlags, const char** errorText) override;
    /* 23 */ void RedrawPattern() override;
    /* 24 */ uint32_t ReadRegisterHot(uint32_t index) override;
    /* 25 */ bool WriteRegisterHot(uint32_t index, uint32_t value) override;
    /* 26 */ uint32_t GetRegListValue(uint32_t pos) override;
    /* 27 */ bool SetRegListValue(uint32_t pos, uint32_t value) override;
    /* 28 */ bool FindRegListEntry(uint32_t index, uint32_t* pos, bool first) override;
    /* 29 */ bool GetRegListIndex(uint32_t pos, uint32_t* index) override;

    // ---- The register list ----
    bool GetRegisterIndexByOrdinal(bool UseHCLList, uint32_t n, uint32_t* index);
    // Keeps the entries of the selected product's registers in order, the end mark after them
    // and zeros behind it. A list without end mark keeps all its entries.
    void CompactRegList();
    // Counts the entries of index in a block's list (the end mark counts when 255 is asked);
    // first, second and the last from the third on are the positions (each may be nullptr).
    static uint32_t FindRegListOccurrences(uint32_t index, const oxHclData& block, uint32_t* first,
                                           uint32_t* second, uint32_t* third);

    // ---- The strings pool of the LCD sequence ----
    // The text of the entry for sequence position ListIndex, or nullptr (also from 255 on).
    static const char* GetPoolString(const char* pool, uint32_t ListIndex);
    // Replaces the entry's text; nullptr or "" removes it. False when the text is not stored:
    // positions from 255 (no tag names them) and texts that do not fit the pool's 256 bytes.
    static bool SetPoolString(char* pool, uint32_t ListIndex, const char* text);
    // The n-th entry in pool order: its sequence position and text. False past the end.
    static bool GetStringPoolEntry(const char* pool, uint32_t n, uint32_t* ListIndex,
                                   const char** text);

    // ---- Block services ----
    static uint16_t ComputeBlockCrc(const oxHclData& block);
    // Swaps the block's multi-byte fields in place for the other byte order; the LCD sequence,
    // the texts and the configuration bytes stay as they are.
    static void SwapBlockByteOrder(oxHclData& block);
    const char* FormatHclFlags(uint32_t flags);
    const char* FormatModeFlags(uint32_t flags);
    // bytes as the body of a C string literal, stopping after nulCount consecutive NULs;
    // nullptr when the result would not fit one pool text.
    const char* EscapeCString(const uint8_t* bytes, uint32_t nulCount);
    // Replaces the last "," before position (inside text) by a blank; false when there is none.
    static bool DropLastComma(char* text, char* position);

    // ---- Configuration export (ChipDefExport*.cpp) ----
    // Each writes its text into buffer (size bytes, NUL-terminated, LF line ends) and returns
    // its length; 0 and nothing written when buffer is nullptr. The text must fit.
    uint32_t WriteHclDataSource(char* buffer, uint32_t size, const ExportOptions* options);
    uint32_t WriteRegisterHeader(char* buffer, uint32_t size, const ExportOptions* options);
    uint32_t WriteWinCeHeader(char* buffer, uint32_t size, const ExportOptions* options);
    uint32_t WriteGenericHeader(char* buffer, uint32_t size, const ExportOptions* options);
    uint32_t WriteCsv(char* buffer, uint32_t size, const ExportOptions* options);
    uint32_t WriteQuickReference(char* buffer, uint32_t size, const ExportOptions* options);
    // Refreshes the block's CRC field first. A text holding a line break (LF or CR) is written
    // up to it, and the file's head names it in a warning comment.
    uint32_t WriteIniFile(char* buffer, uint32_t size, const ExportOptions* options);
    // The names of the texts WriteIniFile writes up to a line break ("szConfigString",
    // "sLCD1StringPool/<position>"), in the file's order; empty when every text is one line.
    std::vector<std::string> IniTextsWithLineBreaks() const;

    // Reads an INI file of WriteIniFile into the block; text (textSize bytes) receives the
    // warnings. False, with the block unchanged, only when the file has no section for the chip.
    // The block keeps its own ID string, chip ID and byte order.
    bool ImportIniFile(const char* fileName, char* text, uint32_t textSize,
                       bool replaceRegisterList);
    // The same over a file already read; fileName only names it in the refusal.
    bool ImportIni(const IniFile& file, const char* fileName, char* text, uint32_t textSize,
                   bool replaceRegisterList);

    // The working copy of the configuration block.
    const oxHclData& HclData() const { return m_HclData; }
    oxHclData& MutableHclData() { return m_HclData; }
    uint32_t GetRegListCount() const { return m_RegListCount; }
    void SetRegListImported(bool on) { m_fRegListImported = on ? 1 : 0; }

protected:
    oxHclData m_HclData{};
    uint32_t m_RegListCount = 0; // register-list entries before the end mark
    uint8_t m_fRegListImported = 0;

private:
    // Which computed feature a NeedCode row is; kNone when ChipDef does not answer it.
    int ComputedKind(const char* name);
    uint32_t ComputedRawValue(int kind);
    bool SetComputedRawValue(int kind, uint32_t raw);
    // The register width (8, 16, 32) of a hot access; false when the index is no chip register.
    bool HotAccessWidth(uint32_t index, uint32_t* width);
    bool IsSequence(const char* name);
    const char* SequenceText();
    void AppendSummary(char* summary, size_t* used, const char* format, ...)
        __attribute__((format(printf, 4, 5)));

    std::string m_SequenceText;               // lcdseq as text (longer than a pool text)
    std::vector<uint32_t> m_DroppedPoolTexts; // sequence positions whose texts had no room
};
