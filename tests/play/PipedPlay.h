#pragma once
// The built play run as a user runs it with input from a pipe kept open: one line at a time, the
// output read up to the next prompt. A transport error's "Abort [Y]: " question is answered n
// (go on), so that the session goes on as a user's would.

#include "support/BoardControls.h"
#include "support/PlayProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace q3vtest {

class PipedPlay {
public:
    // Starts play on the board folder board, in the current directory workDir.
    PipedPlay(const std::string& board, const std::string& workDir) {
        int in[2];
        int out[2];
        // Close-on-exec: another play started later must not hold this one's input open.
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        m_Pid = fork();
        if (m_Pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(out[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1]}) {
                close(fd);
            }
            ClearBoardControls();
            setenv("Q3VSIM_DIR", board.c_str(), 1);
            if (chdir(workDir.c_str()) == 0) {
                execl(PlayPath().c_str(), "play", static_cast<char*>(nullptr));
            }
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_In = in[1];
        m_Out = out[0];
        signal(SIGPIPE, SIG_IGN);
        m_Banner = ReadToPrompt();
    }
    ~PipedPlay() { Finish(); }
    PipedPlay(const PipedPlay&) = delete;
    PipedPlay& operator=(const PipedPlay&) = delete;

    const std::string& Banner() const { return m_Banner; }

    // Types a line; returns what play wrote up to its next prompt.
    std::string Type(std::string_view line) {
        Write(std::string(line) + "\n");
        return ReadToPrompt();
    }

    // Ends the input and waits for play: its exit code, or 128 + the signal that ended it (-1
    // when it could not be waited for; a play silent for a minute is killed). What it still
    // wrote goes to *rest.
    int Finish(std::string* rest = nullptr) {
        if (m_Pid <= 0) {
            return -1;
        }
        if (m_In >= 0) {
            close(m_In);
            m_In = -1;
        }
        std::string tail;
        char buffer[4096];
        for (;;) {
            // The same bound as for a prompt: a play that hangs is ended, not waited for.
            pollfd ready{m_Out, POLLIN, 0};
            if (poll(&ready, 1, 60000) <= 0) {
                kill(m_Pid, SIGKILL);
                break;
            }
            const ssize_t n = read(m_Out, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            tail.append(buffer, static_cast<size_t>(n));
        }
        close(m_Out);
        int status = 0;
        pid_t waited = 0;
        do {
            waited = waitpid(m_Pid, &status, 0);
        } while (waited < 0 && errno == EINTR);
        m_Pid = -1;
        if (rest != nullptr) {
            *rest = tail;
        }
        if (waited <= 0) {
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    void Write(const std::string& text) {
        if (m_In >= 0) {
            (void)!write(m_In, text.data(), text.size());
        }
    }
    static bool EndsWith(const std::string& text, std::string_view end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end.data(), end.size()) == 0;
    }
    // Reads up to the prompt "\n=" (or the end of the output), answering n to each question;
    // the question's bell is dropped from the text.
    std::string ReadToPrompt() {
        std::string text;
        char buffer[4096];
        for (;;) {
            pollfd ready{m_Out, POLLIN, 0};
            // A bound only against a play that hangs: a minute without a byte.
            if (poll(&ready, 1, 60000) <= 0) {
                return text;
            }
            const ssize_t n = read(m_Out, buffer, sizeof buffer);
            if (n <= 0) {
                return text;
            }
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] != '\a') {
                    text += buffer[i];
                }
            }
            if (EndsWith(text, "Abort [Y]: ")) {
                Write("n");
            } else if (EndsWith(text, "\n=")) {
                return text;
            }
        }
    }

    pid_t m_Pid = -1;
    int m_In = -1;
    int m_Out = -1;
    std::string m_Banner;
};

} // namespace q3vtest
