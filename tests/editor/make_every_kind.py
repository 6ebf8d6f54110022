#!/usr/bin/python3
"""Writes the drawings the transformation tests start from, with ezdxf (an independent library):
one entity of every kind the reader places, in the forms that need care (object coordinate
systems, elevations, block placement, attributes, dimensions with their picture blocks, hatch
edges of every type), and a drawing of the R12 forms.

usage: make_every_kind.py OUT_DIR   (writes every_kind_ac1015.dxf and every_kind_r12.dxf)
"""
import os
import sys

import ezdxf
from ezdxf.math import Vec3


def newer(path):
    doc = ezdxf.new("R2000", setup=True)
    msp = doc.modelspace()
    down = {"extrusion": (0, 0, -1)}

    msp.add_line((0, 0), (10, 5))
    msp.add_circle((20, 0), 3)
    msp.add_arc((30, 0), 4, 0, 90)
    # Object systems: a mirrored arc (world centre (40, 2)), a mirrored solid, a tilted circle.
    msp.add_arc((-40, 2), 3, 10, 120, dxfattribs=down)
    msp.add_solid([(-60, 0), (-64, 0), (-60, 3), (-64, 4)], dxfattribs=down)
    msp.add_circle((5, 5, 2), 2, dxfattribs={"extrusion": (0.6, 0, 0.8)})
    # Light-weight polylines: one with an elevation, one in a mirrored object system.
    msp.add_lwpolyline([(0, 10, 0, 0, 0.5), (8, 10, 0, 0, 0), (8, 14, 0, 0, -0.3), (0, 14)],
                       format="xyseb", close=True, dxfattribs={"elevation": 2, "const_width": 0.2})
    msp.add_lwpolyline([(-10, 10), (-18, 10, 0, 0, 1), (-18, 16)], format="xyseb",
                       dxfattribs={"extrusion": (0, 0, -1), "elevation": 1})
    p2 = msp.add_polyline2d([(20, 10), (28, 10), (28, 15)], format="xy", close=True)
    p2.vertices[0].dxf.bulge = 0.4
    msp.add_polyline3d([(30, 10, 0), (36, 12, 1), (38, 16, 2)])
    msp.add_ellipse((50, 0), major_axis=(6, 2), ratio=0.5, start_param=0.3, end_param=4)
    msp.add_ellipse((50, 12), major_axis=(0, 3), ratio=0.4)
    s = msp.add_open_spline([(60, 10), (63, 15), (67, 9), (70, 14), (72, 10)], degree=3)
    s.dxf.start_tangent = (1, 1, 0)
    s.dxf.end_tangent = (1, -1, 0)
    msp.add_solid([(80, 10), (84, 10), (80, 13), (84, 14)])
    msp.add_point((90, 10))
    msp.add_text("Blech", dxfattribs={"height": 2.5, "rotation": 30}).set_pos((60, 0))
    msp.add_text("Mitte", dxfattribs={"height": 1.5}).set_pos((70, 0), align="MIDDLE_CENTER")
    msp.add_mtext("Zwei\\PZeilen", dxfattribs={"char_height": 1.2, "rotation": 15,
                                                "insert": (60, -10)})
    msp.add_mtext("Richtung", dxfattribs={"char_height": 1, "insert": (75, -10),
                                           "text_direction": (0, 1, 0)})

    part = doc.blocks.new("PART", base_point=(1, 1))
    part.add_lwpolyline([(0, 0), (4, 0), (4, 2), (0, 2)], close=True)
    part.add_circle((2, 1), 0.5)
    part.add_attdef("NR", (0, 3), dxfattribs={"height": 0.5})
    msp.add_blockref("PART", (90, 0), dxfattribs={"xscale": 2, "yscale": 1.5, "rotation": 20})
    msp.add_blockref("PART", (100, 20), dxfattribs={
        "column_count": 3, "row_count": 2, "column_spacing": 6, "row_spacing": 4})
    ref = msp.add_blockref("PART", (110, 0), dxfattribs={"extrusion": (0, 0, -1)})
    ref.add_attrib("NR", "17", (110, 3), dxfattribs={"height": 0.5, "extrusion": (0, 0, -1)})

    h = msp.add_hatch(color=3)
    h.paths.add_polyline_path([(0, -20, 0.5), (8, -20, 0), (8, -14, 0), (0, -14, 0)],
                              is_closed=True)
    h.set_pattern_fill("ANSI31", scale=0.5)
    h2 = msp.add_hatch(color=4)
    edges = h2.paths.add_edge_path()
    edges.add_line((20, -20), (30, -20))
    edges.add_arc((30, -16), 4, -90, 0)
    edges.add_line((34, -16), (34, -12))
    edges.add_ellipse((30, -12), (4, 0), 0.5, 0, 180)
    edges.add_line((26, -12), (20, -12))
    edges.add_line((20, -12), (20, -20))
    hole = h2.paths.add_edge_path()
    hole.add_arc((24, -16), 1.5, 0, 360, ccw=False)
    h3 = msp.add_hatch(color=5, dxfattribs={"extrusion": (0, 0, -1), "elevation": (0, 0, 1)})
    h3.paths.add_polyline_path([(-40, -20), (-46, -20), (-46, -14)], is_closed=True)

    msp.add_linear_dim(base=(0, -30), p1=(0, -35), p2=(10, -35)).render()
    msp.add_linear_dim(base=(20, -30), p1=(20, -35), p2=(26, -40), angle=30).render()
    msp.add_aligned_dim(p1=(40, -35), p2=(48, -40), distance=2).render()
    msp.add_radius_dim(center=(60, -35), radius=3, angle=45).render()
    msp.add_leader([(70, -30), (74, -34), (78, -34)])
    msp.add_ray((90, -30), (1, 1, 0))
    msp.add_xline((100, -30), (0, 1, 0))
    msp.add_wipeout([(110, -30), (116, -30), (116, -26), (110, -26)])

    layout = doc.layouts.get("Layout1")
    layout.add_viewport(center=(100, 80), size=(80, 60), view_center_point=(40, 0),
                        view_height=80)
    layout.add_line((10, 10), (20, 15))
    second = doc.layouts.new("Blatt2")
    second.add_circle((30, 30), 5)
    doc.saveas(path)


def r12(path):
    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 5))
    msp.add_arc((30, 0), 4, 0, 90)
    p = msp.add_polyline2d([(20, 10), (28, 10), (28, 15)], close=True)
    p.vertices[1].dxf.bulge = -0.5
    msp.add_text("R12", dxfattribs={"height": 2, "rotation": 10}).set_pos((0, 20))
    part = doc.blocks.new("PART")
    part.add_line((0, 0), (3, 0))
    part.add_attdef("NR", (0, 1), dxfattribs={"height": 0.5})
    ref = msp.add_blockref("PART", (40, 0), dxfattribs={"rotation": 45})
    ref.add_attrib("NR", "5", (40, 1), dxfattribs={"height": 0.5})
    doc.saveas(path)


if __name__ == "__main__":
    out = sys.argv[1]
    newer(os.path.join(out, "every_kind_ac1015.dxf"))
    r12(os.path.join(out, "every_kind_r12.dxf"))
