"""Every committed bitmap in the one layout the host loads: 40-byte header,
8 bits per pixel, 256 palette entries with entry 0 black, the size its
element is declared with, and no black palette entry but index 0 (the host
takes black for transparent, so only index 0 may be black)."""

import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_file import BmpError, load  # noqa: E402

# path, width, height
BITMAPS = [
    ("gauges/dials/airspeed_face.bmp", 303, 306),
    ("gauges/dials/airspeed_needle.bmp", 143, 18),
    ("gauges/dials/radtemp_face.bmp", 303, 306),
    ("gauges/dials/radtemp_needle.bmp", 196, 10),
    ("gauges/radio/adf_background.bmp", 350, 90),
    ("gauges/radio/com_background.bmp", 350, 90),
    ("gauges/radio/lamp.bmp", 9, 9),
    ("gauges/switch/switch_background.bmp", 20, 26),
    ("gauges/switch/lever_down.bmp", 20, 26),
    ("gauges/switch/lever_up.bmp", 20, 26),
] + [("gauges/radio/knob_%d.bmp" % i, 30, 30) for i in range(10)]


class BitmapFormat(unittest.TestCase):
    def test_layout_size_and_palette(self):
        for path, width, height in BITMAPS:
            with self.subTest(bitmap=path):
                try:
                    bmp = load(path)
                except (BmpError, OSError) as e:
                    self.fail(str(e))
                self.assertEqual((bmp.width, bmp.height), (width, height),
                                 "%s: size" % path)
                self.assertIn(bmp.x_ppm, (0, 2835), "%s: biXPelsPerMeter" % path)
                self.assertIn(bmp.y_ppm, (0, 2835), "%s: biYPelsPerMeter" % path)
                self.assertEqual(bmp.colours_important, 0, "%s: biClrImportant" % path)
                self.assertEqual(bmp.palette[0], (0, 0, 0), "%s: palette entry 0" % path)
                black = [i for i in range(1, 256) if bmp.palette[i] == (0, 0, 0)]
                self.assertEqual(black, [], "%s: palette entries %s are black besides 0"
                                 % (path, black))


class ReaderRejects(unittest.TestCase):
    """The reader above must refuse what the host would not load, or the
    checks built on it prove nothing."""

    def test_malformed_headers(self):
        import struct
        import tempfile
        good = open(os.path.join(os.path.dirname(__file__), "..", "..",
                                 BITMAPS[1][0]), "rb").read()
        cases = [
            ("24 bits per pixel", 28, "<H", 24),
            ("RLE8 compression", 30, "<I", 1),
            ("top-down rows", 22, "<i", -18),
            ("16 colours", 46, "<I", 16),
            ("108-byte header", 14, "<I", 108),
            ("wrong image size", 34, "<I", 1),
        ]
        for name, offset, fmt, value in cases:
            with self.subTest(case=name), tempfile.TemporaryDirectory() as d:
                bad = bytearray(good)
                struct.pack_into(fmt, bad, offset, value)
                path = os.path.join(d, "bad.bmp")
                with open(path, "wb") as f:
                    f.write(bad)
                with self.assertRaises(BmpError):
                    load(path)


if __name__ == "__main__":
    unittest.main()
