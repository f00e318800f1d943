#!/usr/bin/env python3
"""The build step that compiles chipdef.xml into line texts: what it writes for a small text,
and that it refuses bytes that are not printable ASCII.

Usage: embed_lines_test.py EMBED_LINES_SCRIPT"""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = None


def embed(data):
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in.xml")
        target = os.path.join(folder, "out.cpp")
        with open(source, "wb") as f:
            f.write(data)
        run = subprocess.run([sys.executable, SCRIPT, source, target, "Lines", "LineCount",
                              "x/Lines.h"], capture_output=True, text=True)
        text = open(target).read() if run.returncode == 0 else None
        return run.returncode, text, run.stderr


class EmbedLines(unittest.TestCase):
    def test_lines_are_escaped_and_counted(self):
        code, text, _ = embed(b'<A B="[1:0];"\n  C="\\\\ ??="/>\n\n')
        self.assertEqual(code, 0)
        self.assertIn('    "<A B=\\"[1:0];\\"",\n', text)
        self.assertIn('    "  C=\\"\\\\\\\\ ?""?=\\"/>",\n', text)
        self.assertIn('    "",\n', text)
        self.assertIn("const uint32_t LineCount = 3;", text)

    def test_refuses_bytes_that_are_not_printable_ascii(self):
        for data in (b"<A>\n<B>caf\xc3\xa9</B>\n", b"<A/>\r\n", b"<A>\x01</A>\n"):
            code, _, error = embed(data)
            self.assertEqual(code, 1, data)
            self.assertIn("not printable ASCII", error)


if __name__ == "__main__":
    SCRIPT = sys.argv.pop(1)
    unittest.main()
