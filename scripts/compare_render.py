#!/usr/bin/python3
"""Side-by-side pictures of drawings: every tab as Quentar's drawing window paints it (left) and as
an independent renderer, ezdxf's drawing add-on with matplotlib, draws it (right).

    scripts/compare_render.py [--out FOLDER] [--build BUILD] DRAWING.dxf ...

Without drawings it takes the samples under tests/fixtures/samples. The pictures go to FOLDER
(default: /tmp/quentar-compare), never into the repository: they are for looking at, not for
keeping. Needs Debian's python3-ezdxf and python3-matplotlib (run it with /usr/bin/python3) and
the tool quentar_render_tabs of a build with tests.
"""
import argparse
import os
import subprocess
import sys

import logging

import matplotlib

matplotlib.use("Agg")
logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)
import matplotlib.pyplot as plt  # noqa: E402
from PIL import Image, ImageDraw  # noqa: E402

import ezdxf  # noqa: E402
from ezdxf import recover  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.addons.drawing.properties import LayoutProperties  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WIDTH, HEIGHT = 1000, 640


def ezdxf_pictures(path, prefix):
    """One picture per tab in tab order (model first), white background like Quentar's model."""
    try:
        doc = ezdxf.readfile(path)
    except ezdxf.DXFStructureError:
        doc, _ = recover.readfile(path)
    names = doc.layout_names_in_taborder()
    out = []
    for i, name in enumerate(names):
        layout = doc.layouts.get(name)
        fig = plt.figure(figsize=(WIDTH / 100, HEIGHT / 100), dpi=100)
        ax = fig.add_axes([0, 0, 1, 1])
        ctx = RenderContext(doc)
        props = LayoutProperties.from_layout(layout)
        props.set_colors("#ffffff")
        try:
            Frontend(ctx, MatplotlibBackend(ax)).draw_layout(
                layout, finalize=True, layout_properties=props)
        except Exception as e:  # the peer fails on some files; say so and go on
            print(f"ezdxf: {path} {name}: {e}", file=sys.stderr)
        file = f"{prefix}-ezdxf-{i}.png"
        fig.savefig(file, dpi=100, facecolor="#ffffff")
        plt.close(fig)
        out.append((file, name))
    return out


def quentar_pictures(tool, path, prefix):
    result = subprocess.run([tool, path, prefix + "-quentar", str(WIDTH), str(HEIGHT)],
                            capture_output=True, text=True)
    if result.returncode != 0:
        print(f"quentar: {path}: {result.stderr.strip()}", file=sys.stderr)
    return [tuple(line.split("\t", 1)) for line in result.stdout.splitlines() if "\t" in line]


def side_by_side(left, right, caption, file):
    a = Image.open(left).convert("RGB") if left else Image.new("RGB", (WIDTH, HEIGHT), "grey")
    b = Image.open(right).convert("RGB") if right else Image.new("RGB", (WIDTH, HEIGHT), "grey")
    h = max(a.height, b.height)
    pic = Image.new("RGB", (a.width + b.width + 10, h + 24), (90, 90, 90))
    pic.paste(a, (0, 24))
    pic.paste(b, (a.width + 10, 24))
    ImageDraw.Draw(pic).text((6, 5), caption + "   (left: Quentar, right: ezdxf)", fill="white")
    pic.save(file)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default="/tmp/quentar-compare")
    ap.add_argument("--build", default=os.environ.get("QUENTAR_BUILD_DIR", "build"))
    ap.add_argument("drawings", nargs="*")
    args = ap.parse_args()
    build = args.build if os.path.isabs(args.build) else os.path.join(ROOT, args.build)
    tool = os.path.join(build, "src", "editor", "ui", "quentar_render_tabs")
    if not os.access(tool, os.X_OK):
        sys.exit(f"{tool} is missing: build the target quentar_render_tabs first")
    drawings = args.drawings
    if not drawings:
        samples = os.path.join(ROOT, "tests", "fixtures", "samples")
        drawings = sorted(os.path.join(samples, f) for f in os.listdir(samples)
                          if f.endswith(".dxf"))
    os.makedirs(args.out, exist_ok=True)
    for path in drawings:
        stem = os.path.splitext(os.path.basename(path))[0]
        work = os.path.join(args.out, "parts")
        os.makedirs(work, exist_ok=True)
        prefix = os.path.join(work, stem)
        ours = quentar_pictures(tool, path, prefix)
        theirs = ezdxf_pictures(path, prefix)
        for i in range(max(len(ours), len(theirs))):
            left = ours[i][0] if i < len(ours) else None
            right = theirs[i][0] if i < len(theirs) else None
            name = ours[i][1] if i < len(ours) else theirs[i][1]
            file = os.path.join(args.out, f"{stem}-{i}.png")
            side_by_side(left, right, f"{stem}: tab {i} \"{name}\"", file)
            print(file)


if __name__ == "__main__":
    main()
