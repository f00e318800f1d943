#!/usr/bin/env python3
"""Puts the shipped UI description and panel templates together as one input of the UI
description fuzz target: the description (its template file renamed to the target's "t.xml"),
a NUL, then the template file.

    make_shipped_seed.py UIFEATURES_XML PANELS_XML OUTPUT
"""
import pathlib
import sys


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    description = pathlib.Path(argv[1]).read_bytes()
    templates = pathlib.Path(argv[2]).read_bytes()
    output = pathlib.Path(argv[3])
    output.parent.mkdir(parents=True, exist_ok=True)
    description = description.replace(b'FILE="panels.xml"', b'FILE="t.xml"')
    output.write_bytes(description + b"\0" + templates)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
