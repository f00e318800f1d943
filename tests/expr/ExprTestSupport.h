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

    bool IsNumber(uint32_t number) const {
        return Position == 0 && !Value.IsString && Value.Number == number;
    }
    bool IsText(std::string_view text) const {
        return Position == 0 && Value.IsString && std::string_view(Value.Text) == text;
    }
};

inline std::ostream& operator<<(std::ostream& stream, const EvalResult& result) {
    if (result.Position != 0) {
        return stream << "error at " << result.Position << ": " << result.Error;
    }
    if (result.Value.IsString) {
        return stream << "text \"" << result.Value.Text << "\"";
    }
    return stream << "number 0x" << std::hex << result.Value.Number << std::dec;
}

inline EvalResult Eval(std::string_view text, const char* scope = nullptr) {
    EvalResult result;
    const char* error = nullptr;
    result.Position = ExprEvaluate(text.data(), text.size(), &result.Value, scope, &error);
    if (result.Position != 0) {
        result.Error = error != nullptr ? error : "(no error text)";
    }
    return result;
}

inline ExprValue NumberValue(uint32_t number) {
    ExprValue value{};
    value.Number = number;
    return value;
}

inline ExprValue TextValue(std::string_view text) {
    ExprValue value{};
    value.IsString = 1;
    const size_t n = text.size() < EXPR_TEXT_MAX ? text.size() : EXPR_TEXT_MAX;
    std::memcpy(value.Text, text.data(), n);
    value.Text[n] = '\0';
    return value;
}

inline bool SetVar(std::string_view name, const ExprValue& value, const char* scope = nullptr) {
    return ExprSetVar(name.data(), name.size(), &value, scope);
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

inline ExprCase Num(const char* text, uint32_t number) {
    return {text, ExprCase::ExpectNumber, number, nullptr};
}
inline ExprCase Txt(const char* text, const char* result) {
    return {text, ExprCase::ExpectText, 0, result};
}
inline ExprCase Err(const char* text, uint32_t position, const char* message) {
    return {text, ExprCase::ExpectError, position, message};
}

inline void ExpectCase(const ExprCase& testCase, const char* scope = nullptr) {
    const EvalResult r = Eval(testCase.Text, scope);
    switch (testCase.Expect) {
    case ExprCase::ExpectNumber:
        EXPECT_TRUE(r.IsNumber(testCase.Number))
            << testCase.Text << " gave " << r << ", expected 0x" << std::hex << testCase.Number;
        break;
    case ExprCase::ExpectText:
        EXPECT_TRUE(r.IsText(testCase.Str))
            << testCase.Text << " gave " << r << ", expected \"" << testCase.Str << "\"";
        break;
    case ExprCase::ExpectError:
        EXPECT_EQ(r.Position, testCase.Number) << testCase.Text << " gave " << r;
        EXPECT_EQ(r.Error, testCase.Str) << testCase.Text;
        break;
    }
}

inline void ExpectCases(std::initializer_list<ExprCase> cases, const char* scope = nullptr) {
    for (const ExprCase& c : cases) {
        ExpectCase(c, scope);
    }
}
