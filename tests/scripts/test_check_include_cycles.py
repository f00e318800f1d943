#!/usr/bin/env python3
"""The include-cycle check over small trees written for each case: its verdict, and the
circles it names, units in include order."""

import contextlib
import importlib.util
import io
import pathlib
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check_include_cycles.py"
_spec = importlib.util.spec_from_file_location("check_include_cycles", SCRIPT)
check = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(check)


def write_tree(root, files):
    for name, text in files.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)


def run_check(root, *args):
    """The check's exit code and printed lines over the tree at root."""
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        code = check.main(["--root", str(root), *args])
    return code, out.getvalue().splitlines()


class IncludeCycleCheckTest(unittest.TestCase):
    def setUp(self):
        self._temp = tempfile.TemporaryDirectory()
        self.root = pathlib.Path(self._temp.name)

    def tearDown(self):
        self._temp.cleanup()

    def test_verdicts(self):
        cases = [
            (
                "clean tree: one-way includes, a diamond, system and unknown headers",
                {
                    "src/a/Top.h": '#include "a/Left.h"\n#include "a/Right.h"\n',
                    "src/a/Top.cpp": '#include "a/Top.h"\n#include <vector>\n',
                    "src/a/Left.h": '#include "Base.h"\n',
                    "src/a/Right.h": '#include "a/Base.h"\n#include "generated/Missing.h"\n',
                    "src/a/Base.h": "#include <cstdint>\n",
                    "bench/Bench.cpp": '#include "a/Top.h"\n',
                },
                [],
            ),
            (
                "a header and its source of one name include each other: one unit",
                {
                    "src/a/Pair.h": "// nothing\n",
                    "src/a/Pair.cpp": '#include "a/Pair.h"\n',
                },
                [],
            ),
            (
                "two units in a circle through a source file",
                {
                    "src/a/One.h": '#include "a/Two.h"\n',
                    "src/a/Two.h": "// nothing\n",
                    "src/a/Two.cpp": '#include "a/Two.h"\n#include "a/One.h"\n',
                },
                ["include cycle: src/a/One -> src/a/Two -> src/a/One"],
            ),
            (
                "three units in a circle, across folders and include forms",
                {
                    "src/a/One.h": '#include "Two.h"\n',
                    "src/a/Two.h": '#  include "b/Three.h"\n',
                    "src/b/Three.h": "// nothing\n",
                    "src/b/Three.cpp": '#include "../a/One.h"\n',
                },
                ["include cycle: src/a/One -> src/a/Two -> src/b/Three -> src/a/One"],
            ),
            (
                "a circle between bench and src, scanned by default",
                {
                    "src/a/Api.h": '#include "../../bench/Hook.h"\n',
                    "bench/Hook.h": "// nothing\n",
                    "bench/Hook.cpp": '#include "Hook.h"\n#include "a/Api.h"\n',
                },
                ["include cycle: bench/Hook -> src/a/Api -> bench/Hook"],
            ),
            (
                "two separate circles each named",
                {
                    "src/a/One.h": '#include "a/Two.h"\n',
                    "src/a/Two.h": '#include "a/One.h"\n',
                    "src/b/Three.h": '#include "b/Four.h"\n',
                    "src/b/Four.h": "// nothing\n",
                    "src/b/Four.cpp": '#include "b/Four.h"\n#include "b/Three.h"\n',
                },
                [
                    "include cycle: src/a/One -> src/a/Two -> src/a/One",
                    "include cycle: src/b/Four -> src/b/Three -> src/b/Four",
                ],
            ),
        ]
        for name, files, expected in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder)
                write_tree(root, files)
                code, lines = run_check(root)
                self.assertEqual(lines, expected)
                self.assertEqual(code, 1 if expected else 0)

    def test_every_include_of_a_tangle_lies_on_a_printed_circle(self):
        # One -> Two -> Three -> One, and Two -> One as well: both ways out of Two are shown.
        write_tree(self.root, {
            "src/a/One.h": '#include "a/Two.h"\n',
            "src/a/Two.h": '#include "a/Three.h"\n#include "a/One.h"\n',
            "src/a/Three.h": '#include "a/One.h"\n',
        })
        code, lines = run_check(self.root)
        self.assertEqual(code, 1)
        self.assertEqual(lines, [
            "include cycle: src/a/One -> src/a/Two -> src/a/One",
            "include cycle: src/a/Three -> src/a/One -> src/a/Two -> src/a/Three",
        ])

    def test_only_the_folders_given_are_read(self):
        write_tree(self.root, {
            "src/a/One.h": '#include "a/Two.h"\n',
            "src/a/Two.h": '#include "a/One.h"\n',
            "src/b/Clean.h": "// nothing\n",
        })
        self.assertEqual(run_check(self.root, "src/b"), (0, []))
        self.assertEqual(run_check(self.root, "src")[0], 1)

    def test_a_missing_folder_is_an_error(self):
        with contextlib.redirect_stderr(io.StringIO()) as err:
            code, lines = run_check(self.root, "nowhere")
        self.assertEqual(code, 2)
        self.assertIn("nowhere", err.getvalue())


if __name__ == "__main__":
    unittest.main()
