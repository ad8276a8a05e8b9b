#!/usr/bin/env python3
"""Paints the artwork of the two radio tuning strips.

    make_radio_art.py [OUTPUT_DIR]      (default: gauges/radio)

writes adf_background.bmp and com_background.bmp (350 x 90), the ten knob
pictures knob_0.bmp .. knob_9.bmp (30 x 30, picture i turned i * 36 degrees
clockwise from upright, one palette for all ten) and lamp.bmp (9 x 9).
Both radios carry the same knob pictures and lamp.
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bitmap_art as art  # noqa: E402

PANEL_W, PANEL_H = 350, 90

# Digit windows: insides 20 x 26 with their left edges here, at y = 4.  The
# host fills each digit's text box with 0x1F1F1F, so the insides match it.
WINDOW_X = (34, 85, 134, 183, 233)
WINDOW_Y, WINDOW_W, WINDOW_H = 4, 20, 26
WINDOW_COLOUR = (31, 31, 31)

# Knobs: the host draws the turning ones as 30 x 30 pictures with their
# corner at these x, y = 29; the first is painted into the background at
# the place a picture would have under the first window.
KNOB_X = (31, 82, 131, 180, 230)
KNOB_Y = 29
KNOB_SIZE = 30
KNOB_RADIUS = 13.6
KNOB_RIDGES = 18            # even, so half a turn gives the same picture
WELL_RADIUS = 27.5

DECIMAL_MARK_ADF = (227, 24)
DECIMAL_MARK_COM = (177, 24)
DECIMAL_MARK_SIZE = (3, 6)
WHITE = (250, 250, 250)

ADF_PANEL = (23, 23, 23)
COM_PANEL = (30, 30, 31)

LAMP_CENTRE = (311.5, 21.5)     # centre of the lamp element's 9 x 9 at 307, 17
PUSH_BUTTON = (298, 32, 28, 30)  # x, y, width, height of its mouse area


# --------------------------------------------------------------------------
# Knob
# --------------------------------------------------------------------------

def draw_knob(canvas, cx, cy, angle):
    """A knurled grey knob centred on (cx, cy) with its pointer bar turned
    `angle` degrees clockwise from upright."""
    turn = math.radians(angle)

    def ridge(x, y):
        phi = math.atan2(y - cy, x - cx)
        return math.cos(KNOB_RIDGES * (phi - turn))

    # Scalloped skirt: each ridge stands a little proud of the grooves.
    outline = []
    steps = KNOB_RIDGES * 8
    for k in range(steps):
        phi = 2.0 * math.pi * k / steps
        r = KNOB_RADIUS - 0.55 * (1.0 - math.cos(KNOB_RIDGES * phi)) / 2.0
        outline.append((cx + r * math.cos(phi + turn),
                        cy + r * math.sin(phi + turn)))

    def skirt(x, y):
        dx, dy = x - cx, y - cy
        rho = math.hypot(dx, dy) or 1.0
        ux, uy = dx / rho, dy / rho
        d, s = art.lit(0.62 * ux, 0.62 * uy, 0.78)
        c = art.mix((34, 34, 36), (150, 150, 154), d)
        c = art.mix(c, (16, 16, 18), 0.35 * (1.0 - ridge(x, y)) / 2.0)
        return art.mix(c, (230, 230, 232), 0.5 * s)

    canvas.fill(art.Polygon(outline), skirt)
    canvas.fill(art.Circle(cx, cy, 10.9), (26, 26, 28))

    def cap(x, y):
        dx, dy = (x - cx) / 10.3, (y - cy) / 10.3
        rr = min(1.0, dx * dx + dy * dy)
        d, s = art.lit(0.35 * dx, 0.35 * dy, math.sqrt(1.0 - 0.1225 * rr))
        c = art.mix((58, 58, 62), (150, 150, 156), d)
        return art.mix(c, (240, 240, 244), 0.45 * s)

    canvas.fill(art.Circle(cx, cy, 10.3), cap)
    x0, y0 = art.polar(cx, cy, angle, 9.4)
    x1, y1 = art.polar(cx, cy, angle + 180.0, 9.4)
    canvas.fill(art.Capsule(x0, y0, x1, y1, 1.45), (232, 232, 226))


def knob_pictures():
    """Five distinct pictures; picture i and i + 5 are the same image."""
    pictures = []
    for i in range(5):
        c = art.Canvas(KNOB_SIZE, KNOB_SIZE)
        draw_knob(c, KNOB_SIZE / 2.0, KNOB_SIZE / 2.0, 36.0 * i)
        pictures.append(c)
    return pictures


# --------------------------------------------------------------------------
# Panel parts shared by both radios
# --------------------------------------------------------------------------

def knob_centre(i):
    return KNOB_X[i] + KNOB_SIZE / 2.0, KNOB_Y + KNOB_SIZE / 2.0


def draw_wells(canvas):
    """Dark recesses behind the knobs, each running into the next."""
    centres = [knob_centre(i) for i in range(5)]

    def rim(x, y):
        # The recess's wall: shadowed at the top left, catching light at
        # the lower right, measured from the nearest well's centre.
        cx, cy = min(centres, key=lambda c: (x - c[0]) ** 2 + (y - c[1]) ** 2)
        dx, dy = x - cx, y - cy
        rho = math.hypot(dx, dy) or 1.0
        d, _ = art.lit(-0.7 * dx / rho, -0.7 * dy / rho, 0.71)
        return art.mix((8, 8, 8), (64, 64, 64), d)

    canvas.fill(art.Union(art.Circle(cx, cy, WELL_RADIUS + 1.3)
                          for cx, cy in centres), rim)
    canvas.fill(art.Union(art.Circle(cx, cy, WELL_RADIUS)
                          for cx, cy in centres), (13, 13, 13))


def draw_windows(canvas):
    """Digit windows set into the panel: a shadowed upper left edge, a lit
    lower right one, a dark inner line and the inside."""
    for x in WINDOW_X:
        y, w, h = WINDOW_Y, WINDOW_W, WINDOW_H
        canvas.fill(art.rect(x - 2, y - 2, w + 4, h + 4), (70, 70, 70))
        canvas.fill(art.Polygon([(x - 2, y - 2), (x + w + 2, y - 2),
                                 (x + w, y), (x, y), (x, y + h),
                                 (x - 2, y + h + 2)]), (6, 6, 6))
        canvas.fill(art.rect(x - 1, y - 1, w + 2, h + 2), (15, 15, 15))
        canvas.fill(art.rect(x, y, w, h), WINDOW_COLOUR)


def draw_decimal_mark(canvas, corner):
    canvas.fill(art.rect(corner[0], corner[1], *DECIMAL_MARK_SIZE), WHITE)


def draw_strip(canvas, decimal_mark):
    draw_wells(canvas)
    draw_windows(canvas)
    cx, cy = knob_centre(0)
    draw_knob(canvas, cx, cy, 0.0)
    draw_decimal_mark(canvas, decimal_mark)


# --------------------------------------------------------------------------
# ADF
# --------------------------------------------------------------------------

def draw_unlit_lamp(canvas):
    cx, cy = LAMP_CENTRE

    def bezel(x, y):
        dx, dy = x - cx, y - cy
        rho = math.hypot(dx, dy) or 1.0
        d, s = art.lit(0.6 * dx / rho, 0.6 * dy / rho, 0.8)
        return art.mix(art.mix((40, 40, 42), (170, 170, 174), d),
                       (250, 250, 250), 0.6 * s)

    canvas.fill(art.Circle(cx, cy, 6.6), bezel)
    canvas.fill(art.Circle(cx, cy, 4.9), (20, 22, 20))

    def lens(x, y):
        dx, dy = (x - cx) / 4.5, (y - cy) / 4.5
        t = min(1.0, math.hypot(dx, dy))
        return art.mix((96, 112, 98), (50, 62, 52), t)

    canvas.fill(art.Circle(cx, cy, 4.5), lens)
    canvas.fill(art.Circle(cx - 1.6, cy - 1.7, 1.2), (200, 214, 202), alpha=0.8)


def draw_push_button(canvas):
    x, y, w, h = PUSH_BUTTON
    canvas.fill(art.rect(x, y, w, h), (9, 9, 9))
    ix, iy, iw, ih = x + 2, y + 2, w - 4, h - 4
    # Raised square cap: light upper and left edges, dark lower and right.
    canvas.fill(art.rect(ix, iy, iw, ih), (16, 16, 16))
    canvas.fill(art.Polygon([(ix, iy), (ix + iw, iy), (ix + iw - 2, iy + 2),
                             (ix + 2, iy + 2), (ix + 2, iy + ih - 2),
                             (ix, iy + ih)]), (74, 74, 74))

    def face(px, py):
        t = ((px - ix) + (py - iy)) / float(iw + ih)
        return art.mix((48, 48, 49), (30, 30, 31), t)

    canvas.fill(art.rect(ix + 2, iy + 2, iw - 4, ih - 4), face)


def adf_background():
    canvas = art.Canvas(PANEL_W, PANEL_H, ADF_PANEL)
    draw_strip(canvas, DECIMAL_MARK_ADF)
    draw_unlit_lamp(canvas)
    draw_push_button(canvas)
    return canvas


# --------------------------------------------------------------------------
# COM
# --------------------------------------------------------------------------

def _hash(x, y):
    """Integer hash of a pixel, 0 .. 1: the panel's grain, no randomness."""
    h = (x * 374761393 + y * 668265263) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def com_panel_paint(x, y):
    """Fine grain with a faint horizontal brush, like anodised plate."""
    ix, iy = int(x), int(y)
    grain = _hash(ix, iy) - 0.5
    brush = (_hash(ix // 7, iy) + _hash(ix // 7 + 1, iy)) / 2.0 - 0.5
    v = 6.0 * grain + 4.0 * brush
    return tuple(c + v for c in COM_PANEL)


def draw_logo(canvas, cx, cy):
    """Our maker's mark: a ring round a chevron."""
    ink = (196, 196, 190)
    canvas.fill(art.Ring(cx, cy, 4.3, 5.6), ink)
    canvas.fill(art.polyline([(cx - 2.6, cy - 2.0), (cx, cy + 2.6),
                              (cx + 2.6, cy - 2.0)], 1.4), ink)


def com_background():
    canvas = art.Canvas(PANEL_W, PANEL_H)
    canvas.fill(art.rect(0, 0, PANEL_W, PANEL_H), com_panel_paint)
    draw_strip(canvas, DECIMAL_MARK_COM)
    art.screw(canvas, (9.5, 45.0), 5.8, 38.0)
    art.screw(canvas, (340.5, 45.0), 5.8, 112.0)
    draw_logo(canvas, 19.0, 80.0)
    art.draw_text(canvas, "TOVIK VESSA", 28.0, 80.0, 7.0, 1.3,
                  (196, 196, 190), align="left", tracking=2.2)
    art.draw_text(canvas, "COM", 336.0, 80.0, 9.0, 1.7, (214, 214, 208),
                  align="right", tracking=3.2)
    return canvas


# --------------------------------------------------------------------------
# Lamp
# --------------------------------------------------------------------------

def lamp():
    canvas = art.Canvas(9, 9)

    def glow(x, y):
        t = min(1.0, math.hypot(x - 4.5, y - 4.5) / 4.4)
        return art.mix((214, 255, 190), (30, 150, 40), t ** 0.8)

    canvas.fill(art.Circle(4.5, 4.5, 4.4), glow)
    return canvas


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[1] if len(argv) > 1 else os.path.join(here, "..", "gauges",
                                                     "radio")
    os.makedirs(out, exist_ok=True)
    pictures = knob_pictures()
    art.write_bmps(out, [("knob_%d.bmp" % i, pictures[i % 5])
                         for i in range(10)])
    art.write_bmps(out, [("adf_background.bmp", adf_background())],
                   keep=[ADF_PANEL, WINDOW_COLOUR, WHITE])
    art.write_bmps(out, [("com_background.bmp", com_background())],
                   keep=[WINDOW_COLOUR, WHITE])
    art.write_bmps(out, [("lamp.bmp", lamp())])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
