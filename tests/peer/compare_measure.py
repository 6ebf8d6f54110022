#!/usr/bin/python3
"""Compares `quentar measure` with ezdxf's figures for the same drawings.

usage: compare_measure.py QUENTAR DRAWING...
Cut length and bounding box within 0.2 % (of the length, of the drawing's size): sampled
curves do not reach every extreme point. Exits 1 on a mismatch.
"""
import json
import subprocess
import sys

from ezdxf_measure import measure


def main():
    quentar, files = sys.argv[1], sys.argv[2:]
    bad = 0
    for f in files:
        peer = measure(f)
        ours = json.loads(subprocess.run([quentar, "measure", f], check=True,
                                         capture_output=True, text=True).stdout)
        box = [ours["konturminx"], ours["konturminy"], ours["konturmaxx"], ours["konturmaxy"]]
        size = max(peer["bbox"][2] - peer["bbox"][0], peer["bbox"][3] - peer["bbox"][1], 1e-9)
        length_ok = abs(ours["konturlang"] - peer["length"]) <= 2e-3 * peer["length"]
        box_ok = all(abs(a - b) <= 2e-3 * size for a, b in zip(box, peer["bbox"]))
        status = "ok" if length_ok and box_ok else "MISMATCH"
        print(f"{status}: {f}: length {ours['konturlang']:.6f} (ezdxf {peer['length']:.6f}), "
              f"box {box} (ezdxf {peer['bbox']})")
        bad += not (length_ok and box_ok)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
