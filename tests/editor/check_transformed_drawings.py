#!/usr/bin/python3
"""Checks transformed drawings with ezdxf, an independent DXF library.

usage: check_transformed_drawings.py EXPECTED.json

EXPECTED.json lists one object per result: the original file, the transformed file, the plane map
(a 2x3 matrix [a, b, c, d, e, f]: x' = a x + b y + e, y' = c x + d y + f), and either the handles of
the entities transformed in place ("handles") or the shifts of copies made of them ("copies").
For each result:
- ezdxf reads it and its audit finds nothing to fix;
- each transformed entity, as ezdxf reads and draws it (blocks and dimension pictures taken
  apart, curves flattened), lies where ezdxf draws the original carried through the map;
- each copy is a new entity of the original's type drawn where the shifted original is.
Prints one line per result and exits 1 when any check fails.
"""
import json
import math
import os
import sys

import ezdxf
import numpy as np

ezdxf.options.use_matplotlib = False  # measure texts without font files: the same on every machine
from ezdxf import disassemble
from ezdxf.math import Vec3

FLATTEN = 0.001
RELATIVE = 2e-3  # of the entity's size: both sides are flattened curves


def outlines(entity):
    """The polylines ezdxf draws for an entity, its blocks and pictures taken apart."""
    lines = []
    for prim in disassemble.to_primitives(disassemble.recursive_decompose([entity]),
                                          max_flattening_distance=FLATTEN):
        pts = [Vec3(p) for p in prim.vertices()]
        if pts:
            lines.append(pts)
    return lines


def mapped(lines, m):
    a, b, c, d, e, f = m
    return [[Vec3(a * p.x + b * p.y + e, c * p.x + d * p.y + f) for p in line] for line in lines]


def segments(lines):
    """The lines as segments (a single point as a segment of no length), two n x 2 arrays."""
    a, b = [], []
    for line in lines:
        pts = [(p.x, p.y) for p in line]
        if len(pts) == 1:
            pts = pts * 2
        a.extend(pts[:-1])
        b.extend(pts[1:])
    return np.array(a, dtype=float).reshape(-1, 2), np.array(b, dtype=float).reshape(-1, 2)


def farthest(lines, others):
    """The largest distance of a point of `lines` from the segments of `others`."""
    pts = np.array([(p.x, p.y) for line in lines for p in line], dtype=float).reshape(-1, 2)
    a, b = segments(others)
    if len(pts) == 0:
        return 0.0
    if len(a) == 0:
        return math.inf
    ab = b - a
    l2 = np.maximum((ab * ab).sum(axis=1), 1e-300)
    worst = 0.0
    for k in range(0, len(pts), 256):
        p = pts[k:k + 256, None, :]
        t = np.clip(((p - a) * ab).sum(axis=2) / l2, 0.0, 1.0)
        d = np.hypot(*np.moveaxis(a + ab * t[:, :, None] - p, 2, 0))
        worst = max(worst, float(d.min(axis=1).max()))
    return worst


def size(lines):
    pts = [p for line in lines for p in line]
    if not pts:
        return 0.0
    xs, ys = [p.x for p in pts], [p.y for p in pts]
    return math.hypot(max(xs) - min(xs), max(ys) - min(ys))


def mismatch(got, want):
    """How far two drawings lie apart, or None when they agree."""
    if bool(got) != bool(want):
        return f"{len(got)} outlines, expected {len(want)}"
    tol = max(1e-6, RELATIVE * size(want))
    worst = max(farthest(got, want), farthest(want, got))
    return None if worst <= tol else f"{worst:.4g} apart (tolerance {tol:.3g})"


def layouts_of(doc):
    return [doc.modelspace()] + [doc.layouts.get(n) for n in doc.layouts.names_in_taborder()
                                 if n != "Model"]


def check(case):
    problems = []
    before = ezdxf.readfile(case["original"])
    after = ezdxf.readfile(case["result"])
    auditor = after.audit()
    for entry in list(auditor.errors) + list(auditor.fixes):
        problems.append(f"audit: {entry.message}")
    m = case["map"]
    if "handles" in case:
        for handle in case["handles"]:
            e0, e1 = before.entitydb.get(handle), after.entitydb.get(handle)
            if e0 is None or e1 is None:
                problems.append(f"#{handle} missing")
                continue
            why = mismatch(outlines(e1), mapped(outlines(e0), m))
            if why:
                problems.append(f"{e0.dxftype()} #{handle}: {why}")
    else:
        old = {e.dxf.handle for layout in layouts_of(before) for e in layout}
        new = [e for layout in layouts_of(after) for e in layout if e.dxf.handle not in old]
        for handle in case["originals"]:
            e0 = before.entitydb.get(handle)
            for dx, dy in case["copies"]:
                want = mapped(outlines(e0), [m[0], m[1], m[2], m[3], m[4] + dx, m[5] + dy])
                found = [e for e in new if e.dxftype() == e0.dxftype() and
                         mismatch(outlines(e), want) is None]
                if not found:
                    problems.append(f"no copy of {e0.dxftype()} #{handle} shifted by {dx}, {dy}")
                else:
                    new.remove(found[0])
        for e in new:
            problems.append(f"{e.dxftype()} #{e.dxf.handle} is no copy")
    return problems


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        cases = json.load(f)
    bad = 0
    for case in cases:
        try:
            problems = check(case)
        except Exception as exc:  # a file ezdxf cannot read at all
            problems = [f"{type(exc).__name__}: {exc}"]
        print(("ok" if not problems else "FAILED") + ": " + os.path.basename(case["result"]))
        for p in problems:
            print("    " + p)
        bad += bool(problems)
    print(f"{len(cases) - bad} of {len(cases)} results as transformed")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
