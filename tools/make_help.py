#!/usr/bin/env python3
"""Writes the help files that PLOTVUE ships in data/help/.

- data/help/tavolin.hlp and data/help/plotvue.hlp, the help text files, from the UTF-8 sources
  tools/help/tavolin.txt and tools/help/plotvue.txt: the same lines, stored in code page 437
  with CR LF line ends, as the program reads them.
- The help pictures data/help/<name>.plt, drawn here in the reduced HP-GL dialect of the help
  picture reader (PU, PD, SP, CI, SI, DI, LB, AA), in plotter units inside the help window of
  0..6400 x 0..4800 units (0..160 x 0..120 mm).

Before writing, the sources are checked: a key line ("5230" or "5230:origin") is followed by its
text line, continuation lines do not begin with a digit, a topic has at most five lines of at most
72 characters and ends before the next key line, every picture named exists, and every character
has a code page 437 byte.

    tools/make_help.py           writes the files
    tools/make_help.py --check   exit code 0 when the files are up to date
"""

import math
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCES = ROOT / "tools" / "help"
OUT = ROOT / "data" / "help"
MAX_LINE = 72
KEY = re.compile(r"^ *[0-9]+$")


class Picture:
    """A help picture as HP-GL text; coordinates are plotter units (0.025 mm)."""

    def __init__(self):
        self.cmds = ["IN;"]

    def pen(self, n):
        self.cmds.append(f"SP{n};")

    def line(self, *points):
        (x, y), rest = points[0], points[1:]
        self.cmds.append(f"PU{x:.0f},{y:.0f};")
        self.cmds.append("PD" + ",".join(f"{px:.0f},{py:.0f}" for px, py in rest) + ";")
        self.cmds.append("PU;")

    def rect(self, x1, y1, x2, y2):
        self.line((x1, y1), (x2, y1), (x2, y2), (x1, y2), (x1, y1))

    def dashed(self, x1, y1, x2, y2, dash=80):
        length = math.hypot(x2 - x1, y2 - y1)
        n = max(1, int(length // (2 * dash)))
        for k in range(n + 1):
            a = min(1.0, 2 * k * dash / length)
            b = min(1.0, (2 * k + 1) * dash / length)
            if a < 1.0:
                self.line((x1 + (x2 - x1) * a, y1 + (y2 - y1) * a),
                          (x1 + (x2 - x1) * b, y1 + (y2 - y1) * b))

    def dashed_poly(self, points):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            self.dashed(ax, ay, bx, by)

    def head(self, x, y, angle, size=120):
        """An arrow head at (x, y) pointing in the direction `angle` (degrees)."""
        for turn in (150, -150):
            a = math.radians(angle + turn)
            self.line((x, y), (x + size * math.cos(a), y + size * math.sin(a)))

    def arrow(self, x1, y1, x2, y2, both=False):
        self.line((x1, y1), (x2, y2))
        angle = math.degrees(math.atan2(y2 - y1, x2 - x1))
        self.head(x2, y2, angle)
        if both:
            self.head(x1, y1, angle + 180)

    def circle(self, x, y, r):
        self.cmds.append(f"PU{x:.0f},{y:.0f};CI{r:.0f};")

    def arc(self, cx, cy, r, start, sweep):
        """An arc of radius r about (cx, cy) from the angle `start` over `sweep` degrees."""
        sx = cx + r * math.cos(math.radians(start))
        sy = cy + r * math.sin(math.radians(start))
        self.cmds.append(f"PU{sx:.0f},{sy:.0f};PD;AA{cx:.0f},{cy:.0f},{sweep:.0f};PU;")

    def label(self, x, y, text, height=0.4, width=0.25):
        """A label whose lower-left corner is (x, y); the character cell in centimetres."""
        self.cmds.append(f"PU{x:.0f},{y:.0f};SI{width},{height};LB{text}\x03")

    def hatch(self, x1, y1, x2, y2, step=300):
        """Hatching of the rectangle (x1, y1)-(x2, y2) with the lines x - y = k * step, so that
        the hatching of rectangles side by side lines up."""
        k = math.ceil((x1 - y2) / step)
        while k * step <= x2 - y1:
            c = k * step  # the points of the line have x = y + c
            lo = max(y1, x1 - c)
            hi = min(y2, x2 - c)
            if hi > lo:
                self.line((lo + c, lo), (hi + c, hi))
            k += 1

    def text(self):
        return "\r\n".join(self.cmds + ["SP0;"]) + "\r\n"


def house(pic, x, y, s, dashed=False, rotate=0.0):
    """A little house of size s with its lower-left corner at (x, y), turned about that corner:
    its walls, its roof and a window on the left that shows which way it is turned."""
    outline = [(0, 0), (1, 0), (1, 0.7), (0.5, 1.1), (0, 0.7), (0, 0)]
    window = [(0.15, 0.35), (0.35, 0.35), (0.35, 0.55), (0.15, 0.55), (0.15, 0.35)]
    c, si = math.cos(math.radians(rotate)), math.sin(math.radians(rotate))
    for shape in (outline, [(0, 0.7), (1, 0.7)], window):
        pts = [(x + s * (px * c - py * si), y + s * (px * si + py * c)) for px, py in shape]
        if dashed:
            pic.dashed_poly(pts)
        else:
            pic.line(*pts)


def picture_origin():
    p = Picture()
    p.pen(7)
    p.label(400, 4400, "Coin gauche en bas du dessin X / Y [mm]")
    p.pen(1)
    p.rect(600, 500, 5800, 3900)
    p.label(4700, 3550, "feuille", 0.35, 0.22)
    p.label(650, 150, "point zéro (0,0)", 0.35, 0.22)
    p.pen(4)
    house(p, 600, 500, 1000, dashed=True)
    p.label(1650, 750, "sans décalage", 0.3, 0.19)
    p.pen(3)
    house(p, 3000, 1700, 1200)
    p.label(3000, 3100, "dessin en sortie", 0.35, 0.22)
    p.pen(2)
    p.arrow(600, 1700, 3000, 1700, both=True)
    p.label(1700, 1800, "X", 0.5, 0.3)
    p.arrow(2800, 500, 2800, 1700, both=True)
    p.label(2450, 950, "Y", 0.5, 0.3)
    return p


def picture_scale():
    p = Picture()
    p.pen(7)
    p.label(400, 4400, "Echelle «tracer»")
    p.pen(1)
    p.arrow(800, 600, 5800, 600)
    p.arrow(800, 600, 800, 4100)
    p.label(500, 250, "point zéro", 0.35, 0.22)
    legend = 3400
    for pen, size, dashed, text in ((6, 600, False, "0.5 = demi taille"),
                                    (3, 1200, False, "1 = taille du fichier"),
                                    (4, 2400, True, "2 = double taille")):
        p.pen(pen)
        house(p, 800, 600, size, dashed=dashed)
        if dashed:
            p.dashed(3900, legend + 80, 4300, legend + 80)
        else:
            p.line((3900, legend + 80), (4300, legend + 80))
        p.label(4400, legend, text, 0.3, 0.19)
        legend -= 400
    return p


def picture_rotate():
    p = Picture()
    p.pen(7)
    p.label(400, 4400, "Tourner le tracé de 90 degrés")
    p.pen(1)
    p.arrow(200, 1200, 6000, 1200)
    p.arrow(3400, 200, 3400, 4100)
    p.label(3500, 850, "0,0", 0.35, 0.22)
    p.pen(3)
    house(p, 3400, 1200, 1600)
    p.label(5100, 1350, "avant", 0.35, 0.22)
    p.pen(4)
    house(p, 3400, 1200, 1600, dashed=True, rotate=90)
    p.label(900, 2900, "après", 0.35, 0.22)
    p.pen(2)
    p.arc(3400, 1200, 2300, 15, 60)
    end = math.radians(75)
    p.head(3400 + 2300 * math.cos(end), 1200 + 2300 * math.sin(end), 75 + 90)
    p.label(5150, 2950, "90°", 0.4, 0.25)
    return p


TOOL_X = 3600
SURFACE = 2000


def tool(p, tip_y, x=TOOL_X):
    """A milling tool of the help pictures: a holder, a shank and a pointed cutter ending at
    (x, tip_y)."""
    p.pen(4)
    p.line((x - 200, tip_y + 1300), (x - 200, tip_y + 300), (x, tip_y),
           (x + 200, tip_y + 300), (x + 200, tip_y + 1300))
    p.rect(x - 350, tip_y + 1300, x + 350, tip_y + 1700)
    p.line((x - 200, tip_y + 300), (x + 200, tip_y + 300))


def workpiece(p, slot_bottom=None):
    """The workpiece in section from x = 1800 to 5800, its surface at y = SURFACE; with
    `slot_bottom`, the groove the tool cuts down to that height is left unhatched."""
    p.pen(1)
    p.rect(1800, 600, 5800, SURFACE)
    p.pen(8)
    if slot_bottom is None:
        p.hatch(1800, 600, 5800, SURFACE)
    else:
        p.hatch(1800, 600, TOOL_X - 200, SURFACE)
        p.hatch(TOOL_X + 200, 600, 5800, SURFACE)
        p.hatch(TOOL_X - 200, 600, TOOL_X + 200, slot_bottom)
    p.pen(7)
    p.label(4600, 250, "pièce", 0.4, 0.25)
    p.label(4200, SURFACE + 150, "surface Z = 0", 0.3, 0.19)


def picture_depth():
    p = Picture()
    p.pen(7)
    p.label(400, 4400, "Profondeur de coupe [mm]")
    tip = SURFACE - 700
    workpiece(p, slot_bottom=tip)
    tool(p, tip)
    p.pen(2)
    p.dashed(3000, tip, TOOL_X, tip)
    p.arrow(3000, SURFACE, 3000, tip, both=True)
    p.label(200, 1700, "profondeur", 0.3, 0.19)
    p.label(200, 1350, "Z = -profondeur", 0.3, 0.19)
    p.line((1450, 1450), (2900, 1600))
    return p


def picture_distance():
    p = Picture()
    p.pen(7)
    p.label(400, 4400, "Distance d'outil à la surface [mm]")
    workpiece(p)
    tip = SURFACE + 500
    tool(p, tip)
    p.pen(2)
    p.dashed(3000, tip, TOOL_X, tip)
    p.arrow(3000, SURFACE, 3000, tip, both=True)
    p.label(200, 2550, "distance", 0.3, 0.19)
    p.label(200, 2200, "Z = +distance", 0.3, 0.19)
    p.line((1450, 2300), (2900, 2350))
    p.pen(3)
    p.arrow(4100, 3300, 5700, 3300)
    p.label(4000, 3500, "déplacement", 0.3, 0.19)
    p.label(4000, 3050, "sans coupe", 0.3, 0.19)
    return p


PICTURES = {
    "origin": picture_origin,
    "scale": picture_scale,
    "rotate": picture_rotate,
    "depth": picture_depth,
    "distance": picture_distance,
}


def help_file(source):
    """The code page 437 bytes of a help text file, after checking its source lines."""
    lines = source.read_text(encoding="utf-8").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    problems = [f"{source.name}:{k + 1}: longer than {MAX_LINE} characters"
                for k, line in enumerate(lines) if len(line) > MAX_LINE]
    count = 0  # lines of the current topic
    i = 0
    while i < len(lines):
        line = lines[i]
        where = f"{source.name}:{i + 1}"
        head = line[:4]
        if KEY.match(head):
            number, _, picture = line.partition(":")
            if ":" in line and picture not in PICTURES:
                problems.append(f"{where}: no picture {picture!r}")
            if int(head) % 5 != 0:
                problems.append(f"{where}: topic {head} is not a multiple of 5")
            if i + 1 >= len(lines):
                problems.append(f"{where}: key line without its text line")
            i += 2
            count = 1
        else:
            if line[:1].isdigit():
                problems.append(f"{where}: a continuation line begins with a digit")
            count += 1
            if count > 5:
                problems.append(f"{where}: more than five lines")
            i += 1
    if problems:
        sys.exit("\n".join(problems))
    return ("\r\n".join(lines) + "\r\n").encode("cp437")


def outputs():
    files = {
        OUT / "tavolin.hlp": help_file(SOURCES / "tavolin.txt"),
        OUT / "plotvue.hlp": help_file(SOURCES / "plotvue.txt"),
    }
    for name, draw in PICTURES.items():
        files[OUT / f"{name}.plt"] = draw().text().encode("cp437")
    return files


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for path, data in outputs().items():
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(str(path.relative_to(ROOT)))
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
    if stale:
        sys.exit("out of date: " + ", ".join(stale))


if __name__ == "__main__":
    main()
