#include "platform/Console.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

struct InputState {
    bool m_TestInput = false;
    std::string m_TestBytes;
    size_t m_TestPos = 0;
    bool m_Ended = false;
    bool m_SkipLf = false; // the last byte was a CR: a following LF belongs to the same Enter
    int m_Pushed = -2;     // a byte read ahead, or -2
};

InputState& Input() {
    static InputState s_Input;
    return s_Input;
}

// Next raw byte of the input, or CON_END_OF_INPUT.
int ReadByte() {
    InputState& in = Input();
    if (in.m_Pushed != -2) {
        int c = in.m_Pushed;
        in.m_Pushed = -2;
        return c;
    }
    if (in.m_Ended)
        return CON_END_OF_INPUT;
    if (in.m_TestInput) {
        if (in.m_TestPos >= in.m_TestBytes.size()) {
            in.m_Ended = true;
            return CON_END_OF_INPUT;
        }
        return static_cast<unsigned char>(in.m_TestBytes[in.m_TestPos++]);
    }
    std::fflush(stdout);
    unsigned char c;
    for (;;) {
        ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n == 1)
            return c;
        if (n < 0 && errno == EINTR)
            continue;
        in.m_Ended = true;
        return CON_END_OF_INPUT;
    }
}

} // namespace

bool ConsoleIsTerminal() {
    return !Input().m_TestInput && isatty(STDIN_FILENO);
}

int ConsoleGetch() {
    InputState& in = Input();
    for (;;) {
        int c = ReadByte();
        if (c == '\n' && in.m_SkipLf) {
            in.m_SkipLf = false;
            continue;
        }
        in.m_SkipLf = (c == '\r');
        if (c == '\n')
            return '\r';
        return c;
    }
}

bool ConsoleKbhit() {
    InputState& in = Input();
    if (in.m_Ended || in.m_Pushed != -2)
        return true;
    if (in.m_TestInput)
        return true; // scripted keys are always waiting, or the input has ended
    std::fflush(stdout);
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

void ConsolePutch(int i_Char) {
    std::fputc(i_Char, stdout);
}

void ConsoleWrite(const char* i_Text) {
    std::fputs(i_Text, stdout);
}

int ConsoleWidth() {
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
    return 80;
}

void ConsoleRestore() {}

void ConsoleResume() {}

void ConsoleSetInputForTesting(const char* i_Bytes, unsigned i_Length) {
    InputState& in = Input();
    in = InputState{};
    if (i_Length > 0) {
        in.m_TestInput = true;
        in.m_TestBytes.assign(i_Bytes, i_Length);
    }
}
