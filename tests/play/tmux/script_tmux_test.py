#!/usr/bin/env python3
"""Script commands on a real terminal: INPUT KEY names a real arrow key, and SHELL without
arguments hands the terminal to a shell and takes it back for the line editor.

Usage: script_tmux_test.py PLAY
"""
import os
import shlex
import sys
import tempfile
import unittest

import tmux_test
from tmux_test import Pane


class ScriptsOnATerminal(unittest.TestCase):
    def setUp(self):
        sim = tempfile.TemporaryDirectory()
        self.addCleanup(sim.cleanup)
        env = {"Q3VSIM_DIR": sim.name, "SHELL": "/bin/sh", "PS1": "$ "}
        self.pane = Pane(shlex.quote(tmux_test.PLAY) + " /nocard", env=env)
        self.addCleanup(self.pane.close)
        self.pane.wait_last("=")

    def type_line(self, text):
        """Types a line at the prompt, sees it drawn, and sends it."""
        self.pane.type(text)
        self.pane.wait_last("=" + text)
        self.pane.keys("Enter")

    def test_input_key_names_an_arrow_key(self):
        self.type_line('$k = input key; print "got " $k "\\n"')
        self.pane.keys("Up")
        self.pane.wait_row("got UP")
        self.pane.wait_last("=")

    def test_input_key_names_keys_with_modifiers_unknown(self):
        for key in tmux_test.MODIFIED_KEYS:
            with self.subTest(key=key):
                self.type_line('$k = input key; print "%s=" $k "\\n"' % key)
                self.pane.keys(key)
                self.pane.wait_row("%s=UNKNOWN" % key)
                self.pane.wait_last("=")

    def test_shell_without_arguments_and_exit_give_the_prompt_back(self):
        self.type_line("shell")
        self.pane.wait_row("To return to PLAY, type:  EXIT <ENTER>")
        self.pane.wait_last("$")
        self.pane.type("echo in the shell")
        self.pane.keys("Enter")
        self.pane.wait_row("in the shell")
        self.pane.type("exit")
        self.pane.keys("Enter")
        self.pane.wait_last("=")
        # Raw keys again: Left moves the cursor (a cooked terminal would pass its escape
        # sequence into the line).
        self.pane.type("calc 2")
        self.pane.keys("Left")
        self.pane.type("1")
        self.pane.keys("Enter")
        self.pane.wait_row("12h (18t)")

if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    tmux_test.PLAY = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]], verbosity=2)
