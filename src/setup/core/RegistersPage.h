#pragma once
// The Registers page's logic: one row per entry of the configuration's register list, the
// texts of its five columns, the marks of entries the user set by hand (" *") and of those that
// another page changed afterwards (" !"), the status-box notice about the latter, the hot-row
// tooltip and the register dialog's check of a new value. The page's widgets only show what
// this answers. The marks belong to the file that is open: opening another file or an import
// that replaces the register list clears them.
#include "chipdef/ChipDef.h"

#include <cstdint>
#include <string>
#include <vector>

enum class RegisterMark : int32_t { None = 0, Manual = 1, Overwritten = 2 };

struct RegisterRowState {
    RegisterMark Mark = RegisterMark::None;
    uint32_t ManualValue = 0;
    uint32_t UnmodifiedValue = 0;
    uint32_t ShownValue = 0;
};

struct RegisterRowTexts {
    std::string Reg;
    std::string Name;
    std::string Hex;
    std::string Bin;
    std::string Dec;
};

class RegistersPage {
public:
    static constexpr uint32_t kMaxRegListSize = 1024;

    // The page opens: rows set by hand whose value changed meanwhile become overwritten.
    void Track(ChipDef& chip);
    // The rows of the list in order; rows not set by hand take their current value as the
    // unmodified one. Returns the number of rows.
    uint32_t Fill(ChipDef& chip);
    // The texts of a row; the shown value is recorded.
    RegisterRowTexts RowTexts(ChipDef& chip, uint32_t row);
    // The status box's notice about overwritten rows ("" when there is none).
    std::string OverwrittenNotice(ChipDef& chip) const;
    // The tooltip of the row under the mouse.
    std::string HotTip(ChipDef& chip, uint32_t row) const;

    // The register dialog's value for a row: "" when it fits the register, else why it is
    // refused (nothing changes then). The value may be wider than any register; a row past the
    // list's end is refused whatever the value.
    std::string CheckValue(ChipDef& chip, uint32_t row, uint64_t value) const;
    // The register dialog's OK: writes the value and marks the row when it differs from the
    // unmodified value. False (nothing written) when CheckValue refuses it.
    bool ApplyValue(ChipDef& chip, uint32_t row, uint32_t value);

    // Another file was opened or an import replaced the list: no row was set by hand.
    void ClearMarks();

    const RegisterRowState& State(uint32_t row) const { return m_Rows.at(row); }
    int TopRow = -1;
    int SelectedRow = -1;
    // The register dialog's radix (2, 10 or 16), kept from one dialog to the next.
    uint32_t DialogRadix = 16;

private:
    std::vector<RegisterRowState> m_Rows = std::vector<RegisterRowState>(kMaxRegListSize);
};

// The program's page state, kept for the whole run.
extern RegistersPage g_RegistersPage;
