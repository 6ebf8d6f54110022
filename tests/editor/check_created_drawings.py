#!/usr/bin/python3
"""Checks drawings the editor created with ezdxf, an independent DXF library.

usage: check_created_drawings.py QUENTAR EXPECTED.json

EXPECTED.json lists one object per drawing: its file, DXF version, tab, the handle of its first new
entity and the entities as they were created (type and attributes under ezdxf's names, points the
curve passes through), and optionally the figures the creation measures. For each drawing:
- ezdxf reads it in its strict mode and its audit finds nothing to fix;
- every entity is found under the next handle, in the right layout, with the attributes created;
- `quentar measure` gives the expected figures, and the figures ezdxf measures (model space);
  a drawing with nothing to cut is refused by it, and ezdxf measures no length in it.
Prints one line per drawing and exits 1 when any check fails.
"""
import json
import math
import os
import subprocess
import sys

import ezdxf
from ezdxf.math import Vec3

sys.dont_write_bytecode = True  # the source tree stays as checked out
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peer"))
from ezdxf_measure import measure  # noqa: E402

EXACT = 1e-9      # attributes are written with 15 significant digits
ON_CURVE = 1e-4   # distance of a point from ezdxf's flattened curve
FLATTEN = 1e-6
# Quentar samples curves with 100 chords: lengths and boxes agree to 0.2 %, areas of arcs and
# ellipses to 0.1 % (Quentar adds their share back), areas of splines sampled by chords to 0.5 %.
LENGTH = 2e-3
AREA = 1e-3
PEER_AREA = 5e-3

SPECIAL = {"type", "on_curve", "start_point", "end_point", "points", "closed", "direction",
           "control_points", "knots", "degree", "text", "paperspace"}
ANGLES = {"start_angle", "end_angle"}


def near(a, b, tol=EXACT):
    return abs(a - b) <= tol * max(1.0, abs(a), abs(b))


def near_points(a, b, tol=EXACT):
    return len(a) == len(b) and all(near(x, y, tol) for p, q in zip(a, b) for x, y in zip(p, q))


def same_angle(a, b):
    d = (a - b) % 360.0
    return min(d, 360.0 - d) <= 1e-9


def distance_to_polyline(p, pts):
    best = math.inf
    for a, b in zip(pts, pts[1:]):
        ab = b - a
        t = 0.0 if ab.magnitude == 0 else max(0.0, min(1.0, (p - a).dot(ab) / ab.magnitude ** 2))
        best = min(best, (a + ab * t - p).magnitude)
    return best


def check_entity(e, exp, problems):
    name = f"{exp['type']} #{e.dxf.handle}"
    for key, want in exp.items():
        if key in SPECIAL:
            continue
        got = e.dxf.get(key)
        if isinstance(want, list):
            ok = got is not None and near_points([tuple(Vec3(got))], [tuple(want)])
        elif isinstance(want, str):
            ok = got == want
        elif key in ANGLES:
            ok = got is not None and same_angle(got, want)
        else:
            ok = got is not None and near(got, want)
        if not ok:
            problems.append(f"{name}: {key} is {got}, created {want}")
    if "direction" in exp:
        got = Vec3(e.dxf.unit_vector).normalize()
        if not near_points([tuple(got)], [tuple(exp["direction"])]):
            problems.append(f"{name}: direction {got}, created {exp['direction']}")
    if "paperspace" in exp and e.dxf.get("paperspace", 0) != exp["paperspace"]:
        problems.append(f"{name}: not in paper space")
    if "text" in exp:
        got = e.text if e.dxftype() == "MTEXT" else e.dxf.text
        if got != exp["text"]:
            problems.append(f"{name}: text {got!r}, created {exp['text']!r}")
    if "points" in exp:
        if e.dxftype() == "LWPOLYLINE":
            got = [tuple(p) for p in e.get_points("xyb")]
        else:
            got = [(v.dxf.location.x, v.dxf.location.y, v.dxf.bulge) for v in e.vertices]
        if not near_points(got, [tuple(p) for p in exp["points"]]):
            problems.append(f"{name}: vertices {got}, created {exp['points']}")
    if "closed" in exp:
        got = e.is_closed if e.dxftype() == "POLYLINE" else e.closed
        if bool(got) != exp["closed"]:
            problems.append(f"{name}: closed is {got}")
    if "degree" in exp and e.dxf.degree != exp["degree"]:
        problems.append(f"{name}: degree {e.dxf.degree}, created {exp['degree']}")
    if "control_points" in exp and not near_points([tuple(p) for p in e.control_points],
                                                   [tuple(p) for p in exp["control_points"]]):
        problems.append(f"{name}: control points differ")
    if "knots" in exp and not near_points([[k] for k in e.knots], [[k] for k in exp["knots"]]):
        problems.append(f"{name}: knots {list(e.knots)}, created {exp['knots']}")
    if {"start_point", "end_point", "on_curve"} & exp.keys():
        # The curve itself, not the Bezier path ezdxf would draw it with.
        flat = list(e.flattening(FLATTEN))
        for key, got in (("start_point", flat[0]), ("end_point", flat[-1])):
            if key in exp and not near_points([tuple(got)], [tuple(exp[key])], 1e-7):
                problems.append(f"{name}: {key} {got}, created {exp[key]}")
        for q in exp.get("on_curve", []):
            d = distance_to_polyline(Vec3(q), flat)
            if d > ON_CURVE:
                problems.append(f"{name}: the curve misses {q} by {d:.3g}")


def check_figures(label, got, want, problems, area_tolerance=AREA, known=None):
    size = max(want["box"][2] - want["box"][0], want["box"][3] - want["box"][1], 1e-9)
    if abs(got["length"] - want["length"]) > LENGTH * max(want["length"], 1):
        text = f"{label} length {want['length']:.6f}, quentar {got['length']:.6f}"
        if known:
            print(f"    known: {text} ({known})")
        else:
            problems.append(text)
    if any(abs(a - b) > LENGTH * size for a, b in zip(got["box"], want["box"])):
        problems.append(f"{label} box {want['box']}, quentar {got['box']}")
    areas = sorted(want["areas"], reverse=True)
    if len(got["areas"]) != len(areas) or any(
            abs(a - b) > area_tolerance * max(abs(b), 1e-9) for a, b in zip(got["areas"], areas)):
        # Quentar takes the faces of the cut contours: a line drawn through a closed shape (the
        # dimension line through its arrowheads) splits it into faces of the same total area.
        total, want_total = sum(got["areas"]), sum(areas)
        if len(got["areas"]) > len(areas) and \
                abs(total - want_total) <= area_tolerance * max(want_total, 1e-9):
            print(f"    known: {label} areas {areas}, quentar {got['areas']} (faces split where "
                  "lines cross them, same total)")
        else:
            problems.append(f"{label} areas {areas}, quentar {got['areas']}")


def check_drawing(drawing, quentar):
    problems = []
    doc = ezdxf.readfile(drawing["file"])
    if doc.dxfversion != drawing["version"]:
        problems.append(f"version {doc.dxfversion}")
    auditor = doc.audit()
    for entry in list(auditor.errors) + list(auditor.fixes):
        problems.append(f"audit: {entry.message}")

    layout = doc.modelspace() if drawing["tab"] == 0 else doc.layouts.active_layout()
    found = list(layout)
    if len(found) != len(drawing["entities"]):
        problems.append(f"{len(found)} entities in {layout.name}, created {len(drawing['entities'])}")
    first = int(drawing["first_handle"], 16)
    for i, exp in enumerate(drawing["entities"]):
        handle = "%X" % (first + i)
        e = doc.entitydb.get(handle)
        if e is None or e.dxftype() != exp["type"]:
            problems.append(f"no {exp['type']} under handle {handle}")
            continue
        if e not in found:
            problems.append(f"{exp['type']} #{handle} is not in {layout.name}")
        check_entity(e, exp, problems)

    run = subprocess.run([quentar, "measure", drawing["file"], "--tab", str(drawing["tab"])],
                         capture_output=True, text=True)
    if run.returncode == 2 and "nothing is left to measure" in run.stderr:
        # Nothing to cut (a point, a text): refused as nothing to price, and the peer finds no
        # length either.
        if drawing["tab"] == 0 and measure(drawing["file"])["length"] > 0:
            problems.append("quentar finds nothing to measure, ezdxf a length")
        return problems
    if run.returncode != 0:
        problems.append(f"quentar measure failed: {run.stderr.strip()}")
        return problems
    ours = json.loads(run.stdout)
    got = {"length": ours["konturlang"],
           "box": [ours["konturminx"], ours["konturminy"], ours["konturmaxx"], ours["konturmaxy"]],
           "areas": ours["flaechen"]}
    known = drawing.get("known_difference")
    if "figures" in drawing:
        check_figures("created", got, drawing["figures"], problems, known=known)
    # The peer measures model space, and no unbounded lines.
    if drawing["tab"] == 0 and not {"XLINE", "RAY"} & {e["type"] for e in drawing["entities"]}:
        peer = measure(drawing["file"])
        check_figures("ezdxf", got, {"length": peer["length"], "box": peer["bbox"],
                                     "areas": peer["areas"]}, problems, PEER_AREA, known)
    return problems


def main():
    quentar, expected = sys.argv[1], sys.argv[2]
    with open(expected, encoding="utf-8") as f:
        drawings = json.load(f)
    bad = 0
    for drawing in drawings:
        try:
            problems = check_drawing(drawing, quentar)
        except Exception as exc:  # a file ezdxf cannot read at all
            problems = [f"{type(exc).__name__}: {exc}"]
        print(("ok" if not problems else "FAILED") + ": " + os.path.basename(drawing["file"]))
        for p in problems:
            print("    " + p)
        bad += bool(problems)
    print(f"{len(drawings) - bad} of {len(drawings)} drawings as created")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
