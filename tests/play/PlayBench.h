#pragma once
// The built play run as a user runs it, for the tests that check what typed commands do: a fresh
// simulated board and a work folder of their own, one-command runs (the words as the shell gives
// them) or sessions (lines piped in, then the end of input), optionally with the board's log of
// every access (Q3VSIM_LOG) written to a file of the work folder.
#include "support/FileBytes.h"
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <fstream>
#include <string>
#include <sys/stat.h>

namespace q3vtest {

class PlayBench {
public:
    PlayBench() : m_Temp("q3v-playbench") {
        ::mkdir(Board().c_str(), 0700);
        ::mkdir(Work().c_str(), 0700);
    }

    std::string Board() const { return m_Temp.File("board"); }
    std::string Work() const { return m_Temp.File("work"); }
    std::string WorkFile(const std::string& name) const { return Work() + "/" + name; }

    // Runs play with the words (shell syntax: quote them with ShellWord), input piped in; the
    // board's log goes to log in the work folder when one is named.
    PlayRun Run(const std::string& words, const std::string& input = "",
                const std::string& log = "") const {
        const std::string inputPath = m_Temp.File("input.txt");
        std::ofstream(inputPath, std::ios::binary) << input;
        if (log.empty()) {
            return RunPlay(Board(), words, inputPath, Work());
        }
        return RunPlay(Board(), words, inputPath, Work(), {"Q3VSIM_LOG=" + WorkFile(log)});
    }

    void WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(WorkFile(name), std::ios::binary) << bytes;
    }
    std::string ReadFile(const std::string& name) const {
        return q3vtest::ReadFileText(WorkFile(name));
    }
    bool Exists(const std::string& name) const {
        struct stat info {};
        return ::stat(WorkFile(name).c_str(), &info) == 0;
    }
    void Remove(const std::string& name) const { ::unlink(WorkFile(name).c_str()); }

private:
    TempFolder m_Temp;
};

} // namespace q3vtest
