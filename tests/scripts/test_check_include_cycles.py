#!/usr/bin/env python3
"""The include check over small trees written for each case: its verdict, the circles it names
(units in include order), and the includes against a layering table, the project's own among
them."""

import contextlib
import importlib.util
import io
import os
import pathlib
import sys
import tempfile
import unittest

PROJECT = pathlib.Path(__file__).resolve().parents[2]
SCRIPT = PROJECT / "scripts" / "check_include_cycles.py"
# The document holding the project's layering table, as the build's include_cycles test names it.
LAYERS_DOCUMENT = "docs/DEVELOPING.md"
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


def layers_file(*rows):
    """A Markdown file with a layering table of the rows (folder, may include...)."""
    lines = ["# Layout", "", "Some words first.", "", "| Folder | May include |", "| --- | --- |"]
    for folder, *below in rows:
        lines.append(f"| `{folder}` | " + (", ".join(f"`{b}`" for b in below) or "nothing") + " |")
    return "\n".join(lines + ["", "Words after the table."]) + "\n"


# Three layers and a program over them, with tests and a benchmark.
SMALL_TABLE = layers_file(
    ("src/base",),
    ("src/mid", "src/base"),
    ("src/top/core", "src/base", "src/mid"),
    ("src/top/gui", "src/top/core"),
    ("tests/support", "src/base"),
    ("tests/mid", "src/base", "src/mid", "tests/support"),
    ("bench", "src/top/core", "tests/support"),
)

AGAINST = "include against the layering: "


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


class LayeringCheckTest(unittest.TestCase):
    def test_verdicts(self):
        cases = [
            (
                "every include allowed: downward, inside a folder, a subfolder's own row",
                {
                    "src/base/Base.h": "// nothing\n",
                    "src/mid/Mid.h": '#include "base/Base.h"\n#include "Other.h"\n',
                    "src/mid/Other.h": "// nothing\n",
                    "src/top/core/Core.h": '#include "mid/Mid.h"\n',
                    "src/top/gui/Window.cpp": '#include "top/core/Core.h"\n',
                    "tests/support/Temp.h": '#include "base/Base.h"\n',
                    "tests/mid/MidTest.cpp": '#include "mid/Mid.h"\n#include "support/Temp.h"\n',
                    "bench/Bench.cpp": '#include "../tests/support/Temp.h"\n',
                },
                [],
            ),
            (
                "a planted upward include",
                {
                    "src/base/Base.h": "// nothing\n",
                    "src/base/Base.cpp": '#include "base/Base.h"\n#include "mid/Mid.h"\n',
                    "src/mid/Mid.h": "// nothing\n",
                },
                [
                    AGAINST + "src/base/Base.cpp:2 -> src/mid/Mid.h "
                    "(src/base may not include src/mid)",
                ],
            ),
            (
                "a layer skipped that the row does not list, and a sibling of a subfolder",
                {
                    "src/base/Base.h": "// nothing\n",
                    "src/top/core/Core.h": "// nothing\n",
                    "src/top/gui/Window.h": '#include "base/Base.h"\n#include "../core/Core.h"\n',
                    "src/top/core/Model.h": '#include "top/gui/Window.h"\n',
                },
                [
                    AGAINST + "src/top/core/Model.h:1 -> src/top/gui/Window.h "
                    "(src/top/core may not include src/top/gui)",
                    AGAINST + "src/top/gui/Window.h:1 -> src/base/Base.h "
                    "(src/top/gui may not include src/base)",
                ],
            ),
            (
                "a test's include is looked up under tests/ before src/",
                {
                    "src/mid/Mid.h": "// nothing\n",
                    "tests/mid/Mid.h": "// nothing\n",
                    "tests/support/Temp.h": '#include "mid/Mid.h"\n',
                },
                [
                    AGAINST + "tests/support/Temp.h:1 -> tests/mid/Mid.h "
                    "(tests/support may not include tests/mid)",
                ],
            ),
            (
                "a file in no folder of the table, and includes of it",
                {
                    "src/base/Base.h": "// nothing\n",
                    "src/extra/Extra.h": '#include "base/Base.h"\n',
                    "src/mid/Mid.h": '#include "extra/Extra.h"\n',
                },
                [AGAINST + "src/extra/Extra.h is in no folder of the table"],
            ),
            (
                "a circle inside one folder is still a circle, named first",
                {
                    "src/mid/One.h": '#include "mid/Two.h"\n',
                    "src/mid/Two.h": '#include "mid/One.h"\n#include "top/core/Core.h"\n',
                    "src/top/core/Core.h": "// nothing\n",
                },
                [
                    "include cycle: src/mid/One -> src/mid/Two -> src/mid/One",
                    AGAINST + "src/mid/Two.h:2 -> src/top/core/Core.h "
                    "(src/mid may not include src/top/core)",
                ],
            ),
        ]
        for name, files, expected in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder)
                write_tree(root, {"README.md": SMALL_TABLE, **files})
                code, lines = run_check(root, "--layers", "README.md")
                self.assertEqual(lines, expected)
                self.assertEqual(code, 1 if expected else 0)
                # Without the table only the circles count.
                code, lines = run_check(root)
                circles = [line for line in expected if line.startswith("include cycle")]
                self.assertEqual((code, lines), (1 if circles else 0, circles))

    def test_a_bad_table_is_an_error(self):
        cases = [
            ("no file", None, "cannot read"),
            ("no table", "# Layout\n\n| Folder | What |\n| --- | --- |\n", "holds no table"),
            ("a row without a folder",
             "| Folder | May include |\n| --- | --- |\n| src/a | nothing |\n",
             "no folder in backticks"),
            ("a folder listed without a row", layers_file(("src/a", "src/b")),
             "src/b, which src/a may include, has no row"),
            ("two rows of one folder", layers_file(("src/a",), ("src/a",)), "two rows"),
            ("folders in a circle", layers_file(("src/a", "src/b"), ("src/b", "src/a")),
             "src/a -> src/b -> src/a"),
        ]
        for name, text, message in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder)
                write_tree(root, {"src/a/A.h": "// nothing\n"})
                if text is not None:
                    write_tree(root, {"LAYERS.md": text})
                with contextlib.redirect_stderr(io.StringIO()) as err:
                    code, lines = run_check(root, "--layers", "LAYERS.md")
                self.assertEqual((code, lines), (2, []))
                self.assertIn(message, err.getvalue())


class ProjectLayeringTest(unittest.TestCase):
    """The project's own table (docs/DEVELOPING.md) over one include planted in a small tree."""

    def test_planted_includes(self):
        allowed, against = True, False
        cases = [
            ("src/common/Text.h", "src/hcl/HclApi.h", against),
            ("src/platform/Console.cpp", "src/board/SimBoard.h", against),
            ("src/board/SimBoard.cpp", "src/devices/UsbDevice.h", against),
            ("src/devices/UsbDevice.cpp", "src/hcl/UsbTransport.h", against),
            ("src/hcl/UsbTransport.cpp", "src/board/SimBoard.h", against),
            ("src/chipdef/ChipDef.cpp", "src/play/Session.h", against),
            ("src/expr/Expr.cpp", "src/hcl/HclApi.h", against),
            ("src/imaging/Conv.cpp", "src/hcl/HclApi.h", against),
            ("src/play/CmdRead.cpp", "src/devices/UsbDevice.h", against),
            ("src/play/CmdRead.cpp", "src/board/SimBoard.h", against),
            ("src/setup/core/SetupState.cpp", "src/play/Session.h", against),
            ("src/setup/core/SetupState.cpp", "src/setup/gui/MainWindow.h", against),
            ("src/hcl/HclApi.cpp", "tests/support/TempFolder.h", against),
            ("tests/platform/IniFileTest.cpp", "src/hcl/HclApi.h", against),
            ("src/platform/BoardLock.cpp", "src/common/Text.h", allowed),
            ("src/devices/UsbDevice.cpp", "src/board/SimBoard.h", allowed),
            ("src/devices/UsbDevice.cpp", "src/platform/SimFolder.h", allowed),
            ("src/hcl/UsbTransport.h", "src/devices/UsbDevice.h", allowed),
            ("src/chipdef/ChipDefImport.cpp", "src/platform/IniFile.h", allowed),
            ("src/play/CmdShow.cpp", "src/imaging/Conv.h", allowed),
            ("src/setup/gui/MainWindow.cpp", "src/setup/core/SetupState.h", allowed),
            ("tests/devices/UsbDeviceTest.cpp", "tests/board/BoardFixture.h", allowed),
            ("bench/ImageFileRead.cpp", "tests/support/TempFolder.h", allowed),
        ]
        table = (PROJECT / LAYERS_DOCUMENT).read_text()
        for includer, included, is_allowed in cases:
            with self.subTest(f"{includer} -> {included}"), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder)
                # Named from the includer's folder, so the include resolves beside it.
                name = os.path.relpath(included, os.path.dirname(includer))
                write_tree(root, {
                    LAYERS_DOCUMENT: table,
                    included: "// nothing\n",
                    includer: f'#include "{name}"\n',
                })
                code, lines = run_check(root, "--layers", LAYERS_DOCUMENT)
                if is_allowed:
                    self.assertEqual((code, lines), (0, []))
                else:
                    self.assertEqual(code, 1)
                    self.assertEqual(len(lines), 1)
                    self.assertTrue(lines[0].startswith(f"{AGAINST}{includer}:1 -> {included} "))


if __name__ == "__main__":
    unittest.main()
