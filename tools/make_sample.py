#!/usr/bin/env python3
"""Writes data/samples/sample.plt, the sample drawing shipped with PLOTVUE.

    tools/make_sample.py [OUT]        OUT defaults to data/samples/sample.plt

A flange in front view and section on an A4 landscape sheet (plotter units, 40 per millimetre,
no scaling), with a frame and title block, centre lines, hatching, dimensions, a slotted link
drawn with arcs, notes, labels in several sizes and directions, and a spring and a spiral stored
as Polyline Encoded data (seven-bit and eight-bit). Six pens. Lines end in CR LF. The output
depends only on this script: integer coordinates, rounded once.
"""

import math
import sys
from pathlib import Path

ETX = "\x03"


class Plot:
    """Collects HP-GL commands, one per line."""

    def __init__(self):
        self.lines = []

    def cmd(self, text):
        self.lines.append(text)

    def pen(self, number):
        self.cmd(f"SP{number};")

    def polyline(self, points):
        (x0, y0), rest = points[0], points[1:]
        self.cmd(f"PU{x0},{y0};")
        self.cmd("PD" + ",".join(f"{x},{y}" for x, y in rest) + ";")
        self.cmd("PU;")

    def line(self, x0, y0, x1, y1):
        self.polyline([(x0, y0), (x1, y1)])

    def rect(self, x0, y0, x1, y1):
        self.cmd(f"PU{x0},{y0};")
        self.cmd(f"EA{x1},{y1};")

    def circle(self, cx, cy, r):
        self.cmd(f"PU{cx},{cy};")
        self.cmd(f"CI{r};")

    def size(self, width_cm, height_cm):
        self.cmd(f"SI{width_cm},{height_cm};")

    def direction(self, run, rise):
        self.cmd(f"DI{run},{rise};")

    def label(self, x, y, text):
        self.cmd(f"PU{x},{y};")
        self.lines.append("LB" + text + ETX)

    def text(self):
        return "".join(line + "\r\n" for line in self.lines)


def pe_number(value, seven_bit):
    """One Polyline Encoded number: 2|d| (+1 when negative), least significant digit first."""
    v = 2 * abs(value) + (1 if value < 0 else 0)
    base, end = (32, 95) if seven_bit else (64, 191)
    out = []
    while v >= base:
        out.append(chr(63 + v % base))
        v //= base
    out.append(chr(end + v))
    return "".join(out)


def pe_polyline(points, seven_bit):
    """PE[7] with a pen-up absolute move to the first point, then relative drawn pairs."""
    x, y = points[0]
    parts = ["PE", "7" if seven_bit else "", "<=", pe_number(x, seven_bit), pe_number(y, seven_bit)]
    for px, py in points[1:]:
        parts.append(pe_number(px - x, seven_bit) + pe_number(py - y, seven_bit))
        x, y = px, py
    return "".join(parts) + ";"


def hatch(plot, x0, y0, x1, y1, spacing):
    """45-degree hatch lines clipped to the rectangle (x0, y0)-(x1, y1)."""
    # Lines y - x = c for c running over the rectangle's range.
    c = y0 - x1 + spacing
    while c < y1 - x0:
        ax, ay = max(x0, y0 - c), max(y0, x0 + c)
        bx, by = min(x1, y1 - c), min(y1, x1 + c)
        if bx > ax:
            plot.line(ax, ay, bx, by)
        c += spacing


def arrow(plot, x, y, dx, dy):
    """An open arrow head at (x, y) pointing along (dx, dy) (a unit axis direction)."""
    length, half = 160, 50
    bx, by = x - dx * length, y - dy * length
    plot.polyline([(bx - dy * half, by + dx * half), (x, y), (bx + dy * half, by - dx * half)])


def make():
    p = Plot()
    p.cmd("IN;")
    p.cmd("DT" + ETX + ";")

    # Sheet frame and title block (pen 1).
    p.pen(1)
    p.rect(400, 400, 11480, 8000)
    p.rect(7480, 400, 11480, 2000)
    for y in (800, 1200, 1600):
        p.line(7480, y, 11480, y)
    p.line(9480, 400, 9480, 1200)
    p.size(0.22, 0.4)
    p.label(7640, 1720, "PLOTVUE SAMPLE DRAWING")
    p.size(0.25, 0.35)
    p.label(7640, 1320, "Flange DN 100 and link")
    p.size(0.16, 0.25)
    p.label(7640, 940, "Scale 1:2")
    p.label(9640, 940, "Sheet 1 / 1")
    p.label(7640, 540, "Drawn with PLOTVUE")
    p.label(9640, 540, "Pens 1 to 6")

    # Front view of the flange: outline, hub and bore (pen 1).
    cx, cy = 3000, 4800
    p.circle(cx, cy, 2200)
    p.circle(cx, cy, 1200)
    p.circle(cx, cy, 900)
    # Eight bolt holes on the bolt circle.
    for k in range(8):
        a = math.radians(22.5 + 45 * k)
        p.circle(round(cx + 1700 * math.cos(a)), round(cy + 1700 * math.sin(a)), 180)

    # Centre lines and bolt circle (pen 4).
    p.pen(4)
    p.line(500, cy, 5500, cy)
    p.line(cx, 2300, cx, 7300)
    p.circle(cx, cy, 1700)
    p.line(5900, cy, 7700, cy)

    # Section of the flange: plate and hub as rectangles, bore edges (pen 1).
    p.pen(1)
    p.rect(6200, 2600, 6600, 7000)
    p.rect(6600, 3600, 7400, 6000)
    p.line(6200, 3900, 7400, 3900)
    p.line(6200, 5700, 7400, 5700)

    # Hatching of the cut material (pen 3).
    p.pen(3)
    for x0, y0, x1, y1 in ((6200, 2600, 6600, 3900), (6200, 5700, 6600, 7000),
                           (6600, 3600, 7400, 3900), (6600, 5700, 7400, 6000)):
        hatch(p, x0, y0, x1, y1, 160)

    # Dimensions (pen 2): outer diameter upright beside the section, length above it.
    p.pen(2)
    p.line(6150, 2600, 5800, 2600)
    p.line(6150, 7000, 5800, 7000)
    p.line(5900, 2600, 5900, 7000)
    arrow(p, 5900, 2600, 0, -1)
    arrow(p, 5900, 7000, 0, 1)
    p.line(6200, 7050, 6200, 7400)
    p.line(7400, 6050, 7400, 7400)
    p.line(6200, 7300, 7400, 7300)
    arrow(p, 6200, 7300, -1, 0)
    arrow(p, 7400, 7300, 1, 0)
    p.size(0.25, 0.35)
    p.direction(0, 1)
    p.label(5860, 4500, "D 220")
    p.direction(1, 0)
    p.label(6640, 7360, "60")
    # Leader to a bolt hole.
    hx, hy = round(cx + 1700 * math.cos(math.radians(67.5))), round(cy + 1700 * math.sin(math.radians(67.5)))
    p.polyline([(hx + 130, hy + 130), (hx + 600, hy + 1000), (hx + 2300, hy + 1000)])
    p.size(0.19, 0.27)
    p.label(hx + 650, hy + 1060, "8 x M16 on D 170")

    # Slotted link: two half circles joined by straight sides, and its slot (pen 5).
    p.pen(5)
    p.cmd("PU4400,2100;")
    p.cmd("PD6400,2100;")
    p.cmd("AA6400,1500,-180;")
    p.cmd("PD4400,900;")
    p.cmd("AA4400,1500,-180;")
    p.cmd("PU;")
    p.cmd("PU4400,1750;")
    p.cmd("PD6400,1750;")
    p.cmd("AR0,-250,-180;")
    p.cmd("PD4400,1250;")
    p.cmd("AR0,250,-180;")
    p.cmd("PU;")
    p.pen(4)
    p.line(3600, 1500, 7200, 1500)
    p.line(4400, 700, 4400, 2300)
    p.line(6400, 700, 6400, 2300)
    p.pen(1)
    p.size(0.19, 0.27)
    p.label(3700, 560, "LINK, 2 off")

    # A spring as a seven-bit encoded polyline (pen 6): a prolate cycloid, 8 turns.
    p.pen(6)
    spring = []
    for i in range(8 * 24 + 1):
        t = i * math.pi / 12
        spring.append((round(8100 + 60 * t - 300 * math.cos(t)), round(6900 + 300 * math.sin(t))))
    p.cmd(pe_polyline(spring, True))
    p.cmd("PU;")
    # A spiral as an eight-bit encoded polyline: five turns.
    spiral = []
    for i in range(5 * 36 + 1):
        t = i * math.pi / 18
        r = 900 * i / (5 * 36)
        spiral.append((round(9500 + r * math.cos(t)), round(4300 + r * math.sin(t))))
    p.cmd(pe_polyline(spiral, False))
    p.cmd("PU;")
    p.pen(1)
    p.size(0.19, 0.27)
    p.label(8100, 6350, "Spring, 8 turns")
    p.label(8900, 3150, "Spiral, 5 turns")

    # Notes and a slanted stamp.
    p.label(7640, 2900, "NOTES:")
    p.label(7640, 2600, "1. Break all sharp edges.")
    p.label(7640, 2300, "2. Bolt holes drilled through.")
    p.pen(2)
    p.size(0.6, 0.9)
    p.direction(1, 0.5)
    p.label(600, 6900, "SAMPLE")
    p.direction(1, 0)

    p.cmd("PU;")
    p.cmd("SP0;")
    return p.text()


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "data/samples/sample.plt"
    data = make().encode("latin-1")
    out.write_bytes(data)
    print(f"{out}: {len(data)} bytes")


if __name__ == "__main__":
    main()
