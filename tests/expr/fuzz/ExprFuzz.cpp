// Fuzz entry of the expression evaluator: every input is evaluated with a small resolver and a
// few variables in place; any crash, sanitizer report or broken result record is a fault.
#include "expr/Expr.h"
#include "support/FuzzChecks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using q3vtest::FuzzCheck;

// Short names resolve to numbers, "name" to a text, "fail" to an error inside the leaf.
uint32_t FuzzResolver(const char* text, uint32_t length, ExprValue* value, const char** errorText) {
    const std::string name(text, length);
    if (name == "name") {
        value->IsString = 1;
        std::strcpy(value->Text, "panel");
        return 0;
    }
    if (name == "fail" || length > 8) {
        *errorText = "Unknown feature or token.";
        return length;
    }
    value->IsString = 0;
    value->Number = length * 0x101u;
    return 0;
}

ExprValue Number(uint32_t number) {
    ExprValue value{};
    value.Number = number;
    return value;
}

ExprValue Text(const char* text) {
    ExprValue value{};
    value.IsString = 1;
    std::strcpy(value.Text, text);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) {
        return 0;
    }
    ExprFreeVars();
    ExprSetResolver(&FuzzResolver);
    const ExprValue three = Number(3);
    const ExprValue word = Text("abc");
    ExprSetVar("$i", 2, &three, nullptr);
    ExprSetVar("$s", 2, &word, "run1");
    ExprSetVar("$a[00000003h]", 13, &word, nullptr);

    // The whole input is the expression; the lowest bit of its first byte picks the scope.
    const char* scope = (size > 0 && (data[0] & 1) != 0) ? "run1" : nullptr;
    const std::string text(reinterpret_cast<const char*>(data), size);

    ExprValue value;
    std::memset(&value, 0xA5, sizeof(value));
    const char* error = nullptr;
    const uint32_t position = ExprEvaluate(text.data(), text.size(), &value, scope, &error);
    if (position == 0) {
        FuzzCheck(value.IsString <= 1);
        if (value.IsString) {
            FuzzCheck(std::memchr(value.Text, '\0', sizeof(value.Text)) != nullptr);
        }
        // A result must be storable and read back unchanged.
        FuzzCheck(ExprSetVar("$result", 7, &value, scope));
        ExprValue back{};
        FuzzCheck(ExprGetVar("$result", 7, &back, scope));
        FuzzCheck(back.IsString == value.IsString);
        if (value.IsString) {
            FuzzCheck(std::strcmp(back.Text, value.Text) == 0);
        } else {
            FuzzCheck(back.Number == value.Number);
        }
    } else {
        FuzzCheck(error != nullptr);
        FuzzCheck(position <= text.size() + 1);
    }

    // The same text as an assignment target.
    char name[256];
    size_t nameLength = 0;
    const char* nameError = nullptr;
    if (ExprElementName(text.data(), text.size(), scope, name, &nameLength, &nameError) == 0) {
        FuzzCheck(nameLength < sizeof(name) && name[nameLength] == '\0');
    }
    ExprFreeVars();
    return 0;
}
