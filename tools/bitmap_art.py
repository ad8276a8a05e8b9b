"""Drawing kit shared by the artwork generators.

Pictures are painted in floating-point RGB on a Canvas, shape by shape, each
shape anti-aliased by supersampling the pixels along its edge.  A finished
set of canvases is reduced to one 256-entry palette and written as 8-bit
bottom-up BMP files.

Coordinates are continuous: pixel (x, y) covers [x, x+1) x [y, y+1), so its
centre is (x + 0.5, y + 0.5).  Angles given to the radial helpers are in
degrees clockwise from straight up, the way a dial is read.

Palette index 0 is black, and it is the only black entry: the panel host
treats black as transparent, so every painted colour that is not meant to
be see-through must stay away from (0, 0, 0).

Everything here is deterministic: no randomness, no dependence on dict or set
order, only IEEE arithmetic on the same inputs.
"""

import math
import struct

SUPERSAMPLE = 4        # samples per pixel side along shape edges
_EDGE = 0.7072         # beyond this distance from an edge a pixel is whole


# --------------------------------------------------------------------------
# Geometry helpers
# --------------------------------------------------------------------------

def polar(cx, cy, angle, radius):
    """Point at `radius` from (cx, cy) in dial direction `angle` (degrees)."""
    a = math.radians(angle)
    return cx + radius * math.sin(a), cy - radius * math.cos(a)


# --------------------------------------------------------------------------
# Shapes: each has a bounding box and a signed distance (negative inside).
# Distances need only be bounds that never overstate the true distance, so
# that a pixel whose centre lies farther than _EDGE from the edge can be
# taken as wholly inside or outside without sampling.
# --------------------------------------------------------------------------

class Shape:
    bbox = (0.0, 0.0, 0.0, 0.0)   # x0, y0, x1, y1

    def sdf(self, x, y):
        raise NotImplementedError

    def inside(self, x, y):
        return self.sdf(x, y) < 0.0

    def near(self, x, y):
        """The shape, or a cheaper equivalent, valid close to (x, y)."""
        return self


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r
        self.bbox = (cx - r, cy - r, cx + r, cy + r)

    def sdf(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r

    def inside(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        return dx * dx + dy * dy < self.r * self.r


class Ring(Shape):
    """Annulus between radii r_in and r_out."""

    def __init__(self, cx, cy, r_in, r_out):
        self.cx, self.cy, self.r_in, self.r_out = cx, cy, r_in, r_out
        self.bbox = (cx - r_out, cy - r_out, cx + r_out, cy + r_out)

    def sdf(self, x, y):
        d = math.hypot(x - self.cx, y - self.cy)
        return max(d - self.r_out, self.r_in - d)


class Capsule(Shape):
    """Thick line from (x0, y0) to (x1, y1) with round ends."""

    def __init__(self, x0, y0, x1, y1, r):
        self.x0, self.y0, self.r = x0, y0, r
        self.dx, self.dy = x1 - x0, y1 - y0
        self.ll = self.dx * self.dx + self.dy * self.dy
        self.bbox = (min(x0, x1) - r, min(y0, y1) - r,
                     max(x0, x1) + r, max(y0, y1) + r)

    def _dist2(self, x, y):
        px, py = x - self.x0, y - self.y0
        if self.ll > 0.0:
            t = (px * self.dx + py * self.dy) / self.ll
            t = 0.0 if t < 0.0 else (1.0 if t > 1.0 else t)
            px -= t * self.dx
            py -= t * self.dy
        return px * px + py * py

    def sdf(self, x, y):
        return math.sqrt(self._dist2(x, y)) - self.r

    def inside(self, x, y):
        return self._dist2(x, y) < self.r * self.r


class Polygon(Shape):
    """Simple polygon given by its corners (either winding)."""

    def __init__(self, points):
        self.pts = [(float(x), float(y)) for x, y in points]
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        self.bbox = (min(xs), min(ys), max(xs), max(ys))
        self.edges = []
        n = len(self.pts)
        for i in range(n):
            ax, ay = self.pts[i]
            bx, by = self.pts[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            self.edges.append((ax, ay, bx, by, ex, ey, ex * ex + ey * ey))

    def inside(self, x, y):
        hit = False
        for ax, ay, bx, by, ex, ey, _ in self.edges:
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * ex / ey:
                    hit = not hit
        return hit

    def sdf(self, x, y):
        best = float("inf")
        for ax, ay, _, _, ex, ey, ll in self.edges:
            px, py = x - ax, y - ay
            t = (px * ex + py * ey) / ll if ll > 0.0 else 0.0
            t = 0.0 if t < 0.0 else (1.0 if t > 1.0 else t)
            qx, qy = px - t * ex, py - t * ey
            d = qx * qx + qy * qy
            if d < best:
                best = d
        d = math.sqrt(best)
        return -d if self.inside(x, y) else d


class Union(Shape):
    def __init__(self, shapes):
        self.shapes = list(shapes)
        self.bbox = (min(s.bbox[0] for s in self.shapes),
                     min(s.bbox[1] for s in self.shapes),
                     max(s.bbox[2] for s in self.shapes),
                     max(s.bbox[3] for s in self.shapes))

    def _candidates(self, x, y, margin):
        return [s for s in self.shapes
                if s.bbox[0] - margin <= x <= s.bbox[2] + margin
                and s.bbox[1] - margin <= y <= s.bbox[3] + margin]

    def sdf(self, x, y):
        near = self._candidates(x, y, _EDGE + 1.0)
        if not near:
            # Outside every box by more than the margin: a safe bound.
            return _EDGE + 1.0
        return min(s.sdf(x, y) for s in near)

    def inside(self, x, y):
        return any(s.inside(x, y) for s in self.shapes)

    def near(self, x, y):
        close = [s for s in self._candidates(x, y, _EDGE + 1.0)
                 if s.sdf(x, y) < _EDGE]
        if len(close) == 1:
            return close[0].near(x, y)
        return Union(close) if close else self


class Intersection(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.bbox = (max(a.bbox[0], b.bbox[0]), max(a.bbox[1], b.bbox[1]),
                     min(a.bbox[2], b.bbox[2]), min(a.bbox[3], b.bbox[3]))

    def sdf(self, x, y):
        return max(self.a.sdf(x, y), self.b.sdf(x, y))

    def inside(self, x, y):
        return self.a.inside(x, y) and self.b.inside(x, y)


def rect(x, y, w, h):
    """Axis-aligned rectangle covering whole pixels x..x+w-1, y..y+h-1."""
    return Polygon([(x, y), (x + w, y), (x + w, y + h), (x, y + h)])


def radial_bar(cx, cy, angle, r_in, r_out, width):
    """Bar along the ray from (cx, cy) in dial direction `angle`, square ends."""
    a = math.radians(angle)
    ux, uy = math.sin(a), -math.cos(a)      # along the ray
    nx, ny = -uy, ux                         # across it
    h = width / 2.0
    return Polygon([(cx + ux * r_in + nx * h, cy + uy * r_in + ny * h),
                    (cx + ux * r_out + nx * h, cy + uy * r_out + ny * h),
                    (cx + ux * r_out - nx * h, cy + uy * r_out - ny * h),
                    (cx + ux * r_in - nx * h, cy + uy * r_in - ny * h)])


def polyline(points, width):
    """Thick polyline with round joints and ends."""
    r = width / 2.0
    return Union(Capsule(points[i][0], points[i][1],
                         points[i + 1][0], points[i + 1][1], r)
                 for i in range(len(points) - 1))


# --------------------------------------------------------------------------
# Canvas
# --------------------------------------------------------------------------

def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Canvas:
    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width, self.height = width, height
        n = width * height
        self.r = [float(colour[0])] * n
        self.g = [float(colour[1])] * n
        self.b = [float(colour[2])] * n

    def set(self, x, y, colour):
        i = y * self.width + x
        self.r[i], self.g[i], self.b[i] = (float(c) for c in colour)

    def coverage(self, shape, x, y):
        """Fraction of pixel (x, y) inside `shape`."""
        cx, cy = x + 0.5, y + 0.5
        d = shape.sdf(cx, cy)
        if d >= _EDGE:
            return 0.0
        if d <= -_EDGE:
            return 1.0
        local = shape.near(cx, cy)
        n = SUPERSAMPLE
        step = 1.0 / n
        hits = 0
        for j in range(n):
            sy = y + (j + 0.5) * step
            for i in range(n):
                if local.inside(x + (i + 0.5) * step, sy):
                    hits += 1
        return hits / (n * n)

    def fill(self, shape, paint, alpha=1.0):
        """Paint `shape` with a colour or a function (x, y) -> colour."""
        x0 = max(0, int(math.floor(shape.bbox[0] - 1)))
        y0 = max(0, int(math.floor(shape.bbox[1] - 1)))
        x1 = min(self.width - 1, int(math.ceil(shape.bbox[2] + 1)))
        y1 = min(self.height - 1, int(math.ceil(shape.bbox[3] + 1)))
        solid = not callable(paint)
        w = self.width
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                a = self.coverage(shape, x, y)
                if a <= 0.0:
                    continue
                a *= alpha
                c = paint if solid else paint(x + 0.5, y + 0.5)
                i = y * w + x
                self.r[i] += (c[0] - self.r[i]) * a
                self.g[i] += (c[1] - self.g[i]) * a
                self.b[i] += (c[2] - self.b[i]) * a

    def pixels(self):
        """Rounded (r, g, b) integer triples, row by row from the top."""
        out = []
        for i in range(self.width * self.height):
            out.append((_channel(self.r[i]), _channel(self.g[i]),
                        _channel(self.b[i])))
        return out


def _channel(v):
    v = int(math.floor(v + 0.5))
    return 0 if v < 0 else (255 if v > 255 else v)


# --------------------------------------------------------------------------
# Light: every picture is lit from the upper left and seen from the front.
# --------------------------------------------------------------------------

def _normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


LIGHT = _normalise((-0.45, -0.62, 0.64))
_HALF = _normalise((LIGHT[0], LIGHT[1], LIGHT[2] + 1.0))


def lit(nx, ny, nz):
    """Diffuse light and glossy highlight (each 0..1) on a surface of normal n."""
    d = max(0.0, nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2])
    s = max(0.0, nx * _HALF[0] + ny * _HALF[1] + nz * _HALF[2]) ** 24
    return d, s


def screw(canvas, centre, radius, slot_angle):
    """Slotted screw head, domed, with the shadow of its countersink."""
    x, y = centre
    canvas.fill(Circle(x + 0.6, y + 0.8, radius + 1.2), (10, 8, 7))

    def dome(px, py):
        dx, dy = (px - x) / radius, (py - y) / radius
        rr = min(1.0, dx * dx + dy * dy)
        d, s = lit(dx * 0.75, dy * 0.75, math.sqrt(1.0 - 0.5625 * rr))
        c = mix((52, 50, 48), (186, 182, 174), d)
        return mix(c, (250, 248, 240), 0.7 * s)

    canvas.fill(Circle(x, y, radius), dome)
    canvas.fill(Ring(x, y, radius - 1.0, radius), (70, 66, 62), alpha=0.6)
    length = radius - 1.6
    a = math.radians(slot_angle)
    ux, uy = math.sin(a), -math.cos(a)
    nx, ny = -uy, ux

    def slot(offset, width):
        lo, hi = offset - width, offset + width
        return Polygon([
            (x - ux * length + nx * lo, y - uy * length + ny * lo),
            (x + ux * length + nx * lo, y + uy * length + ny * lo),
            (x + ux * length + nx * hi, y + uy * length + ny * hi),
            (x - ux * length + nx * hi, y - uy * length + ny * hi)])

    # The slot's far wall catches the light, its near wall is in shadow.
    half = 1.45 * min(1.0, radius / 10.5)
    canvas.fill(slot(0.0, half), (22, 20, 19))
    lit_side = 1.0 if (nx * LIGHT[0] + ny * LIGHT[1]) < 0 else -1.0
    canvas.fill(slot(lit_side * (half - 0.15), 0.35), (150, 146, 140),
                alpha=0.8)


# --------------------------------------------------------------------------
# Stroke font: centre lines of capitals, digits and the few small letters the
# instruments print, in a box 10 units high (cap height) from y = 0 at the
# top.  Each glyph is (advance, [stroke, ...]), a stroke a list of points.
# --------------------------------------------------------------------------

def _arc(cx, cy, rx, ry, a0, a1, steps=None):
    """Points of an elliptic arc; angles in degrees, 0 = right, 90 = down."""
    if steps is None:
        steps = max(4, int(abs(a1 - a0) / 10.0))
    pts = []
    for k in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * k / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def _bezier(p0, p1, p2, p3, steps=12):
    pts = []
    for k in range(steps + 1):
        t = k / steps
        u = 1.0 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0]
                    + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                    u * u * u * p0[1] + 3 * u * u * t * p1[1]
                    + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


def _glyphs():
    g = {}
    # Digits: 6 units wide, stadium-shaped bowls in the manner of
    # instrument lettering.
    g["0"] = (6.0, [_arc(3, 3, 3, 3, 180, 360) + _arc(3, 7, 3, 3, 0, 180)
                    + [(0, 3)]])
    g["1"] = (6.0, [[(1.2, 2.2), (3.6, 0.0), (3.6, 10.0)]])
    g["2"] = (6.0, [_arc(3, 3, 3, 3, 190, 375)
                    + [(0.0, 10.0), (6.0, 10.0)]])
    g["3"] = (6.0, [_arc(3, 2.55, 2.65, 2.55, 200, 450)
                    + _arc(3, 7.25, 3, 2.75, 270, 520)])
    g["4"] = (6.0, [[(4.4, 10.0), (4.4, 0.0), (0.0, 7.2), (6.2, 7.2)]])
    g["5"] = (6.0, [[(5.6, 0.0), (0.9, 0.0), (0.5, 4.6)]
                    + _arc(3.0, 6.8, 3.0, 3.2, 220, 495)])
    g["6"] = (6.0, [_arc(3, 7, 3, 3, 0, 360, 36),
                    _bezier((5.2, 0.3), (2.0, -0.6), (0.0, 2.5), (0.0, 7.0))])
    g["7"] = (6.0, [[(0.0, 0.0), (6.0, 0.0), (2.2, 10.0)]])
    g["8"] = (6.0, [_arc(3, 2.6, 2.6, 2.6, 0, 360, 32),
                    _arc(3, 7.3, 3.0, 2.7, 0, 360, 36)])
    g["9"] = (6.0, [_arc(3, 3, 3, 3, 0, 360, 36),
                    _bezier((6.0, 3.0), (6.0, 7.5), (4.0, 10.6), (0.8, 9.7))])
    # Capitals.
    g["A"] = (6.6, [[(0.0, 10.0), (3.3, 0.0), (6.6, 10.0)],
                    [(1.2, 6.6), (5.4, 6.6)]])
    g["C"] = (8.4, [_arc(5.0, 5.0, 5.0, 5.0, 318, 42, 30)])
    g["D"] = (6.4, [[(2.0, 0.0), (0.0, 0.0), (0.0, 10.0), (2.0, 10.0)]
                    + _arc(2.0, 5.0, 4.4, 5.0, 90, -90, 20) + [(2.0, 0.0)]])
    g["E"] = (5.0, [[(5.0, 0.0), (0.0, 0.0), (0.0, 10.0), (5.0, 10.0)],
                    [(0.0, 5.0), (4.2, 5.0)]])
    g["I"] = (0.0, [[(0.0, 0.0), (0.0, 10.0)]])
    g["K"] = (5.6, [[(0.0, 0.0), (0.0, 10.0)],
                    [(5.4, 0.0), (0.0, 6.2)], [(1.8, 4.2), (5.6, 10.0)]])
    g["M"] = (7.4, [[(0.0, 10.0), (0.0, 0.0), (3.7, 7.0), (7.4, 0.0),
                     (7.4, 10.0)]])
    g["O"] = (7.0, [_arc(3.5, 5.0, 3.5, 5.0, 0, 360, 40)])
    g["R"] = (5.8, [[(0.0, 10.0), (0.0, 0.0), (3.0, 0.0)]
                    + _arc(3.0, 2.65, 2.65, 2.65, 270, 450)
                    + [(0.0, 5.3)], [(2.8, 5.3), (5.8, 10.0)]])
    g["S"] = (5.8, [_bezier((5.6, 1.2), (4.6, -0.5), (0.2, -0.6), (0.2, 2.6))
                    + _bezier((0.2, 2.6), (0.2, 5.0), (5.6, 4.6),
                              (5.6, 7.4))[1:]
                    + _bezier((5.6, 7.4), (5.6, 10.7), (0.8, 10.6),
                              (0.0, 8.6))[1:]])
    g["T"] = (6.0, [[(0.0, 0.0), (6.0, 0.0)], [(3.0, 0.0), (3.0, 10.0)]])
    g["V"] = (6.4, [[(0.0, 0.0), (3.2, 10.0), (6.4, 0.0)]])
    # Small letters of "km/h" (x-height 6.4), the slash and the degree sign.
    g["k"] = (4.8, [[(0.0, 0.0), (0.0, 10.0)],
                    [(4.6, 3.6), (0.0, 7.6)], [(1.7, 6.2), (4.8, 10.0)]])
    g["m"] = (7.6, [[(0.0, 10.0), (0.0, 3.6)],
                    _bezier((0.0, 5.4), (0.4, 3.2), (3.8, 2.8), (3.8, 5.6))
                    + [(3.8, 10.0)],
                    _bezier((3.8, 5.6), (4.2, 3.2), (7.6, 2.8), (7.6, 5.6))
                    + [(7.6, 10.0)]])
    g["h"] = (4.8, [[(0.0, 0.0), (0.0, 10.0)],
                    _bezier((0.0, 5.6), (0.4, 3.2), (4.8, 2.8), (4.8, 5.8))
                    + [(4.8, 10.0)]])
    g["/"] = (4.0, [[(0.0, 10.6), (4.0, -0.6)]])
    g["\u00b0"] = (3.4, [_arc(1.7, 1.8, 1.7, 1.7, 0, 360, 24)])
    g[" "] = (3.5, [])
    return g


GLYPHS = _glyphs()


def text_shapes(text, x, y, height, width, align="centre", tracking=2.0):
    """One shape per glyph of `text`, its ink box centred (or left/right
    aligned) on x and vertically centred on y.  `height` is the cap height
    of the centre lines in pixels, `width` the stroke width in pixels,
    `tracking` the gap between glyphs in font units."""
    s = height / 10.0
    strokes = []          # per glyph, the strokes in font units, placed
    pen = 0.0
    for i, ch in enumerate(text):
        adv, glyph = GLYPHS[ch]
        strokes.append([[(pen + px, py) for px, py in st] for st in glyph])
        pen += adv + (tracking if i + 1 < len(text) else 0.0)
    pts = [p for glyph in strokes for st in glyph for p in st]
    gx0 = min(p[0] for p in pts)
    gx1 = max(p[0] for p in pts)
    gy0 = min(p[1] for p in pts)
    gy1 = max(p[1] for p in pts)
    if align == "left":
        ox = x - gx0 * s + width / 2.0
    elif align == "right":
        ox = x - gx1 * s - width / 2.0
    else:
        ox = x - (gx0 + gx1) / 2.0 * s
    oy = y - (gy0 + gy1) / 2.0 * s
    shapes = []
    for glyph in strokes:
        if not glyph:
            continue
        shapes.append(Union(polyline([(ox + px * s, oy + py * s)
                                      for px, py in st], width)
                            for st in glyph))
    return shapes


def text_extent(text, height, width, tracking=2.0):
    """Width and height in pixels of the ink of `text` drawn as above."""
    shapes = text_shapes(text, 0.0, 0.0, height, width, tracking=tracking)
    return (max(sh.bbox[2] for sh in shapes) - min(sh.bbox[0] for sh in shapes),
            max(sh.bbox[3] for sh in shapes) - min(sh.bbox[1] for sh in shapes))


def draw_text(canvas, text, x, y, height, width, colour, **kw):
    for sh in text_shapes(text, x, y, height, width, **kw):
        canvas.fill(sh, colour)


# --------------------------------------------------------------------------
# Palette and BMP output
# --------------------------------------------------------------------------

def build_palette(canvases, keep=()):
    """One 256-entry palette for all `canvases` and their index images.

    Entry 0 is black and only exact black maps to it.  The colours in `keep`
    get entries of their own and are reproduced exactly; all other colours
    are reduced by median cut to the entries left.  No entry but 0 is black,
    used or not.
    """
    counts = {}
    images = [c.pixels() for c in canvases]
    for px in images:
        for c in px:
            counts[c] = counts.get(c, 0) + 1
    black = (0, 0, 0)
    keep = [tuple(k) for k in keep]
    palette = [black] + keep
    lookup = {black: 0}
    for i, k in enumerate(keep):
        lookup[k] = i + 1
    rest = sorted(c for c in counts if c not in lookup)
    free = 256 - len(palette)
    if len(rest) <= free:
        for c in rest:
            lookup[c] = len(palette)
            palette.append(c)
    else:
        for box in _median_cut(rest, counts, free):
            n = sum(counts[c] for c in box)
            mean = tuple(_channel(sum(c[k] * counts[c] for c in box) / n)
                         for k in range(3))
            if mean == black:
                mean = (1, 1, 1)
            for c in box:
                lookup[c] = len(palette)
            palette.append(mean)
    # Entries no pixel uses get a grey ramp, so that even they are not black.
    while len(palette) < 256:
        n = len(palette)
        palette.append((n, n, n))
    indices = [[lookup[c] for c in px] for px in images]
    return palette, indices


def _median_cut(colours, counts, boxes):
    """Split the sorted colour list into `boxes` groups, widest box first."""
    work = [colours]
    while len(work) < boxes:
        best, best_key = None, None
        for i, box in enumerate(work):
            if len(box) < 2:
                continue
            spread = max(max(c[k] for c in box) - min(c[k] for c in box)
                         for k in range(3))
            key = (spread, len(box), -i)
            if best_key is None or key > best_key:
                best, best_key = i, key
        if best is None:
            break
        box = work[best]
        spans = [max(c[k] for c in box) - min(c[k] for c in box)
                 for k in range(3)]
        axis = spans.index(max(spans))
        box = sorted(box, key=lambda c: (c[axis], c))
        total = sum(counts[c] for c in box)
        # Split half by pixel count, half by number of colours, so that thin
        # anti-aliasing ramps keep their steps next to big flat areas.
        acc, cut = 0, 1
        for j, c in enumerate(box):
            acc += counts[c]
            if acc * 2 >= total:
                cut = j + 1
                break
        cut = (cut + len(box) // 2) // 2
        cut = min(max(cut, 1), len(box) - 1)
        work[best:best + 1] = [box[:cut], box[cut:]]
    return work


def bmp_bytes(width, height, palette, indices):
    """An 8-bit BI_RGB bottom-up BMP with a 40-byte header, 256 colours."""
    row = (width + 3) & ~3
    image_size = row * height
    offset = 14 + 40 + 256 * 4
    out = bytearray()
    out += struct.pack("<2sIHHI", b"BM", offset + image_size, 0, 0, offset)
    out += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0,
                       image_size, 2835, 2835, 256, 0)
    for r, g, b in palette:
        out += bytes((b, g, r, 0))
    pad = bytes(row - width)
    for y in range(height - 1, -1, -1):
        out += bytes(indices[y * width:(y + 1) * width]) + pad
    return bytes(out)


def write_bmps(directory, named_canvases, keep=()):
    """Write canvases that share one palette: [(file name, canvas), ...]."""
    import os
    palette, images = build_palette([c for _, c in named_canvases], keep)
    for (name, canvas), idx in zip(named_canvases, images):
        data = bmp_bytes(canvas.width, canvas.height, palette, idx)
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
