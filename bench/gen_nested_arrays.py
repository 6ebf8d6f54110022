#!/usr/bin/env python3
"""Writes a hostile drawing: arrays of block references nested inside each other. Block "P" is a
small part (a 6 x 4 rectangle with a round hole); block "A1" holds a SIDE x SIDE MINSERT array of
P, "A2" a SIDE x SIDE array of A1, and so on; model space holds one SIDE x SIDE array of the
outermost block. With SIDE 1000 and one level (the default) that is 10^12 copies of the part, and
measuring it must stay within its budget of work and say what it left out.

Usage: gen_nested_arrays.py OUT.dxf [--side N] [--levels N]
"""
import argparse


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--side", type=int, default=1000)
    ap.add_argument("--levels", type=int, default=1)
    args = ap.parse_args()
    side = args.side
    with open(args.out, "w", newline="") as out:
        def w(code, value):
            out.write("%3s\r\n%s\r\n" % (code, value))

        def minsert(name, spacing):
            for c, v in ((0, "INSERT"), (8, "0"), (2, name), (10, "0.0"), (20, "0.0"),
                         (30, "0.0"), (70, side), (71, side), (44, spacing), (45, spacing)):
                w(c, v)

        for c, v in ((0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1015"),
                     (9, "$INSUNITS"), (70, 4), (0, "ENDSEC"), (0, "SECTION"), (2, "BLOCKS")):
            w(c, v)
        # The part: a 6 x 4 outline with a hole of radius 1.
        for c, v in ((0, "BLOCK"), (8, "0"), (2, "P"), (70, 0), (10, "0.0"), (20, "0.0"),
                     (30, "0.0"), (3, "P"), (0, "LWPOLYLINE"), (8, "0"), (90, 4), (70, 1),
                     (10, "0.0"), (20, "0.0"), (10, "6.0"), (20, "0.0"), (10, "6.0"),
                     (20, "4.0"), (10, "0.0"), (20, "4.0"), (0, "CIRCLE"), (8, "0"),
                     (10, "3.0"), (20, "2.0"), (40, "1.0"), (0, "ENDBLK"), (8, "0")):
            w(c, v)
        inner, spacing = "P", 10.0
        for level in range(1, args.levels + 1):
            name = "A%d" % level
            for c, v in ((0, "BLOCK"), (8, "0"), (2, name), (70, 0), (10, "0.0"), (20, "0.0"),
                         (30, "0.0"), (3, name)):
                w(c, v)
            minsert(inner, spacing)
            w(0, "ENDBLK")
            w(8, "0")
            inner, spacing = name, spacing * side
        w(0, "ENDSEC")
        w(0, "SECTION")
        w(2, "ENTITIES")
        minsert(inner, spacing)
        w(0, "ENDSEC")
        w(0, "EOF")


if __name__ == "__main__":
    main()
