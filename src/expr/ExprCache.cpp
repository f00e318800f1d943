// The kept results of embedded expressions and the rules for reusing them.
#include "expr/ExprCache.h"

#include "expr/ExprCost.h"
#include "expr/ExprInternal.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// Results kept at most; past it new results are not kept (reuse only saves work).
constexpr size_t kMaxEntries = 4096;

struct Entry {
    bool HasScope = false;
    std::string Scope;
    uint32_t Generation = 0;
    uint32_t Depth = 0;    // nesting of the evaluation
    uint32_t Height = 0;   // nesting reached below it
    bool HitLimit = false; // the depth limit refused something below it
    uint32_t Position = 0;
    const char* Error = nullptr;
    ExprValue Value{};
};

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

std::unordered_map<std::string, Entry, TextHash, std::equal_to<>> s_Entries;

bool SameScope(const Entry& entry, const char* scope) {
    if (scope == nullptr) {
        return !entry.HasScope;
    }
    return entry.HasScope && entry.Scope == scope;
}

// The kept result of the text when it may be reused here.
const Entry* Find(std::string_view text, const char* scope) {
    const auto found = s_Entries.find(text);
    if (found == s_Entries.end()) {
        return nullptr;
    }
    const Entry& entry = found->second;
    if (entry.Generation != ExprGeneration() || !SameScope(entry, scope)) {
        return nullptr;
    }
    // At the same depth the evaluation takes the same path; elsewhere only when the depth limit
    // stays out of its reach.
    const bool withinLimit = !entry.HitLimit && ExprDepth() + entry.Height <= kExprMaxDepth;
    return entry.Depth == ExprDepth() || withinLimit ? &entry : nullptr;
}

} // namespace

uint32_t ExprEvaluateCached(const char* text, size_t length, ExprValue* value, const char* scope,
                            const char** errorText, ExprEvaluateFunction evaluate) {
    const std::string_view key(text, length);
    if (const Entry* entry = Find(key, scope)) {
        if (!ExprTakeStep()) {
            return ExprFail(errorText, expr_msg::kTooComplex, 1);
        }
        // The nesting the evaluation would have reached counts for the evaluations around it.
        if (ExprDepth() + entry->Height > ExprReach()) {
            ExprSetReach(ExprDepth() + entry->Height);
        }
        *value = entry->Value;
        return entry->Position == 0 ? 0 : ExprFail(errorText, entry->Error, entry->Position);
    }

    const uint32_t generation = ExprGeneration();
    const uint32_t resolverCalls = ExprResolverCalls();
    const uint32_t outerReach = ExprReach();
    ExprSetReach(ExprDepth());
    const uint32_t position = evaluate(text, length, value, scope, errorText);
    const uint32_t reach = ExprReach();
    if (outerReach > reach) {
        ExprSetReach(outerReach);
    }

    // Kept only when a new evaluation would give the same: no resolver call and no change of
    // the variables or the resolver meanwhile, and the budget intact. Where the depth limit
    // refused something below (a refusal inside an embedded expression is passed over), the
    // result holds at this depth only.
    if (ExprResolverCalls() != resolverCalls || ExprGeneration() != generation ||
        ExprBudgetSpent() || s_Entries.size() >= kMaxEntries) {
        return position;
    }
    Entry& entry = s_Entries[std::string(key)];
    entry.HasScope = scope != nullptr;
    entry.Scope = scope != nullptr ? scope : "";
    entry.Generation = generation;
    entry.Depth = ExprDepth();
    entry.Height = reach - ExprDepth();
    entry.HitLimit = reach > kExprMaxDepth;
    entry.Position = position;
    entry.Error = position != 0 ? *errorText : nullptr;
    entry.Value = *value;
    return position;
}

void ExprCacheClear() {
    if (!s_Entries.empty()) {
        s_Entries.clear();
    }
}
