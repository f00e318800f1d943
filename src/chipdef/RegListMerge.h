#pragma once
// An imported register list taken into a configuration block: merged into the current list
// (the current order kept, values taken from the imported occurrences of each register) or put
// in its place as it is.
#include "hcl/HclData.h"

#include <string>
#include <vector>

// What a merge did not use, as the report names it: the indices ("%04X") of the current
// entries that received no imported value, and of the imported entries whose value was not
// taken, each in list order.
struct RegListMergeWarnings {
    std::vector<std::string> Missing;
    std::vector<std::string> Ignored;
};

// The current list of current, in its order, into merged, each entry's value taken from the
// imported list (593 pairs, ended by an end pair) by the rule of occurrences: with c current and
// i imported occurrences of a register, one current takes the last imported; one imported goes
// to the last current; two and more of each pair first with first and last with last, and three
// and more of each the seconds too.
RegListMergeWarnings MergeRegList(const oxHclData& current,
                                  const std::vector<oxHclRegEntry>& imported, oxHclData& merged);

// The imported list (593 pairs) into block as it is. True when its register indices differ from
// the current list's at a position up to the imported end pair.
bool ReplaceRegList(const oxHclData& current, const std::vector<oxHclRegEntry>& imported,
                    oxHclData& block);
