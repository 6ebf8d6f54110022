#!/usr/bin/python3
"""Measures drawings with ezdxf, an independent DXF library, the way Quentar measures them.

For each drawing: the length of every drawn contour of model space (block references placed with
their full transform, recursively), the bounding box of that geometry, and the areas of the closed
contours. Entities on switched-off layers are left out, texts are not contours. Prints one JSON
object per drawing: {"file", "length", "bbox": [minx, miny, maxx, maxy], "areas": [...]}.
A closed contour that crosses itself (a figure eight) counts as its loops, each with its own area.
"""
import json
import math
import sys

import ezdxf
from ezdxf import disassemble
from ezdxf.math import area as polygon_area

FLATTEN = 1e-4  # maximum distance of the flattened path from the curve, drawing units

SKIP = {"TEXT", "MTEXT", "ATTRIB", "ATTDEF", "POINT", "VIEWPORT", "IMAGE", "WIPEOUT"}


def _crossing(a, b, c, d):
    """Where segment ab crosses segment cd inside both, or None."""
    rx, ry, sx, sy = b[0] - a[0], b[1] - a[1], d[0] - c[0], d[1] - c[1]
    den = rx * sy - ry * sx
    if abs(den) <= 1e-12 * math.hypot(rx, ry) * math.hypot(sx, sy):
        return None
    qx, qy = c[0] - a[0], c[1] - a[1]
    t, u = (qx * sy - qy * sx) / den, (qx * ry - qy * rx) / den
    eps = 1e-9
    if eps < t < 1 - eps and eps < u < 1 - eps:
        return (a[0] + t * rx, a[1] + t * ry)
    return None


def loops(pts):
    """A closed polygon (first point not repeated) cut at its self-crossings into simple loops."""
    n = len(pts)
    for i in range(n):
        for j in range(i + 2, n):
            if i == 0 and j == n - 1:
                continue
            p = _crossing(pts[i], pts[(i + 1) % n], pts[j], pts[(j + 1) % n])
            if p is not None:
                return loops([p] + pts[i + 1:j + 1]) + loops(pts[:i + 1] + [p] + pts[j + 1:])
    return [pts]


def loop_areas(pts):
    """Areas of the loops of a closed flattened path."""
    flat = [(q.x, q.y) for q in pts[:-1]]
    out = []
    for loop in loops(flat):
        s = sum(loop[k - 1][0] * loop[k][1] - loop[k][0] * loop[k - 1][1] for k in range(len(loop)))
        out.append(abs(s) / 2)
    return out


def switched_off(doc, entity):
    layer = doc.layers.get(entity.dxf.get("layer", "0"))
    return layer is not None and layer.dxf.get("color", 7) < 0


def measure(path):
    doc = ezdxf.readfile(path)
    msp = doc.modelspace()
    length = 0.0
    xs, ys, areas = [], [], []
    wanted = (e for e in disassemble.recursive_decompose(msp)
              if e.dxftype() not in SKIP and not switched_off(doc, e))
    for prim in disassemble.to_primitives(wanted):
        for p in ([prim.path] if prim.path is not None else []):
            for sub in p.sub_paths() if hasattr(p, "sub_paths") else [p]:
                pts = list(sub.flattening(FLATTEN))
                for a, b in zip(pts, pts[1:]):
                    length += math.hypot(b.x - a.x, b.y - a.y)
                xs += [q.x for q in pts]
                ys += [q.y for q in pts]
                if len(pts) > 2 and pts[0].isclose(pts[-1], abs_tol=1e-9):
                    areas += loop_areas(pts) if len(pts) < 3000 else [abs(polygon_area(pts))]
        if prim.path is None and prim.mesh is None:
            verts = list(prim.vertices())
            for a, b in zip(verts, verts[1:]):
                length += math.hypot(b.x - a.x, b.y - a.y)
            xs += [q.x for q in verts]
            ys += [q.y for q in verts]
    bbox = [min(xs), min(ys), max(xs), max(ys)] if xs else [0, 0, 0, 0]
    return {"file": path, "length": length, "bbox": bbox, "areas": sorted(areas, reverse=True)}


if __name__ == "__main__":
    for f in sys.argv[1:]:
        print(json.dumps(measure(f)))
