#!/usr/bin/env python3
"""Writes data/TXT.SHP, the stroke font that PLOTVUE ships, from the Hershey simplex font.

    tools/make_shp_font.py [--hershey FILE] [--check] [OUT]

FILE defaults to /usr/share/hershey-fonts/futural.jhf (Debian package hershey-fonts-data),
OUT to data/TXT.SHP beside this script's folder. With --check nothing is written: the exit code
is 0 when OUT already holds exactly the bytes this script would write, 1 otherwise.

The font covers the character codes 32 to 129: 32..126 are the Hershey simplex glyphs of the
same ASCII characters, 127 is the code page 437 house, 128 the C with cedilla and 129 the u with
diaeresis, both built from the simplex C and u. Coordinates stay on the Hershey grid: the
capital height is 21 units (the font's "above" value), the descender 7 units, the baseline is
y = 0 and each glyph ends at its advance with the pen up, ready for the next character.

Each glyph is a program of at most 50 definition bytes, the terminating 0 included:
  - 1 pen down, 2 pen up;
  - a vector byte 0LD: length L (1..15) in direction D of the 16-direction table (D = 0, 4, 8,
    12 along +x, +y, -x, -y, the odd directions with slope 1/2 or 2), written in hex;
  - 8,(dx,dy): one displacement; 9,(dx,dy),...,(0,0): several displacements.
Every segment is written in its cheapest form (found by dynamic programming over the
segments of a stroke), strokes are drawn in the order and direction that need the fewest
bytes, and a glyph that still does not fit is simplified (Douglas-Peucker on the Hershey
points, with the smallest tolerance that fits), so every glyph keeps as much of its shape as
the byte limit allows.

The output depends only on the input file and this script (integer arithmetic, fixed orders,
first minimum wins), so the committed font can be rebuilt byte for byte. Lines end in CR LF.
"""

import itertools
import sys
from pathlib import Path

DEFAULT_HERSHEY = Path("/usr/share/hershey-fonts/futural.jhf")
DEFAULT_OUT = Path(__file__).resolve().parent.parent / "data" / "TXT.SHP"

MAX_BYTES = 50          # definition bytes per glyph, terminating 0 included
FIRST_CODE = 32
LAST_CODE = 129
ABOVE = 21              # capital height in Hershey units
BELOW = 7               # descender depth in Hershey units
BASELINE = 9            # Hershey y of the baseline (Hershey y grows downwards)

# Strokes left out (by index in the Hershey record): the @ draws its inner a and its outer arc
# twice, a little apart, to look bold; without the second lines its shape fits the byte limit
# with much less simplification.
DROPPED_STROKES = {ord("@"): (1, 3)}

HEADER_NAME = (
    "PLOTVUE TXT simplex stroke font made from the Hershey Fonts. The Hershey Fonts were "
    "originally created by Dr. A. V. Hershey while working at the U. S. National Bureau of "
    "Standards. The format of the Font data in this distribution was originally created by "
    "James Hurt, Cognition, Inc., 900 Technology Park Drive, Billerica, MA 01821 "
    "(mit-eddie!ci-dandelion!hurt)")

# Unit steps of the 16 directions, doubled so that the half components are integers.
DIRECTIONS = [(2, 0), (2, 1), (2, 2), (1, 2), (0, 2), (-1, 2), (-2, 2), (-2, 1),
              (-2, 0), (-2, -1), (-2, -2), (-1, -2), (0, -2), (1, -2), (2, -2), (2, -1)]
MAX_VECTOR_LENGTH = 15


def read_hershey(path):
    """Returns the glyphs of a .jhf file in file order as (left, right, strokes), with the
    strokes as lists of (x, y) points in Hershey coordinates."""
    text = path.read_text(encoding="ascii")
    glyphs = []
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        if not line.strip():
            continue
        count = int(line[5:8])
        body = line[8:]
        while len(body) < 2 * count and i < len(lines):  # wrapped records
            body += lines[i]
            i += 1
        pairs = [body[k:k + 2] for k in range(0, 2 * count, 2)]
        left, right = ord(pairs[0][0]) - ord("R"), ord(pairs[0][1]) - ord("R")
        strokes, current = [], []
        for pair in pairs[1:]:
            if pair == " R":
                if current:
                    strokes.append(current)
                current = []
            else:
                current.append((ord(pair[0]) - ord("R"), ord(pair[1]) - ord("R")))
        if current:
            strokes.append(current)
        glyphs.append((left, right, strokes))
    return glyphs


def to_font_coordinates(left, strokes):
    """Hershey points to font units: origin at the left edge on the baseline, y upwards."""
    return [[(x - left, BASELINE - y) for x, y in stroke] for stroke in strokes]


def drop_repeats(points):
    out = [points[0]]
    for p in points[1:]:
        if p != out[-1]:
            out.append(p)
    return out


# --- encoding ---------------------------------------------------------------------------

def vector_bytes(dx, dy):
    """The vector bytes that make the step (dx, dy) along one direction, or None."""
    for direction, (ux, uy) in enumerate(DIRECTIONS):
        # (dx, dy) = length * (ux, uy) / 2 with a positive integer length
        if ux != 0:
            if (2 * dx) % ux:
                continue
            length = 2 * dx // ux
        else:
            if (2 * dy) % uy:
                continue
            length = 2 * dy // uy
        if length <= 0 or length * ux != 2 * dx or length * uy != 2 * dy:
            continue
        pieces = []
        while length > 0:
            piece = min(length, MAX_VECTOR_LENGTH)
            pieces.append(piece * 16 + direction)
            length -= piece
        return pieces
    return None


def vector_token(byte):
    return "0%02X" % byte


def displacement_tokens(dx, dy):
    return ["(%d" % dx, "%d)" % dy]


def encode_chain(steps):
    """Tokens for consecutive steps drawn with one pen state, in the fewest bytes: each step as
    vector bytes, as a code 8 displacement, or inside a code 9 run of displacements."""
    n = len(steps)
    vectors = [vector_bytes(dx, dy) for dx, dy in steps]
    # closed[i] / opened[i]: (cost, choice) for steps i.. with no run open / a run open
    closed = [None] * (n + 1)
    opened = [None] * (n + 1)
    closed[n] = (0, None)
    opened[n] = (2, "end")
    for i in range(n - 1, -1, -1):
        options = []
        if vectors[i] is not None:
            options.append((len(vectors[i]) + closed[i + 1][0], "vector"))
        options.append((3 + closed[i + 1][0], "single"))
        options.append((3 + opened[i + 1][0], "open"))
        closed[i] = min(options, key=lambda o: o[0])
        # in a run: take this step into the run, or end the run first
        keep = (2 + opened[i + 1][0], "keep")
        end = (2 + closed[i][0], "end")
        opened[i] = keep if keep[0] <= end[0] else end
    tokens = []
    state = "closed"
    i = 0
    while True:
        if state == "open":
            choice = opened[i][1]
            if choice == "end":
                tokens += ["(0", "0)"]
                state = "closed"
                if i == n:
                    break
                continue
            tokens += displacement_tokens(*steps[i])
            i += 1
            continue
        if i == n:
            break
        choice = closed[i][1]
        if choice == "vector":
            tokens += [vector_token(b) for b in vectors[i]]
        elif choice == "single":
            tokens += ["8"] + displacement_tokens(*steps[i])
        else:
            tokens += ["9"] + displacement_tokens(*steps[i])
            state = "open"
        i += 1
    return tokens


def encode_move(dx, dy):
    """Tokens for a pen-up move: any split into vectors is allowed, since nothing is drawn."""
    best = encode_chain([(dx, dy)])
    if len(best) <= 2:
        return best
    for direction, (ux, uy) in enumerate(DIRECTIONS):
        for length in range(1, MAX_VECTOR_LENGTH + 1):
            if (length * ux) % 2 or (length * uy) % 2:
                continue
            first = (length * ux // 2, length * uy // 2)
            rest = vector_bytes(dx - first[0], dy - first[1])
            if rest is not None and len(rest) == 1:
                return [vector_token(length * 16 + direction), vector_token(rest[0])]
    return best


def encode_glyph(strokes, advance):
    """The definition tokens of a glyph: strokes in the given order, then the pen-up move to
    (advance, 0), then the terminating 0. The pen is up when the glyph begins and ends; a
    stroke that begins where the one before it ended goes on without lifting the pen."""
    tokens = []
    x, y = 0, 0
    steps = None  # the steps of the pen-down run being collected, None while the pen is up
    for stroke in strokes:
        if stroke[0] != (x, y) and steps is not None:
            tokens += encode_chain(steps) + ["2"]
            steps = None
        if steps is None:
            if stroke[0] != (x, y):
                tokens += encode_move(stroke[0][0] - x, stroke[0][1] - y)
            tokens.append("1")
            steps = []
        steps += [(b[0] - a[0], b[1] - a[1]) for a, b in zip(stroke, stroke[1:])]
        x, y = stroke[-1]
    if steps is not None:
        tokens += encode_chain(steps) + ["2"]
    if (advance, 0) != (x, y):
        tokens += encode_move(advance - x, -y)
    tokens.append("0")
    return tokens


def best_order(strokes, advance):
    """The stroke order and directions with the fewest bytes (all of them for up to six
    strokes, else the order as given); ties keep the first candidate found."""
    if len(strokes) > 6:
        return encode_glyph(strokes, advance)
    best = None
    for order in itertools.permutations(range(len(strokes))):
        for flips in itertools.product((False, True), repeat=len(strokes)):
            candidate = [strokes[k][::-1] if flip else strokes[k]
                         for k, flip in zip(order, flips)]
            tokens = encode_glyph(candidate, advance)
            if best is None or len(tokens) < len(best):
                best = tokens
    return best


# --- simplification ---------------------------------------------------------------------

def squared_distance(p, a, b):
    """Squared distance from p to the segment a-b as an exact fraction (num, den)."""
    lx, ly = b[0] - a[0], b[1] - a[1]
    px, py = p[0] - a[0], p[1] - a[1]
    length2 = lx * lx + ly * ly
    dot = lx * px + ly * py
    if length2 == 0 or dot <= 0:
        return (px * px + py * py, 1)
    if dot >= length2:
        qx, qy = p[0] - b[0], p[1] - b[1]
        return (qx * qx + qy * qy, 1)
    cross = lx * py - ly * px
    return (cross * cross, length2)


def simplify(points, tolerance2):
    """Douglas-Peucker on integer points, with the distance to the chord as a segment (so a
    point beyond a chord's end is never dropped). `tolerance2` is the squared tolerance as a
    fraction (numerator, denominator), so every comparison is exact; with tolerance 0 only
    points that lie on the straight path between their neighbours go."""
    if len(points) <= 2:
        return list(points)
    worst, worst_index = (-1, 1), 0
    for k in range(1, len(points) - 1):
        d = squared_distance(points[k], points[0], points[-1])
        if d[0] * worst[1] > worst[0] * d[1]:
            worst, worst_index = d, k
    if worst[0] * tolerance2[1] <= tolerance2[0] * worst[1]:
        return [points[0], points[-1]]
    left = simplify(points[:worst_index + 1], tolerance2)
    right = simplify(points[worst_index:], tolerance2)
    return left[:-1] + right


# --- self-check -------------------------------------------------------------------------

def token_value(token):
    """A definition token as the font loader reads it (parentheses off, 0xx is hex)."""
    text = token.strip("()")
    if len(text) > 1 and text[0] == "0":
        return int(text[-2:], 16)
    return int(text) & 0xFF


def signed(byte):
    return byte - 256 if byte > 127 else byte


def decode(tokens):
    """Walks a glyph as the label output does; returns the pen-down polylines and the end point
    and pen state, in doubled units (so that the half steps stay integers)."""
    values = [token_value(t) for t in tokens]
    x, y, pen = 0, 0, False
    lines, current = [], None
    i = 0
    while i < len(values):
        b = values[i]
        i += 1
        if b == 0:
            break
        if b >> 4:
            ux, uy = DIRECTIONS[b & 15]
            steps = [((b >> 4) * ux, (b >> 4) * uy)]
        elif b in (1, 2):
            pen = b == 1
            if current:
                lines.append(current)
            current = [(x, y)] if pen else None
            continue
        elif b == 8:
            steps = [(2 * signed(values[i]), 2 * signed(values[i + 1]))]
            i += 2
        elif b == 9:
            steps = []
            while (values[i], values[i + 1]) != (0, 0):
                steps.append((2 * signed(values[i]), 2 * signed(values[i + 1])))
                i += 2
            i += 2
        else:
            raise AssertionError("unexpected code %d" % b)
        for dx, dy in steps:
            x, y = x + dx, y + dy
            if pen:
                current.append((x, y))
    if current:
        lines.append(current)
    return lines, (x, y), pen, i


def segment_set(polylines, vertices):
    """The segments of `polylines` cut at every point of `vertices` that lies on them, each
    with its smaller end first: two drawings with the same set draw the same lines."""
    pieces = set()
    for line in polylines:
        for a, b in zip(line, line[1:]):
            if a == b:
                continue
            lx, ly = b[0] - a[0], b[1] - a[1]
            inner = sorted((((v[0] - a[0]) * lx + (v[1] - a[1]) * ly), v) for v in vertices
                           if v not in (a, b) and squared_distance(v, a, b)[0] == 0)
            points = [a] + [v for _, v in inner] + [b]
            for p, q in zip(points, points[1:]):
                pieces.add((min(p, q), max(p, q)))
    return pieces


def check_glyph(tokens, strokes, advance, name):
    """Asserts that the tokens draw exactly the lines of `strokes`, end at the advance on the
    baseline with the pen up, and stop at their terminating 0."""
    lines, end, pen, used = decode(tokens)
    want = [[(2 * x, 2 * y) for x, y in s] for s in strokes]
    vertices = {p for line in want + lines for p in line}
    same = segment_set(want, vertices) == segment_set(lines, vertices)
    if not same or end != (2 * advance, 0) or pen or used != len(tokens):
        raise SystemExit("glyph %s: the encoding does not draw its strokes" % name)


def fit_glyph(strokes, advance, name):
    """The smallest tolerance (in quarter units) whose simplified glyph fits the byte limit."""
    for quarters in range(0, 64):
        tolerance2 = (quarters * quarters, 16)
        reduced = [simplify(stroke, tolerance2) for stroke in strokes]
        tokens = best_order(reduced, advance)
        if len(tokens) <= MAX_BYTES:
            check_glyph(tokens, [r for r in reduced if len(r) > 1], advance, name)
            return tokens, quarters
    raise SystemExit("glyph %s does not fit in %d bytes" % (name, MAX_BYTES))


# --- the extra characters ---------------------------------------------------------------

def house():
    """Code page 437 code 127: a house with a pointed roof, as wide as a digit."""
    return [[(4, 0), (16, 0), (16, 9), (10, 15), (4, 9), (4, 0)]], 20


def c_cedilla(c_glyph):
    """Code 128: the C with a cedilla hooked below the middle of its lower arc."""
    strokes, advance = c_glyph
    hook = [(11, 0), (11, -2), (12, -2), (13, -3), (13, -4), (12, -5), (10, -5)]
    return strokes + [hook], advance


def u_diaeresis(u_glyph):
    """Code 129: the u with two dots above, each the small diamond of the simplex i."""
    strokes, advance = u_glyph
    dots = []
    for cx in (6, 13):
        cy = 20
        dots.append([(cx - 1, cy), (cx, cy - 1), (cx + 1, cy), (cx, cy + 1), (cx - 1, cy)])
    return strokes + dots, advance


# --- the file ---------------------------------------------------------------------------

def shape_name(code):
    names = {32: "spc", 127: "house", 128: "Ccedil", 129: "uuml"}
    if code in names:
        return names[code]
    ch = chr(code)
    if "A" <= ch <= "Z":
        return "uc" + ch
    if "a" <= ch <= "z":
        return "lc" + ch
    if "0" <= ch <= "9":
        return "d" + ch
    return "c%d" % code


def build_font(hershey_path):
    raw = read_hershey(hershey_path)
    if len(raw) < 95:
        raise SystemExit("%s: %d glyphs, expected 96" % (hershey_path, len(raw)))
    glyphs = {}
    for code in range(FIRST_CODE, 127):
        left, right, strokes = raw[code - FIRST_CODE]
        dropped = DROPPED_STROKES.get(code, ())
        strokes = [s for k, s in enumerate(strokes) if k not in dropped]
        strokes = [drop_repeats(s) for s in to_font_coordinates(left, strokes)]
        glyphs[code] = (strokes, right - left)
    glyphs[127] = house()
    glyphs[128] = c_cedilla(glyphs[ord("C")])
    glyphs[129] = u_diaeresis(glyphs[ord("u")])

    lines = ["*0,4," + HEADER_NAME, "%d,%d,0,0" % (ABOVE, BELOW)]
    report = []
    for code in range(FIRST_CODE, LAST_CODE + 1):
        strokes, advance = glyphs[code]
        tokens, quarters = fit_glyph(strokes, advance, shape_name(code))
        if quarters:
            report.append("%d (%s): tolerance %.2f" % (code, shape_name(code), quarters / 4))
        lines.append("*%d,%d,%s" % (code, len(tokens), shape_name(code)))
        lines.append(",".join(tokens))
    return ("\r\n".join(lines) + "\r\n").encode("ascii"), report


def main(argv):
    hershey = DEFAULT_HERSHEY
    out = DEFAULT_OUT
    check = False
    args = list(argv)
    while args:
        arg = args.pop(0)
        if arg == "--hershey" and args:
            hershey = Path(args.pop(0))
        elif arg == "--check":
            check = True
        elif arg.startswith("-"):
            print(__doc__, file=sys.stderr)
            return 2
        else:
            out = Path(arg)
    if not hershey.is_file():
        print("%s not found (install the Debian package hershey-fonts-data)" % hershey,
              file=sys.stderr)
        return 2
    data, report = build_font(hershey)
    if check:
        same = out.is_file() and out.read_bytes() == data
        print("%s is %s" % (out, "up to date" if same else "out of date"), file=sys.stderr)
        return 0 if same else 1
    out.write_bytes(data)
    for line in report:
        print("simplified " + line, file=sys.stderr)
    print("wrote %s (%d bytes)" % (out, len(data)), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
