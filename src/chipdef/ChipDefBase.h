#pragma once
// ChipDefBase: the generic chip-definition engine. It owns the tables of the XML chip database
// (products, categories, registers, features and their named values), remembers the selected
// product and filters every look-up by it, converts feature values between register bits,
// numbers and text, and keeps register values either in the register list of the derived class
// or, in hot mode, in the live chip through the derived class's hot-access slots.
//
// The derived class supplies the register list and the chip (the pure slots); every operation
// of the base calls the slots through the object, so the derived class's computed features take
// part everywhere. Texts that operations return come from the object's pool of 32 texts of
// 4096 bytes and stay valid while 31 further texts are taken; callers copy what they keep.
//
//     MyChip chip;                                    // derived; loads a database
//     chip.LoadXmlDatabase(lines, lineCount);
//     chip.SelectProduct("47K20");
//     chip.SetSpanLimits();
//     if (chip.IsFeatureInProduct("hdp")) {
//         chip.SetFeatureValue("hdp", 160);
//         std::puts(chip.GetFeatureText("hdp", true)); // "160 pixels"
//     }
#include "chipdef/ChipDefRecords.h"
#include "chipdef/TextStore.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

struct StrPool;
struct ChipDefLoadState;

class ChipDefBase {
public:
    ChipDefBase();
    virtual ~ChipDefBase();
    ChipDefBase(const ChipDefBase&) = delete;
    ChipDefBase& operator=(const ChipDefBase&) = delete;

    // Size of every text taken from the object's pools, and of the diagnostics buffer.
    static constexpr uint32_t kTextSize = 4096;
    static constexpr uint32_t kMaxTempFValues = 50;

    // ---- The 30 virtual operations, in slot order ----
    /* 0 */ virtual bool SelectProduct(const char* key);
    /* 1 */ virtual const char* GetSummaryText(const char* prefix) = 0;
    /* 2 */ virtual bool GetMemoryRegion(uint32_t kindMask, uint32_t i, char* name,
                                         uint32_t* address, uint32_t* size) = 0;
    /* 3 */ virtual bool GetRegisterIndex(bool UseHCLList, uint32_t n, uint32_t* index,
                                          bool includeFake);
    /* 4 */ virtual uint32_t GetFeatureRawValue(const char* name);
    /* 5 */ virtual bool SetFeatureRawValue(const char* name, uint32_t raw);
    /* 6 */ virtual const char* GetFeatureText(const char* name, bool forRead);
    /* 7 */ virtual bool SetFeatureText(const char* name, const char* text);
    /* 8 */ virtual uint32_t GetFeatureValue(const char* name);
    /* 9 */ virtual uint32_t GetFeatureMin(const char* name);
    /* 10 */ virtual uint32_t GetFeatureMax(const char* name);
    /* 11 */ virtual uint32_t GetFeatureStep(const char* name);
    /* 12 */ virtual bool SetFeatureValue(const char* name, uint32_t value);
    /* 13 */ virtual bool GetSequenceEntry(const char* name, uint32_t i, uint32_t* flags,
                                           uint32_t* data, const char** text);
    /* 14 */ virtual void ClearSequenceTexts(const char* name);
    /* 15 */ virtual bool SetSequenceEntry(const char* name, uint32_t i, uint32_t flags,
                                           uint32_t data, const char* text);
    /* 16 */ virtual uint32_t GetSequenceCapacity(const char* name);
    /* 17 */ virtual uint32_t GetSequenceLength(const char* name);
    /* 18 */ virtual bool TruncateSequence(const char* name, uint32_t i);
    /* 19 */ virtual bool IsFeatureOutsideRegList(const char* name, uint32_t* regIndex) = 0;
    /* 20 */ virtual uint32_t GetDiagnosticText(char* text, uint32_t size);
    /* 21 */ virtual uint32_t GetWarningText(char* text, uint32_t size);
    /* 22 */ virtual bool Initialize(uint32_t initFlags, const char** errorText) = 0;
    /* 23 */ virtual void RedrawPattern() = 0;
    /* 24 */ virtual uint32_t ReadRegisterHot(uint32_t index) = 0;
    /* 25 */ virtual bool WriteRegisterHot(uint32_t index, uint32_t value) = 0;
    /* 26 */ virtual uint32_t GetRegListValue(uint32_t pos) = 0;
    /* 27 */ virtual bool SetRegListValue(uint32_t pos, uint32_t value) = 0;
    /* 28 */ virtual bool FindRegListEntry(uint32_t index, uint32_t* pos, bool first) = 0;
    /* 29 */ virtual bool GetRegListIndex(uint32_t pos, uint32_t* index) = 0;

    // ---- Loading (ChipDefLoader.cpp) ----
    // Loads the database from lineCount line texts (without line ends) once per object. False
    // when the text is not well-formed XML ("CHIPDEF ERROR: XML error at line ..." is added to
    // the diagnostics; the rows stored before the error stay) or when the parser cannot be made.
    bool LoadXmlDatabase(const char* const* lines, uint32_t lineCount);
    // Min and Max of the split features of the selected product, from their parts.
    void SetSpanLimits();
    // Appends one formatted message to the diagnostics; a message that does not fit whole is
    // dropped.
    void AddDiagnostic(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // ---- The tables, row by row ----
    std::span<const ChipProduct> Products() const { return m_Products; }
    std::span<const ChipCategory> Categories() const { return m_Categories; }
    std::span<const ChipRegister> Registers() const { return m_Registers; }
    std::span<const ChipFeature> Features() const { return m_Features; }
    uint32_t GetMaxRegIdentLen() const { return m_MaxRegIdentLen; }
    uint32_t GetDefaultValueWidth() const { return m_DefaultValueWidth; }

    // ---- Products and the product filter ----
    bool IsInSelectedProduct(const char* list) const;
    const char* GetSelectedProductKey() const;
    // Copies KEYNAME of row i into key (size bytes, cut to fit); false past the end.
    bool GetProductKey(uint32_t i, char* key, uint32_t size) const;
    const char* GetProductText(const char* key, uint32_t flags);
    const char* GetProductSpec(const char* key);
    bool FindProduct(const char* key, uint32_t* row) const;

    // ---- Categories ----
    bool FindCategory(const char* key, uint32_t* row) const;
    // Copies KEYNAME and NAME of row i into the buffers that are not nullptr (size bytes each).
    bool GetCategory(uint32_t i, char* key, char* name, uint32_t size) const;
    bool IsCategoryInProduct(const char* key) const;
    bool IsCategoryReserved(const char* key) const;

    // ---- Features (names ignore case) ----
    bool FindFeature(const char* name, uint32_t* index);
    bool GetFeatureKey(uint32_t n, const char** key) const;
    bool IsFeatureInProduct(const char* name);
    bool IsFeatureReserved(const char* name);
    bool IsFeatureReadOnly(const char* name);
    bool IsFeatureWriteOnly(const char* name);
    uint32_t GetFeatureType(const char* name);
    const char* GetFeatureUnit(const char* name);
    uint32_t GetFeatureRadix(const char* name);
    uint32_t GetFeatureOffsetKind(const char* name);
    const char* SplitPartSuffix(const char* name, const char** suffix);
    bool IsLastPart(const char* name);

    // ---- Registers ----
    bool FindRegister(uint32_t index, bool UseHCLList, uint32_t* row, uint32_t* regIndex);
    bool IsRegisterInProduct(uint32_t index, bool UseHCLList);
    bool IsRegisterReserved(uint32_t index, bool UseHCLList);
    bool IsRegisterSafeTest(uint32_t index, bool UseHCLList);
    bool IsRegisterReadOnly(uint32_t index, bool UseHCLList);
    bool IsRegisterWriteOnly(uint32_t index, bool UseHCLList);
    const char* GetRegisterCategory(uint32_t index, bool UseHCLList);
    const char* GetRegisterDesc(uint32_t index, bool UseHCLList);
    uint32_t GetRegisterDefault(uint32_t index, bool UseHCLList);
    uint32_t CountRegistersInProduct() const;
    uint32_t GetDefaultIndexWidth() const { return m_DefaultIndexWidth; }
    uint32_t GetRegisterValueWidth(uint32_t index, bool UseHCLList);
    void GetRegisterBitMasks(uint32_t index, bool UseHCLList, bool includeReserved,
                             uint32_t* readable, uint32_t* writable, uint32_t* undefined);
    const char* GetFeatureAtBit(uint32_t index, bool UseHCLList, uint32_t bit);
    bool GetShowReserved() const { return m_fShowReserved != 0; }
    void SetShowReserved(bool on) { m_fShowReserved = on ? 1 : 0; }

    // ---- Feature values (ChipDefValues.cpp) ----
    uint32_t ExtractFeatureBits(uint32_t iFeature, uint32_t registerValue) const;
    static uint32_t ApplyFeatureOp(uint32_t value, const char* opText, bool inverse);

    // ---- Register values and hot mode ----
    uint32_t GetRegisterValue(uint32_t index, bool UseHCLList);
    bool SetRegisterValue(uint32_t index, bool UseHCLList, uint32_t value);
    // For a register that the list holds twice: firstValue into the first entry, secondValue
    // into the last; in hot mode only secondValue reaches the chip.
    bool SetRegisterValuePair(uint32_t index, uint32_t firstValue, uint32_t secondValue);
    bool SetHotMode(bool on);
    bool IsHotMode() const { return m_fHotHotHot != 0; }
    bool IsChipInitialized() const { return m_fInitialized != 0; }
    // Resets the chip ("swreset" 0) when it was initialised; leaves hot mode. Always true.
    bool ReleaseChip();

    // ---- Redraw of the test pattern after a change of a display-size feature ----
    bool SetAutoRedraw(bool on);
    bool GetAutoRedraw() const { return m_fAutoRedraw != 0; }
    bool SetRedrawOption(bool on);
    bool GetRedrawOption() const { return m_fRedrawOption != 0; }
    // Runs the pending redraw (RedrawPattern) once when auto-redraw is on.
    void FlushRedraw();

    // ---- Feature texts and value entries (ChipDefTexts.cpp) ----
    const char* FormatFeatureValue(const char* name, uint32_t raw, bool forRead);
    bool IsFeatureTextEqual(const char* name, const char* text);
    bool FindListEntryByValue(uint32_t iFeature, uint32_t raw, uint32_t* entry) const;
    bool FindListEntryByText(uint32_t iFeature, const char* text, uint32_t* entry) const;
    // Array position of the n-th entry available for the product; the number of entries when
    // there is no such entry.
    uint32_t GetListEntryPosition(const char* name, uint32_t n);
    bool GetFeatureListEntry(const char* name, uint32_t n, uint32_t* index, uint32_t* toIndex);
    bool IsListEntryInProduct(const char* name, uint32_t n);
    bool IsListEntryReserved(const char* name, uint32_t n);
    bool IsListEntryReadOnly(const char* name, uint32_t n);
    bool IsListEntryWriteOnly(const char* name, uint32_t n);
    bool IsListEntryDirectional(const char* name, uint32_t n);
    bool GetFeatureListIndex(const char* name, uint32_t* ListIndex);
    bool SetFeatureListIndex(const char* name, uint32_t n);

    // ---- Register and feature texts and listings (ChipDefLabels.cpp, ChipDefListings.cpp) ----
    // Flags of GetFeatureLocationText and GetRegisterLabel.
    static constexpr uint32_t kLocName = 0x01;
    static constexpr uint32_t kLocPlace = 0x02;
    static constexpr uint32_t kLocBits = 0x04;
    static constexpr uint32_t kLocAccess = 0x08;
    static constexpr uint32_t kLocShort = 0x10;
    static constexpr uint32_t kLocIdentifier = 0x20;
    // Width of the location column beside an explanation.
    static constexpr uint32_t kLocColumnWidth = 20;
    const char* GetFeatureLocationText(const char* name, uint32_t flags);
    // "UNKNOWN" when the register is not found.
    const char* GetRegisterLabel(uint32_t index, bool UseHCLList, uint32_t flags);
    const char* GetPartialBitsNote(const char* name);
    // The explanation of a feature, written into buffer (capacity bytes) from its start; every
    // line but the first begins with separator, every line with prefix (either may be nullptr).
    void GetFeatureExplanation(const char* name, char* buffer, size_t capacity, const char* prefix,
                               const char* separator, bool withColumn, uint32_t width);
    // The register's bit map and the explanations of its features (or the compact form).
    char* GetRegisterDetailText(uint32_t index, char* buffer, size_t capacity, bool UseHCLList,
                                const char* prefix, const char* separator, uint32_t width,
                                bool compact);
    // Every register of the product in detail, for NumTextCols (at least 74) columns.
    char* GetQuickReference(char* buffer, size_t capacity, const char* separator,
                            uint32_t NumTextCols);
    // text with a blank before its first decimal digit ("*8" gives "* 8"), in one static buffer.
    static const char* SpaceBeforeDigits(const char* text);
    // Line n of the location column of feature row iFeature (rebuilt when line 0 is asked).
    const char* GetLocationColumnLine(uint32_t iFeature, uint32_t width, uint32_t line);

protected:
    // A text of kTextSize bytes from the first pool (or the second), emptied.
    char* NextText();
    char* NextText2();
    // Looks a name up among the product's features; asserts "false" when it is unknown.
    bool ResolveFeature(const char* name, uint32_t* iFeature);
    // The feature's value entries available for the product (n-th), nullptr past the end.
    const ChipFeatureValue* AvailableEntry(uint32_t iFeature, uint32_t n);
    // A list or bool feature looked up for its n-th available entry.
    struct ListEntryLookup {
        bool Found = false;                      // name is a list or bool feature of the product
        bool HasValues = false;                  // it has value entries
        const ChipFeatureValue* Entry = nullptr; // the n-th of them; nullptr past them or none
    };
    // An unknown name asserts unless quiet; a feature of another type always asserts.
    ListEntryLookup LookUpListEntry(const char* name, uint32_t n, bool quiet);
    // The n-th available entry of a list or bool feature for the IsListEntry... queries;
    // nullptr when the feature has none or n is past them (asserts for other features).
    const ChipFeatureValue* QueriedEntry(const char* name, uint32_t n);
    // MIN, MAX or STEP of a numeric feature.
    uint32_t NumericLimit(const char* name, uint32_t ChipFeature::*field);
    // Calls visit(part row, bit position) for each part B0..B7 of a split feature that exists
    // for the product; the bit position grows by each part's field width.
    void ForEachSplitPart(const char* key,
                          const std::function<void(uint32_t iPart, uint32_t shift)>& visit);
    // The value into text: a frequency feature's as a frequency, any other's as a number in the
    // feature's radix (hexDigits digits for radix 16) with its unit.
    void FormatValue(char* text, const ChipFeature& feature, uint32_t value, int hexDigits);
    // One sequence entry as "c2A(text)" appended to text (a pool text), or to out.
    static void AppendSequenceEntry(char* text, uint32_t flags, uint32_t data,
                                    const char* entryText);
    static void AppendSequenceEntry(std::string& out, uint32_t flags, uint32_t data,
                                    const char* entryText);

    // Tables (rows allocated = the capacities counted by the loader's first pass).
    std::vector<ChipProduct> m_Products;
    uint32_t m_MaxProducts = 0;
    uint32_t m_SelectedProduct = 0xFFFFFFFF;
    std::vector<ChipCategory> m_Categories;
    uint32_t m_MaxCategories = 0;
    std::vector<ChipRegister> m_Registers;
    uint32_t m_MaxRegisters = 0;
    std::vector<ChipFeatureValue> m_TempFValues;
    uint32_t m_MaxTempFValues = kMaxTempFValues;
    std::vector<ChipFeature> m_Features;
    uint32_t m_MaxFeatures = 0;
    char* m_ErrDiagnoseBuf = nullptr; // kTextSize bytes, made on the first message
    uint32_t m_DefaultIndexWidth = 4;
    uint32_t m_DefaultValueWidth = 4;
    uint32_t m_MaxRegIdentLen = 0;
    uint8_t m_fShowReserved = 1;
    StrPool* m_TextPool = nullptr;
    StrPool* m_TextPool2 = nullptr;
    uint8_t m_fHclAcquired = 0;
    uint8_t m_fInitialized = 0;
    uint8_t m_fHotHotHot = 0;
    uint8_t m_fAutoRedraw = 0;
    uint8_t m_fRedrawOption = 0;
    uint32_t m_RedrawPending = 0;
    uint32_t m_RegCacheRow = 0xFFFFFFFF;
    uint32_t m_RegCacheIndex = 0xFFFFFFFF;
    uint32_t m_FeatCacheIndex = 0xFFFFFFFF;
    char m_FeatCacheName[128] = "invalid";
    // GetFeatureKey's place: the row of the n-th feature of the product, 0xFFFFFFFF = none.
    mutable uint32_t m_KeyCursorN = 0;
    mutable uint32_t m_KeyCursorRow = 0xFFFFFFFF;
    uint8_t m_fInsideFeature = 0;
    std::vector<std::string> m_LocColumn; // lines of the location column of one feature

private:
    friend struct ChipDefLoadState;
    void EmptyCaches();
    void OnStartElement(const char* name, const char** atts);
    void OnEndElement(const char* name);
    void StartProduct(const char** atts);
    void StartCategory(const char** atts);
    void StartRegisters(const char** atts);
    void StartRegister(const char** atts);
    void StartFeature(const char** atts);
    void StartFeatureValue(const char** atts);
    void EndFeature();
    void SetFeatureKeyName(ChipFeature& feature, const char* value);
    void SetFeatureIndexOf(ChipFeature& feature, const char* value);
    void ApplyFeatureAttribute(ChipFeature& row, const char* name, const char* value);
    void FinishFeature(ChipFeature& row);
    // Row of part digit d of a split feature (name + "B" + d) for the product; false when absent.
    bool FindSplitPart(const char* name, uint32_t digit, uint32_t* iPart);
    // Reads the register value a feature's bits live in (plain or indexed).
    uint32_t ReadFeatureRegister(const ChipFeature& feature);
    bool WriteFeatureRegister(const ChipFeature& feature, uint32_t value);

    TextStore m_Texts; // every text of the tables
    // While loading: the keys of the features without a PRODUCT list, which must be unique.
    std::unordered_set<std::string_view> m_KeysWithoutProduct;
    bool m_MinGiven = false;
    bool m_MaxGiven = false;
};
