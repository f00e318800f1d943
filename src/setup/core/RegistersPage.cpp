#include "setup/core/RegistersPage.h"

#include <algorithm>
#include <cstdio>

RegistersPage g_RegistersPage;

namespace {

uint32_t RowCount(ChipDef& chip) {
    uint32_t n = 0;
    uint32_t index = 0;
    while (n < RegistersPage::kMaxRegListSize && chip.GetRegisterIndexByOrdinal(true, n, &index)) {
        ++n;
    }
    return n;
}

uint32_t RowIndex(ChipDef& chip, uint32_t row) {
    uint32_t index = 0;
    chip.GetRegisterIndexByOrdinal(true, row, &index);
    return index;
}

// The text of format with the numbers a and b, as long as it needs to be.
std::string Format(const char* format, uint32_t a, uint32_t b = 0) {
    const int length = std::snprintf(nullptr, 0, format, a, b);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, a, b);
    return text;
}

} // namespace

void RegistersPage::Track(ChipDef& chip) {
    const uint32_t count = RowCount(chip);
    for (uint32_t row = 0; row < count; ++row) {
        if (chip.IsRegisterWriteOnly(row, true)) {
            continue;
        }
        RegisterRowState& state = m_Rows[row];
        if (state.Mark == RegisterMark::Manual &&
            chip.GetRegisterValue(row, true) != state.ManualValue) {
            state.Mark = RegisterMark::Overwritten;
        }
    }
}

uint32_t RegistersPage::Fill(ChipDef& chip) {
    const uint32_t count = RowCount(chip);
    for (uint32_t row = 0; row < count; ++row) {
        if (m_Rows[row].Mark != RegisterMark::Manual) {
            m_Rows[row].UnmodifiedValue = chip.GetRegisterValue(row, true);
        }
    }
    return count;
}

RegisterRowTexts RegistersPage::RowTexts(ChipDef& chip, uint32_t row) {
    RegisterRowTexts texts;
    if (row >= kMaxRegListSize) {
        return texts;
    }
    const uint32_t index = RowIndex(chip, row);
    const uint32_t value = chip.GetRegisterValue(row, true);
    const int width = static_cast<int>(chip.GetRegisterValueWidth(row, true));
    if (index == oxHCL_REG_PLL_WAIT) {
        texts.Reg = "DELAY";
    } else if (index < oxHCL_REG_PLL_WAIT) {
        texts.Reg = Format("%0*Xh", chip.GetDefaultIndexWidth(), index);
    } else {
        texts.Reg = "FLAG";
    }
    switch (m_Rows[row].Mark) {
    case RegisterMark::Manual:
        texts.Reg += " *";
        break;
    case RegisterMark::Overwritten:
        texts.Reg += " !";
        break;
    default:
        texts.Reg += "   ";
        break;
    }
    texts.Name = chip.GetRegisterLabel(row, true, 0x01 | 0x08);
    texts.Hex = Format("%0*X", static_cast<uint32_t>(width), value);
    for (int bit = 4 * width - 1; bit >= 0; --bit) {
        texts.Bin += ((value >> bit) & 1) ? '1' : '0';
    }
    texts.Dec = Format("%10u", value);
    m_Rows[row].ShownValue = value;
    return texts;
}

std::string RegistersPage::OverwrittenNotice(ChipDef& chip) const {
    const uint32_t count = RowCount(chip);
    uint32_t manual = 0;
    uint32_t overwritten = 0;
    for (uint32_t row = 0; row < count; ++row) {
        if (chip.IsRegisterWriteOnly(row, true)) {
            continue;
        }
        manual += m_Rows[row].Mark == RegisterMark::Manual;
        overwritten += m_Rows[row].Mark == RegisterMark::Overwritten;
    }
    if (overwritten == 0) {
        return "";
    }
    if (manual > 0) {
        return Format("%d (out of %d) manually modified registers have been overwritten by "
                      "other tabs.\n",
                      overwritten, manual + overwritten);
    }
    return Format("%d manually modified registers have been overwritten by other tabs.\n",
                  overwritten);
}

std::string RegistersPage::HotTip(ChipDef& chip, uint32_t row) const {
    const uint32_t count = RowCount(chip);
    if (row >= count) {
        return "";
    }
    const uint32_t index = RowIndex(chip, row);
    bool duplicate = false;
    for (uint32_t later = row + 1; later < count && index < oxHCL_REG_PLL_WAIT; ++later) {
        duplicate = duplicate || RowIndex(chip, later) == index;
    }
    const RegisterRowState& state = m_Rows[row];
    std::string tip;
    if (duplicate) {
        tip = std::string(chip.GetRegisterLabel(row, true, 0x01 | 0x02 | 0x08)) + "\n";
    } else {
        std::vector<char> detail(16384, '\0');
        chip.GetRegisterDetailText(row, detail.data(), detail.size(), true, "", "\n", 80, false);
        tip = detail.data();
        if (state.Mark != RegisterMark::None) {
            tip += "\n";
        }
    }
    if (state.Mark == RegisterMark::Manual) {
        tip += Format("\n[   *   ]  You modified this register manually.  This register's\n"
                      "           value would be %08Xh if it was not modified.",
                      state.UnmodifiedValue);
    } else if (state.Mark == RegisterMark::Overwritten) {
        tip += Format("\n[   !   ]  You had previously modified this register manually to\n"
                      "           %08Xh, however, when you switched tabs, your\n"
                      "           modification was overwritten.",
                      state.ManualValue);
    }
    if (duplicate) {
        tip += "\n[ ALERT ]  This register also exists further down this list.\n"
               "           Any changes to this register will be transient and\n"
               "           will not be retained in the final register\n"
               "           programming.";
    }
    return tip;
}

std::string RegistersPage::CheckValue(ChipDef& chip, uint32_t row, uint64_t value) const {
    if (row >= RowCount(chip)) {
        // Past the list are its end pair and the kept bytes after it: no value goes there.
        return Format("Row %u is past the end of the register list.", row);
    }
    // As wide as the register, and never wider than a list entry's value.
    constexpr uint32_t kEntryBits = 8 * sizeof(oxHclRegEntry::Value);
    const uint32_t bits = std::min(4 * chip.GetRegisterValueWidth(row, true), kEntryBits);
    if ((value >> bits) == 0) {
        return "";
    }
    char text[96];
    std::snprintf(text, sizeof text, "The value %llXh does not fit this %u-bit register.",
                  static_cast<unsigned long long>(value), bits);
    return text;
}

bool RegistersPage::ApplyValue(ChipDef& chip, uint32_t row, uint32_t value) {
    if (!CheckValue(chip, row, value).empty()) {
        return false;
    }
    chip.SetRegisterValue(row, true, value);
    RegisterRowState& state = m_Rows[row];
    state.ManualValue = value;
    state.Mark = value != state.UnmodifiedValue ? RegisterMark::Manual : RegisterMark::None;
    return true;
}

void RegistersPage::ClearMarks() {
    for (RegisterRowState& state : m_Rows) {
        state = RegisterRowState{};
    }
}
