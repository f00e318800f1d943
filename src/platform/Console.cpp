#include "platform/Console.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// How long the rest of an escape sequence may take to arrive before a lone ESC counts as the
// ESC key, and how long the terminal may take to report the cursor position.
constexpr int kEscapeWaitMs = 50;
constexpr int kReportWaitMs = 200;

constexpr int kNoByte = -2; // a timed read found nothing within its wait
constexpr int kNoKey = -3;  // a sequence that names no key: swallowed whole

struct InputState {
    bool TestInput = false;
    bool TestTerminal = false; // scripted bytes follow the terminal's rules
    std::string TestBytes;
    size_t TestPos = 0;
    bool Ended = false;
    bool SkipLf = false;  // the last byte was a CR: a following LF belongs to the same Enter
    std::deque<int> Keys; // decoded key codes waiting (the second code of a key)
    std::deque<unsigned char> Bytes; // terminal bytes read ahead
};

InputState& Input() {
    static InputState s_Input;
    return s_Input;
}

struct ScreenState {
    std::string* Sink = nullptr;
    int Width = 0;
    int Column = 0;
};

ScreenState& Screen() {
    static ScreenState s_Screen;
    return s_Screen;
}

// The terminal's own settings, saved when raw keys are switched on. Plain globals: the signal
// handler reads them.
termios s_SavedTermios;
termios s_RawTermios; // the raw settings, taken again when the program goes on after a stop
volatile sig_atomic_t s_RawActive = 0;
volatile sig_atomic_t s_Continued = 0; // went on after a stop, not told yet
ConsoleContinueHook s_ContinueHook = nullptr;
volatile sig_atomic_t s_Resized = 0; // the terminal changed its size, not told yet
ConsoleResizeHook s_ResizeHook = nullptr;
bool s_HandlersInstalled = false;
bool s_WasRaw = false;
unsigned char s_EraseChar = 127;

void RestoreTerminal() {
    if (s_RawActive) {
        tcsetattr(STDIN_FILENO, TCSANOW, &s_SavedTermios);
        s_RawActive = 0;
    }
}

void OnFatalSignal(int signal) {
    RestoreTerminal();
    // The handler was installed with SA_RESETHAND: the default action ends the process.
    raise(signal);
}

struct sigaction s_StopAction {};

void OnResize(int) {
    s_Resized = 1;
}

// Ctrl+Z: the terminal gets its own settings back while the program is stopped, and raw keys
// again when it goes on (the shell that continues it puts back only its own settings).
void OnStop(int) {
    const int savedErrno = errno;
    const bool wasRaw = s_RawActive != 0;
    RestoreTerminal();
    // Stop by the default action; the program goes on from here when it is continued.
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTSTP, &stop, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(SIGTSTP);
    sigaction(SIGTSTP, &s_StopAction, nullptr);
    if (wasRaw && tcsetattr(STDIN_FILENO, TCSANOW, &s_RawTermios) == 0) {
        s_RawActive = 1;
    }
    s_Continued = 1;
    errno = savedErrno;
}

// Installs action for signal unless the program was told to ignore the signal (it then
// stays ignored).
void InstallHandler(int signal, const struct sigaction& action) {
    struct sigaction old {};
    if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
        return;
    }
    sigaction(signal, &action, nullptr);
}

void InstallHandlers() {
    if (s_HandlersInstalled) {
        return;
    }
    s_HandlersInstalled = true;
    std::atexit(RestoreTerminal);
    s_StopAction.sa_handler = OnStop;
    sigemptyset(&s_StopAction.sa_mask);
    s_StopAction.sa_flags = SA_RESTART; // reads elsewhere in the program go on after a stop
    InstallHandler(SIGTSTP, s_StopAction);
    // A resize interrupts the wait for a key (poll is never restarted) and nothing else.
    struct sigaction resize {};
    resize.sa_handler = OnResize;
    sigemptyset(&resize.sa_mask);
    resize.sa_flags = SA_RESTART;
    InstallHandler(SIGWINCH, resize);
    struct sigaction sa {};
    sa.sa_handler = OnFatalSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    // SIGQUIT is a keyboard signal too (Ctrl+\), and SIGPIPE ends a run whose output went
    // into a pipe that closed: both would leave the terminal without echo.
    for (int sig : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE}) {
        InstallHandler(sig, sa);
    }
}

// Raw keys: no line buffering, no echo, no flow control, CR kept as CR; signals from the
// keyboard and output processing stay as they are.
void EnterRaw() {
    if (s_RawActive) {
        return;
    }
    termios t;
    if (tcgetattr(STDIN_FILENO, &t) != 0) {
        return;
    }
    s_SavedTermios = t;
    s_EraseChar = t.c_cc[VERASE];
    InstallHandlers();
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    s_RawTermios = t;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0) {
        s_RawActive = 1;
        s_WasRaw = true;
    }
}

// Calls hook once after a signal handler raised flag. The continue hook is told after the
// program was stopped and continued; the resize hook after the terminal changed its size, and
// only by a wait for a key: it draws on the screen and may ask the terminal for the cursor,
// which it must not do in the middle of an escape sequence or of another report.
void Tell(volatile sig_atomic_t& flag, void (*hook)()) {
    if (!flag) {
        return;
    }
    flag = 0;
    if (hook != nullptr) {
        hook();
        std::fflush(stdout);
    }
}

bool RealTerminal() {
    const InputState& in = Input();
    return !in.TestInput && isatty(STDIN_FILENO);
}

bool TerminalRules() {
    const InputState& in = Input();
    return in.TestInput ? in.TestTerminal : isatty(STDIN_FILENO) != 0;
}

// Next byte of the input. waitMs < 0 blocks; otherwise kNoByte when nothing arrives in time.
int ReadByte(int waitMs) {
    InputState& in = Input();
    if (!in.Bytes.empty()) {
        int c = in.Bytes.front();
        in.Bytes.pop_front();
        return c;
    }
    if (in.Ended) {
        return kConsoleEndOfInput;
    }
    if (in.TestInput) {
        if (in.TestPos >= in.TestBytes.size()) {
            if (waitMs >= 0 && in.TestTerminal) {
                return kNoByte;
            }
            in.Ended = true;
            return kConsoleEndOfInput;
        }
        return static_cast<unsigned char>(in.TestBytes[in.TestPos++]);
    }
    std::fflush(stdout);
    if (RealTerminal()) {
        EnterRaw();
    }
    for (;;) {
        Tell(s_Continued, s_ContinueHook);
        if (waitMs < 0) {
            Tell(s_Resized, s_ResizeHook);
        }
        // What the hooks drew may have asked the terminal for the cursor: keys typed meanwhile
        // were read ahead and come first.
        if (!in.Bytes.empty() || in.Ended) {
            return ReadByte(waitMs);
        }
        // poll, also for a blocking read: unlike read it is never restarted after a signal, so
        // a stop and continue while the program waits for a key is told at once. A resize that
        // came after the hook was told (while it drew, or just now) is told before the wait:
        // the signal is held back while the flag is looked at, and let through only by the
        // wait itself.
        sigset_t resize, others;
        sigemptyset(&resize);
        sigaddset(&resize, SIGWINCH);
        pthread_sigmask(SIG_BLOCK, &resize, &others);
        if (waitMs < 0 && s_Resized) {
            pthread_sigmask(SIG_SETMASK, &others, nullptr);
            continue;
        }
        pollfd p{STDIN_FILENO, POLLIN, 0};
        const timespec wait{waitMs / 1000, (waitMs % 1000) * 1000000L};
        int r = ppoll(&p, 1, waitMs < 0 ? nullptr : &wait, &others);
        pthread_sigmask(SIG_SETMASK, &others, nullptr);
        if (r == 0) {
            return kNoByte;
        }
        if (r < 0 && errno == EINTR) {
            continue;
        }
        unsigned char c;
        ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n == 1) {
            return c;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            return kNoByte;
        }
        in.Ended = true;
        return kConsoleEndOfInput;
    }
}

// Hands back a key of two codes: returns the prefix, the second code waits.
int ExtendedKey(int prefix, int code) {
    Input().Keys.push_back(code);
    return prefix;
}

// Modifier bits of an xterm key parameter (the parameter is 1 + the bits).
constexpr int kModShift = 1, kModAlt = 2, kModCtrl = 4, kModMeta = 8;

// The console's codes of a run of function keys: its prefix, its first key, and the second code
// of that first key alone and with each modifier (Alt wins over Ctrl, Ctrl over Shift).
struct FunctionKeys {
    int Prefix, First, Plain, Shift, Ctrl, Alt;
};
constexpr FunctionKeys kF1ToF10{kConsolePrefixFunction, 1, kConsoleKeyF1, 84, 94, 104};
constexpr FunctionKeys kF11ToF12{kConsolePrefixExtended, 11, kConsoleKeyF11, 135, 137, 139};

// Function key n (1..12) with modifiers, as the console gives it.
int FunctionKey(int n, int mods) {
    const FunctionKeys& keys = n <= 10 ? kF1ToF10 : kF11ToF12;
    int base = keys.Plain;
    if (mods & kModAlt) {
        base = keys.Alt;
    } else if (mods & kModCtrl) {
        base = keys.Ctrl;
    } else if (mods & kModShift) {
        base = keys.Shift;
    }
    return ExtendedKey(keys.Prefix, base + n - keys.First);
}

// Editing key code (Home .. Del) with modifiers; the Meta bit counts as Alt.
int EditKey(int code, int mods) {
    if (mods == 0) {
        return ExtendedKey(kConsolePrefixExtended, code);
    }
    for (const ConsoleModifiedKey& key : kConsoleModifiedKeys) {
        if (key.Plain != code) {
            continue;
        }
        if (mods & (kModAlt | kModMeta)) {
            return ExtendedKey(kConsolePrefixFunction, key.Alt);
        }
        return ExtendedKey(kConsolePrefixExtended, mods & kModCtrl ? key.Ctrl : key.Shift);
    }
    return kNoKey;
}

// A key named by the final letter of a CSI or SS3 sequence; kNoKey when it names none.
int LetterKey(int final, int mods) {
    switch (final) {
    case 'A':
        return EditKey(kConsoleKeyUp, mods);
    case 'B':
        return EditKey(kConsoleKeyDown, mods);
    case 'C':
        return EditKey(kConsoleKeyRight, mods);
    case 'D':
        return EditKey(kConsoleKeyLeft, mods);
    case 'H':
        return EditKey(kConsoleKeyHome, mods);
    case 'F':
        return EditKey(kConsoleKeyEnd, mods);
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
        return FunctionKey(final - 'P' + 1, mods);
    default:
        return kNoKey;
    }
}

// A key named by the number of a "CSI n ~" sequence; kNoKey when it names none. Numbers 1 to 8
// are editing keys; 11 to 24 are F1 to F12, with gaps at 16 and 22.
int TildeKey(int number, int mods) {
    static constexpr int kEditKeys[] = {0,
                                        kConsoleKeyHome,
                                        kConsoleKeyIns,
                                        kConsoleKeyDel,
                                        kConsoleKeyEnd,
                                        kConsoleKeyPgUp,
                                        kConsoleKeyPgDn,
                                        kConsoleKeyHome,
                                        kConsoleKeyEnd};
    static constexpr int kFunctionKeys[] = {1, 2, 3, 4, 5, 0, 6, 7, 8, 9, 10, 0, 11, 12}; // from 11
    if (number >= 1 && number <= 8) {
        return EditKey(kEditKeys[number], mods);
    }
    if (number >= 11 && number <= 24 && kFunctionKeys[number - 11] != 0) {
        return FunctionKey(kFunctionKeys[number - 11], mods);
    }
    return kNoKey;
}

// Decodes the rest of a sequence after "ESC [". Returns the key's first code, kNoKey when the
// sequence names no key (it is swallowed whole), or kConsoleEndOfInput.
int DecodeCsi(int modsIn) {
    int params[4] = {0, 0, 0, 0};
    int count = 0;
    bool first = true;
    for (;;) {
        int c = ReadByte(kEscapeWaitMs);
        if (c == kConsoleEndOfInput) {
            return c;
        }
        if (c == kNoByte) {
            return kNoKey; // cut short: what came is dropped
        }
        if (first && c == '[') {
            // The Linux console's F1..F5: ESC [ [ A..E.
            int f = ReadByte(kEscapeWaitMs);
            if (f >= 'A' && f <= 'E') {
                return FunctionKey(f - 'A' + 1, modsIn);
            }
            return f == kConsoleEndOfInput ? f : kNoKey;
        }
        first = false;
        if (c >= '0' && c <= '9') {
            if (count == 0) {
                count = 1;
            }
            int& p = params[count - 1];
            if (p < 1000) {
                p = p * 10 + (c - '0');
            }
        } else if (c == ';') {
            if (count == 0) {
                count = 1;
            }
            if (count < 4) {
                ++count;
            }
        } else if (c >= 0x20 && c <= 0x3F) {
            // other parameter or intermediate bytes: part of a sequence we do not know
            params[0] = -1;
        } else if (c >= 0x40 && c <= 0x7E) {
            if (params[0] < 0) {
                return kNoKey;
            }
            int mods = modsIn;
            if (count >= 2 && params[1] > 1) {
                mods |= (params[1] - 1);
            }
            if (c == '~') {
                return TildeKey(params[0], mods);
            }
            return LetterKey(c, mods);
        } else {
            return kNoKey; // a control byte inside a sequence: give up on it
        }
    }
}

// Decodes what follows an ESC. Returns the key's first code, kNoKey for a swallowed sequence, or
// kConsoleEndOfInput.
int DecodeEscape(int mods) {
    int c = ReadByte(kEscapeWaitMs);
    if (c == kNoByte) {
        return 27; // a lone ESC
    }
    if (c == kConsoleEndOfInput) {
        return 27; // the ESC key was the last thing typed
    }
    if (c == '[') {
        return DecodeCsi(mods);
    }
    if (c == 'O') {
        int f = ReadByte(kEscapeWaitMs);
        if (f == kConsoleEndOfInput || f == kNoByte) {
            return kNoKey;
        }
        return LetterKey(f, mods);
    }
    if (c == 27 && !(mods & kModAlt)) {
        // ESC ESC [ ...: the key of the sequence with Alt. Two ESC keys otherwise.
        int n = ReadByte(kEscapeWaitMs);
        if (n == '[' || n == 'O') {
            Input().Bytes.push_front(static_cast<unsigned char>(n));
            return DecodeEscape(kModAlt);
        }
        if (n >= 0) {
            Input().Bytes.push_front(static_cast<unsigned char>(n));
        }
        Input().Bytes.push_front(27);
        return 27;
    }
    if (c == 127 || c == 8) {
        return 127; // Alt+Backspace deletes a word, as Ctrl+Backspace does
    }
    return kNoKey; // Alt with a character: no key of the console
}

// One key with the terminal's rules.
int TerminalGetch() {
    InputState& in = Input();
    for (;;) {
        if (!in.Keys.empty()) {
            int k = in.Keys.front();
            in.Keys.pop_front();
            return k;
        }
        int c = ReadByte(-1);
        if (c == kConsoleEndOfInput) {
            return c;
        }
        if (c == 27) {
            int k = DecodeEscape(0);
            if (k != kNoKey) {
                return k;
            }
            continue; // swallowed
        }
        // A raw 0 (Ctrl+Space) or 224 byte is no prefix here: prefixes come only from the
        // sequences decoded above, so such a byte must not turn the next key into another.
        if (c == kConsolePrefixFunction || c == kConsolePrefixExtended) {
            continue;
        }
        // The terminal's erase key is the console's Backspace; Ctrl+H, which terminals send
        // for Ctrl+Backspace when their erase key is DEL, deletes a word.
        unsigned char erase = in.TestInput ? 127 : s_EraseChar;
        if (c == erase) {
            return 8;
        }
        if (c == 8 && erase == 127) {
            return 127;
        }
        return c;
    }
}

void Out(const char* text) {
    ScreenState& s = Screen();
    if (s.Sink) {
        s.Sink->append(text);
    } else {
        std::fputs(text, stdout);
    }
}

} // namespace

bool ConsoleIsTerminal() {
    return RealTerminal();
}

int ConsoleGetch() {
    if (TerminalRules()) {
        return TerminalGetch();
    }
    InputState& in = Input();
    for (;;) {
        int c = ReadByte(-1);
        if (c == '\n' && in.SkipLf) {
            in.SkipLf = false;
            continue;
        }
        in.SkipLf = (c == '\r');
        if (c == '\n') {
            return '\r';
        }
        return c;
    }
}

bool ConsoleKbhit() {
    InputState& in = Input();
    if (in.Ended || !in.Keys.empty() || !in.Bytes.empty()) {
        return true;
    }
    if (in.TestInput) {
        return true; // scripted keys are always waiting, or the input has ended
    }
    std::fflush(stdout);
    if (RealTerminal()) {
        EnterRaw();
    }
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

bool ConsoleInputEnded() {
    InputState& in = Input();
    return in.Ended && in.Keys.empty() && in.Bytes.empty();
}

void ConsolePutch(int ch) {
    ScreenState& s = Screen();
    if (s.Sink) {
        s.Sink->push_back(static_cast<char>(ch));
    } else {
        std::fputc(ch, stdout);
    }
}

void ConsoleWrite(const char* text) {
    Out(text);
}

bool ConsoleHasScreen() {
    const ScreenState& s = Screen();
    if (s.Sink) {
        return s.Width > 0;
    }
    return RealTerminal() && isatty(STDOUT_FILENO);
}

int ConsoleWidth() {
    const ScreenState& s = Screen();
    if (s.Sink && s.Width > 0) {
        return s.Width;
    }
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) {
        return ws.ws_col;
    }
    return 80;
}

int ConsoleCursorColumn() {
    const ScreenState& s = Screen();
    if (s.Sink) {
        return s.Width > 0 ? s.Column : -1;
    }
    if (!ConsoleHasScreen()) {
        return -1;
    }
    EnterRaw();
    if (!s_RawActive) {
        return -1;
    }
    // Ask for the cursor position report "ESC [ row ; column R". Keys typed meanwhile stay
    // queued in the order they came.
    std::fputs("\x1b[6n", stdout);
    std::fflush(stdout);
    InputState& in = Input();
    std::deque<unsigned char> before;
    before.swap(in.Bytes);
    std::string got;
    int column = -1;
    for (;;) {
        int c = ReadByte(kReportWaitMs);
        if (c < 0) {
            break;
        }
        got.push_back(static_cast<char>(c));
        if (c != 'R') {
            continue;
        }
        size_t esc = got.rfind("\x1b[");
        if (esc == std::string::npos) {
            continue;
        }
        unsigned row = 0, col = 0;
        char tail = 0;
        if (std::sscanf(got.c_str() + esc, "\x1b[%u;%u%c", &row, &col, &tail) == 3 && tail == 'R' &&
            col > 0) {
            column = static_cast<int>(col) - 1;
            got.erase(esc);
            break;
        }
    }
    for (char ch : got) {
        before.push_back(static_cast<unsigned char>(ch));
    }
    in.Bytes.swap(before);
    return column;
}

void ConsoleMoveCursor(int rows, int columns) {
    if (!ConsoleHasScreen()) {
        return;
    }
    char buf[32];
    if (rows != 0) {
        std::snprintf(buf, sizeof buf, "\x1b[%d%c", rows < 0 ? -rows : rows, rows < 0 ? 'A' : 'B');
        Out(buf);
    }
    if (columns != 0) {
        std::snprintf(buf, sizeof buf, "\x1b[%d%c", columns < 0 ? -columns : columns,
                      columns < 0 ? 'D' : 'C');
        Out(buf);
    }
}

void ConsoleEraseToEnd() {
    if (ConsoleHasScreen()) {
        Out("\x1b[J");
    }
}

void ConsoleCaretCell(int ch, bool inverted) {
    if (!ConsoleHasScreen()) {
        return;
    }
    // Save the cursor, write the cell, restore: the cursor stays put even in the last column.
    char buf[24];
    std::snprintf(buf, sizeof buf,
                  "\x1b"
                  "7%s%c%s\x1b"
                  "8",
                  inverted ? "\x1b[7m" : "", static_cast<char>(ch), inverted ? "\x1b[27m" : "");
    Out(buf);
}

void ConsoleShowCursor() {
    if (ConsoleHasScreen()) {
        Out("\x1b[?25h");
    }
}

void ConsoleRestore() {
    std::fflush(stdout);
    RestoreTerminal();
}

void ConsoleSetContinueHook(ConsoleContinueHook hook) {
    s_ContinueHook = hook;
}

void ConsoleSetResizeHook(ConsoleResizeHook hook) {
    s_ResizeHook = hook;
}

void ConsoleResume() {
    if (s_WasRaw && RealTerminal()) {
        EnterRaw();
    }
}

void ConsoleSetInputForTesting(const char* bytes, unsigned length) {
    InputState& in = Input();
    in = InputState{};
    if (length > 0) {
        in.TestInput = true;
        in.TestBytes.assign(bytes, length);
    }
}

void ConsoleSetTerminalInputForTesting(const char* bytes, unsigned length) {
    ConsoleSetInputForTesting(bytes, length);
    InputState& in = Input();
    in.TestInput = true;
    in.TestTerminal = true;
}

void ConsoleSetScreenForTesting(std::string* sink, int width, int column) {
    ScreenState& s = Screen();
    s.Sink = sink;
    s.Width = sink ? width : 0;
    s.Column = column;
}
