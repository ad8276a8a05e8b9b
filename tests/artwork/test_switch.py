"""The toggle switch's three bitmaps and its click sound, read from the
committed files."""

import math
import os
import struct
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_file import REPO, load  # noqa: E402

BACKGROUND = "gauges/switch/switch_background.bmp"
DOWN = "gauges/switch/lever_down.bmp"
UP = "gauges/switch/lever_up.bmp"
CLICK = "gauges/switch/klick.wav"
PIVOT = (10.0, 13.0)   # middle of the 20 x 26 picture, continuous coordinates


def radius(x, y):
    return math.hypot(x + 0.5 - PIVOT[0], y + 0.5 - PIVOT[1])


def inked_rows(bmp):
    return [y for y in range(bmp.height)
            if any(not bmp.is_black(x, y) for x in range(bmp.width))]


class SwitchPictures(unittest.TestCase):
    def test_one_palette_for_all_three(self):
        palettes = {path: load(path).data[54:54 + 1024] for path in (BACKGROUND, DOWN, UP)}
        self.assertEqual(palettes[DOWN], palettes[BACKGROUND], "lever down palette")
        self.assertEqual(palettes[UP], palettes[BACKGROUND], "lever up palette")

    def test_background_black_in_every_pixel(self):
        bg = load(BACKGROUND)
        lit = [(x, y) for x, y in bg.points() if not bg.is_black(x, y)]
        self.assertEqual(lit, [], "background pixels not index 0: %s" % lit[:5])

    def test_round_nut_with_a_lighter_rim(self):
        for path in (DOWN, UP):
            pic = load(path)
            with self.subTest(picture=path):
                row = [x for x in range(pic.width) if not pic.is_black(x, 13)]
                across = max(row) - min(row) + 1
                self.assertTrue(16 <= across <= 20, "%s: nut %d px across" % (path, across))
                for x, y in pic.points():
                    if radius(x, y) < 7.5:
                        self.assertFalse(pic.is_black(x, y), "%s: hole at (%d, %d)"
                                         % (path, x, y))

                def mean(r0, r1):
                    # Left half only: the lever runs up or down the middle.
                    lums = [pic.luminance(x, y) for x, y in pic.points()
                            if r0 <= radius(x, y) <= r1 and x < 8]
                    return sum(lums) / len(lums)
                rim, face = mean(7.8, 8.8), mean(4.5, 6.5)
                self.assertGreater(rim, face + 10, "%s: rim %.0f, face %.0f" % (path, rim, face))

    def test_dark_lever_from_the_centre_to_a_tip_at_its_edge(self):
        # picture, tip rows, rows that must stay black at the other end
        cases = [(DOWN, range(23, 26), range(0, 3)),
                 (UP, range(0, 3), range(23, 26))]
        for path, tip_rows, empty_rows in cases:
            pic = load(path)
            with self.subTest(picture=path):
                rows = inked_rows(pic)
                self.assertTrue(any(y in rows for y in tip_rows),
                                "%s: no tip in rows %s" % (path, list(tip_rows)))
                self.assertFalse(any(y in rows for y in empty_rows),
                                 "%s: ink in rows %s" % (path, list(empty_rows)))
                for x, y in pic.points():
                    if radius(x, y) > 9.6 and y not in tip_rows and not (
                            abs(x + 0.5 - PIVOT[0]) < 3.5):
                        self.assertTrue(pic.is_black(x, y), "%s: (%d, %d) beside the nut"
                                        % (path, x, y))
                # The lever is darker than the nut face beside it.
                toward = 1 if path == DOWN else -1
                lever = [pic.luminance(x, 13 + toward * d) for d in range(4, 7)
                         for x in (9, 10)]
                beside = [pic.luminance(x, 13 + toward * d) for d in range(4, 7)
                          for x in (4, 15)]
                self.assertLess(max(lever), min(beside), "%s: lever %s, nut %s"
                                % (path, lever, beside))


class ClickSound(unittest.TestCase):
    def setUp(self):
        with open(os.path.join(REPO, CLICK), "rb") as f:
            self.wav = f.read()

    def test_layout_and_every_header_field(self):
        w = self.wav
        self.assertEqual(len(w), 76, "file size")
        fields = [
            # name, offset, format, expected
            ("RIFF id", 0, "4s", b"RIFF"),
            ("RIFF size", 4, "<I", 68),
            ("form", 8, "4s", b"WAVE"),
            ("fmt id", 12, "4s", b"fmt "),
            ("fmt size", 16, "<I", 18),
            ("format tag (PCM)", 20, "<H", 1),
            ("channels", 22, "<H", 1),
            ("samples per second", 24, "<I", 22050),
            ("bytes per second", 28, "<I", 22050),
            ("block alignment", 32, "<H", 1),
            ("bits per sample", 34, "<H", 8),
            ("extension size", 36, "<H", 529),
            ("fact id", 38, "4s", b"fact"),
            ("fact size", 42, "<I", 4),
            ("fact sample count", 46, "<I", 17),
            ("data id", 50, "4s", b"data"),
            ("data size", 54, "<I", 17),
            ("pad byte", 75, "B", 0),
        ]
        for name, offset, fmt, want in fields:
            with self.subTest(field=name):
                seen = struct.unpack_from(fmt, w, offset)[0]
                self.assertEqual(seen, want, "%s at offset %d: %r, expected %r"
                                 % (name, offset, seen, want))

    def test_samples_are_a_decaying_click_about_128(self):
        samples = list(self.wav[58:75])
        dev = [abs(s - 128) for s in samples]
        self.assertGreaterEqual(max(dev[:3]), 80, "no sharp onset: %s" % samples)
        self.assertLess(max(dev[10:]), max(dev[:3]) / 8.0, "does not die away: %s" % samples)
        self.assertLessEqual(dev[-1], 3, "last sample %d, not back at 128" % samples[-1])
        signs = [s > 128 for s in samples[:8] if s != 128]
        self.assertGreaterEqual(sum(1 for a, b in zip(signs, signs[1:]) if a != b), 3,
                                "onset does not ring: %s" % samples)


if __name__ == "__main__":
    unittest.main()
