#!/usr/bin/env python3
"""End-to-end tests of the line editor on a real terminal.

Each test starts a program in a detached tmux session of its own (a private server socket),
types keys with send-keys and reads the screen with capture-pane. Waiting is done by polling
the screen a bounded number of times for what should appear; nothing asserts on time.

Usage: tmux_test.py PLAY EDITOR_TTY
"""
import os
import shlex
import subprocess
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree
SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support")
sys.path.insert(0, SUPPORT)
import board_controls  # noqa: E402

PLAY = None
EDITOR_TTY = None

POLL_TRIES = 300
POLL_PAUSE = 0.05


class Pane:
    """One program in a detached tmux session, served by a tmux server of its own whose socket
    lives in a temporary folder that close() removes (a named socket would stay behind in the
    system's tmux folder)."""

    def __init__(self, command, width=80, height=24, env=None):
        self.folder = tempfile.TemporaryDirectory(prefix="q3v-tmux-")
        self.socket = os.path.join(self.folder.name, "socket")
        full_env = dict(os.environ)
        board_controls.clear(full_env)
        full_env.update(env or {})
        full_env.pop("TMUX", None)
        self.env = full_env
        self.closed = False
        try:
            self.tmux("new-session", "-d", "-s", "t", "-x", str(width), "-y", str(height),
                      command)
        except BaseException:
            self.close()
            raise

    def tmux(self, *args):
        return subprocess.run(["tmux", "-S", self.socket, "-f", "/dev/null"] + list(args),
                              env=self.env, check=True, capture_output=True, text=True).stdout

    def keys(self, *keys):
        """Named keys (Enter, Up, F7, ...) or text; each argument is one send-keys word."""
        self.tmux("send-keys", "-t", "t", *keys)

    def type(self, text):
        self.tmux("send-keys", "-t", "t", "-l", text)

    def resize(self, width):
        """Changes the terminal's width, as a person does by resizing the window."""
        self.tmux("resize-window", "-t", "t", "-x", str(width))

    def screen(self):
        return self.tmux("capture-pane", "-p", "-t", "t")

    def rows(self):
        rows = [r.rstrip() for r in self.screen().split("\n")]
        while rows and not rows[-1]:
            rows.pop()
        return rows

    def wait_for(self, test, what):
        rows = []
        for _ in range(POLL_TRIES):
            rows = self.rows()
            if test(rows):
                return rows
            time.sleep(POLL_PAUSE)
        raise AssertionError("screen never showed %s:\n%s" % (what, "\n".join(rows)))

    def wait_last(self, text):
        """Until the last row of the screen is text (the prompt "=" and a line)."""
        return self.wait_for(lambda rows: bool(rows) and rows[-1] == text, repr(text))

    def wait_row(self, text):
        return self.wait_for(lambda rows: text in rows, "a row %r" % text)

    def wait_tail(self, expected, what):
        """Until the last rows of the screen are the rows expected."""
        return self.wait_for(lambda rows: rows[-len(expected):] == expected,
                             "%s: %r" % (what, expected))

    def wait_text(self, text):
        """Until text shows anywhere, also across the wrap of a row."""
        return self.wait_for(lambda rows: text in "".join(rows), repr(text))

    def close(self):
        """Ends the server and its programs and removes the folder; again does nothing."""
        if self.closed:
            return
        self.closed = True
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], env=self.env,
                       capture_output=True)
        self.folder.cleanup()


class PaneTest(unittest.TestCase):
    """Panes and folders made through these are removed by the test's cleanups, which run also
    when setUp or a wait fails, so no program or server is left behind."""

    def open_pane(self, command, **kwargs):
        pane = Pane(command, **kwargs)
        self.addCleanup(pane.close)
        return pane

    def board_folder(self):
        folder = tempfile.TemporaryDirectory(prefix="q3v-sim-")
        self.addCleanup(folder.cleanup)
        return folder.name

    def enter_line(self, text):
        """Types a line at play's prompt and Enter, until the next prompt."""
        self.pane.type(text)
        self.pane.wait_last("=" + text)
        self.pane.keys("Enter")
        self.pane.wait_last("=")


# Runs a program, then tells whether the terminal's settings are what they were before it. The
# shell catches SIGINT (a handler, not an ignore, so the program gets the default) to outlive
# a Ctrl+C that ends the program.
RESTORE_CHECK = ('trap : INT; a=$(stty -g); %s; b=$(stty -g); '
                 'if [ "$a" = "$b" ]; then echo RESTORED; else echo CHANGED; fi; exec sleep 600')


class PlayPrompt(PaneTest):
    def setUp(self):
        self.sim = self.board_folder()
        self.pane = self.open_pane(shlex.quote(PLAY) + " /nocard", env={"Q3VSIM_DIR": self.sim})
        self.pane.wait_last("=")

    def test_up_recalls_the_lines_typed(self):
        self.enter_line("calc 1+2")
        self.enter_line("calc 3")
        self.pane.keys("Up")
        self.pane.wait_last("=calc 3")
        self.pane.keys("Up")
        self.pane.wait_last("=calc 1+2")
        self.pane.keys("Down", "Down")
        self.pane.wait_last("=")

    def test_tab_completes_feature_names_of_the_chip(self):
        # The dictionary holds the features of the selected 47K20: swheight completes whole
        # with its blank; bltcmd belongs to the 47390 only, so "bltc" stays as typed.
        self.pane.type("set swh")
        self.pane.wait_last("=set swh")
        self.pane.keys("Tab")
        self.pane.wait_last("=set swheight")
        self.pane.type("|")
        self.pane.wait_last("=set swheight |")
        self.pane.keys("Escape")
        self.pane.wait_last("=")
        self.pane.type("set bltc")
        self.pane.wait_last("=set bltc")
        self.pane.keys("Tab")
        self.pane.type("|")
        self.pane.wait_last("=set bltc|")

    def test_f7_lists_the_history(self):
        self.enter_line("calc 1+2")
        self.enter_line("ver")
        self.pane.keys("F7")
        rows = self.pane.wait_text("Command Buffer List")
        rows = self.pane.wait_last("=")
        self.assertIn(" 0: calc 1+2", rows)
        self.assertIn(" 1: ver", rows)

    def test_pager_waits_for_a_key_and_stops_at_escape(self):
        self.enter_line("h 3")
        self.pane.type("flog ?")
        self.pane.keys("Enter")
        self.pane.wait_last("-- more [ESC to exit] --")
        self.pane.keys("Space")
        rows = self.pane.wait_for(
            lambda rows: rows[-1] == "-- more [ESC to exit] --" and
            " FLOG log.txt SET:OFF" in rows, "the second page")
        self.pane.keys("Escape")
        rows = self.pane.wait_last("=")
        self.assertNotIn(" To stop file logging, set the filename to NUL.", rows)
        self.assertNotIn("-- more [ESC to exit] --", rows)

    def test_ctrl_c_puts_the_terminal_back(self):
        self.pane.close()
        self.pane = self.open_pane(RESTORE_CHECK % (shlex.quote(PLAY) + " /nocard"),
                                   env={"Q3VSIM_DIR": self.sim})
        self.pane.wait_last("=")
        self.pane.type("abc")
        self.pane.wait_last("=abc")
        self.pane.keys("C-c")
        self.pane.wait_text("RESTORED")


def wrapped(text, width):
    """The rows that a terminal of the given width shows for text written from column 0."""
    return [text[i:i + width] for i in range(0, len(text), width)] or [""]


# Cursor and editing keys as tmux names them; with a modifier each is a key of its own.
EDITING_KEYS = ("Left", "Right", "Up", "Down", "Home", "End", "PPage", "NPage", "IC", "DC")
MODIFIED_KEYS = [mod + key for mod in ("C-", "S-", "M-") for key in EDITING_KEYS]


class PlayFollowsTheWidth(PaneTest):
    """The screen shows the line that Enter runs while the terminal changes its width."""

    TEXT = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghEND"

    def setUp(self):
        self.pane = self.open_pane(shlex.quote(PLAY) + " /nocard", width=100, height=30,
                                   env={"Q3VSIM_DIR": self.board_folder()})
        self.pane.wait_last("=")

    def expect_line(self, line, width):
        self.pane.wait_tail(wrapped("=" + line, width), "the line at %d columns" % width)

    def expect_printed(self, line, width):
        self.pane.wait_tail(wrapped("=" + line, width) + wrapped(self.TEXT, width) + ["="],
                            "the line and what it printed at %d columns" % width)

    def test_a_resize_at_the_empty_prompt(self):
        line = 'print "%s"' % self.TEXT
        self.pane.resize(40)
        self.pane.type(line)
        self.expect_line(line, 40)
        self.pane.keys("Enter")
        self.expect_printed(line, 40)

    def test_a_resize_while_a_line_is_edited(self):
        # The line lacks its first letter; Home and "p" after the resize put it there.
        for before, after in ((100, 40), (40, 100), (100, 60), (60, 200)):
            with self.subTest(before=before, after=after):
                self.pane.resize(before)
                line = 'rint "%s"' % self.TEXT
                self.pane.type(line)
                self.expect_line(line, before)
                self.pane.resize(after)
                self.expect_line(line, after)
                self.pane.keys("Home")
                self.pane.type("p")
                self.expect_line("p" + line, after)
                self.pane.keys("Enter")
                self.expect_printed("p" + line, after)

    def test_the_pager_goes_on_after_a_resize(self):
        self.enter_line("h 3")
        self.pane.type("flog ?")
        self.pane.keys("Enter")
        self.pane.wait_last("-- more [ESC to exit] --")
        self.pane.resize(60)
        self.pane.keys("Space")
        self.pane.wait_for(
            lambda rows: rows[-1] == "-- more [ESC to exit] --" and
            " FLOG log.txt SET:OFF" in rows, "the second page")
        self.pane.keys("Escape")
        self.pane.wait_last("=")
        self.enter_line("calc 2")
        self.pane.wait_row("2h (2t)")

    def test_keys_with_modifiers_leave_the_line_as_it_is(self):
        self.enter_line("calc 1")
        for key in MODIFIED_KEYS:
            with self.subTest(key=key):
                # The cursor between "2" and "3": any move, deletion or recall shows.
                self.pane.type("calc 23")
                self.pane.keys("Left", key)
                self.pane.type("|")
                self.pane.wait_last("=calc 2|3")
                self.pane.keys("Escape")
                self.pane.wait_last("=")


class PlayInAShell(PaneTest):
    """play started by an interactive shell with job control, as a user starts it."""

    def setUp(self):
        self.pane = self.open_pane("PS1='$ ' bash --norc --noprofile -i",
                                   env={"Q3VSIM_DIR": self.board_folder()})
        self.pane.wait_last("$")

    def test_ctrl_z_and_fg_go_on_editing_the_line(self):
        self.pane.type(shlex.quote(PLAY) + " /nocard")
        self.pane.keys("Enter")
        self.pane.wait_last("=")
        self.pane.type("calc 12")
        self.pane.wait_last("=calc 12")
        self.pane.keys("C-z")
        self.pane.wait_last("$")
        self.pane.type("fg")
        self.pane.keys("Enter")
        # Continued: the line is drawn again, and keys are raw keys again.
        self.pane.wait_last("=calc 12")
        self.pane.keys("Left")
        self.pane.type("3")
        self.pane.wait_last("=calc 132")
        self.pane.keys("Enter")
        self.pane.wait_row("132h (306t)")


class EditorOnATerminal(PaneTest):
    def start(self, width=80):
        self.pane = self.open_pane(RESTORE_CHECK % shlex.quote(EDITOR_TTY), width=width)
        self.pane.wait_last("=")

    def test_tab_completes_and_lists(self):
        self.start()
        self.pane.type("set v")
        self.pane.keys("Tab")
        self.pane.wait_last("=set vdp")
        self.pane.keys("Enter")
        self.pane.wait_row("got:[set vdp ]")
        self.pane.type("set h")
        self.pane.keys("Tab")
        rows = self.pane.wait_last("=set hd")
        self.assertIn("hdp", rows)
        self.assertIn("hdisp", rows)
        self.pane.type("p")
        self.pane.keys("Tab")
        self.pane.wait_last("=set hdp")
        self.pane.keys("Enter")
        self.pane.wait_row("got:[set hdp ]")

    def test_many_matches_ask_first(self):
        self.start()
        self.pane.type("set p")
        self.pane.keys("Tab")
        self.pane.wait_text("12 results found, display? [y/N]")
        self.pane.keys("y")
        rows = self.pane.wait_last("=set pip")
        self.assertIn("pip10", rows)
        self.assertIn("pip21", rows)

    def test_lines_longer_than_the_terminal(self):
        self.start(width=20)
        self.pane.type("abcdefghijklmnopqrstuvwxyz0123")
        self.pane.wait_last("tuvwxyz0123")
        self.pane.keys("Home", "X", "End", "Y", "Left", "Left", "Left", "BSpace")
        rows = self.pane.wait_last("stuvwxyz023Y")
        self.assertEqual(rows[-2], "=Xabcdefghijklmnopqr")
        self.pane.keys("Enter")
        self.pane.wait_text("got:[Xabcdefghijklmnopqrstuvwxyz023Y]")

    def test_lone_escape_and_arrows(self):
        self.start()
        self.pane.type("abc")
        self.pane.wait_last("=abc")
        self.pane.keys("Escape")
        self.pane.wait_last("=")
        self.pane.type("xz")
        self.pane.keys("Left")
        self.pane.type("y")
        self.pane.wait_last("=xyz")
        self.pane.keys("Enter")
        self.pane.wait_row("got:[xyz]")

    def test_exit_puts_the_terminal_back(self):
        self.start()
        self.pane.type("quit")
        self.pane.keys("Enter")
        self.pane.wait_text("RESTORED")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    PLAY, EDITOR_TTY = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]], verbosity=2)
