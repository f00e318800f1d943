// The program-wide variable table: locals of every scope and the globals in creation order.
#include "common/Text.h"
#include "expr/Expr.h"

#include <cstdlib>
#include <cstring>

namespace {

ExprVar s_Vars[EXPR_MAX_VARS];
uint32_t s_Count = 0;

char* CopyText(const char* i_Text, size_t i_Length) {
    char* copy = static_cast<char*>(std::malloc(i_Length + 1));
    if (copy == nullptr)
        return nullptr;
    std::memcpy(copy, i_Text, i_Length);
    copy[i_Length] = '\0';
    return copy;
}

// Scopes match when both are global, or both are set and equal ignoring case.
bool SameScope(const char* i_RowScope, const char* i_Scope) {
    if (i_RowScope == nullptr || i_Scope == nullptr)
        return i_RowScope == nullptr && i_Scope == nullptr;
    return EqualsNoCase(i_RowScope, i_Scope);
}

// The form $$x names the global $x whatever the scope.
void ApplyGlobalForm(const char*& io_Name, size_t& io_Length, const char*& io_Scope) {
    if (io_Length >= 2 && io_Name[1] == '$') {
        ++io_Name;
        --io_Length;
        io_Scope = nullptr;
    }
}

bool FindRow(const char* i_Name, size_t i_Length, const char* i_Scope, uint32_t* o_Index) {
    for (uint32_t i = 0; i < s_Count; ++i) {
        const ExprVar& row = s_Vars[i];
        if (EqualsNoCase({row.Name, row.NameLen}, {i_Name, i_Length}) &&
            SameScope(row.Scope, i_Scope)) {
            *o_Index = i;
            return true;
        }
    }
    *o_Index = s_Count;
    return false;
}

void FreeRow(ExprVar& io_Row) {
    std::free(io_Row.Name);
    std::free(io_Row.Text);
    std::free(io_Row.Scope);
    io_Row = ExprVar{};
}

} // namespace

bool ExprFindVar(const char* i_Name, size_t i_Length, const char* i_Scope, uint32_t* o_Index) {
    uint32_t index = 0;
    ApplyGlobalForm(i_Name, i_Length, i_Scope);
    const bool found = FindRow(i_Name, i_Length, i_Scope, &index);
    if (o_Index != nullptr)
        *o_Index = index;
    return found;
}

bool ExprSetVar(const char* i_Name, size_t i_Length, const ExprValue* i_Value,
                const char* i_Scope) {
    ApplyGlobalForm(i_Name, i_Length, i_Scope);
    uint32_t index = 0;
    if (FindRow(i_Name, i_Length, i_Scope, &index)) {
        std::free(s_Vars[index].Text);
        std::free(s_Vars[index].Scope);
        s_Vars[index].Text = nullptr;
        s_Vars[index].Scope = nullptr;
    } else {
        if (s_Count >= EXPR_MAX_VARS)
            return false;
        char* name = CopyText(i_Name, i_Length);
        if (name == nullptr)
            return false;
        index = s_Count++;
        s_Vars[index] = ExprVar{};
        s_Vars[index].Name = name;
        s_Vars[index].NameLen = static_cast<uint32_t>(i_Length);
    }
    ExprVar& row = s_Vars[index];
    row.IsString = i_Value->IsString;
    row.Number = i_Value->Number;
    if (i_Value->IsString)
        row.Text = CopyText(i_Value->Text, strnlen(i_Value->Text, EXPR_TEXT_MAX));
    if (i_Scope != nullptr)
        row.Scope = CopyText(i_Scope, std::strlen(i_Scope));
    return true;
}

bool ExprGetVar(const char* i_Name, size_t i_Length, ExprValue* o_Value, const char* i_Scope) {
    uint32_t index = 0;
    if (!ExprFindVar(i_Name, i_Length, i_Scope, &index))
        return false;
    const ExprVar& row = s_Vars[index];
    o_Value->IsString = row.IsString;
    o_Value->Number = row.Number;
    o_Value->Text[0] = '\0';
    if (row.IsString && row.Text != nullptr) {
        std::strncpy(o_Value->Text, row.Text, EXPR_TEXT_MAX);
        o_Value->Text[EXPR_TEXT_MAX] = '\0';
    }
    return true;
}

bool ExprVarName(uint32_t i_N, const char** o_Name, const char* i_Scope) {
    uint32_t seen = 0;
    for (uint32_t i = 0; i < s_Count; ++i) {
        if (!SameScope(s_Vars[i].Scope, i_Scope))
            continue;
        if (seen++ == i_N) {
            *o_Name = s_Vars[i].Name;
            return true;
        }
    }
    return false;
}

void ExprDeleteScope(const char* i_Scope) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < s_Count; ++i) {
        if (SameScope(s_Vars[i].Scope, i_Scope)) {
            FreeRow(s_Vars[i]);
            continue;
        }
        if (kept != i) {
            s_Vars[kept] = s_Vars[i];
            s_Vars[i] = ExprVar{};
        }
        ++kept;
    }
    s_Count = kept;
}

void ExprFreeVars() {
    for (uint32_t i = 0; i < s_Count; ++i)
        FreeRow(s_Vars[i]);
    s_Count = 0;
}

uint32_t ExprVarCount() {
    return s_Count;
}
