#!/usr/bin/env python3
"""Material cost per piece by the blank and by the sheet for every sample drawing: a table.

usage: sheet_vs_blank.py QUENTAR [SAMPLES_DIR] [QUOTE OPTIONS ...]
Runs `quentar quote --json` with --sheet 3000x1500 under both remnant policies (whole sheets and
the used fraction) and prints one Markdown row per drawing; drawings the sheet method refuses show
the reason.
"""
import json
import pathlib
import subprocess
import sys
import time


def quote(binary, drawing, options):
    started = time.monotonic()
    run = subprocess.run([binary, "quote", str(drawing), "--json", *options],
                         capture_output=True, text=True)
    seconds = time.monotonic() - started
    if run.returncode != 0:
        return None, run.stderr.strip().splitlines()[-1], seconds
    return json.loads(run.stdout.splitlines()[0]), "", seconds


def main():
    binary = sys.argv[1]
    samples = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else
                           pathlib.Path(__file__).resolve().parent.parent / "tests/fixtures/samples")
    extra = sys.argv[3:] or ["--quantity", "100"]
    print("| drawing | blank / piece | sheet / piece (whole sheets) | sheet / piece (used part) "
          "| pieces / sheet | sheets | utilisation % | s |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    for drawing in sorted(samples.glob("*.dxf")):
        whole, why, seconds = quote(binary, drawing, [*extra, "--sheet", "3000x1500"])
        if whole is None:
            print(f"| {drawing.stem} | | refused: {why.split(': ', 2)[-1]} | | | | | |")
            continue
        used, _, _ = quote(binary, drawing, [*extra, "--sheet", "3000x1500", "--remnant", "used"])
        s = whole["sheet"]
        print(f"| {drawing.stem} | {s['blankMaterialCostPerPiece']} | {s['materialCostPerPiece']} "
              f"| {used['sheet']['materialCostPerPiece']} | {s['piecesPerSheet']} "
              f"| {s['sheetsNeeded']} | {s['utilisation']} | {seconds:.2f} |")


if __name__ == "__main__":
    main()
