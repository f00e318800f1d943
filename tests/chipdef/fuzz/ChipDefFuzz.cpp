// Fuzz entry of the chip database loader: the input is split into lines at "\n" and loaded;
// then every look-up, text and set runs over what loaded, for every product and in and out of
// hot mode. Assertions are recorded, not fatal (the library goes on with its fallback result);
// any crash or sanitizer report is a fault.
#include "chipdef/ChipDefTestDouble.h"
#include "common/Assert.h"
#include "support/FuzzChecks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using q3vtest::FuzzCheck;

// Every query of one feature that the base answers.
void ExerciseFeature(ListChip& chip, const char* key) {
    if (!chip.IsFeatureInProduct(key)) {
        return;
    }
    const uint32_t type = chip.GetFeatureType(key);
    chip.IsFeatureReserved(key);
    chip.IsFeatureReadOnly(key);
    chip.IsFeatureWriteOnly(key);
    chip.GetFeatureUnit(key);
    chip.GetFeatureRadix(key);
    const char* suffix = nullptr;
    chip.SplitPartSuffix(key, &suffix);
    chip.IsLastPart(key);
    if (type == FT_NUMB || type == FT_ADDR || type == FT_FREQ) {
        chip.GetFeatureMin(key);
        chip.GetFeatureMax(key);
        chip.GetFeatureStep(key);
    }
    if (type == FT_ADDR) {
        chip.GetFeatureOffsetKind(key);
    }
    if (type == FT_TEXT) {
        return;
    }
    const uint32_t raw = chip.GetFeatureRawValue(key);
    const uint32_t value = chip.GetFeatureValue(key);
    for (bool forRead : {true, false}) {
        const char* text = chip.GetFeatureText(key, forRead);
        FuzzCheck(text == nullptr || std::strlen(text) < ChipDefBase::kTextSize);
        const char* formatted = chip.FormatFeatureValue(key, raw ^ 0x5A5A, forRead);
        FuzzCheck(formatted == nullptr || std::strlen(formatted) < ChipDefBase::kTextSize);
    }
    const std::string shown = chip.GetFeatureText(key, true) ? chip.GetFeatureText(key, true) : "";
    chip.IsFeatureTextEqual(key, shown.c_str());
    chip.SetFeatureRawValue(key, raw + 1);
    chip.SetFeatureRawValue(key, 0xFFFFFFFF);
    chip.SetFeatureValue(key, value);
    chip.SetFeatureValue(key, 0xFFFFFFFF);
    for (const char* text : {"1", "On", "off", "0_1h", "12.5 MHz", "", "c2A(x) p1 d10;q"}) {
        chip.SetFeatureText(key, text);
    }
    chip.SetFeatureText(key, shown.c_str());
    if (type == FT_LIST || type == FT_BOOL) {
        uint32_t first = 0;
        uint32_t last = 0;
        uint32_t listIndex = 0;
        for (uint32_t n = 0; n < 4; ++n) {
            chip.GetFeatureListEntry(key, n, &first, &last);
            chip.IsListEntryInProduct(key, n);
            chip.IsListEntryReserved(key, n);
            chip.IsListEntryReadOnly(key, n);
            chip.IsListEntryWriteOnly(key, n);
            chip.IsListEntryDirectional(key, n);
            chip.SetFeatureListIndex(key, n);
        }
        chip.SetFeatureListIndex(key, 0xFFFFFFFF);
        chip.GetFeatureListIndex(key, &listIndex);
    }
}

void ExerciseAll(ListChip& chip) {
    const auto features = chip.Features();
    for (uint32_t i = 0; i < features.size(); ++i) {
        const ChipFeature& f = features[i];
        for (uint32_t v : {0u, 1u, 7u, 0xFFFFFFFFu}) {
            ChipDefBase::ApplyFeatureOp(v, f.Op1, false);
            ChipDefBase::ApplyFeatureOp(v, f.Op1, true);
            ChipDefBase::ApplyFeatureOp(v, f.Op2, false);
            ChipDefBase::ApplyFeatureOp(v, f.Op2, true);
        }
        uint32_t entry = 0;
        chip.FindListEntryByValue(i, 1, &entry);
        chip.FindListEntryByText(i, "1", &entry);
        if (f.KeyName) {
            ExerciseFeature(chip, f.KeyName);
        }
    }
    const char* key = nullptr;
    for (uint32_t n = 0; chip.GetFeatureKey(n, &key); ++n) {
    }
    for (const ChipRegister& r : chip.Registers()) {
        chip.IsRegisterInProduct(r.Reg, false);
        chip.IsRegisterReserved(r.Reg, false);
        chip.IsRegisterSafeTest(r.Reg, false);
        chip.IsRegisterReadOnly(r.Reg, false);
        chip.IsRegisterWriteOnly(r.Reg, false);
        chip.GetRegisterCategory(r.Reg, false);
        chip.GetRegisterDesc(r.Reg, false);
        chip.GetRegisterDefault(r.Reg, false);
        chip.GetRegisterValueWidth(r.Reg, false);
        uint32_t readable = 0;
        uint32_t writable = 0;
        uint32_t undefined = 0;
        chip.GetRegisterBitMasks(r.Reg, false, true, &readable, &writable, &undefined);
        chip.GetRegisterBitMasks(r.Reg, false, false, nullptr, nullptr, nullptr);
        for (uint32_t bit : {0u, 15u, 31u, 32u, 40u}) {
            chip.GetFeatureAtBit(r.Reg, false, bit);
        }
        chip.SetRegisterValue(r.Reg, false, chip.GetRegisterValue(r.Reg, false) ^ 1);
    }
    uint32_t index = 0;
    for (uint32_t n = 0; chip.GetRegisterIndex(false, n, &index, true); ++n) {
    }
    chip.CountRegistersInProduct();
    for (uint32_t i = 0; i < chip.Categories().size(); ++i) {
        char keyText[16];
        char name[16];
        chip.GetCategory(i, keyText, name, sizeof keyText);
        chip.IsCategoryInProduct(keyText);
    }
    chip.GetProductText(nullptr, 0x1C1);
    chip.GetProductSpec(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool s_Installed = (q3vtest::CountAssertions(), true);
    (void)s_Installed;
    if (size > 65536) {
        return 0;
    }
    ListChip chip;
    chip.LoadDocument(std::string(reinterpret_cast<const char*>(data), size));
    char diagnostics[ChipDefBase::kTextSize] = "";
    const uint32_t length = chip.GetDiagnosticText(diagnostics, sizeof diagnostics);
    FuzzCheck(length < sizeof diagnostics && std::strlen(diagnostics) == length);

    // A register list holding every register of the database, values from the input's size.
    std::vector<std::pair<uint32_t, uint32_t>> list;
    for (const ChipRegister& r : chip.Registers()) {
        if (list.size() < 64) {
            list.emplace_back(r.Reg, static_cast<uint32_t>(size * 2654435761u));
        }
    }
    chip.SetList(list);

    std::vector<std::string> products{"all"};
    for (const ChipProduct& p : chip.Products()) {
        if (p.KeyName && products.size() < 4) {
            products.emplace_back(p.KeyName);
        }
    }
    for (const std::string& product : products) {
        chip.SelectProduct(product.c_str());
        chip.SetSpanLimits();
        for (bool hot : {false, true}) {
            chip.SetHotMode(hot);
            ExerciseAll(chip);
            chip.Accesses().clear();
        }
    }
    return 0;
}
