#!/usr/bin/env python3
"""Paints the faces and needles of the two dial gauges.

    make_dial_art.py [OUTPUT_DIR]      (default: gauges/dials)

writes airspeed_face.bmp, airspeed_needle.bmp, radtemp_face.bmp and
radtemp_needle.bmp.  Both faces share one bezel: a dark brown ring lit from
the upper left, with a slotted screw in each corner and black (transparent)
around it.
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bitmap_art as art  # noqa: E402

FACE_W, FACE_H = 303, 306
BEZEL_CENTRE = (151.5, 153.0)
BEZEL_OUTER = 149.5
BEZEL_INNER = 134.0     # where the bezel's face meets its inner lip
DIAL_RADIUS = 130.5     # visible dial inside the lip

CREAM = (238, 230, 204)
BROWN_DARK = (26, 16, 10)
BROWN_LIGHT = (96, 64, 42)
SCREWS = (              # centre, slot direction
    ((17.5, 17.5), 28.0),
    ((285.5, 17.5), 121.0),
    ((17.5, 288.5), 77.0),
    ((285.5, 288.5), 164.0),
)
SCREW_RADIUS = 10.5


def bezel_paint(x, y):
    """The bezel's rounded face: a half-round profile between the lip and
    the outer edge, so its upper left catches the light."""
    cx, cy = BEZEL_CENTRE
    dx, dy = x - cx, y - cy
    rho = math.hypot(dx, dy) or 1.0
    ux, uy = dx / rho, dy / rho
    t = (rho - (BEZEL_INNER + BEZEL_OUTER) / 2.0) / \
        ((BEZEL_OUTER - BEZEL_INNER) / 2.0)
    t = max(-1.0, min(1.0, t))
    nr = 0.85 * t
    nz = math.sqrt(1.0 - nr * nr)
    d, s = art.lit(nr * ux, nr * uy, nz)
    c = art.mix(BROWN_DARK, BROWN_LIGHT, min(1.0, 0.25 + 0.95 * d))
    return art.mix(c, (205, 170, 130), 0.55 * s)


def lip_paint(x, y):
    """The inner lip slopes down towards the dial: lit on the lower right."""
    cx, cy = BEZEL_CENTRE
    dx, dy = x - cx, y - cy
    rho = math.hypot(dx, dy) or 1.0
    ux, uy = dx / rho, dy / rho
    d, _ = art.lit(-0.7 * ux, -0.7 * uy, 0.71)
    return art.mix((20, 13, 8), (88, 60, 40), d)


def draw_bezel(canvas, dial_paint):
    """Bezel, lip, dial background and screws: everything but the scale."""
    cx, cy = BEZEL_CENTRE
    for centre, angle in SCREWS:
        art.screw(canvas, centre, SCREW_RADIUS, angle)
    canvas.fill(art.Circle(cx, cy, BEZEL_OUTER), bezel_paint)
    canvas.fill(art.Circle(cx, cy, BEZEL_INNER), lip_paint)
    canvas.fill(art.Circle(cx, cy, DIAL_RADIUS), dial_paint)


# --------------------------------------------------------------------------
# Airspeed indicator
# --------------------------------------------------------------------------

AIRSPEED_PIVOT = (151.5, 148.5)      # centre of pixel (151, 148)

# Direction of each long mark, degrees clockwise from straight up.
AIRSPEED_LONG_MARKS = (
    (0, 193.0), (50, 229.0), (100, 268.0), (150, 326.0), (200, 0.0),
    (250, 36.0), (300, 70.0), (350, 104.0), (400, 136.0), (450, 168.0),
)

# Outer edge of the scale, as a distance from the pivot depending on the
# direction: the dial is centred a little below and left of the needle's
# pivot, so the marks end 114 to 122 pixels out.  The terms are a least-
# squares fit of the mark ends that the needle's scale table names, so each
# of those pixels is the last one of its mark.
AIRSPEED_EDGE = (119.825, -3.477, -1.487, -0.515, -1.097)

AIRSPEED_LONG_LENGTH = 15.0
AIRSPEED_SHORT_LENGTH = 7.5


def airspeed_edge(angle):
    a = math.radians(angle)
    c0, c1, s1, c2, s2 = AIRSPEED_EDGE
    return (c0 + c1 * math.cos(a) + s1 * math.sin(a)
            + c2 * math.cos(2 * a) + s2 * math.sin(2 * a))


def airspeed_direction(kmh):
    """Direction of the mark for `kmh` (a multiple of 10)."""
    marks = AIRSPEED_LONG_MARKS
    for (v0, a0), (v1, a1) in zip(marks, marks[1:]):
        if v0 <= kmh <= v1:
            span = (a1 - a0) % 360.0
            return (a0 + span * (kmh - v0) / (v1 - v0)) % 360.0
    raise ValueError(kmh)


def _number_place(pivot, angle, r_in, w, h, gap):
    """Centre of a w x h label standing upright inside the scale at `angle`,
    `gap` pixels clear of the marks' inner end."""
    a = math.radians(angle)
    proj = abs(w / 2.0 * math.sin(a)) + abs(h / 2.0 * math.cos(a))
    return art.polar(pivot[0], pivot[1], angle, r_in - gap - proj)


def airspeed_face():
    canvas = art.Canvas(FACE_W, FACE_H)
    px, py = AIRSPEED_PIVOT
    dial = (11, 11, 11)
    draw_bezel(canvas, dial)
    # A faint shadow of the lip on the outer rim of the dial.
    canvas.fill(art.Ring(BEZEL_CENTRE[0], BEZEL_CENTRE[1],
                         DIAL_RADIUS - 3.0, DIAL_RADIUS), (4, 4, 4), alpha=0.6)

    for kmh in range(0, 451, 10):
        angle = airspeed_direction(kmh)
        r_out = airspeed_edge(angle)
        if kmh % 50 == 0:
            canvas.fill(art.radial_bar(px, py, angle,
                                       r_out - AIRSPEED_LONG_LENGTH, r_out,
                                       3.2), CREAM)
        else:
            canvas.fill(art.radial_bar(px, py, angle,
                                       r_out - AIRSPEED_SHORT_LENGTH, r_out,
                                       1.7), CREAM)

    for kmh, angle in AIRSPEED_LONG_MARKS:
        label = str(kmh)
        large = kmh % 100 == 0
        height, stroke = (15.0, 2.5) if large else (9.5, 1.7)
        tracking = 2.2 if large else 2.6
        w, h = art.text_extent(label, height, stroke, tracking)
        r_in = airspeed_edge(angle) - AIRSPEED_LONG_LENGTH
        cx, cy = _number_place(AIRSPEED_PIVOT, angle, r_in, w, h,
                               6.5 if large else 4.5)
        art.draw_text(canvas, label, cx, cy, height, stroke, CREAM,
                      tracking=tracking)

    art.draw_text(canvas, "km/h", px, py + 44.0, 10.0, 1.6, CREAM,
                  tracking=1.8)
    return canvas


def airspeed_needle():
    """143 x 18, pointing right; pivot at pixel (29, 9)."""
    canvas = art.Canvas(143, 18)
    hub = (46, 44, 42)
    # Counterweight tail, rows 5..13, from column 0 into the hub.
    canvas.fill(art.Union([art.rect(2, 5, 20, 9),
                           art.Capsule(2.5, 7.5, 2.5, 11.5, 2.5)]), hub)
    # Hub block over the full height, columns 20..36, softened corners.
    canvas.fill(art.Union([art.rect(20, 2, 17, 14), art.rect(23, 0, 11, 18),
                           art.Circle(23.0, 3.0, 3.0),
                           art.Circle(34.0, 3.0, 3.0),
                           art.Circle(23.0, 15.0, 3.0),
                           art.Circle(34.0, 15.0, 3.0)]), hub)
    # Cream blade from column 35 over rows 5..13, drawn in its last
    # quarter to a blunt point over rows 9 and 10 at column 139.
    canvas.fill(art.Polygon([(35.0, 5.0), (112.0, 5.0), (139.95, 9.0),
                             (139.95, 11.0), (112.0, 14.0), (35.0, 14.0)]),
                CREAM)
    # A darker cap over the pivot, like the nut that holds the needle.
    canvas.fill(art.Circle(29.5, 9.5, 5.2), (24, 23, 22))
    canvas.fill(art.Circle(29.5, 9.5, 4.2), (70, 68, 65))
    canvas.fill(art.Circle(28.9, 8.9, 1.6), (104, 102, 98), alpha=0.8)
    return canvas


# --------------------------------------------------------------------------
# Radiator temperature gauge
# --------------------------------------------------------------------------

RADTEMP_PIVOT = (151.5, 252.5)       # centre of pixel (151, 252)
RADTEMP_DEG_PER_C = 0.3125
RADTEMP_MARK_OUTER = 203.6
RADTEMP_LONG_INNER = 182.0
RADTEMP_SHORT_INNER = 194.0
RADTEMP_COVER_RADIUS = 104.0         # the cover's edge about the pivot

BLUE_DIAL = (36, 45, 58)
BLUE_COVER = (80, 94, 112)


def radtemp_direction(celsius):
    return -25.0 + RADTEMP_DEG_PER_C * celsius


def radtemp_face():
    canvas = art.Canvas(FACE_W, FACE_H)
    px, py = RADTEMP_PIVOT
    bx, by = BEZEL_CENTRE

    def dial_paint(x, y):
        # Slightly lighter towards the top, as if lit through the glass.
        t = max(0.0, min(1.0, (y - 30.0) / 240.0))
        return art.mix((44, 54, 68), (30, 38, 50), t)

    draw_bezel(canvas, dial_paint)
    dial = art.Circle(bx, by, DIAL_RADIUS)
    canvas.fill(art.Ring(bx, by, DIAL_RADIUS - 3.0, DIAL_RADIUS), (14, 17, 22),
                alpha=0.5)

    # The cover over the lower dial, its edge an arc about the pivot, with a
    # shadow above the edge and a bright chamfer on it.
    canvas.fill(art.Intersection(dial, art.Ring(px, py, RADTEMP_COVER_RADIUS,
                                                RADTEMP_COVER_RADIUS + 2.5)),
                (18, 22, 29), alpha=0.6)

    def cover_paint(x, y):
        t = max(0.0, min(1.0, (y - 148.0) / 130.0))
        return art.mix((88, 103, 122), (64, 76, 92), t)

    canvas.fill(art.Intersection(dial, art.Circle(px, py,
                                                  RADTEMP_COVER_RADIUS)),
                cover_paint)
    canvas.fill(art.Intersection(dial, art.Ring(px, py,
                                                RADTEMP_COVER_RADIUS - 1.6,
                                                RADTEMP_COVER_RADIUS)),
                (150, 164, 182), alpha=0.7)

    for celsius in range(0, 161, 10):
        angle = radtemp_direction(celsius)
        long_mark = celsius % 40 == 0
        r_in = RADTEMP_LONG_INNER if long_mark else RADTEMP_SHORT_INNER
        canvas.fill(art.radial_bar(px, py, angle, r_in, RADTEMP_MARK_OUTER,
                                   3.2 if long_mark else 2.0), CREAM)
        if long_mark:
            label = str(celsius)
            w, h = art.text_extent(label, 12.0, 2.1, 2.4)
            cx, cy = _number_place(RADTEMP_PIVOT, angle, RADTEMP_LONG_INNER,
                                   w, h, 5.0)
            art.draw_text(canvas, label, cx, cy, 12.0, 2.1, CREAM,
                          tracking=2.4)

    art.draw_text(canvas, "\u00b0C", px, 182.0, 26.0, 3.6, CREAM,
                  tracking=1.2)
    art.draw_text(canvas, "RAD", px, 220.0, 13.0, 2.3, CREAM, tracking=2.6)
    return canvas


def radtemp_needle():
    """196 x 10, pointing right; pivot at pixel (0, 5), visible blade from
    column 109."""
    canvas = art.Canvas(196, 10)
    canvas.fill(art.Polygon([(109.0, 1.0), (178.0, 3.0), (196.0, 5.25),
                             (196.0, 5.75), (178.0, 8.0), (109.0, 10.0)]),
                CREAM)
    # The pivot pixel: dark, so the host sees something at the origin.
    canvas.set(0, 5, (40, 38, 36))
    return canvas


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[1] if len(argv) > 1 else os.path.join(here, "..", "gauges",
                                                     "dials")
    os.makedirs(out, exist_ok=True)
    art.write_bmps(out, [("airspeed_face.bmp", airspeed_face())],
                   keep=[(11, 11, 11), CREAM])
    art.write_bmps(out, [("airspeed_needle.bmp", airspeed_needle())],
                   keep=[CREAM])
    art.write_bmps(out, [("radtemp_face.bmp", radtemp_face())],
                   keep=[CREAM])
    art.write_bmps(out, [("radtemp_needle.bmp", radtemp_needle())],
                   keep=[CREAM])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
