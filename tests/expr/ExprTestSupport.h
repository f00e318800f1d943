#pragma once
// Helpers of the evaluator's tests: evaluation into one record, value printing for failures, and
// a fixture that leaves the variable table empty and no resolver installed.
#include "expr/Expr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>

// The messages that the tables check.
inline constexpr const char* kMissing = "Missing an expression after the operator.";
inline constexpr const char* kExpected = "Expected an expression here.";
inline constexpr const char* kUnknown = "Unknown token or expression.";
inline constexpr const char* kParen = "Parenthesis mismatch.";
inline constexpr const char* kFormat = "Unknown format specifier.";
inline constexpr const char* kUnexpected = "Unexpected string value.";
inline constexpr const char* kMix = "Cannot mix numerical and string values here.";
inline constexpr const char* kNumber = "Expected a numerical value here.";
inline constexpr const char* kZero = "Cannot divide by zero.";

struct EvalResult {
    uint32_t Position = 0;
    std::string Error;
    ExprValue Value{};

    bool IsNumber(uint32_t i_Number) const {
        return Position == 0 && !Value.IsString && Value.Number == i_Number;
    }
    bool IsText(std::string_view i_Text) const {
        return Position == 0 && Value.IsString && std::string_view(Value.Text) == i_Text;
    }
};

inline std::ostream& operator<<(std::ostream& o_Stream, const EvalResult& i_Result) {
    if (i_Result.Position != 0)
        return o_Stream << "error at " << i_Result.Position << ": " << i_Result.Error;
    if (i_Result.Value.IsString)
        return o_Stream << "text \"" << i_Result.Value.Text << "\"";
    return o_Stream << "number 0x" << std::hex << i_Result.Value.Number << std::dec;
}

inline EvalResult Eval(std::string_view i_Text, const char* i_Scope = nullptr) {
    EvalResult result;
    const char* error = nullptr;
    result.Position = ExprEvaluate(i_Text.data(), i_Text.size(), &result.Value, i_Scope, &error);
    if (result.Position != 0)
        result.Error = error != nullptr ? error : "(no error text)";
    return result;
}

inline ExprValue NumberValue(uint32_t i_Number) {
    ExprValue value{};
    value.Number = i_Number;
    return value;
}

inline ExprValue TextValue(std::string_view i_Text) {
    ExprValue value{};
    value.IsString = 1;
    const size_t n = i_Text.size() < EXPR_TEXT_MAX ? i_Text.size() : EXPR_TEXT_MAX;
    std::memcpy(value.Text, i_Text.data(), n);
    value.Text[n] = '\0';
    return value;
}

inline bool SetVar(std::string_view i_Name, const ExprValue& i_Value,
                   const char* i_Scope = nullptr) {
    return ExprSetVar(i_Name.data(), i_Name.size(), &i_Value, i_Scope);
}

class ExprTest : public ::testing::Test {
protected:
    void SetUp() override {
        ExprFreeVars();
        ExprSetResolver(nullptr);
    }
    void TearDown() override {
        ExprFreeVars();
        ExprSetResolver(nullptr);
    }
};

// A case whose result is a number, a text, or an error (position and message).
struct ExprCase {
    const char* Text;
    enum Kind { ExpectNumber, ExpectText, ExpectError } Expect;
    uint32_t Number = 0;
    const char* Str = nullptr;
};

inline ExprCase Num(const char* i_Text, uint32_t i_Number) {
    return {i_Text, ExprCase::ExpectNumber, i_Number, nullptr};
}
inline ExprCase Txt(const char* i_Text, const char* i_Result) {
    return {i_Text, ExprCase::ExpectText, 0, i_Result};
}
inline ExprCase Err(const char* i_Text, uint32_t i_Position, const char* i_Message) {
    return {i_Text, ExprCase::ExpectError, i_Position, i_Message};
}

inline void ExpectCase(const ExprCase& i_Case, const char* i_Scope = nullptr) {
    const EvalResult r = Eval(i_Case.Text, i_Scope);
    switch (i_Case.Expect) {
    case ExprCase::ExpectNumber:
        EXPECT_TRUE(r.IsNumber(i_Case.Number))
            << i_Case.Text << " gave " << r << ", expected 0x" << std::hex << i_Case.Number;
        break;
    case ExprCase::ExpectText:
        EXPECT_TRUE(r.IsText(i_Case.Str))
            << i_Case.Text << " gave " << r << ", expected \"" << i_Case.Str << "\"";
        break;
    case ExprCase::ExpectError:
        EXPECT_EQ(r.Position, i_Case.Number) << i_Case.Text << " gave " << r;
        EXPECT_EQ(r.Error, i_Case.Str) << i_Case.Text;
        break;
    }
}

inline void ExpectCases(std::initializer_list<ExprCase> i_Cases, const char* i_Scope = nullptr) {
    for (const ExprCase& c : i_Cases)
        ExpectCase(c, i_Scope);
}
