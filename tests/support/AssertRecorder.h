#pragma once
// While alive, records every assertion instead of stopping the test program.
#include "common/Assert.h"

#include <string>
#include <vector>

class AssertRecorder {
public:
    AssertRecorder() : m_Previous(SetAssertHandler(&Record)) { Recorded().clear(); }
    ~AssertRecorder() { SetAssertHandler(m_Previous); }
    AssertRecorder(const AssertRecorder&) = delete;
    AssertRecorder& operator=(const AssertRecorder&) = delete;

    // The expressions (or texts) reported so far, oldest first.
    static std::vector<std::string>& Recorded() {
        static std::vector<std::string> s_Recorded;
        return s_Recorded;
    }
    size_t Count() const { return Recorded().size(); }
    bool Saw(const std::string& text) const {
        for (const auto& r : Recorded()) {
            {
                if (r == text) {
                    { return true; }
                }
            }
        }
        return false;
    }

private:
    static void Record(const char* expression, const char*, int) {
        Recorded().emplace_back(expression);
    }
    AssertHandler m_Previous;
};
