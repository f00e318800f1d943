#pragma once
// A pseudo terminal for tests: its slave side stands in for a program's standard input and
// output, its master side for the terminal that a person types on and looks at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace q3vtest {

struct Pty {
    int master = -1;
    int slave = -1;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
            return;
        }
        slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    }
    ~Pty() {
        if (slave >= 0) {
            close(slave);
        }
        if (master >= 0) {
            close(master);
        }
    }
    bool Ok() const { return slave >= 0; }
    void Type(const std::string& bytes) const {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Sets the terminal's size, as a window resized by a person does.
    void SetSize(unsigned short columns, unsigned short rows) const {
        winsize size{};
        size.ws_col = columns;
        size.ws_row = rows;
        ioctl(master, TIOCSWINSZ, &size);
    }
    termios Settings() const {
        termios t{};
        tcgetattr(slave, &t);
        return t;
    }
};

} // namespace q3vtest
