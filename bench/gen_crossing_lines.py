#!/usr/bin/env python3
"""Writes a hostile drawing: COUNT LINE entities with both ends at random in a 1000 x 1000 mm
square, so that every line crosses a good part of the others (a million lines cross about 10^11
times). Measuring it must stay within its budget of work and say what it left out.

Usage: gen_crossing_lines.py COUNT OUT.dxf [--seed N]
"""
import argparse
import random


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("count", type=int)
    ap.add_argument("out")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rnd = random.Random(args.seed)
    with open(args.out, "w", newline="") as out:
        def w(code, value):
            out.write("%3s\r\n%s\r\n" % (code, value))
        for c, v in ((0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1015"),
                     (9, "$INSUNITS"), (70, 4), (0, "ENDSEC"), (0, "SECTION"), (2, "ENTITIES")):
            w(c, v)
        for _ in range(args.count):
            w(0, "LINE")
            w(8, "0")
            for code in (10, 20, 11, 21):
                w(code, "%.4f" % (rnd.random() * 1000))
        w(0, "ENDSEC")
        w(0, "EOF")


if __name__ == "__main__":
    main()
