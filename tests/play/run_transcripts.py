#!/usr/bin/env python3
"""Runs Play transcript cases: python3 run_transcripts.py <path of play> <cases folder> [names]

Every *.txt file of the cases folder holds one or more cases (the format is in README.md). Each
case runs play once, in a fresh temporary directory, without the board's controls
(../support/board_controls.txt) but for Q3VSIM_DIR, set to a fresh folder of its own, and the
case's own "env:" lines; it compares standard output, standard error, the exit code and any
files named by "--- expect-file" blocks with the case's text. Names given after the folder
select cases (by "file:case", by file name or by case name). Prints a diff for each failure and
a closing line "N passed, M failed"; the exit code is 1 when a case failed (or none was found).
"""
import difflib
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import board_controls  # noqa: E402

# Guards against a case that never ends; not a timing check.
RUN_LIMIT_SECONDS = 60

ESCAPES = {"e": "\x1b", "b": "\b", "r": "\r", "t": "\t", "n": "\n", "0": "\0", "\\": "\\"}


class CaseError(Exception):
    pass


def unescape(line, where):
    """Decodes \\e \\b \\r \\t \\n \\0 \\xHH and \\\\ of one block line."""
    out = []
    i = 0
    while i < len(line):
        c = line[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        if i + 1 >= len(line):
            raise CaseError(f"{where}: a lone backslash ends the line")
        n = line[i + 1]
        if n in ESCAPES:
            out.append(ESCAPES[n])
            i += 2
        elif n == "x" and i + 4 <= len(line):
            try:
                out.append(chr(int(line[i + 2:i + 4], 16)))
            except ValueError:
                raise CaseError(f"{where}: bad \\x escape")
            i += 4
        else:
            raise CaseError(f"{where}: unknown escape \\{n} (write a backslash as \\\\)")
    return "".join(out)


# What "%banner" stands for in a stdout block: the banner play prints first in every run, and
# with a word the start-up that follows it: "nocard" the warnings of /nocard, "acquired" the
# acquisition of a fresh board with the default configuration.
BANNER = [
    "47K20PLAY - test utility - Build 73 [L:84 A:62]",
    "Hardware control layer for the Q3V47xxx LCD controller family",
    "Configuration CRC 0057h (OK)",
    "Bus Type            Direct 16-bit Mode1",
]
BANNER_FORMS = {
    "": BANNER,
    "nocard": BANNER + [
        "",
        "!!!!! WARNING: Detected /nocard switch!",
        "!!!!! The LCD controller was not acquired.",
        "!!!!! Only the HELP command is supported in this mode.",
        "",
    ],
    "acquired": BANNER + [
        "",
        "",
        "CSCL:MGE 0 Regs: 0x40 0x55 0x5e 0xdf 0x00 0x00",
        "CSCL:MGE 1 Regs: 0x00 0x00 0x00 0x00 0x00 0x00",
        "CSCL:MGE 2 Regs: 0x00 0x00 0x00 0x00 0x00 0x00",
        "CSCL:MGE 3 Regs: 0x00 0x00 0x00 0x00 0x00 0x00",
        "CSCL HW revision 1",
    ],
}


def expand_banner(lines, where, allowed):
    """Replaces each line "%banner [form]" by the lines it stands for."""
    out = []
    for line in lines:
        if line != "%banner" and not line.startswith("%banner "):
            out.append(line)
            continue
        if not allowed:
            raise CaseError(f"{where}: %banner stands only in a stdout block")
        form = line[len("%banner"):].strip()
        if form not in BANNER_FORMS:
            raise CaseError(f"{where}: unknown banner '{form}'")
        out.extend(BANNER_FORMS[form])
    return out


def block_text(lines, where, banner=False):
    """A block's text: each line ends with a line feed. Blank lines at the end are dropped (they
    separate cases) unless the block is closed by a line "%end"; a last line "%noeol" takes the
    line feed of the line before it away. With banner, "%banner" lines are expanded."""
    if "%end" in lines:
        lines = lines[:lines.index("%end")]
    else:
        while lines and lines[-1] == "":
            lines = lines[:-1]
    noeol = bool(lines) and lines[-1] == "%noeol"
    if noeol:
        lines = lines[:-1]
    lines = expand_banner(lines, where, banner)
    text = "".join(unescape(l, where) + "\n" for l in lines)
    if noeol and text.endswith("\n"):
        text = text[:-1]
    return text


class Case:
    def __init__(self, file, name, line):
        self.file = file
        self.name = name
        self.line = line
        self.args = []
        self.exit = 0
        self.env = {}
        self.stdin = ""
        self.stdout = ""
        self.stderr = ""
        self.files = {}
        self.expect_files = {}

    @property
    def id(self):
        return f"{os.path.basename(self.file)}:{self.name}"


def parse_file(path):
    cases = []
    case = None
    block = None
    block_lines = []

    def close_block():
        nonlocal block, block_lines
        if block is None:
            return
        kind, arg, start = block
        where = f"{path}:{start}"
        text = block_text(block_lines, where, banner=kind == "stdout")
        if kind == "stdin":
            case.stdin = text
        elif kind == "stdout":
            case.stdout = text
        elif kind == "stderr":
            case.stderr = text
        elif kind == "file":
            case.files[arg] = text
        elif kind == "expect-file":
            case.expect_files[arg] = text
        block = None
        block_lines = []

    with open(path, encoding="utf-8") as f:
        raw_lines = f.read().split("\n")
    if raw_lines and raw_lines[-1] == "":
        raw_lines.pop()
    for number, line in enumerate(raw_lines, 1):
        where = f"{path}:{number}"
        if line.startswith("=== "):
            close_block()
            if case is not None:
                cases.append(case)
            case = Case(path, line[4:].strip(), number)
            continue
        if case is None:
            if line.strip() == "" or line.startswith("#"):
                continue
            raise CaseError(f"{where}: text before the first '=== name' line")
        if line.startswith("--- "):
            close_block()
            words = line[4:].split(None, 1)
            kind = words[0]
            arg = words[1].strip() if len(words) > 1 else None
            if kind not in ("stdin", "stdout", "stderr", "file", "expect-file"):
                raise CaseError(f"{where}: unknown block '{kind}'")
            if kind in ("file", "expect-file") and not arg:
                raise CaseError(f"{where}: '{kind}' needs a file name")
            block = (kind, arg, number)
            continue
        if block is not None:
            block_lines.append(line)
            continue
        if line.strip() == "" or line.startswith("#"):
            continue
        key, sep, value = line.partition(":")
        if not sep:
            raise CaseError(f"{where}: expected 'key: value' or a '--- block' line")
        key = key.strip()
        value = value.strip()
        if key == "args":
            case.args = shlex.split(value)
        elif key == "exit":
            case.exit = int(value)
        elif key == "env":
            name, eq, env_value = value.partition("=")
            if not eq:
                raise CaseError(f"{where}: env needs NAME=value")
            case.env[name.strip()] = env_value
        else:
            raise CaseError(f"{where}: unknown key '{key}'")
    close_block()
    if case is not None:
        cases.append(case)
    return cases


def placeholders(text, replacements):
    for real, name in replacements:
        text = text.replace(real, name)
    return text


def show_diff(label, expected, actual):
    lines = difflib.unified_diff(
        expected.splitlines(keepends=True), actual.splitlines(keepends=True),
        fromfile=f"expected {label}", tofile=f"actual {label}")
    for line in lines:
        visible = line.rstrip("\n").encode("unicode_escape").decode("ascii")
        visible = visible.replace("\\\\", "\\")
        print("    " + visible)


def run_case(play, case):
    """Runs one case; returns a list of (label, expected, actual) mismatches."""
    root = tempfile.mkdtemp(prefix="play-case-")
    try:
        work = os.path.join(root, "work")
        sim = os.path.join(root, "sim")
        os.mkdir(work)
        os.mkdir(sim)
        for name, text in case.files.items():
            target = os.path.join(work, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "w", encoding="utf-8", newline="") as f:
                f.write(text)
        env = dict(os.environ)
        board_controls.clear(env)
        env["Q3VSIM_DIR"] = sim
        env.update(case.env)
        try:
            proc = subprocess.run([play] + case.args, cwd=work, env=env,
                                  input=case.stdin.encode("latin-1"), capture_output=True,
                                  timeout=RUN_LIMIT_SECONDS)
            out, err, code = proc.stdout, proc.stderr, proc.returncode
        except subprocess.TimeoutExpired as e:
            out, err, code = e.stdout or b"", e.stderr or b"", "did not end"
        replacements = []
        for path, name in ((work, "{TMP}"), (sim, "{SIM}")):
            replacements.append((path, name))
            real = os.path.realpath(path)
            if real != path:
                replacements.append((real, name))
        actual_out = placeholders(out.decode("latin-1"), replacements)
        actual_err = placeholders(err.decode("latin-1"), replacements)
        mismatches = []
        if actual_out != case.stdout:
            mismatches.append(("stdout", case.stdout, actual_out))
        if actual_err != case.stderr:
            mismatches.append(("stderr", case.stderr, actual_err))
        if code != case.exit:
            mismatches.append(("exit code", f"{case.exit}\n", f"{code}\n"))
        for name, expected in case.expect_files.items():
            target = os.path.join(work, name)
            if not os.path.exists(target):
                mismatches.append((f"file {name}", expected, "(no such file)\n"))
                continue
            with open(target, "rb") as f:
                actual = placeholders(f.read().decode("latin-1"), replacements)
            if actual != expected:
                mismatches.append((f"file {name}", expected, actual))
        return mismatches
    finally:
        shutil.rmtree(root, ignore_errors=True)


def selected(case, names):
    if not names:
        return True
    base = os.path.basename(case.file)
    stem = os.path.splitext(base)[0]
    return any(n in (case.id, base, stem, case.name) for n in names)


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip())
        return 2
    play = os.path.abspath(argv[1])
    folder = argv[2]
    names = argv[3:]
    cases = []
    broken = 0
    for entry in sorted(os.listdir(folder)):
        if not entry.endswith(".txt"):
            continue
        path = os.path.join(folder, entry)
        try:
            cases.extend(parse_file(path))
        except CaseError as e:
            print(f"BROKEN {e}")
            broken += 1
    passed = 0
    failed = broken
    for case in cases:
        if not selected(case, names):
            continue
        mismatches = run_case(play, case)
        if mismatches:
            failed += 1
            print(f"FAIL {case.id} ({case.file}:{case.line})")
            if case.args:
                print("    args: " + " ".join(shlex.quote(a) for a in case.args))
            for label, expected, actual in mismatches:
                show_diff(label, expected, actual)
        else:
            passed += 1
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
