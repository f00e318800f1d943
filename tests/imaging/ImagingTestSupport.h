#pragma once
// Small helpers of the imaging tests: a surface over a byte vector, a recording access
// function, and standard output held back for a scope.
#include "imaging/Conv.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// A surface of row format over buffer (whole buffer as BufSize), origin 0, stride 0.
inline Surface MakeSurface(std::vector<uint8_t>& buffer, int32_t format, int32_t width,
                           int32_t height) {
    return Surface{buffer.data(),
                   static_cast<int32_t>(buffer.size()),
                   nullptr,
                   format,
                   width,
                   height,
                   0,
                   0,
                   0,
                   0,
                   0,
                   nullptr};
}

// One call of an access function, with its address taken relative to the surface's buffer.
struct AccessCall {
    uint32_t Offset;
    uint32_t Value;
    uint32_t Bits;
    std::string Op;
    bool operator==(const AccessCall&) const = default;
};

// Records every call and applies it to the buffer it was set up with.
class AccessRecorder {
public:
    explicit AccessRecorder(std::vector<uint8_t>& buffer) : m_Buffer(buffer) { s_Current = this; }
    ~AccessRecorder() { s_Current = nullptr; }
    AccessRecorder(const AccessRecorder&) = delete;
    AccessRecorder& operator=(const AccessRecorder&) = delete;

    static uint32_t Access(uint32_t address, uint32_t value, uint32_t bits, const char* op,
                           uint8_t* out) {
        AccessRecorder& r = *s_Current;
        const uint32_t base = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(r.m_Buffer.data()));
        const uint32_t offset = address - base;
        r.Calls.push_back(AccessCall{offset, value, bits, op});
        const std::string o = op;
        uint8_t* p = r.m_Buffer.data() + offset;
        if (o == "RD") {
            *out = *p;
        } else if (o == "AND") {
            *p = static_cast<uint8_t>(*p & value);
        } else if (o == "OR") {
            *p = static_cast<uint8_t>(*p | value);
        } else {
            for (uint32_t k = 0; k < bits / 8; ++k) {
                p[k] = static_cast<uint8_t>(value >> (8 * k));
            }
        }
        return 0;
    }

    std::vector<AccessCall> Calls;

private:
    static inline AccessRecorder* s_Current = nullptr;
    std::vector<uint8_t>& m_Buffer;
};

// Captures standard output (the converter's YCbCr geometry warnings) while alive and lets it go
// on every way out of the scope, a failed ASSERT's early return included, so that the rest of
// the test program's output is not swallowed.
class CapturedStdout {
public:
    CapturedStdout() { testing::internal::CaptureStdout(); }
    ~CapturedStdout() { testing::internal::GetCapturedStdout(); }
    CapturedStdout(const CapturedStdout&) = delete;
    CapturedStdout& operator=(const CapturedStdout&) = delete;
};

// The result of work, run with standard output held back; the test's own assertions stay
// outside, where their messages show.
template <typename Work> auto Quietly(Work&& work) {
    const CapturedStdout warnings;
    return work();
}
