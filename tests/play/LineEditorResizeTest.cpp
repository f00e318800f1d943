// The line editor on a terminal that changes its width and keeps its rows as they were,
// wrapping nothing anew: the prompt and the line are drawn again below the old rows, at the new
// width; a key typed while the editor asks the terminal where the cursor went is not held back,
// and a resize that comes meanwhile is followed too. Terminals that wrap their rows anew are
// tried on tmux (tests/play/tmux).
#include "play/LineEditor.h"

#include "support/Pty.h"
#include "support/VirtualScreen.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

using q3vtest::Pty;

// The terminal on the master side of a pty: shows what the program writes and answers its
// questions for the cursor position.
class Terminal {
public:
    Terminal(const Pty& pty, int width) : m_Pty(pty), m_Screen(width) {}

    VirtualScreen& Screen() { return m_Screen; }

    // How many times the program asked for the cursor position.
    int Questions() const { return m_Questions; }

    // Keys typed just before the next answer, as a person types while it is on its way.
    void TypeBeforeAnswer(const std::string& keys) {
        m_BeforeAnswer = [this, keys] { m_Pty.Type(keys); };
    }

    // What happens just before the next answer (a window resized again while it is on its
    // way).
    void BeforeAnswer(std::function<void()> action) { m_BeforeAnswer = std::move(action); }

    // Shows what the program writes until the screen's text is expected; false when it never
    // was.
    bool Until(const std::string& expected) {
        return q3vtest::WaitUntil([&] {
            Take();
            return m_Screen.Text() == expected;
        });
    }

    // Shows what the program wrote so far.
    void Pump() { Take(); }

    // As Until, for the last rows of the screen.
    bool UntilTail(const std::string& expected) {
        return q3vtest::WaitUntil([&] {
            Take();
            const std::string text = m_Screen.Text();
            return text.size() >= expected.size() &&
                   text.compare(text.size() - expected.size(), expected.size(), expected) == 0;
        });
    }

private:
    void Take() {
        char buffer[4096];
        pollfd p{m_Pty.master, POLLIN, 0};
        while (poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = read(m_Pty.master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            m_Pending.append(buffer, static_cast<size_t>(n));
        }
        for (;;) {
            const size_t esc = m_Pending.find('\x1b');
            m_Screen.Feed(m_Pending.substr(0, esc));
            m_Pending.erase(0, esc);
            const size_t end = SequenceEnd();
            if (end == std::string::npos) {
                return; // nothing more, or a sequence not whole yet
            }
            const std::string sequence = m_Pending.substr(0, end);
            m_Pending.erase(0, end);
            if (sequence == "\x1b[6n") {
                ++m_Questions;
                Answer();
            } else {
                m_Screen.Feed(sequence);
            }
        }
    }

    // The length of the escape sequence that m_Pending begins with; npos when it is not whole.
    size_t SequenceEnd() const {
        if (m_Pending.size() < 2) {
            return std::string::npos;
        }
        if (m_Pending[1] != '[') {
            return 2;
        }
        for (size_t i = 2; i < m_Pending.size(); ++i) {
            if (m_Pending[i] >= 0x40 && m_Pending[i] <= 0x7e) {
                return i + 1;
            }
        }
        return std::string::npos;
    }

    void Answer() {
        if (m_BeforeAnswer) {
            std::exchange(m_BeforeAnswer, nullptr)();
        }
        m_Pty.Type("\x1b[" + std::to_string(m_Screen.CursorRow() + 1) + ";" +
                   std::to_string(m_Screen.CursorColumn() + 1) + "R");
    }

    const Pty& m_Pty;
    VirtualScreen m_Screen;
    std::string m_Pending;
    std::function<void()> m_BeforeAnswer;
    int m_Questions = 0;
};

// Reads one line with the prompt "=" on the pty, then writes "got:[line]".
pid_t StartEditor(const Pty& pty) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pty.slave, STDIN_FILENO);
        dup2(pty.slave, STDOUT_FILENO);
        ConsoleSetInputForTesting(nullptr, 0);
        ConsoleSetScreenForTesting(nullptr, 0, 0);
        HistoryClear();
        std::fputs("=", stdout);
        char line[256];
        const char* got = ReadCommandLine(line, sizeof line);
        std::printf("got:[%s]\n", got ? got : "");
        std::fflush(stdout);
        ConsoleRestore();
        _exit(0);
    }
    return pid;
}

// The rows of text at the width before, as a terminal keeps them at the width after.
std::string KeptRows(const std::string& text, int before, int after) {
    std::string kept;
    for (size_t i = 0; i < text.size(); i += before) {
        kept += (i ? "\n" : "") + text.substr(i, before).substr(0, after);
    }
    return kept;
}

// The editor on a pty of 20 columns that keeps its rows on a resize, the prompt shown.
class EditorSession {
public:
    EditorSession() {
        if (!m_Pty.Ok()) {
            return;
        }
        m_Pty.SetSize(20, 24);
        m_Pid = StartEditor(m_Pty);
        if (m_Pid > 0 && m_Terminal.Until("=")) {
            m_Ready = true;
        }
    }
    ~EditorSession() {
        int status = 0;
        if (m_Pid > 0 && waitpid(m_Pid, &status, WNOHANG) == 0) {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, &status, 0);
        }
    }
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    bool Ready() const { return m_Ready; }
    const Pty& Keys() const { return m_Pty; }
    Terminal& Screen() { return m_Terminal; }

    // The window resized to width columns: the terminal keeps its rows, the editor is told.
    void Resize(int width) {
        m_Pty.SetSize(static_cast<unsigned short>(width), 24);
        m_Terminal.Screen().Resize(width);
        kill(m_Pid, SIGWINCH);
    }

private:
    Pty m_Pty;
    Terminal m_Terminal{m_Pty, 20};
    pid_t m_Pid = -1;
    bool m_Ready = false;
};

TEST(LineEditorResize, ATerminalThatKeepsItsRowsGetsTheLineAgainBelowThem) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyz0123";
    // At 70 characters the cursor stands where a terminal that wraps its rows anew would put it
    // too (column 11 at 20 and at 12 columns), on another row.
    const struct {
        std::string text;
        int after;
    } cases[] = {{letters, 12}, {letters, 30}, {letters + letters + "0123456789", 12}};
    for (const auto& [text, after] : cases) {
        SCOPED_TRACE(after);
        SCOPED_TRACE(text.size());
        EditorSession session;
        ASSERT_TRUE(session.Ready());
        Terminal& terminal = session.Screen();
        session.Keys().Type(text);
        EXPECT_TRUE(terminal.Until(WrappedRows("=" + text, 20)));
        // Y is typed while the editor asks where the cursor went: it shows without another key.
        terminal.TypeBeforeAnswer("Y");
        session.Resize(after);
        const std::string old = KeptRows("=" + text, 20, after);
        EXPECT_TRUE(terminal.Until(old + "\n" + WrappedRows("=" + text + "Y", after)))
            << terminal.Screen().Text();
        // The caret: one inverted cell, at the cursor after the line; none left on the old rows.
        const VirtualScreen& screen = terminal.Screen();
        EXPECT_EQ(screen.Inverted(),
                  std::vector<int>{screen.CursorRow() * after + screen.CursorColumn()});
        EXPECT_EQ(screen.CursorColumn(), static_cast<int>(text.size() + 2) % after);
        session.Keys().Type("\x1b[HX\r");
        EXPECT_TRUE(terminal.Until(old + "\n" + WrappedRows("=X" + text + "Y", after) + "\n" +
                                   WrappedRows("got:[X" + text + "Y]", after)))
            << terminal.Screen().Text();
    }
}

// A window dragged to another size sends one resize after another: one that comes while the
// editor asks where the cursor went after the last is followed too, before any key comes.
TEST(LineEditorResize, AResizeWhileTheLastOneIsFollowedIsFollowedToo) {
    const std::string text = "abcdefghijklmnopqrstuvwxyz0123";
    EditorSession session;
    ASSERT_TRUE(session.Ready());
    Terminal& terminal = session.Screen();
    // The cursor after "abc", on the first row at every width.
    session.Keys().Type(text + "\x1b[H\x1b[C\x1b[C\x1b[C");
    EXPECT_TRUE(terminal.Until(WrappedRows("=" + text, 20)));
    EXPECT_TRUE(q3vtest::WaitUntil([&] {
        terminal.Pump();
        return terminal.Screen().CursorColumn() == 4;
    }));
    const int asked = terminal.Questions();
    terminal.BeforeAnswer([&] { session.Resize(30); });
    session.Resize(12);
    EXPECT_TRUE(q3vtest::WaitUntil([&] {
        terminal.Pump();
        return terminal.Questions() >= asked + 2;
    })) << "the second resize waits for a key";
    EXPECT_TRUE(terminal.UntilTail(WrappedRows("=" + text, 30))) << terminal.Screen().Text();
    session.Keys().Type("X\r");
    EXPECT_TRUE(terminal.UntilTail(WrappedRows("=abcX" + text.substr(3), 30) + "\n" +
                                   WrappedRows("got:[abcX" + text.substr(3) + "]", 30)))
        << terminal.Screen().Text();
}

} // namespace
