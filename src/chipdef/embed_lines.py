#!/usr/bin/env python3
"""Writes a text file as a C++ array of line texts, one escaped string per line without its line
end, and the number of lines:  embed_lines.py INPUT OUTPUT ARRAY_NAME COUNT_NAME HEADER

The input must be 7-bit ASCII without carriage returns or other control characters (tabs
excepted); anything else is refused, so the compiled text is exactly the file."""
import sys


def main():
    source, target, array, count, header = sys.argv[1:6]
    data = open(source, "rb").read()
    for offset, byte in enumerate(data):
        if byte > 0x7E or (byte < 0x20 and byte not in (0x09, 0x0A)):
            line = data.count(b"\n", 0, offset) + 1
            sys.stderr.write("%s:%d: byte 0x%02X is not printable ASCII\n" % (source, line, byte))
            return 1
    text = data.decode("ascii")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()  # the file's final line end closes the last line
    out = ["// Generated from %s by embed_lines.py; edit the source, not this file."
           % source.replace("\\", "/").split("/")[-1],
           '#include "%s"' % header, "",
           "const char* const %s[] = {" % array]
    for line in lines:
        escaped = line.replace("\\", "\\\\").replace('"', '\\"').replace("\t", "\\t")
        escaped = escaped.replace("??", '?""?')  # no trigraph can form
        out.append('    "%s",' % escaped)
    out.append("};")
    out.append("const uint32_t %s = %d;" % (count, len(lines)))
    with open(target, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
