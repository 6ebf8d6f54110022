#!/usr/bin/env python3
"""Writes a drawing of COUNT LINE entities as a CAD program writes them in R2000 (handle, owner,
subclass markers, CR LF): the memory benchmark's million-LINE drawing.

Usage: gen_lines.py COUNT OUT.dxf
"""
import sys


def main():
    n = int(sys.argv[1])
    with open(sys.argv[2], "w", newline="") as out:
        def w(code, value):
            out.write("%3s\r\n%s\r\n" % (code, value))
        for c, v in ((0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1015"),
                     (9, "$HANDSEED"), (5, "FFFFFF"), (9, "$INSUNITS"), (70, 4),
                     (0, "ENDSEC"), (0, "SECTION"), (2, "ENTITIES")):
            w(c, v)
        for i in range(n):
            x = (i % 1000) * 10.0
            y = (i // 1000) * 10.0
            for c, v in ((0, "LINE"), (5, "%X" % (i + 256)), (330, "1F"), (100, "AcDbEntity"),
                         (8, "0"), (100, "AcDbLine"), (10, repr(x)), (20, repr(y)), (30, "0.0"),
                         (11, repr(x + 5.5)), (21, repr(y + 3.25)), (31, "0.0")):
                w(c, v)
        w(0, "ENDSEC")
        w(0, "EOF")


if __name__ == "__main__":
    main()
