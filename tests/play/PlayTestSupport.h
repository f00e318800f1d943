#pragma once
// Shared set-up of Play's unit tests: fresh program state, captured console output and
// stand-in command handlers installed into rows of the command table, and handlers called
// directly with a list of words.
#include "play/Args.h"
#include "play/Commands.h"
#include "play/Executor.h"
#include "play/Output.h"
#include "play/OutputCommands.h"
#include "play/RunState.h"
#include "play/ScriptRunner.h"
#include "play/ScriptState.h"
#include "play/Session.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The whole content of a file (empty when it cannot be read).
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a handler with the given words (argv[0] first).
inline bool CallHandler(CommandHandler handler, std::vector<std::string> words,
                        ExprValue* result = nullptr) {
    ArgVector args;
    for (size_t i = 0; i < words.size(); ++i) {
        std::snprintf(args[i], kArgSize, "%s", words[i].c_str());
    }
    ExprValue value{};
    return handler(static_cast<int32_t>(words.size()), args.Words(),
                   result != nullptr ? result : &value);
}

// One recorded dispatch of a stand-in handler.
struct RecordedCall {
    std::vector<std::string> m_Words;
};

inline std::vector<RecordedCall>& RecordedCalls() {
    static std::vector<RecordedCall> s_Calls;
    return s_Calls;
}

// Records its words and succeeds unless its first argument is "fail".
inline bool RecordingHandler(int32_t argc, char** argv, ExprValue*) {
    RecordedCall call;
    for (int32_t i = 0; i < argc; ++i) {
        call.m_Words.emplace_back(argv[i]);
    }
    RecordedCalls().push_back(call);
    if (argc > 1 && std::strcmp(argv[1], "fail") == 0) {
        return PlayPrint(CAT_ERR, "failed\n");
    }
    return true;
}

// Puts a handler into the row of a command word for the life of the object.
class HandlerSwap {
public:
    HandlerSwap(const char* word, CommandHandler handler) {
        EXPECT_TRUE(FindCommand(word, &m_Row)) << word;
        m_Previous = g_Commands[m_Row].m_Handler;
        g_Commands[m_Row].m_Handler = handler;
    }
    ~HandlerSwap() { g_Commands[m_Row].m_Handler = m_Previous; }
    HandlerSwap(const HandlerSwap&) = delete;
    HandlerSwap& operator=(const HandlerSwap&) = delete;

private:
    uint32_t m_Row = 0;
    CommandHandler m_Previous = nullptr;
};

// Fresh state for each test; Output() gives what was printed since the last call.
class PlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitSession(0, nullptr);
        SetCommandTable(g_Commands, RunScript);
        if (g_FlogFile != nullptr) {
            std::fclose(g_FlogFile);
            g_FlogFile = nullptr;
        }
        ExprFreeVars();
        RecordedCalls().clear();
        ::testing::internal::CaptureStdout();
        m_Capturing = true;
    }
    void TearDown() override {
        StopCapture();
        if (g_FlogFile != nullptr) {
            std::fclose(g_FlogFile);
            g_FlogFile = nullptr;
        }
        g_CurFrame = nullptr;
        g_ScriptDepth = 0;
        ExprFreeVars();
        InitSession(0, nullptr);
    }
    std::string Output() {
        const std::string text = StopCapture();
        ::testing::internal::CaptureStdout();
        m_Capturing = true;
        return text;
    }
    // Runs one line through the executor.
    bool Run(const char* line, bool* ran = nullptr) {
        return ExecuteStatements(line, std::strlen(line), ran);
    }

private:
    std::string StopCapture() {
        if (!m_Capturing) {
            return {};
        }
        std::fflush(stdout);
        m_Capturing = false;
        std::string text = ::testing::internal::GetCapturedStdout();
        // GoogleTest reports failures on stdout too: show what the capture swallowed.
        if (HasFailure()) {
            std::fputs(text.c_str(), stderr);
        }
        return text;
    }
    bool m_Capturing = false;
};

// A running script level for the life of the object (the output and the executor look at the
// innermost frame).
class ScriptLevel {
public:
    explicit ScriptLevel(const char* name, uint32_t verbose = CAT_ALL) {
        std::snprintf(m_Name, sizeof(m_Name), "%s", name);
        std::snprintf(m_Scope, sizeof(m_Scope), "%s1", name);
        m_Words[0] = m_Name;
        ScriptFrame& frame = g_Frames[0];
        frame = ScriptFrame{};
        frame.m_Argc = 1;
        frame.m_Argv = m_Words;
        frame.m_Scope = m_Scope;
        frame.m_Verbose = verbose;
        g_CurFrame = &frame;
        g_ScriptDepth = 1;
    }
    ~ScriptLevel() {
        g_CurFrame = nullptr;
        g_ScriptDepth = 0;
    }
    ScriptLevel(const ScriptLevel&) = delete;
    ScriptLevel& operator=(const ScriptLevel&) = delete;

private:
    char m_Name[64];
    char m_Scope[72];
    char* m_Words[kMaxArgs] = {};
};
