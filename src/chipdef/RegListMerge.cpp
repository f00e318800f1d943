#include "chipdef/RegListMerge.h"

#include "chipdef/ChipDef.h"
#include "chipdef/ExportText.h"

#include <utility>

namespace {

// An occurrence of a register in its list: 0 the first, 1 the second, 2 the last.
using Slot = int;

// The slots whose values go from imported to current for c current and n imported occurrences
// of one register (both at least 1), as (current slot, imported slot).
std::vector<std::pair<Slot, Slot>> OccurrenceCopies(uint32_t c, uint32_t n) {
    const int ci = c >= 3 ? 3 : static_cast<int>(c);
    const int ni = n >= 3 ? 3 : static_cast<int>(n);
    auto lastOf = [](int count) { return count == 1 ? 0 : count == 2 ? 1 : 2; };
    if (ci == 1) {
        return {{0, lastOf(ni)}};
    }
    if (ni == 1) {
        return {{lastOf(ci), 0}};
    }
    if (ci == 3 && ni == 3) {
        return {{0, 0}, {1, 1}, {2, 2}};
    }
    return {{0, 0}, {lastOf(ci), lastOf(ni)}};
}

std::string IndexText(uint16_t index) {
    std::string text;
    exporttext::Appendf(text, "%04X", index);
    return text;
}

} // namespace

RegListMergeWarnings MergeRegList(const oxHclData& current,
                                  const std::vector<oxHclRegEntry>& imported, oxHclData& merged) {
    oxHclData importedBlock{};
    for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
        oxHclSetReg(importedBlock, i, imported[i]);
        oxHclSetReg(merged, i, oxHclGetReg(current, i));
    }
    std::vector<bool> currentUsed(oxHCL_REGSIZE, false), importUsed(oxHCL_REGSIZE, false);
    for (uint32_t p = 0; p < oxHCL_REGSIZE && imported[p].Index != oxHCL_REG_END; ++p) {
        const uint32_t index = imported[p].Index;
        uint32_t cur[3] = {}, imp[3] = {};
        const uint32_t c =
            ChipDef::FindRegListOccurrences(index, current, &cur[0], &cur[1], &cur[2]);
        const uint32_t n =
            ChipDef::FindRegListOccurrences(index, importedBlock, &imp[0], &imp[1], &imp[2]);
        if (c == 0 || n == 0) {
            continue;
        }
        for (const auto& [to, from] : OccurrenceCopies(c, n)) {
            oxHclRegEntry entry = oxHclGetReg(merged, cur[to]);
            entry.Value = imported[imp[from]].Value;
            oxHclSetReg(merged, cur[to], entry);
            currentUsed[cur[to]] = true;
            importUsed[imp[from]] = true;
        }
    }

    RegListMergeWarnings warnings;
    for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
        const oxHclRegEntry entry = oxHclGetReg(current, i);
        if (entry.Index == oxHCL_REG_END) {
            break;
        }
        if (!currentUsed[i]) {
            warnings.Missing.push_back(IndexText(entry.Index));
        }
    }
    for (uint32_t i = 0; i < oxHCL_REGSIZE && imported[i].Index != oxHCL_REG_END; ++i) {
        if (!importUsed[i]) {
            warnings.Ignored.push_back(IndexText(imported[i].Index));
        }
    }
    return warnings;
}

bool ReplaceRegList(const oxHclData& current, const std::vector<oxHclRegEntry>& imported,
                    oxHclData& block) {
    for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
        oxHclSetReg(block, i, imported[i]);
    }
    for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
        if (oxHclGetReg(current, i).Index != imported[i].Index) {
            return true;
        }
        if (imported[i].Index == oxHCL_REG_END) {
            break;
        }
    }
    return false;
}
