"""Fixed properties of the dial faces and needles, measured on the
committed bitmaps: where the marks point, where they end (the needles'
scale tables name those pixels), the round face with its screws, and the
needles' rows and columns around their pivots."""

import math
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_file import angle_between, load  # noqa: E402
from dial_measure import (INK, corner_boxes, ink_near_ray, ink_rows,  # noqa: E402
                          mark_direction, outer_end,
                          round_instrument, run_along_ray)

AIRSPEED_PIVOT = (151, 148)
AIRSPEED_LONG = {0: 193, 50: 229, 100: 268, 150: 326, 200: 0,
                 250: 36, 300: 70, 350: 104, 400: 136, 450: 168}
# Points of the needle's scale table: the outer end of each value's mark.
AIRSPEED_SCALE_POINTS = {0: (123, 266), 100: (30, 152), 150: (85, 51),
                         200: (150, 33), 250: (217, 55), 300: (260, 109),
                         400: (235, 236), 450: (174, 268)}

RADTEMP_PIVOT = (151, 252)
RADTEMP_SCALE_POINTS = {0: (65, 68), 80: (151, 50), 160: (236, 68)}


def airspeed_direction(kmh):
    """Direction of the mark for kmh: even steps within each 50 km/h."""
    low = (kmh // 50) * 50
    if low == kmh:
        return AIRSPEED_LONG[kmh]
    a0, a1 = AIRSPEED_LONG[low], AIRSPEED_LONG[low + 50]
    return (a0 + ((a1 - a0) % 360.0) * (kmh - low) / 50.0) % 360.0


def radtemp_direction(celsius):
    return (-25.0 + 0.3125 * celsius) % 360.0


class RoundFaceChecks:
    """Shared by both faces: a round instrument with a screw in each corner
    and black (transparent) everywhere else."""

    path = None

    def setUp(self):
        self.face = load(self.path)

    def test_face_is_a_disc_with_black_outside(self):
        centre, radius, nearest_black = round_instrument(self.face)
        self.assertGreater(radius, 140.0, "%s: face radius %.1f" % (self.path, radius))
        self.assertLessEqual(radius, 152.0, "%s: face radius %.1f" % (self.path, radius))
        # A clean circular edge: no black pixel well inside it, none of the
        # face's pixels beyond it.
        self.assertGreater(nearest_black, radius - 2.0,
                           "%s: black pixel %.1f from the centre, face edge at %.1f"
                           % (self.path, nearest_black, radius))

    def test_each_corner_holds_a_slotted_screw_on_black(self):
        centre, radius, _ = round_instrument(self.face)
        for name, (bx, by) in sorted(corner_boxes(self.face).items()):
            with self.subTest(corner=name):
                screw = [(x, y) for y in range(by, by + 40) for x in range(bx, bx + 40)
                         if not self.face.is_black(x, y)
                         and math.hypot(x - centre[0], y - centre[1]) > radius + 1.0]
                self.assertGreater(len(screw), 200, "%s: %s corner has %d screw pixels"
                                   % (self.path, name, len(screw)))
                sx = sum(p[0] for p in screw) / len(screw)
                sy = sum(p[1] for p in screw) / len(screw)
                spread = max(math.hypot(x - sx, y - sy) for x, y in screw)
                self.assertLess(spread, 14.0, "%s: %s screw reaches %.1f px from its centre"
                                % (self.path, name, spread))
                cx = 0 if bx == 0 else self.face.width - 1
                cy = 0 if by == 0 else self.face.height - 1
                self.assertTrue(self.face.is_black(cx, cy), "%s: corner pixel (%d, %d)"
                                % (self.path, cx, cy))
                head = [self.face.luminance(x, y) for x, y in screw
                        if math.hypot(x - sx, y - sy) < 5.0]
                self.assertLess(min(head), 45.0, "%s: %s screw has no dark slot"
                                % (self.path, name))
                self.assertGreater(max(head), 110.0, "%s: %s screw head is not lit"
                                   % (self.path, name))


class AirspeedFace(RoundFaceChecks, unittest.TestCase):
    path = "gauges/dials/airspeed_face.bmp"

    def mark_ink(self, kmh, half_width=2.5, r_min=98.0):
        return ink_near_ray(self.face, AIRSPEED_PIVOT, airspeed_direction(kmh),
                            half_width, r_min, 127.0)

    def test_every_mark_points_its_way_within_a_degree(self):
        for kmh in range(0, 451, 10):
            with self.subTest(kmh=kmh):
                ink = self.mark_ink(kmh)
                self.assertTrue(ink, "no mark for %d km/h" % kmh)
                seen = mark_direction(ink)
                want = airspeed_direction(kmh)
                self.assertLessEqual(angle_between(seen, want), 1.0,
                                     "%d km/h mark points %.2f deg, expected %.2f"
                                     % (kmh, seen, want))

    def test_long_marks_every_50_and_four_short_ones_between(self):
        for kmh in range(0, 451, 10):
            with self.subTest(kmh=kmh):
                inner, outer = run_along_ray(self.face, AIRSPEED_PIVOT,
                                             airspeed_direction(kmh), 80.0, 127.0)
                length = outer - inner
                if kmh % 50 == 0:
                    self.assertGreater(length, 11.0, "%d km/h long mark is %.1f px"
                                       % (kmh, length))
                else:
                    self.assertLess(length, 9.0, "%d km/h short mark is %.1f px"
                                    % (kmh, length))

    def test_scale_table_points_lie_at_the_outer_end_of_their_marks(self):
        for kmh, point in sorted(AIRSPEED_SCALE_POINTS.items()):
            with self.subTest(kmh=kmh):
                end, far = outer_end(self.mark_ink(kmh, half_width=3.0))
                gap = min(math.hypot(x - point[0], y - point[1]) for x, y in end)
                self.assertLessEqual(gap, 3.0, "%d km/h: scale point %s is %.2f px "
                                     "from the mark's end %s" % (kmh, point, gap, end))
                self.assertTrue(113.0 <= far <= 123.5,
                                "%d km/h mark ends %.1f px from the pivot" % (kmh, far))

    def test_each_long_mark_has_its_figure_large_for_the_hundreds(self):
        heights = {}
        for kmh in sorted(AIRSPEED_LONG):
            inner, _ = run_along_ray(self.face, AIRSPEED_PIVOT, AIRSPEED_LONG[kmh],
                                     80.0, 127.0)
            label = ink_near_ray(self.face, AIRSPEED_PIVOT, AIRSPEED_LONG[kmh],
                                 14.0, 62.0, inner - 2.0)
            with self.subTest(kmh=kmh):
                self.assertTrue(label, "no figure inside the %d km/h mark" % kmh)
                ys = [y for _, y, _, _, _ in label]
                heights[kmh] = max(ys) - min(ys) + 1
        small = max(h for k, h in heights.items() if k % 100)
        large = min(h for k, h in heights.items() if k % 100 == 0)
        self.assertGreater(large, 1.3 * small, "figure heights %s" % heights)

    def test_unit_below_the_pivot_and_the_hub_area_clear(self):
        px, py = AIRSPEED_PIVOT
        below = [(x, y) for y in range(py + 25, py + 65) for x in range(px - 25, px + 26)
                 if self.face.luminance(x, y) > INK]
        self.assertTrue(below, "no lettering below the pivot")
        runs = ink_rows(self.face, below)
        self.assertEqual(len(runs), 1, "lettering below the pivot in rows %s" % runs)
        hub = [(x, y) for y in range(py - 20, py + 21) for x in range(px - 20, px + 21)
               if math.hypot(x - px, y - py) <= 20 and self.face.luminance(x, y) > INK]
        self.assertEqual(hub, [], "ink within 20 px of the pivot")


class RadtempFace(RoundFaceChecks, unittest.TestCase):
    path = "gauges/dials/radtemp_face.bmp"

    def mark_ink(self, celsius, half_width=1.2, r_min=170.0):
        return ink_near_ray(self.face, RADTEMP_PIVOT, radtemp_direction(celsius),
                            half_width, r_min, 210.0)

    def test_every_mark_points_its_way_within_a_degree(self):
        for celsius in range(0, 161, 10):
            with self.subTest(celsius=celsius):
                ink = self.mark_ink(celsius, r_min=185.0)
                self.assertTrue(ink, "no mark for %d C" % celsius)
                seen = mark_direction(ink)
                want = radtemp_direction(celsius)
                self.assertLessEqual(angle_between(seen, want), 1.0,
                                     "%d C mark points %.2f deg, expected %.2f"
                                     % (celsius, seen, want))

    def test_long_and_short_marks_reach_their_radii(self):
        for celsius in range(0, 161, 10):
            with self.subTest(celsius=celsius):
                inner, outer = run_along_ray(self.face, RADTEMP_PIVOT,
                                             radtemp_direction(celsius), 170.0, 210.0)
                self.assertTrue(201.0 <= outer <= 204.0,
                                "%d C mark ends at %.1f px" % (celsius, outer))
                if celsius % 40 == 0:
                    self.assertTrue(180.0 <= inner <= 185.0,
                                    "%d C long mark starts at %.1f px" % (celsius, inner))
                else:
                    self.assertTrue(192.0 <= inner <= 197.0,
                                    "%d C short mark starts at %.1f px" % (celsius, inner))

    def test_scale_table_points_are_the_outer_ends_of_their_marks(self):
        for celsius, point in sorted(RADTEMP_SCALE_POINTS.items()):
            with self.subTest(celsius=celsius):
                end, _ = outer_end(self.mark_ink(celsius, half_width=1.5))
                gap = min(math.hypot(x - point[0], y - point[1]) for x, y in end)
                self.assertLessEqual(gap, 1.5, "%d C: scale point %s is %.2f px from "
                                     "the mark's end %s" % (celsius, point, gap, end))
                self.assertGreater(self.face.luminance(*point), 1.5 * INK,
                                   "%d C: scale point %s is not on the mark"
                                   % (celsius, point))

    def test_a_number_just_below_each_long_mark(self):
        for celsius in range(0, 161, 40):
            with self.subTest(celsius=celsius):
                label = ink_near_ray(self.face, RADTEMP_PIVOT, radtemp_direction(celsius),
                                     4.0, 145.0, 179.0)
                self.assertTrue(label, "no number under the %d C mark" % celsius)

    def test_cover_edge_is_an_arc_about_104_px_from_the_pivot(self):
        px, py = RADTEMP_PIVOT
        for angle in (-40, -20, 0, 20, 40):
            with self.subTest(angle=angle):
                a = math.radians(angle)
                lums = []
                for r in range(80, 131):
                    x = int(round(px + r * math.sin(a)))
                    y = int(round(py - r * math.cos(a)))
                    lums.append((r, self.face.luminance(x, y)))
                inside = [l for r, l in lums if r < 98]
                outside = [l for r, l in lums if r > 112]
                self.assertGreater(min(inside), max(outside) + 15.0,
                                   "cover not lighter than the dial at %d deg" % angle)
                # The edge: where the ray leaves the cover's colour.
                edge = max(r for r, l in lums if l > (min(inside) + max(outside)) / 2.0
                           and r < 112)
                self.assertTrue(100 <= edge <= 108, "cover edge at %d px on the %d deg ray"
                                % (edge, angle))

    def test_unit_and_rad_lettering_on_the_cover_above_a_clear_pivot(self):
        px, py = RADTEMP_PIVOT
        ink = [(x, y) for y in range(py - 100, py + 1) for x in range(px - 60, px + 61)
               if math.hypot(x - px, y - py) < 98 and self.face.luminance(x, y) > 150]
        runs = ink_rows(self.face, ink)
        self.assertEqual(len(runs), 2, "lettering on the cover in rows %s" % runs)
        (a0, a1), (b0, b1) = runs
        self.assertGreater(a1 - a0, 1.4 * (b1 - b0), "unit not larger than RAD: %s" % runs)
        self.assertGreater(py - b1, 10, "RAD reaches row %d, pivot at %d" % (b1, py))
        around = [self.face.luminance(x, y) for y in range(py - 6, py + 7)
                  for x in range(px - 6, px + 7)]
        self.assertLess(max(around) - min(around), 8.0,
                        "something drawn at the pivot: luminance %.0f to %.0f"
                        % (min(around), max(around)))


class AirspeedNeedle(unittest.TestCase):
    def setUp(self):
        self.n = load("gauges/dials/airspeed_needle.bmp")

    def test_size(self):
        self.assertEqual((self.n.width, self.n.height), (143, 18))

    def test_blade_rows_5_to_13_from_column_35_to_its_point_at_139(self):
        for x in range(35, 110):
            for y in range(0, 18):
                with self.subTest(x=x, y=y):
                    if 5 <= y <= 13:
                        self.assertGreater(self.n.luminance(x, y), 150.0,
                                           "blade pixel (%d, %d) not cream" % (x, y))
                    elif x >= 38:
                        self.assertTrue(self.n.is_black(x, y),
                                        "pixel (%d, %d) beside the blade" % (x, y))
        for y in range(18):
            with self.subTest(point_row=y):
                if y in (9, 10):
                    self.assertGreater(self.n.luminance(139, y), 100.0,
                                       "point pixel (139, %d)" % y)
                elif y <= 7 or y >= 12:
                    self.assertTrue(self.n.is_black(139, y), "pixel (139, %d)" % y)

    def test_last_three_columns_black(self):
        for x in (140, 141, 142):
            for y in range(18):
                self.assertTrue(self.n.is_black(x, y), "pixel (%d, %d)" % (x, y))

    def test_dark_hub_over_the_full_height_holds_the_pivot(self):
        for x in range(23, 34):
            for y in range(18):
                with self.subTest(x=x, y=y):
                    self.assertFalse(self.n.is_black(x, y), "hub pixel (%d, %d)" % (x, y))
                    self.assertLess(self.n.luminance(x, y), 110.0,
                                    "hub pixel (%d, %d) not dark" % (x, y))
        self.assertFalse(self.n.is_black(29, 9), "pivot pixel (29, 9) is black")

    def test_dark_tail_rows_5_to_13_to_column_0(self):
        for x in range(0, 20):
            for y in range(18):
                with self.subTest(x=x, y=y):
                    if 5 <= y <= 13 and x >= 3:
                        self.assertFalse(self.n.is_black(x, y), "tail pixel (%d, %d)" % (x, y))
                        self.assertLess(self.n.luminance(x, y), 110.0)
                    elif not 5 <= y <= 13:
                        self.assertTrue(self.n.is_black(x, y), "pixel (%d, %d)" % (x, y))
        self.assertTrue(any(not self.n.is_black(0, y) for y in range(5, 14)),
                        "the tail does not reach column 0")


class RadtempNeedle(unittest.TestCase):
    def setUp(self):
        self.n = load("gauges/dials/radtemp_needle.bmp")

    def test_size(self):
        self.assertEqual((self.n.width, self.n.height), (196, 10))

    def test_black_up_to_column_108_but_a_dark_pivot_pixel(self):
        for x in range(109):
            for y in range(10):
                with self.subTest(x=x, y=y):
                    if (x, y) == (0, 5):
                        self.assertFalse(self.n.is_black(x, y), "pivot pixel is black")
                        self.assertLess(self.n.luminance(x, y), 90.0, "pivot pixel not dark")
                    else:
                        self.assertTrue(self.n.is_black(x, y), "pixel (%d, %d)" % (x, y))

    def test_blade_from_rows_1_to_9_tapering_to_row_5_at_column_195(self):
        for y in range(10):
            with self.subTest(root_row=y):
                if 1 <= y <= 9:
                    self.assertGreater(self.n.luminance(109, y), 150.0, "root (109, %d)" % y)
                else:
                    self.assertTrue(self.n.is_black(109, y), "root (109, %d)" % y)
        self.assertFalse(self.n.is_black(195, 5), "no point at (195, 5)")
        for y in (0, 1, 2, 3, 7, 8, 9):
            self.assertTrue(self.n.is_black(195, y), "pixel (195, %d)" % y)
        widths = [sum(1 for y in range(10) if self.n.luminance(x, y) > 150.0)
                  for x in range(109, 196)]
        self.assertEqual(widths, sorted(widths, reverse=True),
                         "blade widens somewhere: %s" % widths)
        self.assertTrue(all(self.n.is_black(x, 0) for x in range(196)), "ink in row 0")


if __name__ == "__main__":
    unittest.main()
