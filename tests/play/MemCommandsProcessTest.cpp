// The simulated board keeps display memory between runs: a value written by one `play` process
// is read by the next one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Runs the built play with the words of command line (no standard input) on the board folder;
// gives back its standard output and sets *code to its exit code.
std::string RunPlay(const std::string& folder, const std::string& words, int* code) {
    const std::string line =
        "Q3VSIM_DIR='" + folder + "' '" + Q3V_BINARY_DIR + "/play' " + words + " </dev/null 2>&1";
    std::string text;
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) {
        *code = -1;
        return text;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, n);
    }
    const int status = pclose(pipe);
    *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return text;
}

TEST(MemCommandsProcess, AValueWrittenInOneRunIsReadInTheNext) {
    const std::string play = std::string(Q3V_BINARY_DIR) + "/play";
    if (access(play.c_str(), X_OK) != 0) {
        GTEST_SKIP() << "play is not built in " << Q3V_BINARY_DIR;
    }
    char pattern[] = "/tmp/q3v-memproc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    int code = -1;
    std::string text = RunPlay(folder, "w16 1000 55aa", &code);
    EXPECT_EQ(code, 0) << text;
    EXPECT_NE(text.find("00001000:  55AA  '.U'\n"), std::string::npos) << text;
    text = RunPlay(folder, "r16 1000", &code);
    EXPECT_EQ(code, 0) << text;
    EXPECT_NE(text.find("00001000:  55AA  '.U'\n"), std::string::npos) << text;
    // A failing command gives exit code 1.
    text = RunPlay(folder, "r16 zz", &code);
    EXPECT_EQ(code, 1) << text;
    EXPECT_NE(text.find("ERROR: 'zz' isn't a valid address.\n"), std::string::npos) << text;
    std::system(("rm -rf '" + folder + "'").c_str());
}

} // namespace
