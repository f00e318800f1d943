// The program-wide variable table: locals of every scope and the globals in creation order.
#include "common/Text.h"
#include "expr/Expr.h"
#include "expr/ExprCost.h"

#include <cstdlib>
#include <cstring>

namespace {

ExprVar s_Vars[EXPR_MAX_VARS];
uint32_t s_Count = 0;

char* CopyText(const char* text, size_t length) {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) {
        return nullptr;
    }
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

// Scopes match when both are global, or both are set and equal ignoring case.
bool SameScope(const char* rowScope, const char* scope) {
    if (rowScope == nullptr || scope == nullptr) {
        return rowScope == nullptr && scope == nullptr;
    }
    return EqualsNoCase(rowScope, scope);
}

// The form $$x names the global $x whatever the scope.
void ApplyGlobalForm(const char*& nameOut, size_t& length, const char*& scope) {
    if (length >= 2 && nameOut[1] == '$') {
        ++nameOut;
        --length;
        scope = nullptr;
    }
}

bool FindRow(const char* name, size_t length, const char* scope, uint32_t* indexOut) {
    for (uint32_t i = 0; i < s_Count; ++i) {
        const ExprVar& row = s_Vars[i];
        if (EqualsNoCase({row.Name, row.NameLen}, {name, length}) && SameScope(row.Scope, scope)) {
            *indexOut = i;
            return true;
        }
    }
    *indexOut = s_Count;
    return false;
}

void CopyValue(const ExprVar& row, ExprValue* value) {
    value->IsString = row.IsString;
    value->Number = row.Number;
    value->Text[0] = '\0';
    if (row.IsString && row.Text != nullptr) {
        std::strncpy(value->Text, row.Text, EXPR_TEXT_MAX);
        value->Text[EXPR_TEXT_MAX] = '\0';
    }
}

void FreeRow(ExprVar& row) {
    std::free(row.Name);
    std::free(row.Text);
    std::free(row.Scope);
    row = ExprVar{};
}

} // namespace

bool ExprFindVar(const char* name, size_t length, const char* scope, uint32_t* indexOut) {
    uint32_t index = 0;
    ApplyGlobalForm(name, length, scope);
    const bool found = FindRow(name, length, scope, &index);
    if (indexOut != nullptr) {
        *indexOut = index;
    }
    return found;
}

bool ExprSetVar(const char* nameIn, size_t length, const ExprValue* value, const char* scope) {
    ExprStateChanged();
    ApplyGlobalForm(nameIn, length, scope);
    uint32_t index = 0;
    if (FindRow(nameIn, length, scope, &index)) {
        std::free(s_Vars[index].Text);
        std::free(s_Vars[index].Scope);
        s_Vars[index].Text = nullptr;
        s_Vars[index].Scope = nullptr;
    } else {
        if (s_Count >= EXPR_MAX_VARS) {
            return false;
        }
        char* name = CopyText(nameIn, length);
        if (name == nullptr) {
            return false;
        }
        index = s_Count++;
        s_Vars[index] = ExprVar{};
        s_Vars[index].Name = name;
        s_Vars[index].NameLen = static_cast<uint32_t>(length);
    }
    ExprVar& row = s_Vars[index];
    row.IsString = value->IsString;
    row.Number = value->Number;
    if (value->IsString) {
        row.Text = CopyText(value->Text, strnlen(value->Text, EXPR_TEXT_MAX));
    }
    if (scope != nullptr) {
        row.Scope = CopyText(scope, std::strlen(scope));
    }
    return true;
}

bool ExprGetVar(const char* name, size_t length, ExprValue* value, const char* scope) {
    uint32_t index = 0;
    if (!ExprFindVar(name, length, scope, &index)) {
        return false;
    }
    CopyValue(s_Vars[index], value);
    return true;
}

bool ExprVarName(uint32_t n, const char** nameOut, const char* scope, ExprValue* value) {
    uint32_t seen = 0;
    for (uint32_t i = 0; i < s_Count; ++i) {
        if (!SameScope(s_Vars[i].Scope, scope)) {
            continue;
        }
        if (seen++ == n) {
            *nameOut = s_Vars[i].Name;
            if (value != nullptr) {
                CopyValue(s_Vars[i], value);
            }
            return true;
        }
    }
    return false;
}

void ExprDeleteScope(const char* scope) {
    ExprStateChanged();
    uint32_t kept = 0;
    for (uint32_t i = 0; i < s_Count; ++i) {
        if (SameScope(s_Vars[i].Scope, scope)) {
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
    ExprStateChanged();
    for (uint32_t i = 0; i < s_Count; ++i) {
        FreeRow(s_Vars[i]);
    }
    s_Count = 0;
}

uint32_t ExprVarCount() {
    return s_Count;
}
