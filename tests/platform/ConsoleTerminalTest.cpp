#include "platform/Console.h"
#include "support/Pty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<int> TerminalKeysOf(const std::string& bytes) {
    ConsoleSetTerminalInputForTesting(bytes.data(), static_cast<unsigned>(bytes.size()));
    std::vector<int> keys;
    for (int c; (c = ConsoleGetch()) != kConsoleEndOfInput;) {
        keys.push_back(c);
    }
    ConsoleSetInputForTesting(nullptr, 0);
    return keys;
}

TEST(ConsoleTerminal, EscapeSequencesBecomeConsoleKeys) {
    const int E = kConsolePrefixExtended, F = kConsolePrefixFunction;
    struct Case {
        std::string bytes;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {"\x1b[A", {E, kConsoleKeyUp}},
        {"\x1b[B", {E, kConsoleKeyDown}},
        {"\x1b[C", {E, kConsoleKeyRight}},
        {"\x1b[D", {E, kConsoleKeyLeft}},
        {"\x1bOA", {E, kConsoleKeyUp}},
        {"\x1b[1;1A", {E, kConsoleKeyUp}}, // modifier parameter 1: no modifier
        {"\x1b[H", {E, kConsoleKeyHome}},
        {"\x1bOH", {E, kConsoleKeyHome}},
        {"\x1b[1~", {E, kConsoleKeyHome}},
        {"\x1b[7~", {E, kConsoleKeyHome}},
        {"\x1b[F", {E, kConsoleKeyEnd}},
        {"\x1b[4~", {E, kConsoleKeyEnd}},
        {"\x1b[2~", {E, kConsoleKeyIns}},
        {"\x1b[3~", {E, kConsoleKeyDel}},
        {"\x1b[5~", {E, kConsoleKeyPgUp}},
        {"\x1b[6~", {E, kConsoleKeyPgDn}},
        {"\x1bOP", {F, 59}},
        {"\x1bOS", {F, 62}},
        {"\x1b[11~", {F, 59}},
        {"\x1b[[A", {F, 59}},
        {"\x1b[15~", {F, 63}},
        {"\x1b[17~", {F, 64}},
        {"\x1b[18~", {F, 65}},
        {"\x1b[19~", {F, 66}},
        {"\x1b[20~", {F, 67}},
        {"\x1b[21~", {F, 68}},
        {"\x1b[23~", {E, kConsoleKeyF11}},
        {"\x1b[24~", {E, kConsoleKeyF12}},
        {"\x1b[18;3~", {F, kConsoleKeyAltF7}},
        {"\x1b\x1b[18~", {F, kConsoleKeyAltF7}},
        {"\x1b[1;3P", {F, 104}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TerminalKeysOf(c.bytes), c.keys) << c.bytes.substr(1);
    }
}

// The xterm sequence of an editing key with the modifier parameter mod (1 + the modifier bits).
std::string ModifiedSequence(int plain, int mod) {
    // Each key's number before the modifier and the sequence's last byte.
    static constexpr struct {
        int Key;
        char Number, Final;
    } kSequences[] = {
        {kConsoleKeyUp, '1', 'A'},   {kConsoleKeyDown, '1', 'B'}, {kConsoleKeyRight, '1', 'C'},
        {kConsoleKeyLeft, '1', 'D'}, {kConsoleKeyHome, '1', 'H'}, {kConsoleKeyEnd, '1', 'F'},
        {kConsoleKeyIns, '2', '~'},  {kConsoleKeyDel, '3', '~'},  {kConsoleKeyPgUp, '5', '~'},
        {kConsoleKeyPgDn, '6', '~'},
    };
    for (const auto& k : kSequences) {
        if (k.Key == plain) {
            return std::string("\x1b[") + k.Number + ";" + std::to_string(mod) + k.Final;
        }
    }
    ADD_FAILURE() << "no sequence for " << plain;
    return {};
}

TEST(ConsoleTerminal, EditingKeysWithModifiersAreKeysOfTheirOwn) {
    const int E = kConsolePrefixExtended, F = kConsolePrefixFunction;
    std::vector<std::vector<int>> seen;
    for (const ConsoleModifiedKey& key : kConsoleModifiedKeys) {
        // Shift 2, Alt 3, Ctrl 5, Ctrl+Shift 6, Ctrl+Alt 7, Meta 9.
        const struct {
            int mod;
            std::vector<int> keys;
        } cases[] = {
            {2, {E, key.Shift}}, {3, {F, key.Alt}}, {5, {E, key.Ctrl}},
            {6, {E, key.Ctrl}},  {7, {F, key.Alt}}, {9, {F, key.Alt}},
        };
        for (const auto& c : cases) {
            const std::string bytes = ModifiedSequence(key.Plain, c.mod);
            EXPECT_EQ(TerminalKeysOf(bytes), c.keys) << bytes.substr(1);
        }
        seen.push_back({E, key.Shift});
        seen.push_back({E, key.Ctrl});
        seen.push_back({F, key.Alt});
        // Alt as an ESC before the plain key's sequence.
        EXPECT_EQ(TerminalKeysOf("\x1b" + ModifiedSequence(key.Plain, 1)),
                  (std::vector<int>{F, key.Alt}));
    }
    // No two keys share a code, and none is the code of a key the console names otherwise:
    // an editing key, a function key (with or without modifiers) or Alt+F7.
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    for (const std::vector<int>& keys : seen) {
        const int code = keys[1];
        EXPECT_FALSE(code >= kConsoleKeyF1 && code <= kConsoleKeyDel) << code;
        EXPECT_FALSE(code >= kConsoleKeyF11 && code <= 140) << code;
        EXPECT_GT(code, kConsoleKeyAltF7 + 3) << code; // Alt+F10 is the last function key
    }
}

TEST(ConsoleTerminal, LoneEscapesUnknownSequencesAndPlainKeys) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {"a lone ESC", "\x1b", {27}},
        {"ESC after a key", "a\x1b", {'a', 27}},
        {"two ESC keys", "\x1b\x1b", {27, 27}},
        {"unknown number", "\x1b[99~x", {'x'}},
        {"unknown final letter", "\x1b[1;2;3;4;5Zq", {'q'}},
        {"private parameters", "\x1b[?1;2cq", {'q'}},
        {"unknown SS3", "\x1bOzq", {'q'}},
        {"Alt with a letter", "\x1bxq", {'q'}},
        {"a sequence cut short", "\x1b[1", {}},
        {"erase key is Backspace", "\x7f", {8}},
        {"Ctrl+H deletes a word", "\x08", {127}},
        {"Alt+Backspace deletes a word", "\x1b\x7f", {127}},
        {"Enter and Ctrl+J", "\r\n", {13, 10}},
        {"plain keys", "ab 1", {'a', 'b', ' ', '1'}},
        // Raw 0 and 224 bytes name no key: they must not make a prefix of the next key
        // ("H" after them is no Up).
        {"raw 0 and 224 bytes", std::string("\0H\xE0K", 4), {'H', 'K'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TerminalKeysOf(c.bytes), c.keys) << c.name;
    }
}

TEST(ConsoleTerminal, PollsSeeTheSecondCodeOfAKey) {
    ConsoleSetTerminalInputForTesting("\x1b[A", 3);
    EXPECT_EQ(ConsoleGetch(), kConsolePrefixExtended);
    EXPECT_TRUE(ConsoleKbhit());
    EXPECT_FALSE(ConsoleInputEnded());
    EXPECT_EQ(ConsoleGetch(), kConsoleKeyUp);
    EXPECT_EQ(ConsoleGetch(), kConsoleEndOfInput);
    EXPECT_TRUE(ConsoleInputEnded());
    ConsoleSetInputForTesting(nullptr, 0);
}

TEST(ConsoleTerminal, CursorEscapesOnlyOnAScreen) {
    std::string out;
    ConsoleSetScreenForTesting(&out, 0, 0);
    EXPECT_FALSE(ConsoleHasScreen());
    ConsoleMoveCursor(-1, 3);
    ConsoleEraseToEnd();
    ConsoleCaretCell('x', true);
    EXPECT_EQ(out, "");
    EXPECT_EQ(ConsoleCursorColumn(), -1);
    ConsoleSetScreenForTesting(&out, 40, 5);
    EXPECT_TRUE(ConsoleHasScreen());
    EXPECT_EQ(ConsoleWidth(), 40);
    EXPECT_EQ(ConsoleCursorColumn(), 5);
    ConsoleMoveCursor(-1, 3);
    ConsoleMoveCursor(2, -4);
    ConsoleEraseToEnd();
    EXPECT_EQ(out, "\x1b[1A\x1b[3C\x1b[2B\x1b[4D\x1b[J");
    ConsoleSetScreenForTesting(nullptr, 0, 0);
}

using q3vtest::Pty;

bool IsRaw(const termios& t) {
    return !(t.c_lflag & ICANON) && !(t.c_lflag & ECHO) && !(t.c_iflag & IXON) &&
           (t.c_lflag & ISIG) && (t.c_oflag & OPOST);
}

bool IsCooked(const termios& t) {
    return (t.c_lflag & ICANON) && (t.c_lflag & ECHO);
}

TEST(ConsoleTerminal, RawKeysOnATerminalAndItsSettingsPutBack) {
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(IsCooked(pty.Settings()));
    int savedStdin = dup(STDIN_FILENO);
    ASSERT_GE(savedStdin, 0);
    dup2(pty.slave, STDIN_FILENO);
    ConsoleSetInputForTesting(nullptr, 0);
    // Typed with a line end, so that a read cannot wait even if raw mode failed (the line
    // discipline may turn the CR into LF while the terminal is still cooked).
    pty.Type("x\r");
    EXPECT_TRUE(ConsoleIsTerminal());
    EXPECT_EQ(ConsoleGetch(), 'x');
    EXPECT_TRUE(IsRaw(pty.Settings()));
    int lineEnd = ConsoleGetch();
    EXPECT_TRUE(lineEnd == '\n' || lineEnd == '\r') << lineEnd;
    pty.Type("\x1b[A\r");
    EXPECT_EQ(ConsoleGetch(), kConsolePrefixExtended);
    EXPECT_EQ(ConsoleGetch(), kConsoleKeyUp);
    EXPECT_EQ(ConsoleGetch(), '\r'); // CR stays CR on the way in
    ConsoleRestore();
    EXPECT_TRUE(IsCooked(pty.Settings()));
    ConsoleResume();
    EXPECT_TRUE(IsRaw(pty.Settings()));
    ConsoleRestore();
    EXPECT_TRUE(IsCooked(pty.Settings()));
    dup2(savedStdin, STDIN_FILENO);
    close(savedStdin);
    ConsoleSetInputForTesting(nullptr, 0);
}

// Runs body in a child process whose standard input and output are the pty's slave; returns
// the child's wait status.
template <typename Body> int InChild(const Pty& pty, Body body) {
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pty.slave, STDIN_FILENO);
        dup2(pty.slave, STDOUT_FILENO);
        ConsoleSetInputForTesting(nullptr, 0);
        ConsoleSetScreenForTesting(nullptr, 0, 0);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

TEST(ConsoleTerminal, EveryWayOutOfTheProgramPutsTheSettingsBack) {
    // The signals that end the program: the keyboard's (Ctrl+C, Ctrl+\), a closed output pipe,
    // kill and hang-up; and exit through the exit handlers (-1).
    for (int sig : {SIGINT, SIGQUIT, SIGPIPE, SIGTERM, SIGHUP, -1}) {
        SCOPED_TRACE(sig);
        Pty pty;
        ASSERT_TRUE(pty.Ok());
        pty.Type("k\r");
        int status = InChild(pty, [&] {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore); // SIGQUIT leaves no core file behind
            if (ConsoleGetch() != 'k') {
                return 3;
            }
            if (sig < 0) {
                std::exit(0);
            }
            raise(sig);
            return 4;
        });
        if (sig < 0) {
            ASSERT_TRUE(WIFEXITED(status)) << status;
            EXPECT_EQ(WEXITSTATUS(status), 0);
        } else {
            ASSERT_TRUE(WIFSIGNALED(status)) << status;
            EXPECT_EQ(WTERMSIG(status), sig);
        }
        EXPECT_TRUE(IsCooked(pty.Settings()));
    }
}

int g_ContinueCalls = 0;
void CountContinue() {
    ++g_ContinueCalls;
}

TEST(ConsoleTerminal, AStopGivesTheSettingsBackAndGoingOnTakesRawKeysAgain) {
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    pty.Type("k\r");
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        // A process group of its own, whose parent is outside it: Ctrl+Z's signal stops it.
        setpgid(0, 0);
        dup2(pty.slave, STDIN_FILENO);
        dup2(pty.slave, STDOUT_FILENO);
        ConsoleSetInputForTesting(nullptr, 0);
        ConsoleSetContinueHook(&CountContinue);
        if (ConsoleGetch() != 'k') {
            _exit(3);
        }
        raise(SIGTSTP);
        // Continued: raw keys again, and the key typed meanwhile comes at once.
        termios t{};
        tcgetattr(STDIN_FILENO, &t);
        if (!IsRaw(t)) {
            _exit(5);
        }
        const int lineEnd = ConsoleGetch(); // typed while cooked: may have become LF
        if (lineEnd != '\r' && lineEnd != '\n') {
            _exit(6);
        }
        if (ConsoleGetch() != 'm') {
            _exit(7);
        }
        _exit(g_ContinueCalls == 1 ? 0 : 8); // the editor was told once, to draw its line again
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WUNTRACED), pid);
    ASSERT_TRUE(WIFSTOPPED(status)) << status;
    EXPECT_TRUE(IsCooked(pty.Settings()));
    pty.Type("m");
    kill(pid, SIGCONT);
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ConsoleTerminal, CursorColumnFromTheTerminalsReportKeepsTypedKeys) {
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    // A key typed before the report arrives, then the report of row 3, column 12.
    pty.Type("k\x1b[3;12Rm\r");
    int status = InChild(pty, [] {
        if (!ConsoleHasScreen()) {
            return 2;
        }
        if (ConsoleCursorColumn() != 11) {
            return 3;
        }
        if (ConsoleGetch() != 'k' || ConsoleGetch() != 'm') {
            return 4;
        }
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
