#!/usr/bin/env python3
"""Paints the toggle switch and makes its click sound.

    make_switch_art.py [OUTPUT_DIR]      (default: gauges/switch)

writes switch_background.bmp (black all over), lever_down.bmp and
lever_up.bmp (20 x 26, the three with one palette), and klick.wav, the
76-byte click the switch plays.
"""

import math
import os
import struct
import sys

sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bitmap_art as art  # noqa: E402

SIZE = (20, 26)
CENTRE = (10.0, 13.0)       # the lever's pivot, in the middle of the nut
NUT_RADIUS = 9.0


def switch_picture(lever_down):
    canvas = art.Canvas(*SIZE)
    cx, cy = CENTRE

    def rim(x, y):
        dx, dy = x - cx, y - cy
        rho = math.hypot(dx, dy) or 1.0
        d, s = art.lit(0.7 * dx / rho, 0.7 * dy / rho, 0.71)
        return art.mix(art.mix((70, 70, 74), (214, 214, 218), d),
                       (255, 255, 255), 0.6 * s)

    def face(x, y):
        dx, dy = (x - cx) / 7.4, (y - cy) / 7.4
        d, _ = art.lit(0.25 * dx, 0.25 * dy, 0.97)
        return art.mix((72, 72, 76), (136, 136, 142), d)

    canvas.fill(art.Circle(cx, cy, NUT_RADIUS), rim)
    canvas.fill(art.Circle(cx, cy, 7.4), (44, 44, 47))
    canvas.fill(art.Circle(cx, cy, 6.9), face)
    # The bushing the lever comes out of.
    canvas.fill(art.Circle(cx, cy, 3.6), (26, 26, 28))

    sign = 1.0 if lever_down else -1.0
    tip_y = cy + sign * 10.1
    lever = art.Polygon([(cx - 2.6, cy), (cx + 2.6, cy),
                         (cx + 1.5, tip_y), (cx - 1.5, tip_y)])
    canvas.fill(lever, (46, 46, 50))
    # Light along the lever's left flank.
    canvas.fill(art.Polygon([(cx - 2.3, cy), (cx - 1.1, cy),
                             (cx - 0.5, tip_y), (cx - 1.3, tip_y)]),
                (104, 104, 110), alpha=0.8)

    def ball(x, y):
        dx, dy = (x - cx) / 2.4, (y - tip_y) / 2.4
        rr = min(1.0, dx * dx + dy * dy)
        d, s = art.lit(dx, dy, math.sqrt(1.0 - rr))
        return art.mix(art.mix((30, 30, 33), (112, 112, 118), d),
                       (236, 236, 240), 0.8 * s)

    canvas.fill(art.Circle(cx, tip_y, 2.4), ball)
    return canvas


# --------------------------------------------------------------------------
# Click sound
# --------------------------------------------------------------------------

CLICK_RATE = 22050
CLICK_SAMPLES = 17


def click_samples():
    """A struck transient: a 5.5 kHz ring that dies within the 17 samples,
    unsigned 8-bit about 128."""
    out = []
    for n in range(CLICK_SAMPLES):
        env = math.exp(-n / 3.2)
        v = 118.0 * env * math.cos(2.0 * math.pi * 5512.5 * n / CLICK_RATE + 0.35)
        out.append(max(1, min(255, int(math.floor(128.5 + v)))))
    return bytes(out)


def click_wav():
    samples = click_samples()
    fmt = struct.pack("<HHIIHHH",
                      1,                # PCM
                      1,                # mono
                      CLICK_RATE,       # samples per second
                      CLICK_RATE,       # bytes per second
                      1,                # block alignment
                      8,                # bits per sample
                      529)              # extension size, unused by PCM
    chunks = (b"fmt " + struct.pack("<I", len(fmt)) + fmt
              + b"fact" + struct.pack("<II", 4, len(samples))
              + b"data" + struct.pack("<I", len(samples)) + samples
              + (b"\0" if len(samples) % 2 else b""))
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[1] if len(argv) > 1 else os.path.join(here, "..", "gauges",
                                                     "switch")
    os.makedirs(out, exist_ok=True)
    art.write_bmps(out, [("switch_background.bmp", art.Canvas(*SIZE)),
                         ("lever_down.bmp", switch_picture(True)),
                         ("lever_up.bmp", switch_picture(False))])
    with open(os.path.join(out, "klick.wav"), "wb") as f:
        f.write(click_wav())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
