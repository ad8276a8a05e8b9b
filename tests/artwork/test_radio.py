"""Fixed properties of the radio artwork, measured on the committed
bitmaps: the digit windows behind the host's text boxes, the decimal marks,
the knob wells with the painted first knob, the ADF lamp lens and push
button, the COM plate's screws and lettering, the knob pictures' angles and
the lamp."""

import math
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_file import load  # noqa: E402

WINDOW_X = (34, 85, 134, 183, 233)
WINDOW_Y, WINDOW_W, WINDOW_H = 4, 20, 26
TEXT_BOX_COLOUR = (31, 31, 31)     # the host's fill of each digit box
KNOB_PICTURE_X = (82, 131, 180, 230)
KNOB_Y = 29

# background, decimal mark corner
STRIPS = [
    ("gauges/radio/adf_background.bmp", (227, 24)),
    ("gauges/radio/com_background.bmp", (177, 24)),
]


def ring(x, y, w, h):
    """Pixels just outside the rectangle x, y, w, h."""
    for i in range(x - 1, x + w + 1):
        yield i, y - 1
        yield i, y + h
    for j in range(y, y + h):
        yield x - 1, j
        yield x + w, j


def knob_picture(i):
    return load("gauges/radio/knob_%d.bmp" % i)


class Strips(unittest.TestCase):
    def test_window_insides_are_plain_dark_and_framed(self):
        for path, _ in STRIPS:
            bg = load(path)
            for x in WINDOW_X:
                with self.subTest(strip=path, window=x):
                    inside = {bg.rgb(i, j) for j in range(WINDOW_Y, WINDOW_Y + WINDOW_H)
                              for i in range(x, x + WINDOW_W)}
                    self.assertEqual(len(inside), 1, "%s: window at x=%d holds %d colours"
                                     % (path, x, len(inside)))
                    colour = inside.pop()
                    self.assertTrue(all(abs(c - t) <= 3 for c, t in zip(colour, TEXT_BOX_COLOUR)),
                                    "%s: window at x=%d is %s, host box is %s"
                                    % (path, x, colour, TEXT_BOX_COLOUR))
                    frame = [p for p in ring(x, WINDOW_Y, WINDOW_W, WINDOW_H)
                             if bg.rgb(*p) == colour]
                    self.assertEqual(frame, [], "%s: window at x=%d unframed at %s"
                                     % (path, x, frame))

    def test_decimal_mark_is_a_white_3_by_6_bar(self):
        for path, (x, y) in STRIPS:
            bg = load(path)
            with self.subTest(strip=path):
                dim = [(i, j) for j in range(y, y + 6) for i in range(x, x + 3)
                       if min(bg.rgb(i, j)) < 235]
                self.assertEqual(dim, [], "%s: decimal mark not white at %s" % (path, dim))
                bright = [p for p in ring(x, y, 3, 6) if bg.luminance(*p) > 120]
                self.assertEqual(bright, [], "%s: decimal mark spills to %s" % (path, bright))

    def test_knob_wells_overlap_under_the_windows(self):
        for path, _ in STRIPS:
            bg = load(path)
            panel = bg.luminance(2, 88)
            centres = [x + 15 for x in (KNOB_PICTURE_X[0] - 51,) + KNOB_PICTURE_X]
            for left, right in zip(centres, centres[1:]):
                with self.subTest(strip=path, between=(left, right)):
                    mid = (left + right) // 2
                    self.assertLess(bg.luminance(mid, 44), panel,
                                    "%s: no well at (%d, 44) between knobs" % (path, mid))
            for c in centres:
                with self.subTest(strip=path, well=c):
                    self.assertLess(bg.luminance(c, 44 + 22), panel,
                                    "%s: no well under the knob at x=%d" % (path, c))

    def test_first_well_holds_a_painted_knob_like_picture_0(self):
        pic = knob_picture(0)
        for path, _ in STRIPS:
            bg = load(path)
            with self.subTest(strip=path):
                # Find where the painted knob sits: the offset along the row
                # of knob pictures at which it matches picture 0 best.
                best = None
                for ox in range(26, 37):
                    for oy in range(KNOB_Y - 2, KNOB_Y + 3):
                        err = 0.0
                        n = 0
                        for x, y in pic.points():
                            if math.hypot(x + 0.5 - 15, y + 0.5 - 15) < 12.0:
                                a, b = pic.rgb(x, y), bg.rgb(ox + x, oy + y)
                                err += sum(abs(p - q) for p, q in zip(a, b))
                                n += 3
                        err /= n
                        if best is None or err < best[0]:
                            best = (err, ox, oy)
                err, ox, oy = best
                self.assertLess(err, 6.0, "%s: first well does not show the knob "
                                "(best mean difference %.1f at %d, %d)" % (path, err, ox, oy))
                # Under the first window, as the other knobs are under theirs.
                self.assertLessEqual(abs(ox - (KNOB_PICTURE_X[0] - 50)), 3,
                                     "%s: painted knob at x=%d" % (path, ox))


class AdfStrip(unittest.TestCase):
    def setUp(self):
        self.bg = load("gauges/radio/adf_background.bmp")

    def test_flat_panel_grey_23(self):
        for y in range(74, 90):
            for x in range(350):
                if self.bg.rgb(x, y) != (23, 23, 23):
                    self.fail("panel at (%d, %d) is %s" % (x, y, self.bg.rgb(x, y)))

    def test_unlit_lamp_lens_is_grey_with_a_green_tint(self):
        lens = [self.bg.rgb(x, y) for y in range(19, 25) for x in range(309, 315)]
        r = sum(c[0] for c in lens) / len(lens)
        g = sum(c[1] for c in lens) / len(lens)
        b = sum(c[2] for c in lens) / len(lens)
        self.assertTrue(g > r + 4 and g > b + 4, "lens mean %.0f, %.0f, %.0f" % (r, g, b))
        self.assertLess(g, 130, "lens looks lit: green %.0f" % g)
        self.assertLess(g - r, 40, "lens more than faintly green: %.0f, %.0f" % (r, g))

    def test_push_button_fills_its_area(self):
        x, y, w, h = 298, 32, 28, 30
        panel = (23, 23, 23)
        inside = [(i, j) for j in range(y, y + h) for i in range(x, x + w)
                  if self.bg.rgb(i, j) == panel]
        self.assertEqual(inside, [], "panel colour inside the button at %s" % inside[:5])
        outside = [p for p in ring(x, y, w, h) if self.bg.rgb(*p) != panel]
        self.assertEqual(outside, [], "button spills to %s" % outside[:5])
        mean = sum(self.bg.luminance(i, j) for j in range(y, y + h)
                   for i in range(x, x + w)) / (w * h)
        self.assertLess(mean, 60.0, "button not dark: mean luminance %.0f" % mean)


class ComStrip(unittest.TestCase):
    def setUp(self):
        self.bg = load("gauges/radio/com_background.bmp")

    def test_panel_is_dark_grey_with_a_fine_texture(self):
        strip = [self.bg.rgb(x, y) for y in range(2) for x in range(350)]
        lums = [0.299 * r + 0.587 * g + 0.114 * b for r, g, b in strip]
        self.assertTrue(15 <= min(lums) and max(lums) <= 50,
                        "panel luminance %.0f to %.0f" % (min(lums), max(lums)))
        self.assertGreaterEqual(len(set(strip)), 4, "panel has %d colours: no texture"
                                % len(set(strip)))
        runs = sum(1 for a, b in zip(strip, strip[1:]) if a != b)
        self.assertGreater(runs, len(strip) // 4, "texture is coarse: %d changes" % runs)

    def test_screw_heads_at_mid_height_on_both_edges(self):
        for name, cx in (("left", 9), ("right", 340)):
            with self.subTest(edge=name):
                head = [self.bg.luminance(x, y) for y in range(40, 51)
                        for x in range(cx - 5, cx + 6)
                        if math.hypot(x - cx, y - 45) <= 5]
                self.assertGreater(max(head), 110.0, "%s screw head not lit" % name)
                self.assertLess(min(head), 30.0, "%s screw has no slot" % name)

    def test_lettering_along_the_bottom_left_and_right(self):
        def ink(x0, x1):
            return [(x, y) for y in range(72, 90) for x in range(x0, x1)
                    if self.bg.luminance(x, y) > 120]
        self.assertGreater(len(ink(10, 120)), 60, "no logo and lettering at the lower left")
        right = ink(280, 345)
        self.assertGreater(len(right), 25, "no COM at the lower right")
        self.assertEqual(ink(130, 270), [], "lettering in the middle of the bottom edge")
        # Three letters: three separate columns of ink.
        cols = sorted({x for x, _ in right})
        groups = 1 + sum(1 for a, b in zip(cols, cols[1:]) if b > a + 1)
        self.assertEqual(groups, 3, "COM lettering in %d groups" % groups)


class KnobPictures(unittest.TestCase):
    def test_picture_i_plus_5_is_picture_i_and_the_five_differ(self):
        data = [knob_picture(i).data for i in range(10)]
        for i in range(5):
            with self.subTest(i=i):
                self.assertEqual(data[i + 5], data[i], "knob_%d.bmp differs from knob_%d.bmp"
                                 % (i + 5, i))
        self.assertEqual(len({tuple(knob_picture(i).rows) for i in range(5)}), 5,
                         "pictures 0 to 4 are not five images")

    def test_round_knob_on_black(self):
        for i in range(5):
            pic = knob_picture(i)
            with self.subTest(i=i):
                self.assertEqual((pic.width, pic.height), (30, 30))
                for x, y in pic.points():
                    r = math.hypot(x + 0.5 - 15, y + 0.5 - 15)
                    if r > 14.5:
                        self.assertTrue(pic.is_black(x, y), "knob_%d: (%d, %d) outside"
                                        % (i, x, y))
                    elif r < 12.5:
                        self.assertFalse(pic.is_black(x, y), "knob_%d: (%d, %d) inside"
                                         % (i, x, y))

    def test_pointer_bar_turned_36_degrees_per_picture(self):
        for i in range(10):
            pic = knob_picture(i)
            with self.subTest(i=i):
                bar = [(x + 0.5 - 15, 15 - (y + 0.5)) for x, y in pic.points()
                       if pic.luminance(x, y) > 200]
                self.assertGreater(len(bar), 30, "knob_%d: no light bar" % i)
                suu = sum(u * u for u, _ in bar)
                svv = sum(v * v for _, v in bar)
                suv = sum(u * v for u, v in bar)
                axis = 0.5 * math.degrees(math.atan2(2 * suv, suu - svv))
                seen = (90.0 - axis) % 180.0     # clockwise from upright
                want = (36.0 * i) % 180.0
                diff = min((seen - want) % 180.0, (want - seen) % 180.0)
                self.assertLess(diff, 3.0, "knob_%d: bar at %.1f deg, expected %.1f"
                                % (i, seen, want))
                length = max(math.hypot(u, v) for u, v in bar)
                self.assertGreater(length, 8.0, "knob_%d: bar reaches %.1f px" % (i, length))
                cu = sum(u for u, _ in bar) / len(bar)
                cv = sum(v for _, v in bar) / len(bar)
                self.assertLess(math.hypot(cu, cv), 1.0, "knob_%d: bar off centre" % i)


class Lamp(unittest.TestCase):
    def test_bright_green_dot_on_black(self):
        lamp = load("gauges/radio/lamp.bmp")
        self.assertEqual((lamp.width, lamp.height), (9, 9))
        for x, y in ((0, 0), (8, 0), (0, 8), (8, 8)):
            self.assertTrue(lamp.is_black(x, y), "lamp corner (%d, %d)" % (x, y))
        r, g, b = lamp.rgb(4, 4)
        self.assertTrue(g > 200 and g > r + 20 and g > b + 20,
                        "lamp centre %s not bright green" % ((r, g, b),))
        for x in range(9):
            r, g, b = lamp.rgb(x, 4)
            self.assertGreaterEqual(g, max(r, b), "lamp pixel (%d, 4) %s" % (x, (r, g, b)))


if __name__ == "__main__":
    unittest.main()
