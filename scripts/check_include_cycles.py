#!/usr/bin/env python3
"""Fails when the project's own headers and sources include each other in a circle.

Reads every `#include "..."` line of the C and C++ files under the folders given (default: src
and bench, relative to the project root). An include is looked up beside the including file
first, then under <root>/src, as the compiler does with the project's include path; includes
that name no file under the scanned folders (system and outside headers) are ignored.

A header and its source of one name in one folder (X.h and X.cpp) form one unit, so X.cpp
including X.h is no circle, and a dependency of X.cpp counts as one of X.h.

Every group of units that reach one another is reported as circles that, taken together, use
each include between the group's units at least once, one line each, units in include order:

    include cycle: src/a/One -> src/a/Two -> src/a/One

Exits 1 when it printed a cycle, 0 silently when there is none, 2 on a bad argument.
"""

import argparse
import collections
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".h", ".hh", ".hpp", ".inl", ".c", ".cc", ".cpp", ".cxx"}
INCLUDE_LINE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


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
    """The names of the quoted includes of one file, in order."""
    names = []
    with open(path, encoding="utf-8", errors="replace") as text:
        for line in text:
            match = INCLUDE_LINE.match(line)
            if match:
                names.append(match.group(1))
    return names


def resolve_include(name, includer, include_dir, known):
    """The scanned file an include names, or None."""
    for base in (includer.parent, include_dir):
        candidate = (base / name).resolve()
        if candidate in known:
            return candidate
    return None


def unit_of(path, root):
    """A file's unit: its path from the root without the suffix."""
    stem = path.with_suffix("")
    try:
        return stem.relative_to(root).as_posix()
    except ValueError:
        return stem.as_posix()


def include_graph(root, folders):
    """The units and, for each, the set of other units its files include."""
    files = source_files(folders)
    known = set(files)
    include_dir = (root / "src").resolve()
    graph = {}
    for path in files:
        unit = unit_of(path, root)
        graph.setdefault(unit, set())  # a node even when it includes nothing
        for name in included_names(path):
            target = resolve_include(name, path, include_dir, known)
            if target is None:
                continue
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


def find_cycles(root, folders):
    graph = include_graph(root, folders)
    cycles = []
    for group in strongly_connected_groups(graph):
        cycles.extend(cycles_of_group(graph, group))
    return cycles


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folders", nargs="*", help="folders to scan (default: src bench)")
    parser.add_argument("--root", type=pathlib.Path, default=project_root(),
                        help="the project root (default: the folder above scripts/)")
    args = parser.parse_args(argv)
    root = args.root.resolve()
    names = args.folders or ["src", "bench"]
    folders = []
    for name in names:
        folder = (root / name).resolve()
        if not folder.is_dir():
            if args.folders:
                print(f"check_include_cycles: no folder {name}", file=sys.stderr)
                return 2
            continue  # a default folder the tree does not have
        folders.append(folder)
    cycles = find_cycles(root, folders)
    for cycle in cycles:
        print("include cycle: " + " -> ".join(cycle))
    return 1 if cycles else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
