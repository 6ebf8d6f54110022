#!/usr/bin/python3
"""Measures drawings with ezdxf, an independent DXF library, the way Quentar measures them.

For each drawing: the length of every contour the laser cuts in model space (block references
placed with their full transform, recursively), the bounding box of that geometry, and the areas
of the closed contours. Left out, as a CAD program hides them or as they are not cut: entities on
switched-off, frozen or unprinted layers (the layer Defpoints, plot flag 0), invisible entities
(group 60), block references on such layers with all they insert, texts, points, dimensions,
leaders, hatches, construction lines, viewports, meshes, the frame of spline-fit polylines, and
lines drawn with a broken line type (centre, hidden, dashed). Entities of no length count nowhere.
A drawing with nothing in model space is measured from its first layout that has something.
Prints one JSON object per drawing: {"file", "length", "bbox": [minx, miny, maxx, maxy], "areas"}.
A closed contour that crosses itself (a figure eight) counts as its loops, each with its own area.
"""

import json
import math
import sys

import ezdxf
from ezdxf import disassemble, path as ezpath
from ezdxf.math import area as polygon_area

FLATTEN = 1e-4  # maximum distance of the flattened path from the curve, drawing units

NOT_CUT = {"TEXT", "MTEXT", "ATTRIB", "ATTDEF", "POINT", "VIEWPORT", "IMAGE", "WIPEOUT", "HATCH",
           "DIMENSION", "LEADER", "MLEADER", "XLINE", "RAY"}
# Line types named but not defined, taken by their name (as Quentar does).
BROKEN_FAMILIES = ("CENTER", "CENTRE", "HIDDEN", "DASH", "PHANTOM", "DOT", "DIVIDE", "BORDER",
                   "ACAD_ISO", "JIS_", "MITTE", "STRICH", "VERDECKT")


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


def hidden_layer(layer):
    """Why a layer hides what is on it: switched off, frozen, or never printed."""
    if layer is None:
        return False
    return (layer.dxf.get("color", 7) < 0 or layer.dxf.get("flags", 0) & 1 or
            layer.dxf.get("plot", 1) == 0 or layer.dxf.name.lower() == "defpoints")


def broken(doc, name):
    if not name:
        return False
    if name in doc.linetypes:
        tags = doc.linetypes.get(name).pattern_tags.tags
        return any(t.code == 49 and t.value < 0 for t in tags)
    return name.upper().startswith(BROKEN_FAMILIES)


def linetype(doc, entity, layer):
    own = entity.dxf.get("linetype") if entity.dxf.hasattr("linetype") else None
    if own and own not in ("ByLayer", "ByBlock"):
        return own
    return layer.dxf.get("linetype") if layer is not None else None


def cut_entities(doc, entities, insert_layer=None):
    """The entities that are cut, block references resolved (recursively)."""
    for e in entities:
        name = e.dxf.get("layer", "0")
        if insert_layer is not None and name == "0":
            name = insert_layer
        layer = doc.layers.get(name) if name in doc.layers else None
        if e.dxf.get("invisible", 0) or hidden_layer(layer):
            continue
        kind = e.dxftype()
        if kind == "INSERT":
            for copy in (e.multi_insert() if e.mcount > 1 else [e]):
                yield from cut_entities(doc, copy.virtual_entities(), name)
            continue
        if kind in NOT_CUT or broken(doc, linetype(doc, e, layer)):
            continue
        if kind == "POLYLINE" and (e.is_polygon_mesh or e.is_poly_face_mesh):
            continue
        yield e


def paths_of(entity):
    if entity.dxftype() == "POLYLINE" and entity.dxf.get("flags", 0) & 4:
        # Spline-fit: the fitted vertices, not the frame of control points.
        points = [v.dxf.location for v in entity.vertices if not v.dxf.get("flags", 0) & 16]
        return [ezpath.from_vertices(points, close=entity.is_closed)]
    paths = []
    for prim in disassemble.to_primitives([entity]):
        if prim.path is not None:
            paths.append(prim.path)
        elif prim.mesh is None:
            verts = list(prim.vertices())
            if len(verts) > 1:
                paths.append(ezpath.from_vertices(verts))
    return paths


def measure(path):
    doc = ezdxf.readfile(path)
    space = doc.modelspace()
    if len(space) == 0:
        space = next((l for l in doc.layouts if not l.is_modelspace and len(l) > 0), space)
    length = 0.0
    xs, ys, areas = [], [], []
    for e in cut_entities(doc, space):
        for p in paths_of(e):
            for sub in p.sub_paths():
                pts = list(sub.flattening(FLATTEN))
                piece = sum(math.hypot(b.x - a.x, b.y - a.y) for a, b in zip(pts, pts[1:]))
                if piece <= 1e-12 * max([1.0] + [abs(c) for q in pts for c in (q.x, q.y)]):
                    continue
                length += piece
                xs += [q.x for q in pts]
                ys += [q.y for q in pts]
                if len(pts) > 2 and pts[0].isclose(pts[-1], abs_tol=1e-9):
                    areas += loop_areas(pts) if len(pts) < 3000 else [abs(polygon_area(pts))]
    bbox = [min(xs), min(ys), max(xs), max(ys)] if xs else [0, 0, 0, 0]
    return {"file": path, "length": length, "bbox": bbox, "areas": sorted(areas, reverse=True)}


if __name__ == "__main__":
    for f in sys.argv[1:]:
        print(json.dumps(measure(f)))
