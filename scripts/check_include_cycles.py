#!/usr/bin/env python3
"""Fails on a circle of includes, or on an include that the layering table does not allow.

The project's own headers and sources must not include each other in a circle; given a layering
table, a folder's files include only files of the folders its row lists.

Reads every `#include "..."` line of the C and C++ files under the folders given (default: src,
bench and tests, relative to the project root). An include is looked up beside the including
file first, then, for a file under tests, under <root>/tests, then under <root>/src, as the
compiler does with the project's include paths; includes that name no file under the scanned
folders (system and outside headers) are ignored.

A header and its source of one name in one folder (X.h and X.cpp) form one unit, so X.cpp
including X.h is no circle, and a dependency of X.cpp counts as one of X.h.

Every group of units that reach one another is reported as circles that, taken together, use
each include between the group's units at least once, one line each, units in include order:

    include cycle: src/a/One -> src/a/Two -> src/a/One

With --layers FILE (a Markdown file, relative to the root), the table in it whose header row is
"| Folder | May include |" gives, row by row, a folder and the folders its files may include,
each name in backticks (a cell without one, such as "nothing", lists none):

    | Folder | May include |
    | --- | --- |
    | `src/a` | nothing |
    | `src/b` | `src/a` |

A file belongs to the longest folder of the table that holds it; its includes of files of its
own folder are always allowed. Each include of another folder that the row does not list, and
each scanned file that lies in no folder of the table, is reported after the circles:

    include against the layering: src/a/One.h:3 -> src/b/Two.h (src/a may not include src/b)
    include against the layering: src/c/Three.h is in no folder of the table

Exits 1 when it printed a circle or an include against the layering, 0 silently when there is
none, 2 on a bad argument or a bad table (a folder listed that has no row of its own, a folder
with two rows, or folders of the table that may include one another in a circle).
"""

import argparse
import collections
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".h", ".hh", ".hpp", ".inl", ".c", ".cc", ".cpp", ".cxx"}
INCLUDE_LINE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
TABLE_HEADER = ["Folder", "May include"]
BACKTICKED = re.compile(r"`([^`]+)`")
DEFAULT_FOLDERS = ["src", "bench", "tests"]


class TableError(Exception):
    """A layering table that cannot be read or that allows a circle."""


def project_root():
    return pathlib.Path(__file__).resolve().parent.parent


def source_files(folders):
    """Every C or C++ file under the folders, resolved, in a stable order."""
    files = set()
    for folder in folders:
        for path in folder.rglob("*"):
            if path.is_file() and path.suffix in SOURCE_SUFFIXES:
                files.add(path.resolve())
    return sorted(files)


def included_names(path):
    """The quoted includes of one file, in order, as (line number, name)."""
    names = []
    with open(path, encoding="utf-8", errors="replace") as text:
        for number, line in enumerate(text, start=1):
            match = INCLUDE_LINE.match(line)
            if match:
                names.append((number, match.group(1)))
    return names


def include_dirs_of(path, root):
    """The folders an include of this file is looked up in after its own: a test program has
    tests/ on its include path before src/."""
    tests = (root / "tests").resolve()
    src = (root / "src").resolve()
    return (tests, src) if path.is_relative_to(tests) else (src,)


def resolve_include(name, includer, include_dirs, known):
    """The scanned file an include names, or None."""
    for base in (includer.parent, *include_dirs):
        candidate = (base / name).resolve()
        if candidate in known:
            return candidate
    return None


def resolved_includes(root, files):
    """Each include between the scanned files, as (includer, line number, included file)."""
    known = set(files)
    includes = []
    for path in files:
        include_dirs = include_dirs_of(path, root)
        for number, name in included_names(path):
            target = resolve_include(name, path, include_dirs, known)
            if target is not None:
                includes.append((path, number, target))
    return includes


def relative_path(path, root):
    """A file's path from the root."""
    try:
        return path.relative_to(root).as_posix()
    except ValueError:
        return path.as_posix()


def unit_of(path, root):
    """A file's unit: its path from the root without the suffix."""
    return relative_path(path.with_suffix(""), root)


def include_graph(root, files, includes):
    """The units and, for each, the set of other units its files include."""
    graph = {unit_of(path, root): set() for path in files}  # a node even when it includes nothing
    for path, _, target in includes:
        unit = unit_of(path, root)
        target_unit = unit_of(target, root)
        if target_unit != unit:
            graph[unit].add(target_unit)
    return graph


def strongly_connected_groups(graph):
    """The groups of two or more units that all reach one another (Tarjan, iteratively)."""
    index = {}
    low_link = {}
    on_stack = set()
    stack = []
    groups = []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low_link[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            unit, successors = work[-1]
            advanced = False
            for successor in successors:
                if successor not in index:
                    index[successor] = low_link[successor] = counter
                    counter += 1
                    stack.append(successor)
                    on_stack.add(successor)
                    work.append((successor, iter(sorted(graph[successor]))))
                    advanced = True
                    break
                if successor in on_stack:
                    low_link[unit] = min(low_link[unit], index[successor])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low_link[parent] = min(low_link[parent], low_link[unit])
            if low_link[unit] == index[unit]:
                group = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.append(member)
                    if member == unit:
                        break
                if len(group) > 1:
                    groups.append(sorted(group))
    return sorted(groups)


def shortest_path(graph, members, source, target):
    """The shortest include path from source to target inside one group, both ends included."""
    previous = {source: None}
    queue = collections.deque([source])
    while queue:
        unit = queue.popleft()
        if unit == target:
            path = []
            while unit is not None:
                path.append(unit)
                unit = previous[unit]
            return path[::-1]
        for successor in sorted(graph[unit]):
            if successor in members and successor not in previous:
                previous[successor] = unit
                queue.append(successor)
    return None


def cycles_of_group(graph, group):
    """Circles through the group, each closed on its first unit, until every include between
    the group's units lies on one of them."""
    members = set(group)
    cycles = []
    covered = set()
    for unit in group:
        for successor in sorted(graph[unit] & members):
            if (unit, successor) in covered:
                continue
            back = shortest_path(graph, members, successor, unit)
            cycle = [unit] + back  # unit -> successor -> ... -> unit
            for edge in zip(cycle, cycle[1:]):
                covered.add(edge)
            cycles.append(cycle)
    return cycles


def all_cycles(graph):
    """The circles of every group of nodes that reach one another, group by group."""
    cycles = []
    for group in strongly_connected_groups(graph):
        cycles.extend(cycles_of_group(graph, group))
    return cycles


def table_cells(line):
    """The cells of one Markdown table row, stripped, or None when the line is no row."""
    line = line.strip()
    if not line.startswith("|"):
        return None
    return [cell.strip() for cell in line.strip("|").split("|")]


def read_layers(path):
    """The layering table of a Markdown file: each folder and the set of folders it may include.
    Raises TableError when there is none or it is unsound."""
    try:
        lines = path.read_text(encoding="utf-8").splitlines()
    except OSError as error:
        raise TableError(f"cannot read {path}: {error.strerror}")
    starts = [i for i, line in enumerate(lines) if table_cells(line) == TABLE_HEADER]
    if not starts:
        raise TableError(f"{path.name} holds no table | Folder | May include |")
    layers = {}
    for line in lines[starts[0] + 2:]:  # after the header and its rule
        cells = table_cells(line)
        if cells is None:
            break
        folder = BACKTICKED.fullmatch(cells[0])
        if folder is None:
            raise TableError(f"{path.name}: a row names no folder in backticks: {line.strip()}")
        name = folder.group(1).rstrip("/")
        if name in layers:
            raise TableError(f"{path.name}: {name} has two rows")
        layers[name] = {
            below.rstrip("/") for cell in cells[1:] for below in BACKTICKED.findall(cell)
        }
    for folder, below in sorted(layers.items()):
        missing = sorted(below - layers.keys())
        if missing:
            raise TableError(f"{path.name}: {missing[0]}, which {folder} may include, has no row")
    circles = all_cycles({folder: below - {folder} for folder, below in layers.items()})
    if circles:
        raise TableError(f"{path.name}: folders may include one another: "
                         + " -> ".join(circles[0]))
    return layers


def folder_in_table(path, root, layers):
    """The longest folder of the table that holds the file, or None."""
    parts = pathlib.PurePosixPath(relative_path(path, root)).parts
    for length in range(len(parts) - 1, 0, -1):
        folder = "/".join(parts[:length])
        if folder in layers:
            return folder
    return None


def layering_breaches(root, files, includes, layers):
    """The scanned files in no folder of the table, then each include of a folder that the
    includer's row does not list, as printed lines, by file and line."""
    lines = []
    for path in files:
        if folder_in_table(path, root, layers) is None:
            lines.append(f"{relative_path(path, root)} is in no folder of the table")
    for path, number, target in includes:
        folder = folder_in_table(path, root, layers)
        target_folder = folder_in_table(target, root, layers)
        if folder is None or target_folder is None or target_folder == folder:
            continue
        if target_folder not in layers[folder]:
            lines.append(f"{relative_path(path, root)}:{number} -> {relative_path(target, root)} "
                         f"({folder} may not include {target_folder})")
    return ["include against the layering: " + line for line in lines]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folders", nargs="*",
                        help="folders to scan (default: " + " ".join(DEFAULT_FOLDERS) + ")")
    parser.add_argument("--root", type=pathlib.Path, default=project_root(),
                        help="the project root (default: the folder above scripts/)")
    parser.add_argument("--layers", type=pathlib.Path,
                        help="a Markdown file (relative to the root) with the layering table")
    args = parser.parse_args(argv)
    root = args.root.resolve()
    layers = None
    if args.layers is not None:
        try:
            layers = read_layers(root / args.layers)
        except TableError as error:
            print(f"check_include_cycles: {error}", file=sys.stderr)
            return 2
    names = args.folders or DEFAULT_FOLDERS
    folders = []
    for name in names:
        folder = (root / name).resolve()
        if not folder.is_dir():
            if args.folders:
                print(f"check_include_cycles: no folder {name}", file=sys.stderr)
                return 2
            continue  # a default folder the tree does not have
        folders.append(folder)
    files = source_files(folders)
    includes = resolved_includes(root, files)
    cycles = all_cycles(include_graph(root, files, includes))
    for cycle in cycles:
        print("include cycle: " + " -> ".join(cycle))
    breaches = layering_breaches(root, files, includes, layers) if layers is not None else []
    for line in breaches:
        print(line)
    return 1 if cycles or breaches else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
